// End to end: the real swimmer.exe, started as a user starts it, watched
// through screenshots of the whole screen and driven by real mouse and
// keyboard input. Every test ends by closing the window and expecting the
// process to end with status 0.
//
// When a test fails, the screenshots it took are saved as PNG files in
// e2e-artifacts/<test name>/ beside this executable.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "PngFile.h"
#include "ScreenCapture.h"
#include "Win32Swimmer.h"
#include "WindowInspection.h"

namespace {

// How the program's window is known.
const char* const SwimmerClass = CSubWindow::ClassName;
const char* const SwimmerTitle = CWin32Swimmer::Title;

const Rgb White = {255, 255, 255}, Black = {0, 0, 0}, Red = {255, 0, 0};

// The picture: 70 pixels a segment, three segments, 5 x 5 markers. No
// pixel of the swimmer lies further than its reach from the head's centre
// in either direction: three segments, half a marker, and a pixel for
// truncating each joint's position on its own.
const int PixelsPerUnit = 70;
const int MarkerSize = 5;
const int SwimmerReach = 3 * PixelsPerUnit + MarkerSize / 2 + 1;
// Up to three pixels of the first segment's line cross the red marker.
const int LeastRedPixels = MarkerSize * MarkerSize - 3;
// Three lines of at least 70 / sqrt(2) pixels each, and three black
// markers; a picture caught half drawn has fewer.
const int LeastBlackPixels = 150;
// The swimmer covers a few hundred of the million and more pixels of the
// client area; anything else there is not the swimmer's picture.
const double LeastWhiteShare = 0.99;
// A caption is painted in its colours with a little text; a client area
// row above the swimmer is white.
const double LeastCaptionShare = 0.8;

// Time limits. Each is polled, so a healthy run takes far less; they are
// generous against a loaded machine, except the 2 s the program has to end
// in after its window is closed.
const DWORD WindowTimeout = 20000;   // Wine starting a process
const DWORD PictureTimeout = 5000;
const DWORD TitleTimeout = 5000;
const DWORD MoveTimeout = 3000;
const DWORD ExitTimeout = 2000;
const DWORD PollInterval = 100;
// Two pictures this far apart show a swimming swimmer (it moves about 50
// pixels a second at full speed, and wriggles faster).
const DWORD MoveInterval = 500;
const int LeastChangedPixels = 20;

// After a click on the head's row to its left, the swimmer turns round:
// with the trained network (the headless run of the same start) its head
// has gone 1.5 units left of where it was within about 4 s, the turn
// swinging it back and forth first. The head is tracked every
// TrackInterval; the turn is seen once the mean of the last TrackWindow
// places lies TurnDistance left of the head at the click.
const int ClickOffset = 5 * PixelsPerUnit;
const int TurnDistance = 3 * PixelsPerUnit / 2;
const DWORD TurnTimeout = 12000;
const DWORD TrackInterval = 250;
const size_t TrackWindow = 4;
// More than this between two places a quarter of a second apart is a jump
// (a wrap at the edge, or a wrong marker), not swimming.
const int LargestStep = 2 * PixelsPerUnit;

// Screenshots kept for a failure report: the first ones and the latest.
const size_t KeptShots = 40;

bool PollUntil(DWORD timeout, const std::function<bool()>& done, DWORD interval = PollInterval)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeout)
            return false;
        Sleep(interval);
    }
}

std::filesystem::path ThisExecutableFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

struct HeadMarker
{
    bool Found = false;  // red pixels, all within one marker's box
    bool Whole = false;  // and that box all but the line's pixels red
    int X = 0, Y = 0;    // the box's centre on the screen
};

std::ostream& operator<<(std::ostream& out, const HeadMarker& head)
{
    if (!head.Found)
        return out << "(no head)";
    return out << "(" << head.X << ", " << head.Y << ")";
}

// The part of area that lies in the picture; empty if the capture failed.
RECT Within(const CRgbImage& image, const RECT& area)
{
    const RECT bounds = {0, 0, image.GetWidth(), image.GetHeight()};
    RECT inside;
    if (!IntersectRect(&inside, &area, &bounds))
        SetRectEmpty(&inside);
    return inside;
}

// The red marker: every red pixel in the area within one 5 x 5 box. In
// the swimmer's gait the marker of joint 2 often passes over the head's,
// and covers part of it; then the centre is off by a pixel or two.
HeadMarker FindHead(const CRgbImage& image, const RECT& client)
{
    const RECT area = Within(image, client);
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN, count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (image.At(x, y) == Red) {
                ++count;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    HeadMarker head;
    head.Found = count > 0 && right - left < MarkerSize && bottom - top < MarkerSize;
    head.Whole = head.Found && count >= LeastRedPixels && right - left + 1 == MarkerSize &&
                 bottom - top + 1 == MarkerSize;
    head.X = (left + right) / 2;
    head.Y = (top + bottom) / 2;
    return head;
}

// What is wrong with the picture in the client area (a rectangle on the
// screen), or an empty string: white but for a red head marker and black
// segments around it.
std::string PictureProblem(const CRgbImage& image, const RECT& client)
{
    const RECT area = Within(image, client);
    const HeadMarker head = FindHead(image, area);
    if (!head.Whole)
        return "no red 5 x 5 head marker";
    long white = 0, black = 0, blackAway = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const Rgb pixel = image.At(x, y);
            if (pixel == White) {
                ++white;
            } else if (pixel == Black) {
                ++black;
                if (std::abs(x - head.X) > SwimmerReach || std::abs(y - head.Y) > SwimmerReach)
                    ++blackAway;
            }
        }
    const double pixels = double(area.right - area.left) * (area.bottom - area.top);
    std::ostringstream problem;
    if (white < LeastWhiteShare * pixels)
        problem << "only " << white << " of " << pixels << " pixels white; ";
    if (black < LeastBlackPixels)
        problem << "only " << black << " black pixels; ";
    if (blackAway > 0)
        problem << blackAway << " black pixels out of the swimmer's reach of the head " << head
                << "; ";
    return problem.str();
}

long ChangedPixels(const CRgbImage& a, const CRgbImage& b, const RECT& client)
{
    const RECT area = Within(b, Within(a, client));
    long changed = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            changed += !(a.At(x, y) == b.At(x, y));
    return changed;
}

// The share of row y between left and right that is not white.
double PaintedShare(const CRgbImage& image, int y, int left, int right)
{
    if (y < 0 || y >= image.GetHeight())
        return 0;
    left = std::max(left, 0);
    right = std::min(right, image.GetWidth());
    if (left >= right)
        return 0;
    int painted = 0;
    for (int x = left; x < right; ++x)
        painted += !(image.At(x, y) == White);
    return double(painted) / (right - left);
}

// What is wrong with the row across a window's caption, or an empty
// string: painted as a caption when the window has a title bar, white (the
// client area) when it has none.
std::string CaptionProblem(const CRgbImage& shot, bool titleWanted, int captionRow,
                           const RECT& bounds)
{
    if (shot.GetWidth() == 0)
        return "the screen cannot be read";
    const double painted = PaintedShare(shot, captionRow, bounds.left, bounds.right);
    if (titleWanted ? painted >= LeastCaptionShare : painted <= 1 - LeastWhiteShare)
        return "";
    return "the caption row " + std::to_string(captionRow) + " is " +
           std::to_string(painted * 100) + "% painted";
}

// Real input, as the user gives it, through the system's input queue.
void ClickAt(int x, int y)
{
    SetCursorPos(x, y);
    INPUT press[2] = {};
    press[0].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].type = INPUT_MOUSE;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
}

void PressKey(WORD key)
{
    INPUT stroke[2] = {};
    for (INPUT& input : stroke) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    }
    stroke[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, stroke, sizeof(INPUT));
}

class SwimmerEndToEndTest : public ::testing::Test
{
protected:
    // Starts swimmer.exe and waits for its window and its first picture.
    void SetUp() override
    {
        const std::filesystem::path program = ThisExecutableFolder() / "swimmer.exe";
        std::string commandLine = "\"" + program.string() + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(program.string().c_str(), commandLine.data(), nullptr, nullptr,
                                   FALSE, 0, nullptr, nullptr, &startup, &Process))
            << "cannot start " << program << ", error " << GetLastError();

        ASSERT_TRUE(PollUntil(WindowTimeout, [&] { return (Window = OwnWindow()) != nullptr; }))
            << "no visible window of class " << SwimmerClass << " titled \"" << SwimmerTitle
            << "\" within " << WindowTimeout << " ms";
        ASSERT_TRUE(WaitForPicture("first-picture", First)) << "the first picture: " << Problem;
    }

    void TearDown() override
    {
        if (HasFailure())
            SaveShots();
        if (Process.hProcess) {
            if (WaitForSingleObject(Process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(Process.hProcess, 255);
                WaitForSingleObject(Process.hProcess, 5000);
            }
            CloseHandle(Process.hThread);
            CloseHandle(Process.hProcess);
        }
    }

    // The visible swimmer window of the process started here.
    HWND OwnWindow() const
    {
        HWND hwnd = nullptr;
        while ((hwnd = FindWindowExA(nullptr, hwnd, SwimmerClass, SwimmerTitle)) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(hwnd, &process);
            if (process == Process.dwProcessId && IsWindowVisible(hwnd))
                return hwnd;
        }
        return nullptr;
    }

    RECT ClientOnScreen() const
    {
        RECT client = {};
        GetClientRect(Window, &client);
        POINT origin = {0, 0};
        ClientToScreen(Window, &origin);
        OffsetRect(&client, origin.x, origin.y);
        return client;
    }

    const CRgbImage& Shoot(const std::string& label)
    {
        char name[100];
        std::snprintf(name, sizeof name, "%02d-%s", ShotCount++, label.c_str());
        if (Shots.size() == KeptShots)
            Shots.erase(Shots.begin() + KeptShots / 4);
        Shots.emplace_back(name, CaptureScreen());
        return Shots.back().second;
    }

    // Polls screenshots until one shows the whole picture; the last problem
    // seen stays in Problem.
    bool WaitForPicture(const std::string& label, HeadMarker& head)
    {
        return PollUntil(PictureTimeout, [&] {
            const CRgbImage& shot = Shoot(label);
            const RECT client = ClientOnScreen();
            Problem = PictureProblem(shot, client);
            head = FindHead(shot, client);
            return Problem.empty();
        });
    }

    // Polls until the head is seen away from where it was.
    bool WaitForHeadToMove(const std::string& label, const HeadMarker& from, HeadMarker& to)
    {
        return PollUntil(MoveTimeout, [&] {
            to = FindHead(Shoot(label), ClientOnScreen());
            return to.Found && (to.X != from.X || to.Y != from.Y);
        });
    }

    // Makes the window the foreground window, where the keyboard's input
    // goes.
    bool BringToFront()
    {
        return PollUntil(TitleTimeout, [&] {
            SetForegroundWindow(Window);
            return GetForegroundWindow() == Window;
        });
    }

    // Presses T and waits for the window to be replaced by one in the other
    // frame, painted.
    bool SwitchFrame(const std::string& label, bool titleWanted, int captionRow)
    {
        if (!BringToFront()) {
            Problem = "the window does not come to the foreground";
            return false;
        }
        const HWND old = Window;
        const RECT bounds = [&] {
            RECT r;
            GetWindowRect(old, &r);
            return r;
        }();
        PressKey('T');
        const bool replaced = PollUntil(TitleTimeout, [&] {
            const HWND hwnd = OwnWindow();
            if (!hwnd || hwnd == old || IsWindow(old)) {
                Problem = "the window was not replaced";
                return false;
            }
            Window = hwnd;
            if (HasTitleBar(hwnd) != titleWanted) {
                Problem = titleWanted ? "the new window has no title bar"
                                      : "the new window has a title bar";
                return false;
            }
            return true;
        });
        return replaced && WaitForCaption(label, titleWanted, captionRow, bounds);
    }

    // Polls screenshots until the caption row is painted as the frame
    // should be. The frame and the client area are painted on messages of
    // their own, so a screenshot can show the whole picture before the
    // caption.
    bool WaitForCaption(const std::string& label, bool titleWanted, int captionRow,
                        const RECT& bounds)
    {
        return PollUntil(TitleTimeout, [&] {
            Problem = CaptionProblem(Shoot(label), titleWanted, captionRow, bounds);
            return Problem.empty();
        });
    }

    // Closes the window as its close box does; the program has to end with
    // status 0 within the time limit.
    void CloseAndExpectExitZero()
    {
        const HWND hwnd = OwnWindow();
        ASSERT_TRUE(hwnd) << "the window has gone before it was closed";
        ASSERT_TRUE(PostMessageA(hwnd, WM_CLOSE, 0, 0));
        const DWORD start = GetTickCount();
        ASSERT_EQ(WaitForSingleObject(Process.hProcess, ExitTimeout), WAIT_OBJECT_0)
            << "swimmer.exe still runs " << ExitTimeout << " ms after WM_CLOSE";
        RecordProperty("exit_ms", std::to_string(GetTickCount() - start));
        DWORD status = 1234;
        GetExitCodeProcess(Process.hProcess, &status);
        EXPECT_EQ(status, 0u);
    }

    void SaveShots()
    {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::filesystem::path folder = ThisExecutableFolder() / "e2e-artifacts" / test;
        Shoot("teardown");
        std::error_code error;
        std::filesystem::remove_all(folder, error);
        std::filesystem::create_directories(folder, error);
        for (const auto& [name, shot] : Shots)
            if (shot.GetWidth() > 0)
                WritePng((folder / (name + ".png")).string(), shot);
        ADD_FAILURE() << "the screenshots of this run are in " << folder.string();
    }

    PROCESS_INFORMATION Process = {};
    HWND Window = nullptr;
    HeadMarker First;
    std::string Problem;
    std::deque<std::pair<std::string, CRgbImage>> Shots;
    int ShotCount = 0;
};

TEST_F(SwimmerEndToEndTest, CoversTheScreenSwimsAndClosesWithStatusZero)
{
    RECT desktop, window;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(Window, &window);
    EXPECT_TRUE(EqualRect(&window, &desktop))
        << "window " << window.left << ", " << window.top << ", " << window.right << ", "
        << window.bottom << "; desktop " << desktop.right << " x " << desktop.bottom;
    EXPECT_TRUE(HasTitleBar(Window));

    // Taken by WaitForPicture: white, the red head, black segments.
    const CRgbImage before = Shots.back().second;
    Sleep(MoveInterval);
    HeadMarker later;
    ASSERT_TRUE(WaitForPicture("half-a-second-later", later)) << Problem;
    const long changed = ChangedPixels(before, Shots.back().second, ClientOnScreen());
    EXPECT_GE(changed, LeastChangedPixels)
        << "the swimmer did not move: head " << First << " then " << later;

    CloseAndExpectExitZero();
}

TEST_F(SwimmerEndToEndTest, TurnsLeftAfterAClickLeftOfTheHead)
{
    ASSERT_TRUE(BringToFront());
    const HeadMarker start = First;
    ClickAt(start.X - ClickOffset, start.Y);

    std::vector<HeadMarker> track;
    std::ostringstream trace;
    bool jumped = false;
    const bool turned = PollUntil(
        TurnTimeout,
        [&] {
            const HeadMarker head = FindHead(Shoot("track"), ClientOnScreen());
            if (!head.Found)
                return false;
            if (!track.empty() && (std::abs(head.X - track.back().X) > LargestStep ||
                                   std::abs(head.Y - track.back().Y) > LargestStep))
                jumped = true;
            track.push_back(head);
            trace << head << " ";
            if (track.size() < TrackWindow)
                return false;
            long sum = 0;
            for (size_t i = track.size() - TrackWindow; i < track.size(); ++i)
                sum += track[i].X;
            return sum < long(TrackWindow) * (start.X - TurnDistance);
        },
        TrackInterval);
    EXPECT_TRUE(turned) << "the head at " << start << " did not go " << TurnDistance
                        << " pixels left within " << TurnTimeout << " ms: " << trace.str();
    EXPECT_FALSE(jumped) << "the head jumped: " << trace.str();
    RecordProperty("turn_track", trace.str());

    CloseAndExpectExitZero();
}

TEST_F(SwimmerEndToEndTest, TheTitleBarGoesAndComesBackWithTWhileItSwims)
{
    ASSERT_TRUE(HasTitleBar(Window));
    RECT window;
    GetWindowRect(Window, &window);
    const int captionRow = (window.top + ClientOnScreen().top) / 2;
    ASSERT_TRUE(WaitForCaption("caption", true, captionRow, window)) << Problem;

    ASSERT_TRUE(SwitchFrame("no-title", false, captionRow)) << Problem;
    HeadMarker head, moved;
    ASSERT_TRUE(WaitForPicture("no-title-picture", head)) << Problem;
    EXPECT_TRUE(WaitForHeadToMove("no-title-swims", head, moved))
        << "the head stays at " << head << " without a title bar";

    ASSERT_TRUE(SwitchFrame("title-again", true, captionRow)) << Problem;
    ASSERT_TRUE(WaitForPicture("title-again-picture", head)) << Problem;
    EXPECT_TRUE(WaitForHeadToMove("title-again-swims", head, moved))
        << "the head stays at " << head << " with the title bar back";

    CloseAndExpectExitZero();
}

}  // namespace
