#include "SwimmerPicture.h"

#include "Elementary.h"


namespace {

struct Pixel
{
    int X, Y;
};

// Truncation towards zero: -0.01 units is column 0, not -1.
Pixel PixelOf(double x, double y, double scale, double viewHeight)
{
    return {static_cast<int>(x * scale), static_cast<int>((viewHeight - y) * scale)};
}

}  // namespace

void CSwimmerPicture::Draw(CCanvas& canvas, const CSwimmerControlLoop& loop, ClientSize client)
{
    canvas.Fill({rcDirty.Left, rcDirty.Top, rcDirty.Right + 1, rcDirty.Bottom + 1},
                Paint::Background);
    ResetDirty(client);

    const double scale = loop.GetScale();
    const double viewHeight = loop.ViewHeight(client);
    double x = loop.GetHeadX();
    double y = loop.GetHeadY();
    const Pixel head = PixelOf(x, y, scale, viewHeight);
    DrawMarker(canvas, head.X, head.Y, Paint::Head);
    canvas.MoveTo(head.X, head.Y);
    // Joint i lies one unit along segment i from joint i-1.
    const CVector& state = loop.GetState();
    for (int i = 1; i <= loop.GetSegments(); ++i) {
        const auto [s, c] = Elementary::SinCos(state[2 * i]);
        x += c;
        y += s;
        const Pixel joint = PixelOf(x, y, scale, viewHeight);
        canvas.LineTo(joint.X, joint.Y);
        DrawMarker(canvas, joint.X, joint.Y, Paint::Joint);
    }
}

void CSwimmerPicture::DrawMarker(CCanvas& canvas, int px, int py, Paint paint)
{
    canvas.Fill({px - 2, py - 2, px + 3, py + 3}, paint);
    ExtendDirty(px - 2, py - 2);
    ExtendDirty(px + 2, py + 2);
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

void CSwimmerPicture::ResetDirty(ClientSize client)
{
    rcDirty = {client.Width, client.Height, 0, 0};
}

void CSwimmerPicture::DirtyWholeClient(ClientSize client)
{
    rcDirty = {0, 0, client.Width, client.Height};
}
