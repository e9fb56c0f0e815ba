#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "AllocationCounter.h"
#include "EmbeddedNetwork.h"
#include "PixelCanvas.h"
#include "StartPicture.h"
#include "SwimmerPicture.h"
#include "SwimmerView.h"
#include "WebSwimmer.h"

namespace {

const ClientSize DefaultView = SwimmerView::DefaultClient;

// What the page shows: a screen that gets only the changed boxes copied
// onto it, as the page's script copies them onto its canvas.
struct Screen
{
    explicit Screen(ClientSize client)
        : Client(client), Rgba(static_cast<std::size_t>(client.Width) * client.Height * 4, 0)
    {
    }

    void CopyChanged(CWebSwimmer& swimmer)
    {
        const PixelBox& box = swimmer.GetChanged();
        const std::uint8_t* pixels = swimmer.GetPixels();
        for (int y = box.Top; y <= box.Bottom; ++y) {
            const std::size_t row = (static_cast<std::size_t>(y) * Client.Width + box.Left) * 4;
            std::memcpy(&Rgba[row], pixels + row, static_cast<std::size_t>(box.Right - box.Left + 1) * 4);
        }
        swimmer.ClearChanged();
    }

    ClientSize Client;
    std::vector<std::uint8_t> Rgba;
};

// The swimmer's picture drawn afresh on a white view, expanded to RGBA.
std::vector<std::uint8_t> WholePicture(const CSwimmerControlLoop& loop, ClientSize client)
{
    CPixelCanvas canvas(client.Width, client.Height);
    CSwimmerPicture picture;
    picture.DirtyWholeClient(client);
    picture.Draw(canvas, loop, client);
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < client.Height; ++y)
        for (int x = 0; x < client.Width; ++x) {
            const auto& colour = PaintColours[static_cast<int>(canvas.At(x, y))];
            rgba.insert(rgba.end(), {colour[0], colour[1], colour[2], 255});
        }
    return rgba;
}

}  // namespace

// The first picture a page shows, on the very code it loads (this test runs
// under node in the WebAssembly build too): the demonstration's start in
// the palette's colours, opaque, the whole view marked for copying. The
// page's own test compares its screenshot with these pixels.
TEST(WebSwimmerTest, AFreshSwimmerOnTheDefaultViewShowsTheStartPicture)
{
    const ClientSize view = DefaultView;
    CWebSwimmer swimmer(EmbeddedSwimmer(), view);
    ASSERT_EQ(swimmer.GetClient().Width, view.Width);
    ASSERT_EQ(swimmer.GetClient().Height, view.Height);
    const std::uint8_t* pixels = swimmer.GetPixels();
    int wrong = 0;
    for (int y = 0; y < view.Height; ++y)
        for (int x = 0; x < view.Width; ++x) {
            const auto& colour = PaintColours[static_cast<int>(StartPicturePaint(x, y))];
            const std::uint8_t* pixel = pixels + (static_cast<std::size_t>(y) * view.Width + x) * 4;
            if ((pixel[0] != colour[0] || pixel[1] != colour[1] || pixel[2] != colour[2] ||
                 pixel[3] != 255) &&
                ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " is RGBA " << int{pixel[0]} << ' '
                              << int{pixel[1]} << ' ' << int{pixel[2]} << ' ' << int{pixel[3]};
        }
    EXPECT_EQ(wrong, 0);
    const PixelBox& changed = swimmer.GetChanged();
    EXPECT_EQ(changed.Left, 0);
    EXPECT_EQ(changed.Top, 0);
    EXPECT_EQ(changed.Right, view.Width - 1);
    EXPECT_EQ(changed.Bottom, view.Height - 1);
    EXPECT_EQ(swimmer.GetTicks(), 0.0);
}

// The page copies only the boxes that changed; after frames, a click, a
// wrap at the edge and resizes, what it shows must still be the picture
// drawn afresh.
TEST(WebSwimmerTest, CopyingOnlyTheChangedBoxesShowsTheWholePicture)
{
    ClientSize client = {300, 200};
    CWebSwimmer swimmer(EmbeddedSwimmer(), client);
    Screen screen(client);
    screen.CopyChanged(swimmer);
    EXPECT_EQ(screen.Rgba, WholePicture(swimmer.GetLoop(), client));

    double now = 0.0;
    int ticks = 0;
    auto runFrames = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            now += 1000.0 / 60.0;
            ticks += swimmer.Frame(now);
            screen.CopyChanged(swimmer);
        }
    };
    runFrames(30);
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(swimmer.GetTicks(), ticks);
    EXPECT_EQ(screen.Rgba, WholePicture(swimmer.GetLoop(), client));

    // Straight down from the head: the swimmer heads for the bottom edge
    // and wraps round to the top.
    const CSwimmerControlLoop& loop = swimmer.GetLoop();
    swimmer.PressAt(static_cast<unsigned>(loop.GetHeadX() * SwimmerView::PixelsPerUnit), 199);
    EXPECT_NEAR(loop.GetTargetDirection(), -std::numbers::pi / 2, 0.1);
    runFrames(600);
    EXPECT_NE(loop.GetUnwrappedHeadY(), loop.GetHeadY()) << "no wrap in ten seconds";
    EXPECT_EQ(screen.Rgba, WholePicture(loop, client));

    // Smaller, so that the head lies beyond the right edge, then larger.
    for (const ClientSize size : {ClientSize{100, 150}, ClientSize{420, 260}}) {
        swimmer.Resize(size);
        client = size;
        screen = Screen(client);
        EXPECT_EQ(swimmer.GetChanged().Right, client.Width - 1);
        EXPECT_EQ(swimmer.GetChanged().Bottom, client.Height - 1);
        screen.CopyChanged(swimmer);
        runFrames(20);
        EXPECT_LE(loop.GetHeadX(), loop.ViewWidth(client));
        EXPECT_EQ(screen.Rgba, WholePicture(loop, client));
    }

    // Frames whose changes the page has not copied yet add up.
    swimmer.RunTicks(5);
    swimmer.Draw();
    swimmer.RunTicks(5);
    swimmer.Draw();
    screen.CopyChanged(swimmer);
    EXPECT_EQ(screen.Rgba, WholePicture(loop, client));
}

TEST(WebSwimmerTest, AFrameAllocatesNothingAndTheFiguresFollowTheRun)
{
    CWebSwimmer swimmer(EmbeddedSwimmer(), DefaultView);
    swimmer.Frame(0.0);
    const AllocationCounter counter;
    for (int frame = 1; frame <= 60; ++frame)
        swimmer.Frame(frame * 1000.0 / 60.0);
    EXPECT_EQ(counter.Count(), 0);

    EXPECT_EQ(swimmer.GetTicks(), 100.0);
    EXPECT_DOUBLE_EQ(swimmer.GetSimulatedTime(), 1.0);
    EXPECT_EQ(swimmer.GetPacer().TicksPerSecond(1000.0), 100);
    const CVector& state = swimmer.GetLoop().GetState();
    EXPECT_DOUBLE_EQ(swimmer.GetSpeed(), std::hypot(state[0], state[1]));
    EXPECT_GT(swimmer.GetSpeed(), 0.0);
}

TEST(WebSwimmerTest, APressSetsTheDirectionFromTheHeadAndAnEmptyViewStillWorks)
{
    CWebSwimmer swimmer(EmbeddedSwimmer(), DefaultView);
    // Head at (10, 4) units: pixel (700, 420). A press on its row to the left.
    swimmer.PressAt(100, 420);
    EXPECT_DOUBLE_EQ(swimmer.GetLoop().GetTargetDirection(), std::numbers::pi);
    swimmer.PressAt(700, 0);
    EXPECT_DOUBLE_EQ(swimmer.GetLoop().GetTargetDirection(), std::numbers::pi / 2);

    // A page laid out at no size yet gets one pixel, and goes on.
    swimmer.Resize({0, 0});
    EXPECT_EQ(swimmer.GetClient().Width, 1);
    EXPECT_EQ(swimmer.GetClient().Height, 1);
    swimmer.RunTicks(3);
    swimmer.Draw();
    swimmer.Resize(DefaultView);
    EXPECT_EQ(swimmer.GetChanged().Right, 1399);
}
