#pragma once
// CSubWindow: one top-level popup window of the class TarnSubWindow, owned
// by this object together with its held device context, its optional
// status bar and its accelerator table.
//
// The window is created hidden, in a frame with a title bar or in one
// without, and switches between the two in place: a switch creates a new
// window in the other frame, hands it the old one's placement, title, menu
// bar, status bar and still-queued posted messages, and destroys the old
// one. Its system menu carries two commands, "Deactivate" (focus to the
// owner) and "Hide title" (switch the frame).
//
// SubWindowProc finds the object in the window's extra bytes and calls its
// virtual HandleMessage. A derived window overrides HandleMessage, handles
// its own messages and passes every other one to CSubWindow::HandleMessage.
// After Create and after every frame switch the object is sent
// WM_WINDOWCREATED (wParam 0, lParam 0) with the new window, before that
// window is shown or placed.
//
// Everything runs on the thread that creates the window, except GetHwnd(),
// which another thread may call to address a posted message.

#include <windows.h>

#include <atomic>

#include "WindowBase.h"

LRESULT CALLBACK SubWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

class CSubWindow : public CWindowBase
{
public:
    // Commands appended to the system menu. Win32 keeps the low four bits
    // of a system command for itself, so WM_SYSCOMMAND compares them masked.
    static constexpr UINT IDM_DEACTIVATE = 0xFFF0;
    static constexpr UINT IDM_HIDETITLE = 0xFFE0;
    // Sent to the object with each new window it gets, once the window is
    // attached (WM_CREATE comes before that and goes to the default
    // procedure). It takes WM_USER, so a derived window numbers its own
    // private messages from WM_USER + 1.
    static constexpr UINT WM_WINDOWCREATED = WM_USER;
    // The window class of every sub-window, registered on first use.
    static constexpr const char* ClassName = "TarnSubWindow";

    CSubWindow();
    ~CSubWindow() override;
    CSubWindow(const CSubWindow&) = delete;
    CSubWindow& operator=(const CSubWindow&) = delete;

    HWND GetHwnd() const override { return hwndThis.load(); }
    int IsVisible() const override { return bVisible; }
    // Sets bVisible. Showing does not activate the window; hiding first
    // gives the focus to the owner, if there is one.
    int Show(int show) override;

    // Creates the window, hidden, in the frame ShowTitle last selected (the
    // title frame unless told otherwise). owner gets the focus when this
    // window is deactivated or hidden; the item checkItem of checkMenu (an
    // owner's menu) mirrors this window's visibility; extraStyle is added to
    // both frames. Either handle may be null. A second call does nothing.
    void Create(HWND owner, const char* title, HMENU checkMenu, UINT checkItem,
                DWORD extraStyle);
    // Selects the frame with (nonzero) or without (zero) title bar.
    void ShowTitle(int show);
    // Creates or removes the status bar; the wish outlives frame switches.
    void ShowStatusBar(int show);

    virtual LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // Gets and dispatches the thread's messages while bVisible is set. Ends
    // when the window is hidden (WM_CLOSE hides it), on WM_QUIT or when
    // GetMessageA fails; the window still exists then.
    void RunMessageLoop();

protected:
    // Creates the window of the current frame, replacing hwndThis and
    // hdcWindow without releasing them (ShowTitle does that).
    void CreateHwnd(const char* title);

    HMENU hMenu;          // menu bar, attached while the title frame is in use
    HWND hwndStatus;      // status bar, or null
    int bStatusBar;       // a status bar is wanted
    int bCreated;         // Create has completed
    int bVisible;         // set by Show; the message loop runs while it is
    int bTitle;           // the frame with title bar is in use
    DWORD dwStyleNoTitle;
    DWORD dwStyleTitle;
    HMENU hMenuCheck;     // owner's menu with the item that mirrors visibility
    UINT uCheckItem;
    HWND hwndParent;      // owner, or null
    // The window. Atomic because GetHwnd() may read it on another thread
    // (a timer thread addressing posted messages) while a frame switch
    // replaces it: that thread gets the old or the new handle, never a mix.
    // The switch hands the old window's queued messages to the new one just
    // before destroying it; a message posted to the old handle after that
    // hand-over is lost with the window, or refused (PostMessageA fails)
    // once it is gone. A poster that counts its outstanding messages has to
    // allow for that one narrow case.
    std::atomic<HWND> hwndThis;
    HDC hdcWindow;        // held from creation until the window goes
    // Translated by the message loop and owned; part of the framework's
    // interface, though nothing in this program installs a table.
    HACCEL hAccel;
};
