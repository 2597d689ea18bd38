// Push buttons, check boxes and auto radio buttons. Push buttons become owner-drawn and are painted
// through their parent's WM_DRAWITEM (DrawButtonItem); check and radio buttons paint themselves on
// WM_PAINT and again after every message that makes the system draw them.
#pragma once

#include <windows.h>

#include "control_font.h"
#include "drawing.h"  // AddTopRoundedRect
#include "gdi_handles.h"

// Owner-draw item states the painters look at; ODS_HOTLIGHT is only ever set by RepaintButton.
constexpr UINT kStatePressed = ODS_SELECTED;
constexpr UINT kStateDisabled = ODS_DISABLED;
constexpr UINT kStateFocus = ODS_FOCUS;
constexpr UINT kStateHot = ODS_HOTLIGHT;

// Installer rows: push buttons (default and user buttons too), then check and radio buttons.
void InstallPushButtons(int windowIndex, HWND parent);
void InstallCheckButtons(int windowIndex, HWND parent);

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Paints the button at once on its own device context, hot when `hover` is set.
void RepaintButton(HWND button, UINT state, bool hover);

// For every WM_DRAWITEM a skinned window or container receives: paints the engine's push buttons
// and leaves every other item alone.
void DrawButtonItem(int windowIndex, const DRAWITEMSTRUCT& item);
// WM_DRAWITEM as a window procedure receives it: the structure is copied first.
void DrawButtonItemMessage(int windowIndex, LPARAM lp);

void PaintPushButton(HWND button, HDC target, UINT state, const RECT& rect);
void PaintCheckBox(HWND button, UINT state);
void PaintRadioButton(HWND button, UINT state);

// The font a push button draws with: the control's, the default face "宋体" when it has no face
// name and 12 pixels when it has no size.
ControlFont PushButtonFont(const ControlFont& font);

// Strokes `path` `count` times with pens 1 .. count wide: a soft halo.
void StrokeGlow(GpGraphics* g, GpPath* path, int count, COLORREF colour, int alpha);
