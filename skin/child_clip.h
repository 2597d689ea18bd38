// Keeping painters off the child windows that paint themselves.
#pragma once

#include <windows.h>

// A child that lets its parent show through (WS_EX_TRANSPARENT).
bool IsTransparentWindow(HWND hwnd);
// The child's window rectangle relative to its parent's client area.
RECT ChildRectInParent(HWND child);
// `dc` (or the window's own DC when haveDc is 0) with the rectangles of the window's visible,
// non-transparent direct children excluded from its clip region.
HDC ExcludeOpaqueChildren(HWND window, HDC dc, int haveDc);
// `windowDc`, a device context of the whole window (GetWindowDC), with the rectangles of the
// window's visible direct children excluded from its clip region.
HDC ExcludeVisibleChildren(HWND window, HDC windowDc);
