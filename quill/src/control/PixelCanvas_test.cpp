#include "PixelCanvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "StartPicture.h"
#include "TestLoop.h"

namespace {

// Counts the pixels that differ from what expected() says, reporting the
// first few.
template <typename Expected>
int CountWrong(const CPixelCanvas& canvas, Expected expected)
{
    int wrong = 0;
    for (int y = 0; y < canvas.GetHeight(); ++y)
        for (int x = 0; x < canvas.GetWidth(); ++x)
            if (canvas.At(x, y) != expected(x, y) && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " is "
                              << static_cast<int>(canvas.At(x, y));
    return wrong;
}

TEST(PixelCanvasTest, TheStartPictureIsExact)
{
    TestLoop loop;
    CSwimmerPicture picture;
    CPixelCanvas canvas(loop.Client.Width, loop.Client.Height);
    picture.DirtyWholeClient(loop.Client);
    picture.Draw(canvas, loop.Loop, loop.Client);
    EXPECT_EQ(CountWrong(canvas, StartPicturePaint), 0);
}

// Fills leave out their right and bottom edges and are clipped; a line
// leaves out its end point and is clipped too, however far outside it runs.
TEST(PixelCanvasTest, FillsAndLinesKeepTheDevicesEdgeRulesAndClip)
{
    CPixelCanvas canvas(10, 6);
    canvas.Fill({-3, 4, 2, 99}, Paint::Head);  // columns 0-1, rows 4-5
    canvas.MoveTo(3, 1);
    canvas.LineTo(7, 1);                       // columns 3-6 of row 1
    canvas.LineTo(7, -50);                     // up and out: column 7, row 1 and 0
    canvas.MoveTo(INT_MIN, INT_MIN);
    canvas.LineTo(INT_MAX, INT_MAX);           // from a lost position: nothing
    canvas.LineTo(-1000, 2);
    canvas.LineTo(1000, 2);                    // all of row 2
    EXPECT_EQ(CountWrong(canvas,
                         [](int x, int y) {
                             if (x <= 1 && y >= 4)
                                 return Paint::Head;
                             if ((y == 1 && x >= 3 && x <= 7) || (x == 7 && y == 0) || y == 2)
                                 return Paint::Joint;
                             return Paint::Background;
                         }),
              0);
    canvas.Clear();
    EXPECT_EQ(CountWrong(canvas, [](int, int) { return Paint::Background; }), 0);
}

// In every octant a line takes one pixel per step of its longer axis, each
// touching the last, from the start up to the end point; drawn backwards it
// covers the same pixels but for the two ends. Any other tie rule or an
// error in the closed form breaks one of these.
TEST(PixelCanvasTest, LinesWalkOnePixelPerStepAndAreTheSameBothWays)
{
    const int size = 41, centre = 20;
    for (int dx = -17; dx <= 17; ++dx)
        for (int dy = -17; dy <= 17; ++dy) {
            if (dx == 0 && dy == 0)
                continue;
            CPixelCanvas forward(size, size), backward(size, size);
            forward.MoveTo(centre, centre);
            forward.LineTo(centre + dx, centre + dy);
            backward.MoveTo(centre + dx, centre + dy);
            backward.LineTo(centre, centre);
            const std::string line = std::to_string(dx) + ", " + std::to_string(dy);
            int count = 0, mismatches = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const bool inForward = forward.At(x, y) == Paint::Joint;
                    const bool inBackward = backward.At(x, y) == Paint::Joint;
                    count += inForward;
                    const bool start = x == centre && y == centre;
                    const bool end = x == centre + dx && y == centre + dy;
                    if (start)
                        EXPECT_TRUE(inForward && !inBackward) << line;
                    else if (end)
                        EXPECT_TRUE(!inForward && inBackward) << line;
                    else
                        mismatches += inForward != inBackward;
                    if (inForward && !start) {
                        // Each pixel but the first has a neighbour one step back.
                        bool touches = false;
                        for (int ny = y - 1; ny <= y + 1; ++ny)
                            for (int nx = x - 1; nx <= x + 1; ++nx)
                                touches |= (nx != x || ny != y) && nx >= 0 && ny >= 0 &&
                                           nx < size && ny < size &&
                                           forward.At(nx, ny) == Paint::Joint;
                        EXPECT_TRUE(touches) << line << " at " << x << ", " << y;
                    }
                }
            EXPECT_EQ(count, std::max(std::abs(dx), std::abs(dy))) << line;
            EXPECT_EQ(mismatches, 0) << line;
        }
}

}  // namespace
