#include "subwin.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "WindowInspection.h"

namespace {

const UINT WM_PROBE = WM_APP + 1;  // a message the tests post, numbered by wParam
// Derived windows number their private messages upwards from WM_USER + 1,
// so the notice must stay on WM_USER itself.
static_assert(CSubWindow::WM_WINDOWCREATED == WM_USER);

// A derived window as an application writes one, passing every message on;
// it logs what its handler sees.
class CRecordingWindow : public CSubWindow
{
public:
    struct Record
    {
        HWND Hwnd;
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        bool Visible;    // the window was visible when the message came
        RECT Placement;  // its restored rectangle then
    };

    using CSubWindow::bTitle;
    using CSubWindow::hMenu;
    using CSubWindow::hwndStatus;

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        GetWindowPlacement(hwnd, &placement);
        Log.push_back({hwnd, msg, wParam, lParam, IsWindowVisible(hwnd) != 0,
                       placement.rcNormalPosition});
        // The default answer to a caption press is a modal move loop that
        // lasts until the mouse button comes up.
        if (msg == WM_NCLBUTTONDOWN)
            return 0;
        return CSubWindow::HandleMessage(hwnd, msg, wParam, lParam);
    }

    std::vector<Record> Seen(UINT msg) const
    {
        std::vector<Record> found;
        for (const Record& record : Log)
            if (record.Msg == msg)
                found.push_back(record);
        return found;
    }

    std::vector<Record> Log;
};

// Windows of one class, collected by EnumThreadWindows or EnumChildWindows.
struct WindowsOfClass
{
    const char* ClassName;
    std::vector<HWND> Found;

    static BOOL CALLBACK Collect(HWND hwnd, LPARAM self)
    {
        auto* windows = reinterpret_cast<WindowsOfClass*>(self);
        char name[64] = "";
        GetClassNameA(hwnd, name, sizeof name);
        if (std::string(name) == windows->ClassName)
            windows->Found.push_back(hwnd);
        return TRUE;
    }
};

size_t CountSubWindows()
{
    WindowsOfClass windows{CSubWindow::ClassName, {}};
    EnumThreadWindows(GetCurrentThreadId(), WindowsOfClass::Collect,
                      reinterpret_cast<LPARAM>(&windows));
    return windows.Found.size();
}

std::vector<HWND> StatusBarsOf(HWND hwnd)
{
    WindowsOfClass windows{STATUSCLASSNAMEA, {}};
    EnumChildWindows(hwnd, WindowsOfClass::Collect, reinterpret_cast<LPARAM>(&windows));
    return windows.Found;
}

TEST(SubWindow, CreateMakesOneHiddenWindowAndNoticesItOnce)
{
    CRecordingWindow window;
    window.Create(nullptr, "first", nullptr, 0, 0);
    const HWND hwnd = window.GetHwnd();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    // The object is attached after creation: creation messages went to the
    // default procedure.
    EXPECT_TRUE(window.Seen(WM_NCCREATE).empty());
    EXPECT_TRUE(window.Seen(WM_CREATE).empty());

    HMENU menu = GetSystemMenu(hwnd, FALSE);
    const int n = GetMenuItemCount(menu);
    ASSERT_GE(n, 3);
    EXPECT_TRUE(GetMenuState(menu, n - 3, MF_BYPOSITION) & MF_SEPARATOR);
    char text[64];
    EXPECT_EQ(GetMenuItemID(menu, n - 2), CSubWindow::IDM_DEACTIVATE);
    GetMenuStringA(menu, n - 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Deactivate\tEsc");
    EXPECT_EQ(GetMenuItemID(menu, n - 1), CSubWindow::IDM_HIDETITLE);
    GetMenuStringA(menu, n - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Hide title\tT");

    window.Create(nullptr, "second", nullptr, 0, 0);
    EXPECT_EQ(window.GetHwnd(), hwnd);
    EXPECT_EQ(TitleOf(hwnd), "first");
    EXPECT_EQ(CountSubWindows(), 1u);
    const auto notices = window.Seen(CSubWindow::WM_WINDOWCREATED);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].Hwnd, hwnd);
}

TEST(SubWindow, FrameSwitchesReplaceTheWindowAndCarryItsState)
{
    std::string longTitle;
    while (longTitle.size() < 150)
        longTitle += static_cast<char>('a' + longTitle.size() % 26);
    const UINT checkItem = 42;
    HMENU checkMenu = CreateMenu();
    AppendMenuA(checkMenu, MF_STRING, checkItem, "&Window");
    CRecordingWindow window;
    window.hMenu = CreateMenu();
    window.ShowStatusBar(1);
    window.Create(nullptr, longTitle.c_str(), checkMenu, checkItem, WS_MAXIMIZEBOX);
    MoveWindow(window.GetHwnd(), 30, 40, 400, 300, FALSE);
    const Edges restored = RestoredEdges(window.GetHwnd());

    // The first switch is made hidden, the second visible.
    HWND previous = window.GetHwnd();
    for (int title : {0, 1}) {
        SCOPED_TRACE(title ? "to the title frame, shown" : "to the frame without title, hidden");
        const bool visible = title == 1;
        if (visible)
            window.Show(1);
        window.Log.clear();
        window.ShowTitle(title);
        const HWND hwnd = window.GetHwnd();
        EXPECT_NE(hwnd, previous);
        EXPECT_FALSE(IsWindow(previous));
        EXPECT_EQ(CountSubWindows(), 1u);

        EXPECT_EQ(RestoredEdges(hwnd), restored);
        EXPECT_EQ(IsWindowVisible(hwnd) != 0, visible);
        EXPECT_EQ(window.IsVisible() != 0, visible);
        EXPECT_EQ((GetMenuState(checkMenu, checkItem, MF_BYCOMMAND) & MF_CHECKED) != 0, visible);
        EXPECT_EQ(TitleOf(hwnd), longTitle.substr(0, 99));
        EXPECT_EQ(HasTitleBar(hwnd), title == 1);
        EXPECT_TRUE(GetWindowLongA(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX);
        EXPECT_EQ(GetMenu(hwnd), title ? window.hMenu : nullptr);

        // One status bar, laid out across the new window's client area.
        const auto bars = StatusBarsOf(hwnd);
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(bars[0], window.hwndStatus);
        RECT client, bar;
        GetClientRect(hwnd, &client);
        GetClientRect(bars[0], &bar);
        EXPECT_EQ(bar.right, client.right);

        // The notice reaches the new window before it is shown or placed.
        const auto notices = window.Seen(CSubWindow::WM_WINDOWCREATED);
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].Hwnd, hwnd);
        EXPECT_FALSE(notices[0].Visible);
        EXPECT_NE(EdgesOf(notices[0].Placement), restored);
        previous = hwnd;
    }
    DestroyMenu(checkMenu);
}

TEST(SubWindow, PostedMessagesSurviveFrameSwitchesInOrder)
{
    const unsigned half = 50;
    const int quitCode = 7;
    CRecordingWindow window;
    window.Create(nullptr, "queued", nullptr, 0, 0);
    for (unsigned i = 0; i < half; ++i)
        PostMessageA(window.GetHwnd(), WM_PROBE, i, 0);
    PostQuitMessage(quitCode);
    // A due timer of the old window: its message must not follow the queue,
    // since the timer dies with that window.
    const UINT timerPeriodMs = 10;  // the shortest period Win32 keeps
    SetTimer(window.GetHwnd(), 1, timerPeriodMs, nullptr);
    Sleep(5 * timerPeriodMs);
    window.ShowTitle(0);
    for (unsigned i = half; i < 2 * half; ++i)
        PostMessageA(window.GetHwnd(), WM_PROBE, i, 0);
    window.ShowTitle(1);

    int quits = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ++quits;
            EXPECT_EQ(msg.wParam, static_cast<WPARAM>(quitCode));
        }
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(window.Seen(WM_TIMER).empty());
    const auto probes = window.Seen(WM_PROBE);
    ASSERT_EQ(probes.size(), 2 * half);
    for (unsigned i = 0; i < 2 * half; ++i) {
        EXPECT_EQ(probes[i].WParam, i);
        EXPECT_EQ(probes[i].Hwnd, window.GetHwnd());
    }
}

CHILD_BODY(CreateUnderAnInvalidOwner)
{
    CSubWindow window;
    window.Create(reinterpret_cast<HWND>(static_cast<UINT_PTR>(0xDEAD)), "orphan", nullptr, 0, 0);
}

TEST(SubWindow, AWindowThatCannotBeCreatedIsFatal)
{
    const ChildResult child = RunChild("CreateUnderAnInvalidOwner");
    EXPECT_EQ(child.ExitStatus, 1);
    const std::string head = "Fatal error: !hwndThis\nFile: ";
    EXPECT_EQ(child.Output.substr(0, head.size()), head) << child.Output;
    EXPECT_NE(child.Output.find("subwin.cpp\nLine: "), std::string::npos) << child.Output;
}

TEST(SubWindowMessages, KeysCommandsAndDoubleClicks)
{
    struct Case
    {
        const char* What;
        UINT Msg;
        WPARAM WParam;
        BYTE Shift;  // key state of VK_SHIFT while the message is handled
        bool Switches;
        bool FocusesOwner;
    };
    const Case cases[] = {
        {"T", WM_KEYDOWN, 'T', 0, true, false},
        {"Shift+T", WM_KEYDOWN, 'T', 0x80, true, false},
        {"F5, whose code is that of 't'", WM_KEYDOWN, VK_F5, 0, false, false},
        {"Esc", WM_KEYDOWN, VK_ESCAPE, 0, false, true},
        {"Hide title", WM_SYSCOMMAND, CSubWindow::IDM_HIDETITLE, 0, true, false},
        {"Hide title, low bits set", WM_SYSCOMMAND, CSubWindow::IDM_HIDETITLE | 3, 0, true, false},
        {"Deactivate", WM_SYSCOMMAND, CSubWindow::IDM_DEACTIVATE, 0, false, true},
        {"left double click", WM_LBUTTONDBLCLK, 0, 0, true, false},
        {"right double click", WM_RBUTTONDBLCLK, 0, 0, true, false},
    };
    CRecordingWindow owner;
    owner.Create(nullptr, "owner", nullptr, 0, 0);
    owner.Show(1);
    CRecordingWindow window;
    window.Create(owner.GetHwnd(), "keys", nullptr, 0, 0);
    BYTE keys[256];
    GetKeyboardState(keys);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const HWND before = window.GetHwnd();
        const int titleBefore = window.bTitle;
        SetFocus(nullptr);
        keys[VK_SHIFT] = c.Shift;
        SetKeyboardState(keys);
        EXPECT_EQ(SendMessageA(before, c.Msg, c.WParam, 0), 0);
        EXPECT_EQ(window.bTitle != titleBefore, c.Switches);
        EXPECT_EQ(window.GetHwnd() != before, c.Switches);
        if (c.FocusesOwner) {
            EXPECT_EQ(GetFocus(), owner.GetHwnd());
        }
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST(SubWindowMessages, LeftPressInATitlelessWindowBecomesACaptionPress)
{
    CRecordingWindow window;
    window.ShowTitle(0);  // before Create: selects the frame Create uses
    window.Create(nullptr, "drag", nullptr, 0, 0);
    const HWND hwnd = window.GetHwnd();
    ASSERT_FALSE(HasTitleBar(hwnd));
    // Far enough left that the screen point is negative too: its packed x
    // must be a negative 16-bit number that leaves y alone.
    SetWindowPos(hwnd, nullptr, -50, 40, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    POINT screen = {-5, 10};
    ClientToScreen(hwnd, &screen);
    ASSERT_LT(screen.x, 0);

    EXPECT_EQ(SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 10)), 0);
    const auto presses = window.Seen(WM_NCLBUTTONDOWN);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].WParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(static_cast<short>(LOWORD(presses[0].LParam)), screen.x);
    EXPECT_EQ(static_cast<short>(HIWORD(presses[0].LParam)), screen.y);

    window.ShowTitle(1);
    window.Log.clear();
    SendMessageA(window.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10));
    EXPECT_TRUE(window.Seen(WM_NCLBUTTONDOWN).empty());
}

TEST(SubWindowMessages, PaintFillsTheUpdateRegionOnly)
{
    const COLORREF black = RGB(0, 0, 0);
    CRecordingWindow window;
    window.Create(nullptr, "paint", nullptr, 0, 0);
    const HWND hwnd = window.GetHwnd();
    MoveWindow(hwnd, 30, 40, 300, 200, FALSE);
    window.Show(1);
    UpdateWindow(hwnd);
    HDC dc = GetDC(hwnd);
    SetPixel(dc, 5, 5, black);

    EXPECT_EQ(SendMessageA(hwnd, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(GetPixel(dc, 5, 5), black);

    RECT invalid = {0, 0, 10, 10};
    InvalidateRect(hwnd, &invalid, FALSE);
    EXPECT_EQ(SendMessageA(hwnd, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(GetPixel(dc, 5, 5), GetSysColor(COLOR_WINDOW));
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
    ReleaseDC(hwnd, dc);
}

TEST(SubWindowLoop, RunsUntilTheWindowIsClosed)
{
    const unsigned count = 100;
    CRecordingWindow window;
    window.Create(nullptr, "loop", nullptr, 0, 0);
    const HWND hwnd = window.GetHwnd();
    window.Show(1);
    std::thread poster([&] {
        for (unsigned i = 0; i < count; ++i)
            PostMessageA(window.GetHwnd(), WM_PROBE, i, 0);
        PostMessageA(window.GetHwnd(), WM_CLOSE, 0, 0);
        PostMessageA(window.GetHwnd(), WM_PROBE, count, 0);
    });
    window.RunMessageLoop();
    poster.join();
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    const auto probes = window.Seen(WM_PROBE);
    ASSERT_EQ(probes.size(), count);
    for (unsigned i = 0; i < count; ++i)
        EXPECT_EQ(probes[i].WParam, i);

    // Hidden: the loop returns without taking the message still waiting.
    window.RunMessageLoop();
    EXPECT_EQ(window.Seen(WM_PROBE).size(), count);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, hwnd, WM_PROBE, WM_PROBE, PM_REMOVE));
}

}  // namespace
