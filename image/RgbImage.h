#pragma once
// CRgbImage: an 8-bit RGB picture, rows from the top, three bytes a pixel
// (red, green, blue) with no padding between rows.

#include <cstdint>
#include <vector>

struct Rgb
{
    std::uint8_t R, G, B;
    bool operator==(const Rgb&) const = default;
};

class CRgbImage
{
public:
    CRgbImage() = default;
    CRgbImage(int width, int height)
        : Width(width), Height(height), Bytes(static_cast<size_t>(width) * height * 3)
    {
    }

    int GetWidth() const { return Width; }
    int GetHeight() const { return Height; }
    // Row-major, 3 * width bytes a row.
    const std::vector<std::uint8_t>& GetBytes() const { return Bytes; }
    std::uint8_t* Data() { return Bytes.data(); }

    Rgb At(int x, int y) const
    {
        const std::uint8_t* p = &Bytes[Offset(x, y)];
        return {p[0], p[1], p[2]};
    }
    void Set(int x, int y, Rgb colour)
    {
        std::uint8_t* p = &Bytes[Offset(x, y)];
        p[0] = colour.R;
        p[1] = colour.G;
        p[2] = colour.B;
    }

private:
    size_t Offset(int x, int y) const { return (static_cast<size_t>(y) * Width + x) * 3; }

    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Bytes;
};
