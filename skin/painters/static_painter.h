// Static controls of skinned message boxes: their text in black with a white glow, or their icon,
// over the skin backdrop instead of the dialog's grey.
#pragma once

#include <windows.h>

#include <string>

#include "control_font.h"
#include "registry.h"

// The kinds of a static record.
constexpr int kTextStatic = 1, kIconStatic = 2;

// The "Static" row of the installer table: skins the text and icon statics among the direct
// children of `parent` and files them in record `windowIndex`; statics already filed are left
// alone, and user-item, simple, bitmap and metafile statics keep their own painting.
void InstallStatics(int windowIndex, HWND parent);
LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PaintStatic(int windowIndex, int staticIndex);

// The font a static's text is drawn with: its own, else its parent's, else "宋体" at 12 pixels.
ControlFont StaticFont(const ControlFont& own, const ControlFont& parent);

// A text static's text as it is drawn in a static `width` pixels wide: broken into the lines that
// fit between the text's start and the static's right edge, joined with '\n'.
std::wstring StaticTextLines(const StaticRecord& entry, int width);
// How far down the static those lines reach, in pixels from its top; 0 for an icon static.
int StaticTextBottom(const StaticRecord& entry, int width);
