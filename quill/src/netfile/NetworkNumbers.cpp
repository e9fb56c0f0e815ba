#include "NetworkNumbers.h"

#include <cmath>

#include "CommandLine.h"
#include "DecimalText.h"

namespace {

// The digits of a C number as files carry it: [+-] digits [. digits]
// [(e|E) [+-] digits], at least one digit before the exponent. Everything
// else a parser might take (leading blanks, hexadecimal, inf, nan) is
// refused here, so that a file means the same to every reader.
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

// Whether token, whole, reads as a non-finite value ("inf", "-nan",
// "infinity"): worth its own message, since such a weight is a fault of the
// writer, not junk.
bool IsNonFiniteWord(std::string_view token)
{
    double value = 0;
    return ParseDecimal(token, value) && !std::isfinite(value);
}

template <typename Real>
NumberStatus ParseReal(std::string_view token, Real& value)
{
    if (!IsPlainDecimal(token))
        return IsNonFiniteWord(token) ? NumberStatus::NotFinite : NumberStatus::NotANumber;
    Real parsed{};
    if (!ParseDecimal(token, parsed))
        return NumberStatus::NotANumber;
    if (!std::isfinite(parsed))
        return NumberStatus::NotFinite;
    value = parsed;
    return NumberStatus::Ok;
}

}  // namespace

NumberStatus ParseFloat(std::string_view token, float& value) { return ParseReal(token, value); }

NumberStatus ParseDouble(std::string_view token, double& value) { return ParseReal(token, value); }

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
