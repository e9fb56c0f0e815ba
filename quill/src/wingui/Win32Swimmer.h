#pragma once
// CWin32Swimmer: the application's window. It drives the swimmer's control
// loop from a periodic 10 ms multimedia timer, draws the swimmer with GDI
// after every tick and on every paint, and turns a left click into the
// swimming direction. Everything else (keys, closing, the frame switch) is
// the framework's.
//
// Two threads meet here. The timer's thread runs only TimerCallback: while
// fewer than MaxPendingTicks tick messages are outstanding it counts one more
// and posts WM_TICK to the current window. The GUI thread handles WM_TICK,
// runs a tick and counts it done. The counter and the window handle are the
// only data both threads touch; no lock is taken. When the GUI thread falls
// behind, periods are dropped: the simulation slows down rather than
// catching up.

#include <windows.h>

#include <atomic>

#include "SwimmerControlLoop.h"
#include "SwimmerPicture.h"
#include "subwin.h"

class CFFNetwork;

class CWin32Swimmer : public CSubWindow
{
public:
    static constexpr UINT WM_TICK = WM_USER + 2;
    static constexpr int MaxPendingTicks = CSwimmerControlLoop::MaxWaitingTicks;
    static constexpr const char* Title = "Swimmer. Click to change swimming direction";

    // Creates the window over the whole desktop, shows it with the swimmer
    // at its start, and starts the timer.
    CWin32Swimmer(int segments, const CFFNetwork& network, double nativeDirection, double scale);
    ~CWin32Swimmer() override;

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The client area as it is now: one GetClientRect.
    ClientSize GetClientSize() const;

    // One tick of the loop, then its picture straight into the window.
    void Tick();
    // The whole picture: erase the previous one, draw the current one.
    void Draw(HDC hdc);
    // The whole client area from white, then the picture: a paint.
    void Repaint(HDC hdc);

    CSwimmerControlLoop& GetLoop() { return Loop; }
    int GetPendingTicks() const { return PendingTicks.load(); }
    long GetTicksHandled() const { return TicksHandled; }
    const CSwimmerPicture& GetPicture() const { return Picture; }

private:
    static void CALLBACK TimerCallback(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR,
                                       DWORD_PTR);
    // Returns once no timer callback is running.
    void WaitForTimerCallback() const;

    CSwimmerControlLoop Loop;
    // WM_TICK messages posted and not yet handled, 0 to MaxPendingTicks.
    std::atomic<int> PendingTicks;
    // Set while TimerCallback runs.
    std::atomic<bool> InTimerCallback;
    HBRUSH hbrWhite;
    HBRUSH hbrBlack;
    HBRUSH hbrRed;
    HPEN hpenBlack;
    UINT TimerID;
    CSwimmerPicture Picture;  // holds the box of the last picture (rcDirty)
    long TicksHandled = 0;
};
