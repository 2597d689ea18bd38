// Pictures carried as whole bitmap files (BITMAPFILEHEADER, BITMAPINFOHEADER, palette, rows).
#pragma once

#include <windows.h>

#include <cstddef>

struct BitmapFileInfo {
    const BITMAPINFO* info;     // header and palette
    const unsigned char* bits;  // the pixel rows
    int width;
    int height;  // always positive: bottom-up and top-down files alike
};

// Checks a bitmap file held in memory: uncompressed, 1/4/8/24/32 bits, every row present.
bool ParseBitmapFile(const void* data, size_t size, BitmapFileInfo* out);

// A DIB section holding the picture, or nullptr when the bytes are not a usable bitmap file.
HBITMAP CreateBitmapFromFile(const void* data, size_t size);

// An RCDATA resource of this program.
bool LoadResourceBytes(int id, const void** data, size_t* size);
