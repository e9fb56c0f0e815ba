#pragma once
// The view of the swimmer: a client area's size in pixels, how many pixels
// a unit of length takes, and the view wherever no window gives one
// (swimmer-headless, the page before its first resize, the learner's
// score): 1400 x 700 pixels, 20 x 10 units. And how a front end builds
// the host of a trained swimmer at that scale.

#include "SwimmerNetwork.h"

struct ClientSize
{
    int Width, Height;
};

namespace SwimmerView {

constexpr double PixelsPerUnit = 70.0;
constexpr ClientSize DefaultClient = {1400, 700};
// The default view measured in units: a client of one pixel a unit, for
// a loop built at scale 1.
constexpr ClientSize DefaultInUnits = {static_cast<int>(DefaultClient.Width / PixelsPerUnit),
                                       static_cast<int>(DefaultClient.Height / PixelsPerUnit)};

}  // namespace SwimmerView

// A control loop, or a host that holds one and takes the same arguments
// (the swimmer window), for a trained swimmer at the view's scale:
//     CSwimmerControlLoop loop = MakeOnView<CSwimmerControlLoop>(swimmer);
// The host is built in place, so it need not be copyable.
template <typename Host>
Host MakeOnView(const SwimmerNetwork& swimmer)
{
    return Host(swimmer.Segments, swimmer.Network, swimmer.NativeDirection, SwimmerView::PixelsPerUnit);
}
