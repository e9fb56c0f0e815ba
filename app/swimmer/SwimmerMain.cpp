// Swimmer: the trained swimmer, animated in a window over the whole desktop;
// a left click sets its swimming direction.

#include <windows.h>

#include "EmbeddedSwimmer.h"
#include "SwimmerNetwork.h"
#include "SwimmerView.h"
#include "Win32Swimmer.h"

// The whole life of the program: the network, the window built from it, the
// message loop until the window is closed, and the teardown in reverse.
void SwimmerMain()
{
    SwimmerNetwork swimmer;
    LoadEmbeddedSwimmer(swimmer);
    CWin32Swimmer window = MakeOnView<CWin32Swimmer>(swimmer);
    window.RunMessageLoop();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SwimmerMain();
    return 0;
}
