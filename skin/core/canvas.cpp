#include "canvas.h"

#include <algorithm>
#include <vector>

#include "drawing.h"
#include "gdi_handles.h"
#include "geometry.h"
#include "registry.h"

namespace {

struct CanvasEntry {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};
std::vector<CanvasEntry> g_canvases;

int FindCanvas(HDC dc) {
    for (size_t k = 0; k < g_canvases.size(); ++k)
        if (g_canvases[k].dc == dc) return static_cast<int>(k);
    return -1;
}

void FreeCanvas(const CanvasEntry& entry) {
    SelectObject(entry.dc, entry.previous);
    DeleteObject(entry.bitmap);
    DeleteDC(entry.dc);
}

HDC PropDc(HWND hwnd, const char* name) {
    return reinterpret_cast<HDC>(SkinProp(hwnd, name));
}
HWND PropWindow(HWND hwnd, const char* name) {
    return reinterpret_cast<HWND>(SkinProp(hwnd, name));
}

HDC BackgroundDcOf(int windowIndex) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    return record ? record->backgroundDc : nullptr;
}

// Copies the backdrop from `source` at `off` moved by r's top-left; a source never painted (0)
// leaves the canvas as it is.
void CopyBackdrop(HDC canvas, int width, int height, HDC source, const RECT& off, const RECT& r) {
    if (!source) return;
    BitBlt(canvas, 0, 0, width, height, source, off.left + r.left, off.top + r.top, SRCCOPY);
}

// The fill of container `entry`: shaped (a group box's rounded field below its caption line) or
// a plain rectangle over the whole canvas. A fill colour of 0 means no fill.
void LayContainerFill(HDC canvas, int width, int height, const RECT& r,
                      const ControlSkinRecord* entry, bool shaped) {
    if (!entry || entry->fillColour == 0) return;
    GdipPath path;
    gp::GdipCreatePath(Gdiplus::FillModeAlternate, path.out());
    if (!path) return;
    if (shaped && entry->isGroupBox)
        AddRoundedRect(path.get(), 0, 5, static_cast<float>(r.right),
                       static_cast<float>(r.bottom - 6), 5);
    else
        gp::GdipAddPathRectangle(path.get(), 0, 0, static_cast<float>(width),
                                 static_cast<float>(height));
    GdipGraphics g;
    gp::GdipCreateFromHDC(canvas, g.out());
    GdipSolidBrush brush;
    gp::GdipCreateSolidFill(ColorRefToArgb(entry->fillColour, entry->fillAlpha), brush.out());
    if (g && brush) gp::GdipFillPath(g.get(), brush.get(), path.get());
}

}  // namespace

// ---- Registry ---------------------------------------------------------------------------------

void SetCanvasProps(HWND hwnd, HDC dc) {
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!SkinProp(hwnd, kPropCkFirstBitmap))
        SetSkinProp(hwnd, kPropCkFirstBitmap, reinterpret_cast<LONG_PTR>(bitmap));
    SetSkinProp(hwnd, kPropCkBitmap, reinterpret_cast<LONG_PTR>(bitmap));
}

HBITMAP CreateTopDownDib(int width, int height, void** bits) {
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

HDC CreateCanvas(int width, int height) {
    // A DIB section made here rather than through GDI+, whose bitmap conversion gives a
    // bottom-up DIB on some systems; the canvas is top-down everywhere.
    GdiBitmap bitmap(CreateTopDownDib(width, height));
    if (!bitmap) return nullptr;
    MemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return nullptr;
    HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
    if (!previous || previous == HGDI_ERROR) return nullptr;
    RegisterCanvas(dc.get(), bitmap.release(), previous);
    return dc.release();
}

namespace {

// The pixels of the 32-bit DIB section selected into `dc`, at least w x h of them; 0 otherwise.
uint32_t* DibPixels(HDC dc, int w, int h, int* stride) {
    DIBSECTION dib = {};
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap || GetObjectA(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits ||
        dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmWidth < w || dib.dsBm.bmHeight < h)
        return nullptr;
    *stride = dib.dsBm.bmWidthBytes / 4;
    // Rows of a bottom-up section run from the last: walk them from its top row, backwards.
    if (dib.dsBmih.biHeight > 0) {
        *stride = -*stride;
        return static_cast<uint32_t*>(dib.dsBm.bmBits) +
               static_cast<size_t>(dib.dsBm.bmHeight - 1) * dib.dsBm.bmWidthBytes / 4;
    }
    return static_cast<uint32_t*>(dib.dsBm.bmBits);
}

uint32_t Rgb(COLORREF c) {
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

}  // namespace

void KeyOver(HDC target, HDC source, int w, int h, COLORREF key, COLORREF ink) {
    int targetStride = 0, sourceStride = 0;
    GdiFlush();
    uint32_t* below = DibPixels(target, w, h, &targetStride);
    const uint32_t* above = DibPixels(source, w, h, &sourceStride);
    if (!below || !above) {
        TransparentBlt(target, 0, 0, w, h, source, 0, 0, w, h, key);
        return;
    }
    const uint32_t k = Rgb(key), t = Rgb(ink);
    // A drawing that left no key pixel was not made on the key (a label filled with its backdrop):
    // it already lies over what it will be seen on, and a dark edge of its text is no blend with
    // the key, however like one it looks.
    bool onKey = false;
    for (int y = 0; y < h && !onKey; y++) {
        const uint32_t* from = above + static_cast<ptrdiff_t>(y) * sourceStride;
        onKey = std::any_of(from, from + w, [k](uint32_t p) { return (p & 0xFFFFFFu) == k; });
    }
    for (int y = 0; y < h; y++) {
        uint32_t* to = below + static_cast<ptrdiff_t>(y) * targetStride;
        const uint32_t* from = above + static_cast<ptrdiff_t>(y) * sourceStride;
        for (int x = 0; x < w; x++)
            to[x] = (to[x] & 0xFF000000u) |
                    (onKey ? KeyOverPixel(from[x], to[x], k, t) : from[x] & 0xFFFFFFu);
    }
}

namespace {

// h rows of w words from one block of pixels to another, each with its own stride in words.
void CopyRows(const uint32_t* from, ptrdiff_t fromStride, uint32_t* to, ptrdiff_t toStride, int w,
              int h) {
    for (int y = 0; y < h; y++)
        std::copy(from + y * fromStride, from + y * fromStride + w, to + y * toStride);
}

}  // namespace

bool ReadCanvasPixels(HDC dc, int w, int h, std::vector<uint32_t>* pixels) {
    int stride = 0;
    GdiFlush();
    const uint32_t* from = w > 0 && h > 0 ? DibPixels(dc, w, h, &stride) : nullptr;
    if (!from) return false;
    pixels->resize(static_cast<size_t>(w) * h);
    CopyRows(from, stride, pixels->data(), w, w, h);
    return true;
}

bool WriteCanvasPixels(HDC dc, int w, int h, const std::vector<uint32_t>& pixels) {
    int stride = 0;
    GdiFlush();
    const bool sized = w > 0 && h > 0 && pixels.size() == static_cast<size_t>(w) * h;
    uint32_t* to = sized ? DibPixels(dc, w, h, &stride) : nullptr;
    if (!to) return false;
    CopyRows(pixels.data(), w, to, stride, w, h);
    return true;
}

void RegisterCanvas(HDC dc, HBITMAP bitmap, HGDIOBJ previous) {
    int k = FindCanvas(dc);
    if (k >= 0) {
        g_canvases[k].bitmap = bitmap;
        g_canvases[k].previous = previous;
    } else {
        g_canvases.push_back({dc, bitmap, previous});
    }
}

bool CanvasOfSize(HDC* canvas, int width, int height) {
    if (*canvas && FindCanvas(*canvas) >= 0) {
        BITMAP bm = {};
        HGDIOBJ bitmap = GetCurrentObject(*canvas, OBJ_BITMAP);
        if (bitmap && GetObjectA(bitmap, sizeof(bm), &bm) && bm.bmWidth == width &&
            bm.bmHeight == height)
            return true;
    }
    ReleaseCanvas(*canvas);
    *canvas = CreateCanvas(width, height);
    return *canvas != nullptr;
}

bool ReleaseCanvas(HDC dc) {
    int k = dc ? FindCanvas(dc) : -1;
    if (k < 0) return false;
    CanvasEntry entry = g_canvases[k];
    g_canvases.erase(g_canvases.begin() + k);
    FreeCanvas(entry);
    return true;
}

int CanvasCount() {
    return static_cast<int>(g_canvases.size());
}

void ReleaseCanvasRegistry() {
    for (const CanvasEntry& entry : g_canvases) FreeCanvas(entry);
    g_canvases.clear();
}

// ---- Rectangles -------------------------------------------------------------------------------

RECT RectRelativeTo(HWND a, HWND b) {
    RECT ra = {}, rb = {};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    OffsetRect(&rb, -ra.left, -ra.top);
    return rb;
}

RECT RectInOwnerWindow(HWND w) {
    if (FindWindowIndex(w) >= 1) return RECT{};
    WindowSkinRecord* owner = WindowRecord(OwningWindowIndex(w));
    return owner ? RectRelativeTo(owner->hwnd, w) : RectInRoot(w);
}

RECT RectInRoot(HWND w) {
    return RectRelativeTo(GetAncestor(w, GA_ROOT), w);
}

// ---- Backdrops --------------------------------------------------------------------------------

BackdropSource FindBackdropSource(HWND hwnd) {
    BackdropSource s;
    if (SkinProp(hwnd, kPropWxkProvider) == 1) {
        s.kind = BackdropSource::kProvider;
        s.provider = hwnd;
        return s;
    }
    if (int i = FindWindowIndex(hwnd)) {
        s.kind = BackdropSource::kTop;
        s.windowIndex = i;
        return s;
    }
    for (HWND a = GetParent(hwnd); a; a = GetParent(a)) {
        if (SkinProp(a, kPropWxkProvider) == 1) {
            s.kind = BackdropSource::kProvider;
            s.provider = a;
            return s;
        }
        for (int j = 1; j <= WindowCount(); ++j) {
            if (WindowRecord(j)->hwnd == a) {
                s.kind = BackdropSource::kTop;
                s.windowIndex = j;
                return s;
            }
            if (int c = WindowRecord(j)->controlTable.Find(a)) {
                if (HWND provider = PropWindow(a, kPropMbProvider)) {
                    s.kind = BackdropSource::kProvider;
                    s.provider = provider;
                } else {
                    s.kind = BackdropSource::kContainer;
                    s.windowIndex = j;
                    s.controlIndex = c;
                }
                return s;
            }
        }
    }
    return s;
}

int NearestFillingContainer(int windowIndex, HWND w, HWND stop) {
    for (HWND a = GetParent(w); a && a != stop; a = GetParent(a)) {
        int k = ControlIndex(windowIndex, a);
        if (k >= 1 && ControlRecord(windowIndex, k)->fillChildren != 0) return k;
    }
    return 0;
}

HDC BackgroundSnapshot(HWND w, const RECT& r) {
    const BackdropSource s = FindBackdropSource(w);
    if (s.kind == BackdropSource::kNone) return nullptr;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC canvas = CreateCanvas(width, height);
    if (!canvas) return nullptr;

    switch (s.kind) {
        case BackdropSource::kTop: {
            CopyBackdrop(canvas, width, height, BackgroundDcOf(s.windowIndex), RectInOwnerWindow(w),
                         r);
            LayContainerFill(canvas, width, height, r,
                             ControlRecord(s.windowIndex, ControlIndex(s.windowIndex, w)), true);
            break;
        }
        case BackdropSource::kProvider:
            if (s.provider == w) {
                // A provider's own image: what lies under it, never a container fill.
                if (HWND m = PropWindow(w, kPropMbProvider))
                    CopyBackdrop(canvas, width, height, PropDc(m, kPropWxkImage),
                                 RectRelativeTo(m, w), r);
                else
                    CopyBackdrop(canvas, width, height, BackgroundDcOf(OwningWindowIndex(w)),
                                 RectInRoot(w), r);
            } else {
                CopyBackdrop(canvas, width, height, PropDc(s.provider, kPropWxkImage),
                             RectRelativeTo(s.provider, w), r);
                const int i = OwningWindowIndex(w);
                if (i == 0) break;
                if (int f = ControlIndex(i, w))
                    LayContainerFill(canvas, width, height, r, ControlRecord(i, f), true);
                else if (int g = NearestFillingContainer(i, w, s.provider))
                    LayContainerFill(canvas, width, height, r, ControlRecord(i, g), false);
            }
            break;
        case BackdropSource::kContainer: {
            const int f = ControlIndex(s.windowIndex, w);
            CopyBackdrop(canvas, width, height, BackgroundDcOf(s.windowIndex), RectInRoot(w), r);
            LayContainerFill(canvas, width, height, r,
                             ControlRecord(s.windowIndex, f >= 1 ? f : s.controlIndex), false);
            break;
        }
        case BackdropSource::kNone:
            break;
    }
    return canvas;
}

void ReleaseWindowSkin(HWND hwnd, WindowSkinRecord& r) {
    for (const char* name : {kPropHwFuId, kPropKjFuId, kPropKjBrush, kPropKjBrushBitmap,
                             kPropCkBitmap, kPropCkFirstBitmap})
        RemovePropA(hwnd, name);
    ReleaseCanvas(r.backgroundDc);
    ReleaseCanvas(r.captionBackdropDc);
    ReleaseCanvas(r.frameSurfaceDc);
    r.backgroundDc = r.captionBackdropDc = r.frameSurfaceDc = nullptr;
    // The tip is a top-level window of its own: nothing else takes it away with the frame.
    r.tooltip.Destroy();
    // The record keeps its place; its lists go, and so does the handle, which the system may give
    // to a later window.
    r.captionButtons = SkinList<CaptionButton>();
    r.buttonTable = SkinList<ButtonRecord>();
    r.editTable = SkinList<EditRecord>();
    r.listTable = SkinList<ListFrameRecord>();
    r.trackBarTable = SkinList<TrackBarRecord>();
    r.progressTable = SkinList<ProgressRecord>();
    r.comboTable = SkinList<ComboRecord>();
    r.upDownTable = SkinList<UpDownRecord>();
    r.headerTable = SkinList<HeaderRecord>();
    r.containerTable = SkinList<KeyedControlRecord>();
    r.staticTable = SkinList<StaticRecord>();
    r.controlTable = SkinList<ControlSkinRecord>();
    r.anchoredChildren = SkinList<AnchoredChild>();
    r.closeHot = r.dragging = 0;
    r.hwnd = nullptr;
}
