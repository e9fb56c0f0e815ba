#include "MemoryBitmap.h"

CMemoryBitmap::CMemoryBitmap(int width, int height, HDC device) : Width(width), Height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Hdc = CreateCompatibleDC(device);
    void* bits = nullptr;
    Bitmap = CreateDIBSection(Hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (Hdc && Bitmap && bits) {
        Old = SelectObject(Hdc, Bitmap);
        Bits = static_cast<DWORD*>(bits);
    }
}

CMemoryBitmap::~CMemoryBitmap()
{
    if (Old)
        SelectObject(Hdc, Old);
    if (Bitmap)
        DeleteObject(Bitmap);
    if (Hdc)
        DeleteDC(Hdc);
}

void CMemoryBitmap::Fill(COLORREF colour)
{
    GdiFlush();
    const DWORD bgr = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < Width * Height; ++i)
        Bits[i] = bgr;
}

COLORREF CMemoryBitmap::At(int x, int y) const
{
    GdiFlush();
    const DWORD bgr = Bits[y * Width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

CRgbImage CMemoryBitmap::ToImage() const
{
    GdiFlush();
    CRgbImage image(Width, Height);
    const auto* bgrx = reinterpret_cast<const BYTE*>(Bits);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x, bgrx += 4)
            image.Set(x, y, {bgrx[2], bgrx[1], bgrx[0]});
    return image;
}
