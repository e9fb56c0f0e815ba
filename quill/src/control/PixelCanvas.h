#pragma once
// CPixelCanvas: the picture's device in software, a buffer of one paint
// index a pixel, with the rules a window's device follows, so that the same
// CSwimmerPicture draws the same pixels anywhere (a recording, a web page):
//   - a fill covers Left..Right-1 and Top..Bottom-1, the right and bottom
//     edges excluded;
//   - a line is 1 pixel wide and solid, drawn from the current position up
//     to the end point, the end point itself excluded, through the pixels a
//     Bresenham walk takes, and the end point becomes the current position;
//   - everything is clipped to the buffer.
// The picture has three paints, so an index a pixel is the whole picture: a
// GIF takes it as it is, a PNG or a page expands it through PaintColours.
// Nothing allocates after construction.

#include <cstdint>
#include <vector>

#include "SwimmerPicture.h"

class CPixelCanvas : public CCanvas
{
public:
    // A buffer of the given size in pixels, all background.
    CPixelCanvas(int width, int height);

    void Fill(const PixelRect& rect, Paint paint) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

    // Paints the whole buffer with the background.
    void Clear();

    int GetWidth() const { return Width; }
    int GetHeight() const { return Height; }
    // Rows from the top, one Paint value a pixel, no padding.
    const std::uint8_t* GetIndices() const { return Indices.data(); }
    Paint At(int x, int y) const { return static_cast<Paint>(Indices[Offset(x, y)]); }

private:
    std::size_t Offset(int x, int y) const { return static_cast<std::size_t>(y) * Width + x; }
    void Plot(int x, int y);

    int Width;
    int Height;
    std::vector<std::uint8_t> Indices;
    int CurrentX = 0;
    int CurrentY = 0;
};
