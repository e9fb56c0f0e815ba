#pragma once
// The embedded swimmer's numbers: its segments, and the direction it was
// trained to swim in.

namespace Demonstration {

constexpr int Segments = 3;
constexpr double NativeDirection = 0.22;  // radians

}  // namespace Demonstration
