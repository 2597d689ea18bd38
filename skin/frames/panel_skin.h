// A panel skin takes over the painting of one container window (the tab control carrying the
// wizard's pages, or a small drawing board) and may play an animated picture on it. The window
// then looks cut out of the skin background: no tab strip, no page frame.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "gdi_handles.h"

class PanelSkin {
  public:
    PanelSkin();
    ~PanelSkin();
    PanelSkin(const PanelSkin&) = delete;
    PanelSkin& operator=(const PanelSkin&) = delete;

    // Takes the window over. A window with children becomes a backdrop provider for them and is
    // registered as a container; every window is subclassed.
    void AttachPanel(HWND window, int shape = 1, int insetMode = 5, int border = 0,
                     COLORREF borderColour = 0);
    // Plays the GIF from its bytes, frame after frame, each for its own delay, scaled into
    // (x, y, width, height) (the picture's own size when not given). Ignored while running.
    void StartAnimation(const void* bytes, size_t size, int x, int y, std::optional<int> width = {},
                        std::optional<int> height = {});
    // Ends the animation: the thread draws at most the frame in progress and then stops.
    void StopAnimation();
    void ResetPanel();

    LRESULT PanelProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK ProcEntry(HWND window, UINT msg, WPARAM wp, LPARAM lp);

    HWND window = nullptr;
    WNDPROC originalProc = nullptr;
    int pressed = 0, dirty = 0, hovering = 0;
    void (*onEnter)(HWND) = nullptr;
    void (*onLeave)(HWND) = nullptr;
    HDC cacheDc = nullptr;
    int shape = 0, cornerRadius = 0, insetMode = 0, border = 0;
    COLORREF borderColour = 0;
    int borderAlpha = 0;
    int registered = 0;

  private:
    static DWORD WINAPI ThreadEntry(void* self);
    void AnimationLoop();
    void PaintPanel(HDC dc);
    void BlitPanelCache(HDC dc);

    // Held while a frame is drawn, and by the window's thread while it rebuilds the cache or
    // releases what the frames use: a frame never meets a released DC, image or cache.
    CRITICAL_SECTION frameLock_;
    std::optional<WindowDc> animationDc_;  // held while the animation runs
    KernelHandle stopEvent_;               // wakes the animation thread from its delay at once
    KernelHandle thread_;
    GdipImage image_;
    GdipGraphics animationGraphics_;
    std::vector<unsigned> delays_;  // hundredths of a second per frame
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
};
