#pragma once
// CWindowBase: visibility and placement of whatever window a derived class
// reports through GetHwnd(). It holds no data and owns nothing.
//
// Placement works on the restored rectangle of the window (the one it has
// when neither minimized nor maximized), in workspace coordinates, so that
// moving a maximized or minimized window moves where it comes back to.

#include <windows.h>

class CWindowBase
{
public:
    virtual ~CWindowBase();

    // The window, or null while there is none. The base has none.
    virtual HWND GetHwnd() const;
    // Nonzero when the window is visible on screen.
    virtual int IsVisible() const;
    // Edges of the restored rectangle; -1 without a window.
    virtual int GetLeft() const;
    virtual int GetTop() const;
    // Shows (restored) or hides the window; the result of the last
    // ShowWindow call, nonzero if the window was visible before it. Hiding
    // first gives the keyboard focus to the parent, even a null one.
    virtual int Show(int show);
    // Move the restored rectangle to a new left or top edge, keeping its
    // size; nonzero when done, 0 without a window.
    virtual int SetLeft(int x);
    virtual int SetTop(int y);

protected:
    CWindowBase() = default;

    // GetWindowPlacement of hwnd, ready to be written back with
    // SetWindowPlacement. Win32 reports a hidden window's show state as
    // SW_SHOWNORMAL, which written back would show it; a hidden window is
    // therefore given SW_HIDE, so that it stays hidden. Returns false when
    // there is no such window.
    static bool ReadPlacement(HWND hwnd, WINDOWPLACEMENT& placement);
};
