// List boxes, the lists of combo boxes, list views, tree views, IP-address fields and date-time
// pickers: the engine paints their border ring and composes list views, list boxes and tree views
// over the backdrop; items and scroll bars stay the system's. Also the window helpers other
// painters share (child rectangles, child exclusion, the client backdrop canvas).
#pragma once

#include <windows.h>

// The arrow-key repaint request a list control may post itself.
constexpr UINT kListArrowRepaint = WM_APP + 2;

void InstallListFrames(int windowIndex, HWND parent);
LRESULT CALLBACK ListFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PaintListFrame(int windowIndex, int recordIndex, int hot, int useHot, int focused,
                    int useFocused);

// The client area with its visible scroll bars, in window coordinates; the border is taken to be
// equally thick all round.
RECT ListFrameInnerRect(HWND hwnd);
bool HasFrameBorder(HWND hwnd);
bool IsOwnerDrawnListBox(HWND hwnd);
bool IsTransparentWindow(HWND hwnd);
// A canvas of the client area holding the washed backdrop; release with ReleaseCanvas.
HDC ClientBackdropCanvas(HWND hwnd);
// Clips the visible, not WS_EX_TRANSPARENT children out of `dc` (GetDC(hwnd) when haveDc is 0;
// the caller then releases it with ReleaseDC).
HDC ExcludeOpaqueChildren(HWND hwnd, HDC dc, int haveDc);
// `windowDc`, a device context of the whole window (GetWindowDC), with the rectangles of the
// window's visible direct children excluded from its clip region.
HDC ExcludeVisibleChildren(HWND window, HDC windowDc);
// The child's window rectangle relative to its parent's client area; empty for a skinned
// top-level window.
RECT ChildRectInParent(HWND hwnd);
void InvalidateVisibleChildren(HWND hwnd);
