// Swimmer: the trained swimmer, animated in a window over the whole desktop;
// a left click sets its swimming direction.

#include <windows.h>

#include "SwimmerNetwork.h"
#include "nn/FFNetwork.h"
#include "wingui/Win32Swimmer.h"

namespace {

// The demonstration: three segments, a controller trained to swim at
// 0.22 rad, drawn at 70 pixels per segment length.
const int Segments = 3;
const double NativeDirection = 0.22;
const double PixelsPerUnit = 70.0;

}  // namespace

// The whole life of the program: the network, the window built from it, the
// message loop until the window is closed, and the teardown in reverse.
void SwimmerMain()
{
    CFFNetwork network;
    network.Load(SwimmerNetworkNeurons, SwimmerNetworkKinds, SwimmerNetworkWeights);
    CWin32Swimmer window(Segments, network, NativeDirection, PixelsPerUnit);
    window.RunMessageLoop();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SwimmerMain();
    return 0;
}
