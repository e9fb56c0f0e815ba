// Swimmer: the trained swimmer, animated in a window over the whole desktop;
// a left click sets its swimming direction.

#include <windows.h>

#include "Demonstration.h"
#include "FFNetwork.h"
#include "SwimmerNetwork.h"
#include "Win32Swimmer.h"

// The whole life of the program: the network, the window built from it, the
// message loop until the window is closed, and the teardown in reverse.
void SwimmerMain()
{
    CFFNetwork network;
    LoadSwimmerNetwork(network);
    CWin32Swimmer window(Demonstration::Segments, network, Demonstration::NativeDirection,
                         Demonstration::PixelsPerUnit);
    window.RunMessageLoop();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SwimmerMain();
    return 0;
}
