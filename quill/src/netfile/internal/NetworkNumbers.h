#pragma once
// Numbers as network files write them: integers, and floating-point values
// as the shortest decimal that reads back to the same bits. The formatting
// and parsing go through snprintf and strtof/strtod, which every standard
// library we build with has for floating point.

#include <string>
#include <string_view>

// The shortest "%.{p}g" (p = 1..9) of value that strtof reads back to the
// same bits; value must be finite.
std::string ShortestFloat(float value);
// The same for a double, p = 1..17, read back by strtod.
std::string ShortestDouble(double value);

enum class NumberStatus
{
    Ok,
    NotANumber,  // not a plain decimal: a word, a hexadecimal value, junk
    NotFinite,   // inf, nan, or a decimal beyond the type's range
};

// token, whole, as a decimal: optional sign, digits with an optional point,
// an optional exponent. Decimals too small for the type read as the nearest
// value (zero or a subnormal), as strtof and strtod give them.
NumberStatus ParseFloat(std::string_view token, float& value);
NumberStatus ParseDouble(std::string_view token, double& value);
// token, whole, as a decimal integer within int.
bool ParseInt(std::string_view token, int& value);
