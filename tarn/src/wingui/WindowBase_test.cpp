#include "WindowBase.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// CWindowBase over a window it is given.
class CPlainWindow : public CWindowBase
{
public:
    explicit CPlainWindow(HWND hwnd) : Hwnd(hwnd) {}
    HWND GetHwnd() const override { return Hwnd; }

private:
    HWND Hwnd;
};

// A hidden popup without sizing frame: Win32 imposes a minimum size on
// windows with one, and these tests need exact rectangles.
struct Popup
{
    Popup(int left, int top, int right, int bottom)
        : Hwnd(CreateWindowExA(0, "STATIC", "", WS_POPUP, left, top, right - left, bottom - top,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~Popup() { DestroyWindow(Hwnd); }
    HWND Hwnd;
};

using Edges = std::array<LONG, 4>;

Edges RestoredEdges(HWND hwnd)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd, &placement);
    const RECT& r = placement.rcNormalPosition;
    return {r.left, r.top, r.right, r.bottom};
}

TEST(WindowBase, SetLeftAndSetTopMoveTheRestoredRectangleKeepingItsSize)
{
    CPlainWindow none(nullptr);
    EXPECT_EQ(none.GetLeft(), -1);
    EXPECT_EQ(none.GetTop(), -1);
    EXPECT_EQ(none.SetLeft(300), 0);
    EXPECT_EQ(none.SetTop(300), 0);

    Popup popup(10, 20, 110, 220);
    CPlainWindow window(popup.Hwnd);
    ASSERT_EQ(RestoredEdges(popup.Hwnd), (Edges{10, 20, 110, 220}));
    EXPECT_NE(window.SetLeft(300), 0);
    EXPECT_EQ(RestoredEdges(popup.Hwnd), (Edges{300, 20, 400, 220}));
    EXPECT_NE(window.SetTop(-40), 0);
    EXPECT_EQ(RestoredEdges(popup.Hwnd), (Edges{300, -40, 400, 160}));
    // Writing the placement back must not show a hidden window.
    EXPECT_FALSE(IsWindowVisible(popup.Hwnd));

    // A maximized window is placed by where it comes back to.
    ShowWindow(popup.Hwnd, SW_MAXIMIZE);
    EXPECT_EQ(window.GetLeft(), 300);
    EXPECT_EQ(window.GetTop(), -40);
    EXPECT_NE(window.SetTop(20), 0);
    EXPECT_TRUE(IsZoomed(popup.Hwnd));
    ShowWindow(popup.Hwnd, SW_RESTORE);
    RECT r;
    GetWindowRect(popup.Hwnd, &r);
    EXPECT_EQ((Edges{r.left, r.top, r.right, r.bottom}), (Edges{300, 20, 400, 220}));
}

}  // namespace
