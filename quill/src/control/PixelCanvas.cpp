#include "PixelCanvas.h"

#include <algorithm>
#include <cstdlib>

CPixelCanvas::CPixelCanvas(int width, int height)
    : Width(std::max(width, 0)),
      Height(std::max(height, 0)),
      Indices(static_cast<std::size_t>(Width) * Height,
              static_cast<std::uint8_t>(Paint::Background))
{
}

void CPixelCanvas::Clear()
{
    std::fill(Indices.begin(), Indices.end(), static_cast<std::uint8_t>(Paint::Background));
}

void CPixelCanvas::Fill(const PixelRect& rect, Paint paint)
{
    const int left = std::max(rect.Left, 0), right = std::min(rect.Right, Width);
    const int top = std::max(rect.Top, 0), bottom = std::min(rect.Bottom, Height);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            Indices[Offset(x, y)] = static_cast<std::uint8_t>(paint);
}

void CPixelCanvas::MoveTo(int x, int y)
{
    CurrentX = x;
    CurrentY = y;
}

// Bresenham's walk along the major axis (the longer of |dx|, |dy|; y when
// they are equal), one pixel per step, the end point excluded. After i steps
// the minor coordinate has moved k_i = ⌊(2·minor·i + major − 1 + bias) /
// (2·major)⌋ pixels, the closed form of the error recurrence e₀ = 2·minor −
// major, step when e + bias > 0. The bias, 1 in the octants that run up or
// left (3, 5, 6 and 8, counted counter-clockwise from +x with y down),
// decides ties the way a window's device does, so a line from a to b covers
// the pixels of the line from b to a but the ends. The closed form lets the
// walk start and stop at the buffer's edges, so a line far outside costs
// nothing.
void CPixelCanvas::LineTo(int x, int y)
{
    const long long x0 = CurrentX, y0 = CurrentY;
    const long long dx = static_cast<long long>(x) - x0, dy = static_cast<long long>(y) - y0;
    CurrentX = x;
    CurrentY = y;
    const long long adx = std::llabs(dx), ady = std::llabs(dy);

    int octant;
    if (dy > 0)
        octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    else
        octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    const long long bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;

    const bool xMajor = adx > ady;
    const long long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    // Nothing is longer than 2^30 pixels but a line from a position that was
    // not a number; skipping it keeps 2·minor·i within 64 bits.
    if (major == 0 || major > (1LL << 30))
        return;
    const long long majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long majorSize = xMajor ? Width : Height, minorSize = xMajor ? Height : Width;

    // Steps i in [0, major) whose major coordinate lies in [0, majorSize).
    long long first, last;
    if (majorStep > 0) {
        first = std::max(0LL, -majorStart);
        last = std::min(major - 1, majorSize - 1 - majorStart);
    } else {
        first = std::max(0LL, majorStart - (majorSize - 1));
        last = std::min(major - 1, majorStart);
    }
    for (long long i = first; i <= last; ++i) {
        const long long k = (2 * minor * i + major - 1 + bias) / (2 * major);
        const long long m = majorStart + majorStep * i, n = minorStart + minorStep * k;
        if (n < 0 || n >= minorSize)
            continue;
        if (xMajor)
            Plot(static_cast<int>(m), static_cast<int>(n));
        else
            Plot(static_cast<int>(n), static_cast<int>(m));
    }
}

void CPixelCanvas::Plot(int x, int y)
{
    Indices[Offset(x, y)] = static_cast<std::uint8_t>(Paint::Joint);
}
