#include "ScreenCapture.h"

#include <windows.h>

CRgbImage CaptureScreen()
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0)
        return {};

    // A top-down 32-bit DIB section: rows from the top, each pixel the bytes
    // blue, green, red, unused, so the copy below reads it directly.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    CRgbImage image;
    if (memory && bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        // CAPTUREBLT takes in layered windows too, as the user sees them.
        if (BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            image = CRgbImage(width, height);
            const auto* bgrx = static_cast<const BYTE*>(bits);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x, bgrx += 4)
                    image.Set(x, y, {bgrx[2], bgrx[1], bgrx[0]});
        }
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}
