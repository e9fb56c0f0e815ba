#include "SwimmerPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "TestLoop.h"

namespace {

// Records what a picture asks of the device, one string per operation.
class CRecordingCanvas : public CCanvas
{
public:
    void Fill(const PixelRect& r, Paint paint) override
    {
        const char* names[] = {"white", "black", "red"};
        Operations.push_back("fill " + std::string(names[static_cast<int>(paint)]) + " " +
                             Box(r.Left, r.Top, r.Right, r.Bottom));
    }
    void MoveTo(int x, int y) override { Operations.push_back("move " + Box(x, y)); }
    void LineTo(int x, int y) override { Operations.push_back("line " + Box(x, y)); }

    static std::string Box(int a, int b, int c, int d)
    {
        return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
               std::to_string(d);
    }
    static std::string Box(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

    std::vector<std::string> Operations;
};

std::string DirtyOf(const CSwimmerPicture& picture)
{
    const PixelBox& r = picture.GetDirty();
    return CRecordingCanvas::Box(r.Left, r.Top, r.Right, r.Bottom);
}

// The start on 1400 x 700 pixels: head at (10, 4) units, pixel (700, 420);
// the segments point up, 70 pixels each.
TEST(SwimmerPictureTest, TheFirstPictureClearsTheClientAndDrawsTheUprightSwimmer)
{
    TestLoop loop;
    CSwimmerPicture picture;
    CRecordingCanvas canvas;
    picture.DirtyWholeClient(loop.Client);
    picture.Draw(canvas, loop.Loop, loop.Client);
    const std::vector<std::string> expected = {
        "fill white 0,0,1401,701",  // the whole client area and a pixel beyond
        "fill red 698,418,703,423",  // columns 698 to 702, rows 418 to 422
        "move 700,420",
        "line 700,350",
        "fill black 698,348,703,353",
        "line 700,280",
        "fill black 698,278,703,283",
        "line 700,210",
        "fill black 698,208,703,213",
    };
    EXPECT_EQ(canvas.Operations, expected);
    EXPECT_EQ(DirtyOf(picture), "698,208,702,422");
}

TEST(SwimmerPictureTest, EachPictureErasesExactlyThePreviousMarkersBox)
{
    TestLoop loop;
    CSwimmerPicture picture;
    CRecordingCanvas first;
    picture.DirtyWholeClient(loop.Client);
    picture.Draw(first, loop.Loop, loop.Client);
    for (int tick = 0; tick < 30; ++tick) {
        const std::string previous = DirtyOf(picture);
        const PixelBox box = picture.GetDirty();
        loop.Tick();
        CRecordingCanvas canvas;
        picture.Draw(canvas, loop.Loop, loop.Client);
        ASSERT_EQ(canvas.Operations.front(),
                  "fill white " + CRecordingCanvas::Box(box.Left, box.Top, box.Right + 1, box.Bottom + 1))
            << "after " << previous;
        // The new box is the bounding box of the four markers just drawn.
        int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
        for (const std::string& op : canvas.Operations) {
            int l, t, r, b;
            if (op.rfind("fill white", 0) != 0 && std::sscanf(op.c_str() + op.find(' ', 5) + 1,
                                                              "%d,%d,%d,%d", &l, &t, &r, &b) == 4) {
                left = std::min(left, l);
                top = std::min(top, t);
                right = std::max(right, r - 1);
                bottom = std::max(bottom, b - 1);
            }
        }
        EXPECT_EQ(DirtyOf(picture), CRecordingCanvas::Box(left, top, right, bottom));
    }
}

TEST(SwimmerPictureTest, PixelsTruncateTowardsZeroAndOffClientMarkersStillCount)
{
    TestLoop loop;
    CSwimmerPicture picture;
    CRecordingCanvas canvas;
    loop.Loop.SetHead(-0.01, 4);  // pixel column 0, not -1
    picture.ResetDirty(loop.Client);
    EXPECT_EQ(DirtyOf(picture), "1400,700,0,0");
    picture.Draw(canvas, loop.Loop, loop.Client);
    EXPECT_EQ(canvas.Operations[1], "fill red -2,418,3,423");
    EXPECT_EQ(canvas.Operations[2], "move 0,420");
    EXPECT_EQ(picture.GetDirty().Left, -2);  // the part off the client area counts

    // A head that wrapped from the right edge to the left: the next picture
    // erases the old box at the far edge.
    loop.Loop.SetHead(19.99, 4);
    CRecordingCanvas atTheEdge;
    picture.Draw(atTheEdge, loop.Loop, loop.Client);
    loop.Loop.SetHead(0.01, 4);
    CRecordingCanvas wrapped;
    const PixelBox old = picture.GetDirty();
    picture.Draw(wrapped, loop.Loop, loop.Client);
    EXPECT_EQ(old.Right, 1399 + 2);
    EXPECT_EQ(wrapped.Operations[0], "fill white " + CRecordingCanvas::Box(old.Left, old.Top, old.Right + 1, old.Bottom + 1));
    EXPECT_EQ(wrapped.Operations[1], "fill red -2,418,3,423");
}

}  // namespace
