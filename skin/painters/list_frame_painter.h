// List boxes, the lists of combo boxes, list views, tree views, IP-address fields and date-time
// pickers: the engine paints their border ring and composes list views, list boxes and tree views
// over the backdrop; items and scroll bars stay the system's.
#pragma once

#include <windows.h>

// The arrow-key repaint request a list control may post itself.
constexpr UINT kListArrowRepaint = WM_APP + 2;

void InstallListFrames(int windowIndex, HWND parent);
LRESULT CALLBACK ListFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PaintListFrame(int windowIndex, int recordIndex, int hot, int useHot, int focused,
                    int useFocused);

bool HasFrameBorder(HWND hwnd);
bool IsOwnerDrawnListBox(HWND hwnd);
