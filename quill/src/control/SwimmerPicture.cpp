#include "control/SwimmerPicture.h"

#include <cmath>

#include "control/SwimmerControlLoop.h"

namespace {

struct Pixel
{
    int X, Y;
};

// Truncation towards zero: -0.01 units is column 0, not -1. The view height
// is read afresh, as the window may have changed size.
Pixel PixelOf(CSwimmerControlLoop& loop, double x, double y)
{
    const double scale = loop.GetScale();
    return {static_cast<int>(x * scale), static_cast<int>((loop.ViewHeight() - y) * scale)};
}

}  // namespace

void CSwimmerPicture::Draw(CCanvas& canvas, CSwimmerControlLoop& loop)
{
    canvas.Fill({rcDirty.Left, rcDirty.Top, rcDirty.Right + 1, rcDirty.Bottom + 1},
                Paint::Background);
    ResetDirty(loop);

    double x = loop.GetHeadX();
    double y = loop.GetHeadY();
    DrawMarker(canvas, loop, x, y, Paint::Head);
    const Pixel head = PixelOf(loop, x, y);
    canvas.MoveTo(head.X, head.Y);
    // Joint i lies one unit along segment i from joint i-1.
    const CVector& state = loop.GetState();
    for (int i = 1; i <= loop.GetSegments(); ++i) {
        x += std::cos(state[2 * i]);
        y += std::sin(state[2 * i]);
        const Pixel joint = PixelOf(loop, x, y);
        canvas.LineTo(joint.X, joint.Y);
        DrawMarker(canvas, loop, x, y, Paint::Joint);
    }
}

void CSwimmerPicture::DrawMarker(CCanvas& canvas, CSwimmerControlLoop& loop, double x, double y,
                                 Paint paint)
{
    const Pixel p = PixelOf(loop, x, y);
    canvas.Fill({p.X - 2, p.Y - 2, p.X + 3, p.Y + 3}, paint);
    ExtendDirty(p.X - 2, p.Y - 2);
    ExtendDirty(p.X + 2, p.Y + 2);
}

void CSwimmerPicture::ExtendDirty(int px, int py)
{
    if (px < rcDirty.Left)
        rcDirty.Left = px;
    if (py < rcDirty.Top)
        rcDirty.Top = py;
    if (px > rcDirty.Right)
        rcDirty.Right = px;
    if (py > rcDirty.Bottom)
        rcDirty.Bottom = py;
}

void CSwimmerPicture::ResetDirty(CSwimmerControlLoop& loop)
{
    rcDirty = {loop.ClientWidth(), loop.ClientHeight(), 0, 0};
}

void CSwimmerPicture::DirtyWholeClient(CSwimmerControlLoop& loop)
{
    rcDirty = {0, 0, loop.ClientWidth(), loop.ClientHeight()};
}
