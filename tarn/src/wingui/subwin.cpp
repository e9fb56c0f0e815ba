#include "subwin.h"

#include <commctrl.h>

#include "FatalCheck.h"

namespace {


// The frame without title bar, and what the frame with title bar adds.
// Neither includes WS_VISIBLE: a new window starts hidden.
const DWORD NoTitleStyle = WS_POPUP | WS_BORDER | WS_THICKFRAME;
const DWORD TitleStyleBits = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

const UINT StatusBarId = 1;

// Messages of the system's own timers (caret blinking), which Win32
// delivers like WM_TIMER but does not declare.
const UINT WM_SYSTIMER = 0x0118;

// Registers TarnSubWindow for this module unless it is registered already;
// false if registration fails. The class is never unregistered.
bool RegisterSubWindowClass()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc;
    if (GetClassInfoA(instance, CSubWindow::ClassName, &wc))
        return true;
    wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_PARENTDC | CS_BYTEALIGNCLIENT |
               CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = SubWindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(CSubWindow*);  // the owning object, at index 0
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // WM_PAINT fills the background itself
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = CSubWindow::ClassName;
    return RegisterClassA(&wc) != 0;
}

// Destroying a window throws away the messages still posted to it, so a
// frame switch hands them to the new window first, in their order. Only
// posted messages are retrieved (no input, no WM_PAINT). Timer messages stay
// behind, since their timers belong to the old window and die with it, and
// so do messages for its child windows. WM_QUIT belongs to no window, but a
// retrieval filtered by window may still return it once the window's posted
// messages are gone (before its timers); it is posted again at the end.
void MovePostedMessages(HWND from, HWND to)
{
    MSG msg;
    bool quit = false;
    WPARAM exitCode = 0;
    while (PeekMessageA(&msg, from, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            exitCode = msg.wParam;
        } else if (msg.hwnd == from && msg.message != WM_TIMER && msg.message != WM_SYSTIMER) {
            PostMessageA(to, msg.message, msg.wParam, msg.lParam);
        }
    }
    if (quit)
        PostQuitMessage(static_cast<int>(exitCode));
}

// Fills the update region, if any, with the system window colour.
void PaintBackground(HWND hwnd)
{
    RECT update;
    if (!GetUpdateRect(hwnd, &update, FALSE))
        return;
    PAINTSTRUCT paint;
    BeginPaint(hwnd, &paint);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    FillRect(paint.hdc, &update, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &paint);
}

// A left press anywhere in a title-less window acts as a press on a title
// bar, so that dragging moves the window. The client point is signed: a
// press left of or above the client area under capture is negative.
void DragByCaption(HWND hwnd, LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(hwnd, &point);
    SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

}  // namespace

LRESULT CALLBACK SubWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // GetWindowLongPtrA is GetWindowLongA in a 32-bit build; the Ptr form
    // keeps the whole pointer in a 64-bit one.
    auto* window = reinterpret_cast<CSubWindow*>(GetWindowLongPtrA(hwnd, 0));
    if (!window)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return window->HandleMessage(hwnd, msg, wParam, lParam);
}

CSubWindow::CSubWindow()
    : hMenu(nullptr),
      hwndStatus(nullptr),
      bStatusBar(0),
      bCreated(0),
      bVisible(0),
      bTitle(1),
      dwStyleNoTitle(0),
      dwStyleTitle(0),
      hMenuCheck(nullptr),
      uCheckItem(0),
      hwndParent(nullptr),
      hwndThis(nullptr),
      hdcWindow(nullptr),
      hAccel(nullptr)
{
}

CSubWindow::~CSubWindow()
{
    // The window's last messages still reach this object, now at the
    // CSubWindow level: the derived part is gone.
    if (hwndStatus) {
        DestroyWindow(hwndStatus);
        hwndStatus = nullptr;
    }
    if (hdcWindow)
        ReleaseDC(hwndThis, hdcWindow);
    if (hwndThis) {
        DestroyWindow(hwndThis);
        hwndThis = nullptr;
    }
    if (hAccel)
        DestroyAcceleratorTable(hAccel);
}

void CSubWindow::Create(HWND owner, const char* title, HMENU checkMenu, UINT checkItem,
                        DWORD extraStyle)
{
    if (bCreated)
        return;
    hwndParent = owner;
    hMenuCheck = checkMenu;
    uCheckItem = checkItem;
    // Without the class there is no window; bCreated stays 0 so that a later
    // call tries again.
    if (!RegisterSubWindowClass())
        return;
    dwStyleNoTitle = extraStyle | NoTitleStyle;
    dwStyleTitle = dwStyleNoTitle | TitleStyleBits;
    CreateHwnd(title);
    SendMessageA(hwndThis, WM_WINDOWCREATED, 0, 0);
    bCreated = 1;
}

void CSubWindow::CreateHwnd(const char* title)
{
    // A status bar is a child of the window it was made for.
    if (hwndStatus) {
        DestroyWindow(hwndStatus);
        hwndStatus = nullptr;
    }
    const DWORD style = bTitle ? dwStyleTitle : dwStyleNoTitle;
    hwndThis = CreateWindowExA(0, ClassName, title, style, 0, 0, 100, 100, hwndParent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    FATAL_CHECK(!hwndThis);

    // A window without WS_SYSMENU may have no system menu; then the two
    // commands are reached through their keys only.
    if (HMENU systemMenu = GetSystemMenu(hwndThis, FALSE)) {
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, IDM_DEACTIVATE, "&Deactivate\tEsc");
        AppendMenuA(systemMenu, MF_STRING, IDM_HIDETITLE, "&Hide title\tT");
    }
    if (bTitle)
        SetMenu(hwndThis, hMenu);

    // Until here the window's messages (WM_NCCREATE, WM_CREATE, ...) went to
    // the default procedure; from here on they reach HandleMessage.
    SetWindowLongPtrA(hwndThis, 0, reinterpret_cast<LONG_PTR>(this));

    hdcWindow = GetDC(hwndThis);
    FATAL_CHECK(!hdcWindow);
    ShowStatusBar(bStatusBar);
}

void CSubWindow::ShowTitle(int show)
{
    const int title = show ? 1 : 0;
    if (title == bTitle)
        return;
    if (!hwndThis) {
        bTitle = title;
        return;
    }

    WINDOWPLACEMENT placement;
    ReadPlacement(hwndThis, placement);
    char text[100] = "";
    GetWindowTextA(hwndThis, text, sizeof text);
    const HWND hwndOld = hwndThis;
    const HDC hdcOld = hdcWindow;

    bTitle = title;
    CreateHwnd(text);
    SendMessageA(hwndThis, WM_WINDOWCREATED, 0, 0);
    // The new window takes the old one's restored rectangle, minimized and
    // maximized positions and show state; a hidden one stays hidden.
    placement.flags |= WPF_SETMINPOSITION;
    SetWindowPlacement(hwndThis, &placement);

    // The new window is in place; now the old one goes. It gives back its
    // device context, keeps the menu bar from being destroyed with it, and
    // hands on what was posted to it.
    ReleaseDC(hwndOld, hdcOld);
    SetMenu(hwndOld, nullptr);
    MovePostedMessages(hwndOld, hwndThis);
    DestroyWindow(hwndOld);
}

void CSubWindow::ShowStatusBar(int show)
{
    bStatusBar = show;
    if (show && !hwndStatus && hwndThis) {
        hwndStatus = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", hwndThis, StatusBarId);
    } else if (!show && hwndStatus) {
        DestroyWindow(hwndStatus);
        hwndStatus = nullptr;
    }
}

int CSubWindow::Show(int show)
{
    bVisible = show;
    if (show) {
        if (hwndStatus)
            ShowWindow(hwndStatus, SW_SHOW);
        return ShowWindow(hwndThis, SW_SHOWNA);
    }
    if (hwndParent)
        SetFocus(hwndParent);
    return ShowWindow(hwndThis, SW_HIDE);
}

// The Win32 calls here address hwnd, the window the message is for: while a
// frame switch destroys the old window, that is not hwndThis. Visibility
// goes through CSubWindow's own Show, whatever a derived window makes of it.
LRESULT CSubWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
        // A status bar lays itself out anew when it receives its parent's
        // WM_SIZE.
        if (hwndStatus)
            SendMessageA(hwndStatus, WM_SIZE, wParam, lParam);
        break;
    case WM_PAINT:
        PaintBackground(hwnd);
        return 0;
    case WM_CLOSE:
        CSubWindow::Show(0);
        return 0;
    case WM_SHOWWINDOW:
        if (hMenuCheck)
            CheckMenuItem(hMenuCheck, uCheckItem, wParam ? MF_CHECKED : MF_UNCHECKED);
        if (wParam)
            ShowOwnedPopups(hwnd, TRUE);
        break;
    case WM_KEYDOWN:
        // Virtual-key codes: T switches with or without Shift or Ctrl.
        if (wParam == VK_ESCAPE) {
            if (hwndParent)
                SetFocus(hwndParent);
            return 0;
        }
        if (wParam == 'T') {
            ShowTitle(!bTitle);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_HIDETITLE) {
            ShowTitle(!bTitle);
            return 0;
        }
        if ((wParam & 0xFFF0) == IDM_DEACTIVATE) {
            if (hwndParent)
                SetFocus(hwndParent);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        if (!bTitle) {
            DragByCaption(hwnd, lParam);
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        ShowTitle(!bTitle);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void CSubWindow::RunMessageLoop()
{
    MSG msg;
    while (bVisible) {
        // GetMessageA gives 0 for WM_QUIT and -1 on failure.
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
            return;
        if (hAccel && TranslateAcceleratorA(hwndThis, hAccel, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
