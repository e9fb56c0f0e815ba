#pragma once
// Angles as people read them: the tools report headings in degrees as well
// as radians, and take tolerances in degrees.

#include <numbers>

constexpr double DegreesPerRadian = 180.0 / std::numbers::pi;
