#pragma once
// Numbers as network files read them: integers, and floating-point values
// as plain decimals only (the writer writes each as ShortestDecimal gives
// it).

#include <string>
#include <string_view>

enum class NumberStatus
{
    Ok,
    NotANumber,  // not a plain decimal: a word, a hexadecimal value, junk
    NotFinite,   // inf, nan, or a decimal beyond the type's range
};

// token, whole, as a decimal: optional sign, digits with an optional point,
// an optional exponent. Decimals too small for the type read as the nearest
// value (zero or a subnormal).
NumberStatus ParseFloat(std::string_view token, float& value);
NumberStatus ParseDouble(std::string_view token, double& value);
// token, whole, as a decimal integer within int.
bool ParseInt(std::string_view token, int& value);
