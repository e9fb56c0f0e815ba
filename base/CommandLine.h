#pragma once
// What the command-line tools share: their exit statuses, their version,
// whole numbers read and figures written (their options: OptionParser.h).

#include <charconv>
#include <initializer_list>
#include <string>

// The exit statuses of every tool.
namespace ExitStatus {

constexpr int Success = 0;
constexpr int Failed = 1;         // the work could not be done: a file not written, say
constexpr int BadInput = 2;       // refused before any work, with one line saying why
constexpr int Interrupted = 130;  // stopped by Ctrl-C (128 + SIGINT), what there was written
constexpr int Terminated = 143;   // stopped by SIGTERM (128 + 15), as a batch system stops a job

}  // namespace ExitStatus

// The one version of the project, "1.2.3".
const char* ProjectVersion();
// "PROGRAM VERSION\n": what --version prints.
std::string VersionLine(const char* program);

// The whole of text as a whole number of the type; false on anything else
// (a sign the type cannot hold, trailing characters, an empty text).
template <typename Integer>
bool ParseInteger(const std::string& text, Integer& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, value);
    return status == std::errc() && stop == end && !text.empty();
}

// A number or a text for Format.
struct FormatValue
{
    FormatValue(int value) : Whole(value) {}
    FormatValue(long long value) : Whole(value) {}
    FormatValue(double value) : Real(value), IsReal(true) {}
    FormatValue(const char* value) : Text(value) {}
    long long Whole = 0;
    double Real = 0.0;
    bool IsReal = false;
    const char* Text = nullptr;
};

// printf's conversions into a string, for the one-line figures the tools
// report, with {fmt}'s formatting: the same characters in every build.
std::string FormatValues(const char* format, std::initializer_list<FormatValue> values);

template <typename... Values>
std::string Format(const char* format, Values... values)
{
    return FormatValues(format, {FormatValue(values)...});
}
