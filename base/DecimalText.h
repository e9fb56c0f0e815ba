#pragma once
// Numbers as text, the same characters in every build. The C libraries of
// our platforms each have their own printf and strtod; a file written or
// read through them could differ between a Linux, a Windows and a browser
// user. These write with {fmt} and read with fast_float (Debian's headers,
// the same code in every build), both exact: the digits printf's "%.17g"
// and "%.{p}g" give on a correct C library, and the double or float nearest
// to a decimal.

#include <string>
#include <string_view>

// value as "%.17g" prints it: 17 significant digits, enough to read back
// the same double.
void AppendDecimal17(std::string& text, double value);

// The shortest "%.{p}g" of a finite value that reads back to the same bits
// (p up to 17 for a double, 9 for a float): -0 stays "-0".
std::string ShortestDecimal(double value);
std::string ShortestDecimal(float value);

// The whole of text as the nearest double or float: an optional sign,
// digits with an optional point, an optional exponent ((e|E)[+|-]digits),
// or inf, infinity or nan in any case. False for anything else (blanks,
// hexadecimal, trailing characters, an empty text). Beyond the type's range
// the value is ±inf; below it, the nearest subnormal or zero.
bool ParseDecimal(std::string_view text, double& value);
bool ParseDecimal(std::string_view text, float& value);
