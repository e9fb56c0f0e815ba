#pragma once
// The demonstration's fixed numbers: the embedded swimmer of three segments,
// trained to swim at 0.22 rad, drawn at 70 pixels per segment length, on a
// default view of 1400 x 700 pixels (20 x 10 units) wherever no window gives
// the size; and how a front end builds its swimmer from them.

#include "SwimmerNetwork.h"

namespace Demonstration {

constexpr int Segments = 3;
constexpr double NativeDirection = 0.22;  // radians
constexpr double PixelsPerUnit = 70.0;
constexpr int DefaultWidth = 1400;        // client pixels
constexpr int DefaultHeight = 700;

}  // namespace Demonstration

// A control loop, or a host that holds one and takes the same arguments
// (the swimmer window), for the swimmer at the demonstration's scale:
//     CSwimmerControlLoop loop = MakeDemonstration<CSwimmerControlLoop>(swimmer);
// The host is built in place, so it need not be copyable.
template <typename Host>
Host MakeDemonstration(const SwimmerNetwork& swimmer)
{
    return Host(swimmer.Segments, swimmer.Network, swimmer.NativeDirection,
                Demonstration::PixelsPerUnit);
}
