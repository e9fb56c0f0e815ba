#pragma once
// What Win32 tests look at on a top-level window.

#include <windows.h>

#include <array>
#include <string>

using Edges = std::array<LONG, 4>;  // left, top, right, bottom

Edges EdgesOf(const RECT& r);
// The window's placement when restored: what a frame switch must keep.
Edges RestoredEdges(HWND hwnd);
std::string TitleOf(HWND hwnd);
bool HasTitleBar(HWND hwnd);
