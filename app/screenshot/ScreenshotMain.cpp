// swimmer-screenshot: saves the screen as a PNG image, optionally once the
// swimmer's window is open, and closes that window afterwards; see --help.
// scripts/run uses it to show the program running on a virtual display.

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "CommandLine.h"
#include "PngFile.h"
#include "ScreenCapture.h"
#include "Win32Swimmer.h"
#include "ScreenshotOptions.h"

namespace {

// How the program's window is known: its class and its title.
const char* const SwimmerClass = CSubWindow::ClassName;
const char* const SwimmerTitle = CWin32Swimmer::Title;
const DWORD PollMilliseconds = 50;

DWORD Milliseconds(double seconds)
{
    return static_cast<DWORD>(std::lround(seconds * 1000));
}

HWND FindSwimmerWindow()
{
    return FindWindowA(SwimmerClass, SwimmerTitle);
}

// Polls for the window; null if it has not opened within the time.
HWND WaitForSwimmerWindow(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const HWND hwnd = FindSwimmerWindow();
        if (hwnd && IsWindowVisible(hwnd))
            return hwnd;
        if (GetTickCount() - start >= milliseconds)
            return nullptr;
        Sleep(PollMilliseconds);
    }
}

int Fail(const std::string& message, int status)
{
    std::fprintf(stderr, "swimmer-screenshot: %s\n", message.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    ScreenshotOptions options;
    if (const std::optional<int> status = ParseScreenshotOptions(
            std::vector<std::string>(argv + 1, argv + argc), options, std::cout, std::cerr))
        return *status;
    // An output that cannot be written is bad input: find out before
    // waiting, without leaving an empty file behind if the capture fails.
    const std::string why = WhyNotWritable(options.Output);
    if (!why.empty())
        return Fail("cannot write '" + options.Output + "': " + why, ExitStatus::BadInput);

    if (options.WaitForWindow && !WaitForSwimmerWindow(Milliseconds(options.WaitSeconds))) {
        return Fail(Format("the swimmer's window did not open within %g s", options.WaitSeconds),
                    ExitStatus::Failed);
    }
    Sleep(Milliseconds(options.DelaySeconds));

    const CRgbImage image = CaptureScreen();
    if (image.GetWidth() == 0)
        return Fail("cannot read the screen", ExitStatus::Failed);
    if (!WritePng(options.Output, image))
        return Fail("writing '" + options.Output + "' failed", ExitStatus::Failed);

    if (options.Close) {
        const HWND hwnd = FindSwimmerWindow();
        if (!hwnd)
            return Fail("no swimmer window to close", ExitStatus::Failed);
        // What the close box ends in: the window hides and the program ends.
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
    return ExitStatus::Success;
}
