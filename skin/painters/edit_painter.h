// Edit fields and combo boxes. An edit field keeps its own text and caret; the engine paints the
// ring around it and, while controls are translucent, gives it the backdrop as its background
// brush. A combo box's face is painted whole, its child windows left out.
#pragma once

#include <windows.h>

#include "gdi_handles.h"

void InstallEditsAndCombos(int windowIndex, HWND parent);
int EditIndex(int windowIndex, HWND hwnd);

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// The ring between the window rectangle and the client area with its scroll bars. A flag that is
// set makes the value beside it count instead of the record's state.
void PaintEditFrame(HWND edit, int focused, int useFocused, int hot, int useHot);
void PaintEditOutline(HWND edit, int focused, int useFocused, int hot, int useHot, GpGraphics* g);
void PaintComboBox(int windowIndex, int comboIndex, int hot, int ignored, int focused,
                   int useFocused);

// The washed backdrop behind the client area as a bitmap owned by the caller.
HBITMAP EditBackdropBitmap(HWND edit);
// WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC: transparent text over a pattern brush of the backdrop. The
// brush and its bitmap stay with the control (Kj_dxjb, Kj_wtjb); the previous pair is deleted.
HBRUSH AnswerEditColour(HWND edit, HDC dc);
RECT RectInParentWindow(HWND hwnd);
