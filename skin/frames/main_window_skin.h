// The skin of the application's main window: its background picture and colours, the rounded
// frame with outline, caption, close button and fades, dragging, and the registration of the
// window's containers. One object per process.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

struct WindowSkinRecord;

class MainWindowSkin {
  public:
    MainWindowSkin();   // remembers the button-face colour as the base colour
    ~MainWindowSkin();  // lets the frame's surfaces go
    MainWindowSkin(const MainWindowSkin&) = delete;
    MainWindowSkin& operator=(const MainWindowSkin&) = delete;

    // The picture under every window of the skin and the colours derived from it. Without a base
    // colour, the average of 2000 random pixels of the picture is used; theme -1 means "the base
    // colour"; mode 0 and 1 blend the right or bottom edge into the base colour, 2 centres,
    // 3 stretches, 4 (the default) places the picture at the top left.
    void SetWindowBackground(const char* path, const void* picture, size_t size,
                             std::optional<COLORREF> baseColour, std::optional<long long> theme,
                             std::optional<int> mode);
    void SetSkinOptions(int enabled, std::optional<int> overlayAlpha,
                        std::optional<int> translucent, std::optional<int> trackBarOption = {});
    // Registers and skins a frameless top-level window; nothing when it is registered already.
    void SkinMainWindow(HWND window, int captionHeight, int drawCaption, int resizable, int gloss,
                        int showTitle);

    // The container's existing controlTable index; otherwise registers it and returns 0.
    int RegisterContainer(HWND hwnd, int fillChildren = 1, COLORREF fillColour = 0,
                          int fillAlpha = 255, COLORREF borderColour = 0);
    // Changes the opacity of a container's fill and repaints it; nothing for a container without
    // a fill colour or a window that is not a registered container.
    void SetContainerFillAlpha(HWND hwnd, int alpha);

    void SetProgramIcon(HICON icon) { programIcon_ = icon; }
    HICON programIcon() const { return programIcon_; }

    // The frame's per-object entries.
    static LRESULT CALLBACK FrameEntry(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT MainFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void CaptionButtonAction(int windowIndex, int button);

    // Painting, exposed for the frame's tests.
    void RenderFrame(int windowIndex, HDC dc, bool copy);
    void CopyFrame(int windowIndex, HDC dc);
    void ArrangeCaptionButtons(int windowIndex);
    int HitCaptionButton(int windowIndex, int x, int y) const;
    bool CaptionStripContains(int windowIndex, LPARAM lp) const;

    int frameMargin = 0;
    int hotButton = 0;

  private:
    // The frame procedure's handlers, one a message (or a family of messages).
    void OnFrameSize(HWND hwnd, WindowSkinRecord& r);
    void OnFrameSetText(int windowIndex, const wchar_t* text);
    void OnFramePaint(HWND hwnd, int windowIndex);
    void OnFrameShown(HWND hwnd, int windowIndex);
    void OnFrameMoved(int windowIndex);
    bool OnFrameControlColour(UINT msg, WPARAM wp, LPARAM lp, LRESULT* brush);
    void OnFrameNotify(const NMHDR* header);
    LRESULT OnFrameDestroyed(HWND hwnd, WindowSkinRecord& r, UINT msg, WPARAM wp, LPARAM lp);
    void OnFrameSystemCommand(WindowSkinRecord& r, WPARAM wp);
    void OnFrameMouseMove(HWND hwnd, int windowIndex, LPARAM lp);
    void OnFrameButtonDown(int windowIndex, LPARAM lp);
    void OnFrameButtonUp(int windowIndex);
    void OnFrameDoubleClick(int windowIndex, LPARAM lp);

    void PaintFrameBackground(void* graphics, int windowIndex, int w, int h);
    // Background and outline of a w x h frame, kept until the size or the background changes.
    bool DrawBackdropLayer(int windowIndex, int w, int h);
    void DrawCaption(int windowIndex, void* graphics, bool rendering, const wchar_t* text);
    // DrawCaption for a full render of a w x h frame, or the band it drew last time when nothing
    // it depends on has changed.
    void RenderCaption(int windowIndex, void* graphics, int w, int h);
    void PaintFrameButton(int windowIndex, int button, void* graphics, bool pressed, int alpha);
    void PaintFrameButtonOverlay(void* graphics, int windowIndex, int button, int alpha);
    void RestoreCaptionBackdrop(int windowIndex, int left, int top, int right, int bottom);
    void CopyToWindow(int windowIndex, int x, int y, int w, int h);
    void OnMouseMove(int windowIndex, LPARAM lp);
    void OnFadeTick(int windowIndex);
    void StartFadeTimer(int windowIndex);
    // Starts the fade-out of the last hot button and the fade-in of `now` when they differ.
    void MoveHotButton(int windowIndex, int now);
    int ButtonUnderPointer(int windowIndex) const;
    void OnMouseLeave(int windowIndex);
    void BeginDrag(int windowIndex, LPARAM lp);
    void InvalidateSkinnedControls(int windowIndex);

    HICON programIcon_ = nullptr;
};

// The skin's base colour, background mode and prepared background picture (the message-box
// frame paints with them too).
COLORREF SkinBaseColour();
int SkinBackgroundMode();
const std::string& SkinBackgroundPicture();

// 1 from start-up until the main window's first WM_SIZE: no render happens before the window
// has its size.
void SetRenderSuppressed(int suppressed);
int RenderSuppressed();

// Empties the process's working set on a worker thread (each time the application is
// deactivated).
void StartWorkingSetTrim();
