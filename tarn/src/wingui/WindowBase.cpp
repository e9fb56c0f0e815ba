#include "WindowBase.h"

CWindowBase::~CWindowBase() = default;

HWND CWindowBase::GetHwnd() const
{
    return nullptr;
}

int CWindowBase::IsVisible() const
{
    return IsWindowVisible(GetHwnd());
}

bool CWindowBase::ReadPlacement(HWND hwnd, WINDOWPLACEMENT& placement)
{
    placement = {};
    placement.length = sizeof placement;
    if (!hwnd || !GetWindowPlacement(hwnd, &placement))
        return false;
    if (!IsWindowVisible(hwnd))
        placement.showCmd = SW_HIDE;
    return true;
}

int CWindowBase::GetLeft() const
{
    WINDOWPLACEMENT placement;
    if (!ReadPlacement(GetHwnd(), placement))
        return -1;
    return placement.rcNormalPosition.left;
}

int CWindowBase::GetTop() const
{
    WINDOWPLACEMENT placement;
    if (!ReadPlacement(GetHwnd(), placement))
        return -1;
    return placement.rcNormalPosition.top;
}

int CWindowBase::Show(int show)
{
    if (show)
        return ShowWindow(GetHwnd(), SW_RESTORE);
    SetFocus(GetParent(GetHwnd()));
    return ShowWindow(GetHwnd(), SW_HIDE);
}

int CWindowBase::SetLeft(int x)
{
    WINDOWPLACEMENT placement;
    if (!ReadPlacement(GetHwnd(), placement))
        return 0;
    RECT& r = placement.rcNormalPosition;
    r.right += x - r.left;
    r.left = x;
    return SetWindowPlacement(GetHwnd(), &placement);
}

int CWindowBase::SetTop(int y)
{
    WINDOWPLACEMENT placement;
    if (!ReadPlacement(GetHwnd(), placement))
        return 0;
    RECT& r = placement.rcNormalPosition;
    r.bottom += y - r.top;
    r.top = y;
    return SetWindowPlacement(GetHwnd(), &placement);
}
