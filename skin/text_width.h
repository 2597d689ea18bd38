// Width of a text as GDI+ lays it out with a given font.
#pragma once

// Text in the ANSI code page; size is the em size in pixels, style the GDI+ style bits. The
// result is the whole pixels the text covers: floor(measured width) + 1.
int MeasureTextWidth(const char* text, const char* face, int size, int style);
