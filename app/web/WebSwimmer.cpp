#include "WebSwimmer.h"

#include <algorithm>
#include <cstring>

#include "Elementary.h"
#include "SwimmerView.h"

namespace {

// A view of no pixels still gets a canvas of one, so that nothing divides
// or indexes by zero while a page is laid out.
ClientSize AtLeastOnePixel(ClientSize client)
{
    return {std::max(client.Width, 1), std::max(client.Height, 1)};
}

// The palette's colours as RGBA words whose bytes lie in memory in the
// order R, G, B, A, the order of a page's image data, on either byte order.
std::uint32_t RgbaWord(const std::uint8_t (&rgb)[3])
{
    const std::uint8_t bytes[4] = {rgb[0], rgb[1], rgb[2], 255};
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

const std::uint32_t PaletteWords[3] = {
    RgbaWord(PaintColours[0]),
    RgbaWord(PaintColours[1]),
    RgbaWord(PaintColours[2]),
};

}  // namespace

CWebSwimmer::CWebSwimmer(const SwimmerNetwork& swimmer, ClientSize client)
    : Loop(MakeOnView<CSwimmerControlLoop>(swimmer)),
      Client(AtLeastOnePixel(client)),
      Canvas(Client.Width, Client.Height),
      Rgba(static_cast<std::size_t>(Client.Width) * Client.Height)
{
    Loop.Start(Client);
    Picture.DirtyWholeClient(Client);
    Draw();
}

int CWebSwimmer::Frame(double nowMs)
{
    const int ticks = Pacer.Advance(nowMs);
    if (ticks == 0)
        return 0;
    RunTicks(ticks);
    Pacer.Ran(ticks, nowMs);
    Draw();
    return ticks;
}

void CWebSwimmer::PressAt(unsigned x, unsigned y)
{
    Loop.PressAt(x, y, Client);
}

void CWebSwimmer::Resize(ClientSize client)
{
    client = AtLeastOnePixel(client);
    if (client.Width == Client.Width && client.Height == Client.Height)
        return;
    Client = client;
    Canvas = CPixelCanvas(Client.Width, Client.Height);
    Rgba.assign(static_cast<std::size_t>(Client.Width) * Client.Height, 0);
    Picture.DirtyWholeClient(Client);
    Draw();
}

void CWebSwimmer::RunTicks(int ticks)
{
    for (int i = 0; i < ticks; ++i)
        Loop.Tick(Client);
    Ticks += ticks;
}

// The pixels a drawing changes lie in the box it erased (the previous
// picture's) and the box it drew; the union of the two, clipped to the
// view, is what the page has to copy. An inverted box (nothing drawn inside
// the view) has left and top beyond right and bottom and adds nothing.
void CWebSwimmer::Draw()
{
    const PixelBox erased = Picture.GetDirty();
    Picture.Draw(Canvas, Loop, Client);
    const PixelBox& drawn = Picture.GetDirty();
    PixelBox box = {std::min(erased.Left, drawn.Left), std::min(erased.Top, drawn.Top),
                    std::max(erased.Right, drawn.Right), std::max(erased.Bottom, drawn.Bottom)};
    if (Changed.Left <= Changed.Right) {
        // Not yet copied by the page: both drawings' changes wait. After a
        // resize the waiting box may be the old view's: the clip below
        // brings it into this one.
        box.Left = std::min(box.Left, Changed.Left);
        box.Top = std::min(box.Top, Changed.Top);
        box.Right = std::max(box.Right, Changed.Right);
        box.Bottom = std::max(box.Bottom, Changed.Bottom);
    }
    box.Left = std::max(box.Left, 0);
    box.Top = std::max(box.Top, 0);
    box.Right = std::min(box.Right, Client.Width - 1);
    box.Bottom = std::min(box.Bottom, Client.Height - 1);
    if (box.Left > box.Right || box.Top > box.Bottom)
        return;
    Changed = box;
    ExpandChanged();
}

void CWebSwimmer::ExpandChanged()
{
    const std::uint8_t* indices = Canvas.GetIndices();
    for (int y = Changed.Top; y <= Changed.Bottom; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * Client.Width;
        for (int x = Changed.Left; x <= Changed.Right; ++x)
            Rgba[row + x] = PaletteWords[indices[row + x]];
    }
}

const std::uint8_t* CWebSwimmer::GetPixels() const
{
    return reinterpret_cast<const std::uint8_t*>(Rgba.data());
}

void CWebSwimmer::ClearChanged()
{
    Changed = {0, 0, -1, -1};
}

double CWebSwimmer::GetSpeed() const
{
    // State entries 0 and 1 are the velocity of the centre of mass.
    return Elementary::Hypot(Loop.GetState()[0], Loop.GetState()[1]);
}
