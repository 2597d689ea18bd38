// Colour-keyed controls: the control paints itself as usual and the result is laid over the skin
// backdrop with one key colour left out, so the skin shows wherever the control drew that colour.
#pragma once

#include <windows.h>

// Installer row for message boxes: every toolbar child, keyed on the button-face colour.
void InstallColourKeyedToolbars(int windowIndex, HWND parent);

// Keys `hwnd` on `keyColour` (the button-face colour when `useKeyColour` is 0). A window with
// children is also registered as a container that does no painting of its own, with the given
// fill. Registering the same window twice does nothing.
void RegisterColourKeyed(HWND hwnd, COLORREF keyColour, int useKeyColour, COLORREF fillColour,
                         int fillAlpha);

LRESULT CALLBACK ColourKeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
