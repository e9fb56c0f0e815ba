#pragma once
// The demonstration's fixed numbers: the embedded swimmer has three
// segments and was trained to swim at 0.22 rad.

namespace Demonstration {

constexpr int Segments = 3;
constexpr double NativeDirection = 0.22;  // radians

}  // namespace Demonstration
