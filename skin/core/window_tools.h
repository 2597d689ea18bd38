// Window helpers the painters share: where a control's client area and scroll bars lie inside its
// window, the washed backdrop behind the client area, and clipping or invalidating child windows.
#pragma once

#include <windows.h>

#include <cstdint>

// ---- Client area and scroll bars ------------------------------------------------------------

// The client area in window coordinates, centred in the border; a scroll bar is taken to be 17
// pixels thick.
RECT ClientRectInWindow(HWND hwnd);
// The client area with its visible scroll bars, in window coordinates, as the control reports
// them; the border is taken to be equally thick all round.
RECT ListFrameInnerRect(HWND hwnd);
bool HasScrollBars(HWND hwnd);
// The visible scroll bars in screen coordinates (the vertical one over the corner square when
// both show); null when the style has neither. Owned by the caller.
HRGN ScrollBarRegion(HWND hwnd);
// Lets the system draw the non-client area of `hwnd` inside `region` only (scroll bars), or
// nothing at all when `region` is null.
LRESULT DefaultNonClientPaint(HWND hwnd, HRGN region, LPARAM lp);

// ---- The washed backdrop ----------------------------------------------------------------------

// The white wash laid over the backdrop of a control: the overlay alpha of the settings, or solid
// white while controls are not translucent.
uint32_t ControlWash();
// A canvas of the client area holding the backdrop under the overlay alpha's wash; release with
// ReleaseCanvas.
HDC ClientBackdropCanvas(HWND hwnd);
// The backdrop behind the client area under ControlWash(), copied into `dc` at its origin
// (intoGivenDc) or onto the window at the client area's place.
void FillClientBackdrop(HWND hwnd, HDC dc, bool intoGivenDc);

// ---- Child windows ----------------------------------------------------------------------------

bool IsTransparentWindow(HWND hwnd);
// True when the window's region (SetWindowRgn) is exactly `region`.
bool HasRegion(HWND hwnd, HRGN region);
// The child's window rectangle relative to its parent's client area; empty for a skinned
// top-level window.
RECT ChildRectInParent(HWND hwnd);
// Clips the visible, not WS_EX_TRANSPARENT children out of `dc` (GetDC(hwnd) when haveDc is 0;
// the caller then releases it with ReleaseDC).
HDC ExcludeOpaqueChildren(HWND hwnd, HDC dc, int haveDc);
// `windowDc`, a device context of the whole window (GetWindowDC), with the rectangles of the
// window's visible direct children excluded from its clip region.
HDC ExcludeVisibleChildren(HWND window, HDC windowDc);
void InvalidateVisibleChildren(HWND hwnd);
