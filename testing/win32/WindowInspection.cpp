#include "WindowInspection.h"

Edges EdgesOf(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

Edges RestoredEdges(HWND hwnd)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd, &placement);
    return EdgesOf(placement.rcNormalPosition);
}

std::string TitleOf(HWND hwnd)
{
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

bool HasTitleBar(HWND hwnd)
{
    return (GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}
