#include "DecimalText.h"

#include <cstring>
#include <iterator>

#include <fast_float/fast_float.h>
#include <fmt/format.h>

void AppendDecimal17(std::string& text, double value)
{
    fmt::format_to(std::back_inserter(text), "{:.17g}", value);
}

namespace {

template <typename Real>
bool ParseWhole(std::string_view text, Real& value)
{
    const char* first = text.data();
    const char* last = first + text.size();
    // from_chars takes no '+'; a decimal may well carry one, but not "+-1".
    if (first != last && *first == '+') {
        ++first;
        if (first == last || *first == '-' || *first == '+')
            return false;
    }
    Real parsed{};
    const fast_float::from_chars_result result = fast_float::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    value = parsed;
    return true;
}

template <typename Real>
std::string Shortest(Real value, int maxDigits)
{
    for (int digits = 1;; ++digits) {
        std::string text = fmt::format("{:.{}g}", value, digits);
        Real back{};
        ParseWhole(text, back);
        // Bits, not ==: -0 must come back as -0.
        if (digits == maxDigits || std::memcmp(&back, &value, sizeof value) == 0)
            return text;
    }
}

}  // namespace

std::string ShortestDecimal(double value) { return Shortest(value, 17); }
std::string ShortestDecimal(float value) { return Shortest(value, 9); }

bool ParseDecimal(std::string_view text, double& value) { return ParseWhole(text, value); }
bool ParseDecimal(std::string_view text, float& value) { return ParseWhole(text, value); }
