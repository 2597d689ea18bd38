// Off-screen canvases: memory device contexts holding a 32-bit top-down ARGB bitmap. Painters get
// one pre-filled with the skin backdrop behind their control (BackgroundSnapshot), draw on it and
// copy it to the screen once. The registry lets a canvas be released from its device context alone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// A 32-bit top-down DIB section of width x height, every pixel 0; `bits` (optional) receives the
// address of its pixels. 0 when the size is empty or the bitmap cannot be made.
HBITMAP CreateTopDownDib(int width, int height, void** bits = nullptr);
// A canvas of width x height, every pixel transparent black, entered in the registry; 0 when the
// size is empty or the bitmap cannot be made.
HDC CreateCanvas(int width, int height);
void RegisterCanvas(HDC dc, HBITMAP bitmap, HGDIOBJ previous);
// Keeps *canvas, pixels as they are, when it is a registered canvas of width x height; otherwise
// releases it and puts a new canvas in its place. Surfaces repainted whole on every render use
// this: a fresh bitmap costs a page fault per 4 KiB the first time it is written. False when no
// canvas could be made.
bool CanvasOfSize(HDC* canvas, int width, int height);
// Lays the w x h pixels at (0, 0) of `source`, a control's drawing on a surface filled with `key`,
// over those at (0, 0) of `target`, pixel by pixel as KeyOverPixel does: the key shows nothing and
// the anti-aliased edges of text drawn in `ink` carry none of its tint, in grey-scale or in
// ClearType. A drawing without a single key pixel is copied as it is. Both must be 32-bit DIB
// sections (canvases); otherwise the key alone is left out (TransparentBlt).
void KeyOver(HDC target, HDC source, int w, int h, COLORREF key, COLORREF ink);
// The w x h pixels at (0, 0) of a canvas (a 32-bit DIB section) as top-down words, read into
// *pixels or written from `pixels`; false when `dc` holds no such bitmap of at least that size.
bool ReadCanvasPixels(HDC dc, int w, int h, std::vector<uint32_t>* pixels);
bool WriteCanvasPixels(HDC dc, int w, int h, const std::vector<uint32_t>& pixels);
// Frees the canvas and forgets it; false (and nothing done) for 0 or a device context that is
// not a registered canvas.
bool ReleaseCanvas(HDC dc);
int CanvasCount();
// Notes the bitmap of `dc`, the window's new background surface, in its Ck_ properties.
void SetCanvasProps(HWND hwnd, HDC dc);
// Frees every canvas still registered (program exit).
void ReleaseCanvasRegistry();

struct WindowSkinRecord;
// What a skinned top-level window holds, let go when it is destroyed: its skin properties, its
// surfaces and its lists. The record keeps its place in the window table.
void ReleaseWindowSkin(HWND hwnd, WindowSkinRecord& record);

// Releases its canvas when it goes out of scope.
class ScopedCanvas {
  public:
    explicit ScopedCanvas(HDC dc) : dc_(dc) {}
    ~ScopedCanvas() { ReleaseCanvas(dc_); }
    ScopedCanvas(const ScopedCanvas&) = delete;
    ScopedCanvas& operator=(const ScopedCanvas&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// Where the backdrop of a window comes from.
struct BackdropSource {
    enum Kind { kNone, kProvider, kTop, kContainer };
    Kind kind = kNone;
    HWND provider = nullptr;  // kProvider
    int windowIndex = 0;      // kTop, kContainer
    int controlIndex = 0;     // kContainer
};
BackdropSource FindBackdropSource(HWND hwnd);

// A canvas of r's size filled with the backdrop behind rectangle `r` (in w's window coordinates)
// of window `w`, with the fills of the containers it lies in; 0 when w has no registered ancestor.
HDC BackgroundSnapshot(HWND w, const RECT& r);

// The nearest ancestor of w below `stop` that is a registered container of record i with
// fillChildren set: its controlTable index, 0 when none.
int NearestFillingContainer(int windowIndex, HWND w, HWND stop);

// Rectangles of window b relative to the top-left corner of another window's rectangle.
RECT RectRelativeTo(HWND a, HWND b);
RECT RectInOwnerWindow(HWND w);  // relative to its registered top-level window; empty for that one
RECT RectInRoot(HWND w);         // relative to GetAncestor(w, GA_ROOT)
