#pragma once
// The demonstration's fixed numbers: a swimmer of three segments whose
// embedded value function was trained to swim at 0.22 rad, drawn at 70
// pixels per segment length, on a default view of 1400 x 700 pixels
// (20 x 10 units) wherever no window gives the size.

namespace Demonstration {

constexpr int Segments = 3;
constexpr double NativeDirection = 0.22;  // radians
constexpr double PixelsPerUnit = 70.0;
constexpr int DefaultWidth = 1400;        // client pixels
constexpr int DefaultHeight = 700;

}  // namespace Demonstration
