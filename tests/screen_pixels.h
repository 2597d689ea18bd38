// The pixels of a rectangle of the screen, as the tests that look at what is shown read them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// `r` in screen coordinates; an empty shot for an empty rectangle.
inline Shot Capture(const RECT& r) {
    Shot shot;
    shot.width = r.right - r.left;
    shot.height = r.bottom - r.top;
    if (shot.width <= 0 || shot.height <= 0) return Shot();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, shot.width, shot.height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        shot.pixels.assign(p, p + static_cast<size_t>(shot.width) * shot.height);
        for (uint32_t& pixel : shot.pixels) pixel &= 0xFFFFFF;
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}
