#include "ScreenCapture.h"

#include <windows.h>

#include "MemoryBitmap.h"

CRgbImage CaptureScreen()
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0)
        return {};
    HDC screen = GetDC(nullptr);
    CRgbImage image;
    {
        CMemoryBitmap picture(width, height, screen);
        // CAPTUREBLT takes in layered windows too, as the user sees them.
        if (picture.IsValid() &&
            BitBlt(picture.GetDC(), 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT))
            image = picture.ToImage();
    }
    ReleaseDC(nullptr, screen);
    return image;
}
