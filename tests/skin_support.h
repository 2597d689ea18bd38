// Fixtures of the skin engine's tests: real windows, GDI+, surfaces with a known pattern, pixel
// reads from canvases and the count of the process's GDI objects.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gdi_handles.h"

// Starts GDI+ once for the whole test process.
void EnsureGdiplus();

// Registers the window class of a test's own windows (the arrow cursor, no background brush);
// registering it again does nothing.
void RegisterFixtureClass(const char* name, WNDPROC proc, UINT style = 0);

// Every test of the engine starts from empty tables and start-up settings and leaves nothing
// behind: windows it made are destroyed, tables and canvases released, bindings undone.
class SkinTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A borderless top-level window (window rectangle = client rectangle), shown without
    // activation at (x, y).
    HWND MakeTopWindow(int width, int height, int x = 40, int y = 40);
    HWND MakeChild(HWND parent, const char* className, DWORD style, int x, int y, int width,
                   int height, const char* text = "");

  private:
    std::vector<HWND> tops_;
};

// A 32-bit top-down surface whose pixel (x, y) is PatternPixel(x, y, tag).
class PatternSurface {
  public:
    PatternSurface(int width, int height, uint8_t tag);
    ~PatternSurface() { SelectObject(dc_.get(), previous_); }
    PatternSurface(const PatternSurface&) = delete;
    PatternSurface& operator=(const PatternSurface&) = delete;
    HDC dc() const { return dc_.get(); }

  private:
    MemoryDc dc_;
    GdiBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};
constexpr uint32_t PatternPixel(int x, int y, uint8_t tag) {
    return 0xFF000000u | (static_cast<uint32_t>(x & 0xFF) << 16) |
           (static_cast<uint32_t>(y & 0xFF) << 8) | tag;
}

// A copy of the pixels of the bitmap selected into `dc`, as top-down ARGB words.
class CanvasImage {
  public:
    explicit CanvasImage(HDC dc);
    int width() const { return width_; }
    int height() const { return height_; }
    uint32_t At(int x, int y) const { return pixels_[y * width_ + x]; }

  private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};
inline uint32_t CanvasPixel(HDC dc, int x, int y) {
    return CanvasImage(dc).At(x, y);
}

// What the whole window rectangle of `hwnd` shows on screen now.
CanvasImage CaptureWindow(HWND hwnd);

// Saves what the whole window rectangle of `w` shows on screen as a PNG (GDI+ encoder); false on
// failure.
bool SaveWindowPng(HWND w, const wchar_t* path);
// build/screenshots/<name> next to the build directory of this test program.
std::wstring ScreenshotPath(const wchar_t* name);

// GDI objects of this process. Wine's GetGuiResources is a stub that answers 0, so there the
// count comes from probing every slot of the GDI handle table.
int GdiObjectCount();

// Pumps the thread's pending messages.
void PumpMessages();
