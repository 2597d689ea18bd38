// Static controls of skinned message boxes: their text in black with a white glow, or their icon,
// over the skin backdrop instead of the dialog's grey.
#pragma once

#include <windows.h>

#include "control_font.h"

// The "Static" row of the installer table: skins the text and icon statics among the direct
// children of `parent` and files them in record `windowIndex`; statics already filed are left
// alone, and user-item, simple, bitmap and metafile statics keep their own painting.
void InstallStatics(int windowIndex, HWND parent);
LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PaintStatic(int windowIndex, int staticIndex);

// The font a static's text is drawn with: its own, else its parent's, else "宋体" at 12 pixels.
ControlFont StaticFont(const ControlFont& own, const ControlFont& parent);
