#pragma once
// CMemoryBitmap: a 32-bit top-down DIB section selected into a memory
// device context. GDI draws into it, or copies a screen into it, and its
// pixels are read back in place: rows from the top, each pixel the bytes
// blue, green, red, unused.

#include <windows.h>

#include "RgbImage.h"

class CMemoryBitmap
{
public:
    // Compatible with device (the screen if null); IsValid says whether
    // Windows made it.
    CMemoryBitmap(int width, int height, HDC device = nullptr);
    ~CMemoryBitmap();
    CMemoryBitmap(const CMemoryBitmap&) = delete;
    CMemoryBitmap& operator=(const CMemoryBitmap&) = delete;

    bool IsValid() const { return Bits != nullptr; }
    HDC GetDC() const { return Hdc; }
    int GetWidth() const { return Width; }
    int GetHeight() const { return Height; }

    void Fill(COLORREF colour);
    // What GDI has drawn so far (it may batch its drawing until asked).
    COLORREF At(int x, int y) const;
    CRgbImage ToImage() const;

private:
    int Width, Height;
    HDC Hdc = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    DWORD* Bits = nullptr;
};
