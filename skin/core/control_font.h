// The font a control draws its text with, as GDI+ sees it.
#pragma once

#include <windows.h>

#include <string>

struct ControlFont {
    std::string face;  // GBK; empty when no font could be built
    int size = 0;      // em size in pixels, truncated
    int style = 0;     // GDI+ style bits: 1 bold, 2 italic, 4 underline, 8 strikeout
};

// The control's own font (WM_GETFONT), else the font of its device context.
ControlFont QueryControlFont(HWND control);
