#include "NetworkNumbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "CommandLine.h"

namespace {

// The digits of a C number as files carry it: [+-] digits [. digits]
// [(e|E) [+-] digits], at least one digit before the exponent. Everything
// else strtod would take (leading blanks, hexadecimal, inf, nan) is refused
// here, so that a file means the same to every reader.
bool IsPlainDecimal(std::string_view token)
{
    std::size_t i = 0;
    const std::size_t n = token.size();
    auto digits = [&] {
        const std::size_t start = i;
        while (i < n && token[i] >= '0' && token[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < n && (token[i] == '+' || token[i] == '-'))
        ++i;
    std::size_t mantissa = digits();
    if (i < n && token[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

// Whether strtod would read token, whole, as a non-finite value ("inf",
// "-nan", "infinity"): worth its own message, since such a weight is a fault
// of the writer, not junk.
bool IsNonFiniteWord(const std::string& token)
{
    if (token.empty())
        return false;
    char* end = nullptr;
    const double value = std::strtod(token.c_str(), &end);
    return end == token.c_str() + token.size() && !std::isfinite(value);
}

template <typename Real>
NumberStatus ParseReal(std::string_view token, Real& value, Real (*convert)(const char*, char**))
{
    // A copy, for the terminating NUL that strtof needs; a NUL inside the
    // token then ends the number early and fails the whole-token check.
    const std::string text(token);
    if (!IsPlainDecimal(token))
        return IsNonFiniteWord(text) ? NumberStatus::NotFinite : NumberStatus::NotANumber;
    char* end = nullptr;
    const Real parsed = convert(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return NumberStatus::NotANumber;
    if (!std::isfinite(parsed))
        return NumberStatus::NotFinite;
    value = parsed;
    return NumberStatus::Ok;
}

float ToFloat(const char* text, char** end) { return std::strtof(text, end); }
double ToDouble(const char* text, char** end) { return std::strtod(text, end); }

template <typename Real>
std::string Shortest(Real value, int maxDigits, Real (*convert)(const char*, char**))
{
    char buffer[40];
    for (int digits = 1;; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, static_cast<double>(value));
        // Bits, not ==: -0 must come back as -0.
        const Real back = convert(buffer, nullptr);
        if (digits == maxDigits || std::memcmp(&back, &value, sizeof value) == 0)
            return buffer;
    }
}

}  // namespace

// 9 significant digits always identify a float, and 17 a double.
std::string ShortestFloat(float value) { return Shortest(value, 9, ToFloat); }
std::string ShortestDouble(double value) { return Shortest(value, 17, ToDouble); }

NumberStatus ParseFloat(std::string_view token, float& value)
{
    return ParseReal(token, value, ToFloat);
}

NumberStatus ParseDouble(std::string_view token, double& value)
{
    return ParseReal(token, value, ToDouble);
}

bool ParseInt(std::string_view token, int& value)
{
    const char* first = token.data();
    const char* last = first + token.size();
    // from_chars takes no '+'; a file may well carry one, but not "+-1".
    if (first != last && *first == '+') {
        ++first;
        if (first == last || *first < '0' || *first > '9')
            return false;
    }
    return ParseInteger(std::string(first, last), value);
}
