#include "Win32Swimmer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <vector>
#include <numbers>

#include "MemoryBitmap.h"
#include "PixelCanvas.h"
#include "StartPicture.h"
#include "TestLoop.h"

namespace {

const double Pi = std::numbers::pi;
const ClientSize View = SwimmerView::DefaultClient;

COLORREF Colour(Paint paint)
{
    const auto& rgb = PaintColours[static_cast<int>(paint)];
    return RGB(rgb[0], rgb[1], rgb[2]);
}

// The window as the program builds it, steering the random swimmer.
template <typename Window = CWin32Swimmer>
std::unique_ptr<Window> NewSwimmer()
{
    return std::unique_ptr<Window>(new Window(MakeOnView<Window>(RandomSwimmer())));
}

// Dispatches this thread's messages for the given time.
void Pump(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

// Gives the window a client area of exactly width x height pixels.
void SetClientSize(HWND hwnd, int width, int height)
{
    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    SetWindowPos(hwnd, nullptr, 0, 0, width + frameWidth, height + frameHeight,
                 SWP_NOZORDER | SWP_NOMOVE);
}

// A memory picture whatever the swimmer's picture leaves alone shows grey
// in.
class CMemoryPicture : public CMemoryBitmap
{
public:
    CMemoryPicture(int width, int height) : CMemoryBitmap(width, height) { Fill(RGB(0x80, 0x80, 0x80)); }
};

TEST(Win32SwimmerTest, OpensOverTheDesktopShownWithTheSwimmerAtItsStart)
{
    auto swimmer = NewSwimmer();
    const HWND hwnd = swimmer->GetHwnd();
    RECT desktop, window, client;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right, desktop.right);
    EXPECT_EQ(window.bottom, desktop.bottom);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(swimmer->IsVisible());
    char title[100];
    GetWindowTextA(hwnd, title, sizeof title);
    EXPECT_STREQ(title, "Swimmer. Click to change swimming direction");
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX, WS_MAXIMIZEBOX);

    // The head in the middle of the client area, one unit lower.
    const double scale = SwimmerView::PixelsPerUnit;
    EXPECT_EQ(swimmer->GetLoop().GetHeadX(), client.right / scale * 0.5);
    EXPECT_EQ(swimmer->GetLoop().GetHeadY(), client.bottom / scale * 0.5 - 1.0);
    EXPECT_EQ(swimmer->GetLoop().GetTargetDirection(), 0.0);
    const PixelBox dirty = swimmer->GetPicture().GetDirty();
    EXPECT_EQ(dirty.Left, 0);  // the first picture starts from a white client area
    EXPECT_EQ(dirty.Right, client.right);
}

TEST(Win32SwimmerTest, DrawsTheStartPixelForPixel)
{
    auto swimmer = NewSwimmer();
    const ClientSize view = View;
    SetClientSize(swimmer->GetHwnd(), view.Width, view.Height);
    ASSERT_EQ(swimmer->GetClientSize().Width, view.Width);
    ASSERT_EQ(swimmer->GetClientSize().Height, view.Height);
    swimmer->GetLoop().Start(swimmer->GetClientSize());
    CMemoryPicture picture(view.Width, view.Height);
    swimmer->Repaint(picture.GetDC());

    int wrong = 0;
    for (int y = 0; y < view.Height; ++y)
        for (int x = 0; x < view.Width; ++x) {
            const COLORREF expected = Colour(StartPicturePaint(x, y));
            if (picture.At(x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " is 0x" << std::hex
                              << picture.At(x, y) << ", expected 0x" << expected;
        }
    EXPECT_EQ(wrong, 0);
    const PixelBox dirty = swimmer->GetPicture().GetDirty();
    EXPECT_EQ(dirty.Left, 698);
    EXPECT_EQ(dirty.Top, 208);
    EXPECT_EQ(dirty.Right, 702);
    EXPECT_EQ(dirty.Bottom, 422);
}

// The software canvas against GDI on the same swimming states, slanted
// lines in every direction among them: the same pixels, so a recording or
// a page shows exactly what the window shows.
TEST(Win32SwimmerTest, TheSoftwareCanvasDrawsWhatGdiDraws)
{
    auto swimmer = NewSwimmer();
    SetClientSize(swimmer->GetHwnd(), View.Width, View.Height);
    CSwimmerControlLoop& loop = swimmer->GetLoop();
    const ClientSize client = swimmer->GetClientSize();
    ASSERT_EQ(client.Width, View.Width);
    loop.Start(client);
    int states = 0, differing = 0;
    for (double target : {0.0, 2.0, -2.5, 1.2}) {
        loop.SetTargetDirection(target);
        for (int tick = 0; tick < 60; ++tick)
            loop.Tick(client);
        CMemoryPicture gdi(View.Width, View.Height);
        swimmer->Repaint(gdi.GetDC());
        CPixelCanvas canvas(View.Width, View.Height);
        CSwimmerPicture picture;
        picture.DirtyWholeClient(client);
        picture.Draw(canvas, loop, client);
        for (int y = 0; y < View.Height; ++y)
            for (int x = 0; x < View.Width; ++x)
                if (gdi.At(x, y) != Colour(canvas.At(x, y)) && ++differing <= 5)
                    ADD_FAILURE() << "target " << target << ": pixel " << x << ", " << y;
        ++states;
    }
    RecordProperty("states_compared", states);
    EXPECT_EQ(differing, 0);
}

TEST(Win32SwimmerTest, APressSetsTheDirectionFromTheHeadAndADoubleClickIsIgnored)
{
    auto swimmer = NewSwimmer();
    SetClientSize(swimmer->GetHwnd(), View.Width, View.Height);
    swimmer->GetLoop().SetHead(10, 5);
    const HWND hwnd = swimmer->GetHwnd();
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(770, 280));  // (11, 6) in the view
    EXPECT_DOUBLE_EQ(swimmer->GetLoop().GetTargetDirection(), Pi / 4);
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(70, 350));
    EXPECT_DOUBLE_EQ(swimmer->GetLoop().GetTargetDirection(), Pi / 4);
    EXPECT_EQ(swimmer->GetHwnd(), hwnd);  // no frame switch either
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, 350));  // left, same row
    EXPECT_EQ(swimmer->GetLoop().GetTargetDirection(), Pi);
}

// 100 ticks a second: each 10 ms period posts one, and the swimmer's
// simulated time keeps step with the clock.
TEST(Win32SwimmerTest, TicksArriveAHundredTimesASecond)
{
    auto swimmer = NewSwimmer();
    Pump(200);
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    const long before = swimmer->GetTicksHandled();
    QueryPerformanceCounter(&start);
    Pump(3000);
    QueryPerformanceCounter(&stop);
    const double seconds = double(stop.QuadPart - start.QuadPart) / frequency.QuadPart;
    const double rate = (swimmer->GetTicksHandled() - before) / seconds;
    RecordProperty("ticks_per_second", std::to_string(rate));
    EXPECT_NEAR(rate, 100.0, 2.0);
}

TEST(Win32SwimmerTest, AtMostTenTicksWaitWhileTheGuiThreadIsHeldUp)
{
    auto swimmer = NewSwimmer();
    Pump(50);
    Sleep(300);  // thirty periods without handling a message
    EXPECT_EQ(swimmer->GetPendingTicks(), CWin32Swimmer::MaxPendingTicks);
    // Take the queued ticks out before handling any: handling one makes
    // room for the next period's.
    std::vector<MSG> queued;
    MSG msg;
    while (PeekMessageA(&msg, swimmer->GetHwnd(), CWin32Swimmer::WM_TICK, CWin32Swimmer::WM_TICK,
                        PM_REMOVE))
        queued.push_back(msg);
    EXPECT_EQ(queued.size(), size_t(CWin32Swimmer::MaxPendingTicks));
    for (const MSG& tick : queued)
        DispatchMessageA(&tick);
    EXPECT_LE(swimmer->GetPendingTicks(), 1);
}

// The frame switch replaces the window under the timer's feet, a hundred
// times: no tick may go missing from the count, or the swimmer would slow
// down for good.
TEST(Win32SwimmerTest, AHundredTitleSwitchesLeaveItSwimmingAtFullRate)
{
    auto swimmer = NewSwimmer();
    Pump(100);
    const HWND first = swimmer->GetHwnd();
    const double startAngle = swimmer->GetLoop().GetState()[2];
    for (int i = 0; i < 100; ++i) {
        SendMessageA(swimmer->GetHwnd(), WM_KEYDOWN, 'T', 0);
        Pump(15);
    }
    EXPECT_NE(swimmer->GetHwnd(), first);
    EXPECT_TRUE(IsWindowVisible(swimmer->GetHwnd()));
    Pump(200);
    EXPECT_LE(swimmer->GetPendingTicks(), 2);
    const long before = swimmer->GetTicksHandled();
    const DWORD start = GetTickCount();
    Pump(1000);
    const double rate = (swimmer->GetTicksHandled() - before) * 1000.0 / (GetTickCount() - start);
    EXPECT_NEAR(rate, 100.0, 5.0);
    EXPECT_NE(swimmer->GetLoop().GetState()[2], startAngle);
}

// A tick posted to a window that is already gone (replaced by a frame
// switch) is refused; it never arrives, so it must not be counted.
class CStaleHandleSwimmer : public CWin32Swimmer
{
public:
    using CWin32Swimmer::CWin32Swimmer;
    HWND GetHwnd() const override { return Stale ? Gone : CWin32Swimmer::GetHwnd(); }

    std::atomic<bool> Stale{false};
    HWND Gone = [] {
        const HWND hwnd =
            CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(hwnd);
        return hwnd;
    }();
};

TEST(Win32SwimmerTest, ARefusedTickIsNotCounted)
{
    auto stale = NewSwimmer<CStaleHandleSwimmer>();
    CStaleHandleSwimmer& swimmer = *stale;
    Pump(50);
    swimmer.Stale = true;
    Sleep(200);  // twenty refused periods
    int queued = 0;  // posted before the handle went stale
    MSG msg;
    while (PeekMessageA(&msg, nullptr, CWin32Swimmer::WM_TICK, CWin32Swimmer::WM_TICK, PM_REMOVE))
        ++queued;
    // A refused post is counted for the few microseconds between the
    // callback's count and its taking it back: the least of reads a
    // millisecond apart is the count at rest, which a counted refusal
    // would hold above the queue for good.
    int pending = swimmer.GetPendingTicks();
    for (int read = 0; read < 5; ++read, Sleep(1))
        if (const int now = swimmer.GetPendingTicks(); now < pending)
            pending = now;
    EXPECT_EQ(pending, queued);
    EXPECT_LE(queued, 1);
    swimmer.Stale = false;
    swimmer.GetLoop().Start(swimmer.GetClientSize());
    Pump(100);
    EXPECT_GT(swimmer.GetTicksHandled(), 0);
}

// The timer's callback reads the window handle through the virtual GetHwnd:
// count those reads, and see them stop for good once the window is gone.
std::atomic<long> HandleReads{0};

class CCountingSwimmer : public CWin32Swimmer
{
public:
    using CWin32Swimmer::CWin32Swimmer;
    HWND GetHwnd() const override
    {
        ++HandleReads;
        return CWin32Swimmer::GetHwnd();
    }
};

TEST(Win32SwimmerTest, TheTimerIsDeadBeforeTheWindowGoes)
{
    for (int round = 0; round < 5; ++round) {
        auto swimmer = NewSwimmer<CCountingSwimmer>();
        Pump(60);
        swimmer.reset();
        const long after = HandleReads.load();
        Sleep(60);
        EXPECT_EQ(HandleReads.load(), after) << "round " << round;
    }
}

}  // namespace
