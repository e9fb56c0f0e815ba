#pragma once
// COptionParser: how every command-line tool declares and reads its options.
// Each option is declared once (name, value, range, default, help line) on
// a CLI11 application underneath, and that one declaration makes the usage
// that --help prints, the reading of the arguments and the refusals.
//
// CLI11 stays behind this class: its header, larger than any tool's own
// code, is compiled once, in OptionParser.cpp.
//
// A refusal is one line on standard error, "PROGRAM: what is wrong (see
// --help)", naming the option, and the exit status is BadInput whatever
// code CLI11 gives the error. Numbers are read by the project's own readers,
// never by CLI11's: those take octal and hexadecimal integers, and read
// decimals with the C library's strtod, which rounds differently on
// different platforms (a learning step of 0.03 s must be the same double
// everywhere for swimmer-train to write the same network).

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

namespace CLI {
class App;
class Option;
}  // namespace CLI

// The values a real option takes: from Least (itself or just above it) to
// Most, inclusive.
struct RealRange
{
    double Least;
    bool LeastIncluded;
    double Most;
};

class COptionParser
{
public:
    // As the most of a whole number: no bound but the type's ("1 or more").
    static constexpr long long OrMore = std::numeric_limits<long long>::max();

    // description: the lines under the usage line; footer: the lines after
    // the options. --help and --version are declared here, first.
    COptionParser(std::string program, const std::string& description,
                  const std::string& footer = "");

    // An option declared, to mark or to ask about once the arguments are
    // read. It lives as long as its parser.
    class COption
    {
    public:
        // The command is refused without it.
        COption Required();
        // Listed under title in the usage.
        COption InGroup(const std::string& title);
        // Whether the arguments gave it, once read.
        bool Given() const;

    private:
        friend class COptionParser;
        explicit COption(CLI::Option* option) : Declared(option) {}
        CLI::Option* Declared;
    };

    ~COptionParser();

    // The help line of an option with a value is help, then in brackets its
    // range and its default: the value its variable holds when it is
    // declared, else what defaultText says ("the plan's"), none if that is
    // empty. Given twice, the last value counts, but each must be good.

    // --name VALUE: a decimal whole number from least to most.
    template <typename Integer>
    COption AddWhole(const std::string& name, const std::string& valueName, Integer& value,
                     long long least, long long most, const std::string& help,
                     const std::optional<std::string>& defaultText = std::nullopt)
    {
        static_assert(std::is_integral_v<Integer> && sizeof(Integer) <= sizeof(long long));
        const long long typeMost = static_cast<long long>(
            std::min<unsigned long long>(std::numeric_limits<Integer>::max(), OrMore));
        return AddWholeValue(name, valueName, least, most, typeMost, help,
                             DefaultPhrase(defaultText, std::to_string(value)),
                             [&value](long long read) { value = static_cast<Integer>(read); });
    }

    // --name VALUE: a decimal number within range.
    COption AddReal(const std::string& name, const std::string& valueName, double& value,
                    RealRange range, const std::string& help,
                    const std::optional<std::string>& defaultText = std::nullopt);

    // --name VALUE, or the positional argument VALUE where name is
    // valueName: a path, any text but an empty one.
    COption AddPath(const std::string& name, const std::string& valueName, std::string& value,
                    const std::string& help, const std::string& defaultText = "");

    // --name VALUE, as often as wanted: each value, in the order given, to
    // take, which returns why it refuses it, or "".
    COption AddEach(const std::string& name, const std::string& valueName,
                    const std::string& help,
                    std::function<std::string(const std::string& value)> take);

    // --name, a switch.
    COption AddFlag(const std::string& name, bool& value, const std::string& help);

    // Reads the arguments (without the program's name) into the options,
    // then asks check, if any, what is wrong with them together ("" for
    // nothing). Returns the exit status when that ends the command: Success
    // once the usage (--help) or the version line (--version) is on out,
    // BadInput once the refusal is on err; nothing when the work may start.
    std::optional<int> Parse(const std::vector<std::string>& arguments, std::ostream& out,
                             std::ostream& err, const std::function<std::string()>& check = {});

    // What --help prints.
    std::string Usage() const;

private:
    // "default OWN", "default: TEXT", or "" for an empty text.
    static std::string DefaultPhrase(const std::optional<std::string>& defaultText,
                                     const std::string& own);
    COption AddWholeValue(const std::string& name, const std::string& valueName,
                          long long least, long long most, long long typeMost,
                          const std::string& help, const std::string& defaultText,
                          std::function<void(long long)> store);
    // Why the arguments are refused, "" if they are not.
    std::string Read(const std::vector<std::string>& arguments);

    std::string Program;
    std::unique_ptr<CLI::App> Parser;
    bool HelpAsked = false;
    bool VersionAsked = false;
};
