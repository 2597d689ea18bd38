#include "main_window_skin.h"

#include <shlwapi.h>

#include <algorithm>
#include <random>
#include <vector>

#include "button_painter.h"
#include "canvas.h"
#include "container.h"
#include "drawing.h"
#include "gbk_text.h"
#include "gdi_handles.h"
#include "geometry.h"
#include "images.h"
#include "paint_tools.h"
#include "registry.h"
#include "window_tools.h"

namespace {

constexpr char kPropFrameObject[] = "QL_MainWindowSkin";
constexpr int kFadeSteps = 8;
constexpr UINT kFadePeriod = 20;
constexpr int kCloseKind = 0, kMaximizeKind = 1, kMinimizeKind = 2;
constexpr COLORREF kRed = 0x000000FF;
constexpr int kMinTrackWidth = 200, kMinTrackHeight = 150;
constexpr int kBorderZone = 10;  // the sizing zone along each edge of a resizable frame

COLORREF g_baseColour = 0;
int g_backgroundMode = 4;
std::string g_backgroundPicture;
int g_renderSuppressed = 0;
// The frame's background and outline depend only on the size and the skin background: the layer
// is drawn once per size and copied on every later render.
struct BackdropLayer {
    HDC dc = nullptr;
    int width = 0, height = 0, generation = -1;
    int gloss = 0, drawCaption = 0, captionHeight = 0;
};
BackdropLayer g_layer;
int g_layerSerial = 0;  // counts the layers drawn
int g_backgroundGeneration = 0;
// The caption band (icon and title over the layer) as the last render drew it, with everything
// it was drawn from: a render that changes none of it copies the band instead of drawing the
// outlined title's five passes again.
struct CaptionBandKey {
    int layerSerial = -1, width = 0, height = 0, margin = 0, stripWidth = 0;
    std::string title, face;
    int fontSize = 0, fontStyle = 0;
    COLORREF colour = 0, outline = 0;
    HICON icon = nullptr;
    bool operator==(const CaptionBandKey& o) const {
        return layerSerial == o.layerSerial && width == o.width && height == o.height &&
               margin == o.margin && stripWidth == o.stripWidth && title == o.title &&
               face == o.face && fontSize == o.fontSize && fontStyle == o.fontStyle &&
               colour == o.colour && outline == o.outline && icon == o.icon;
    }
};
struct CaptionBand {
    HDC dc = nullptr;
    CaptionBandKey key;
};
CaptionBand g_captionBand;

using Gdiplus::GpLineGradient;

GpGraphics* G(void* graphics) {
    return static_cast<GpGraphics*>(graphics);
}

// The average colour of 2000 pixels taken at random; black when the picture does not decode.
COLORREF EstimateBaseColour(const void* picture, size_t size) {
    GdipImage image = DecodeImage(picture, size);
    const PixelSize pictureSize = ImagePixelSize(image.get());
    const UINT w = static_cast<UINT>(pictureSize.width), h = static_cast<UINT>(pictureSize.height);
    if (!w || !h) return 0;
    std::mt19937 random(GetTickCount());
    std::uniform_int_distribution<UINT> xs(0, w - 1), ys(0, h - 1);
    uint64_t r = 0, g = 0, b = 0;
    const int samples = 2000;
    for (int n = 0; n < samples; n++) {
        Gdiplus::ARGB pixel = 0;
        gp::GdipBitmapGetPixel(reinterpret_cast<GpBitmap*>(image.get()), xs(random), ys(random),
                               &pixel);
        r += (pixel >> 16) & 0xFF;
        g += (pixel >> 8) & 0xFF;
        b += pixel & 0xFF;
    }
    auto avg = [&](uint64_t sum) { return static_cast<BYTE>((sum + samples / 2) / samples); };
    return RGB(avg(r), avg(g), avg(b));
}

// The picture with its right (mode 0) or bottom (mode 1) edge faded into the base colour, as PNG.
std::string BlendEdgeIntoBase(const void* picture, size_t size, int mode, COLORREF base) {
    std::string original(static_cast<const char*>(picture), size);
    GdipImage image = DecodeImage(picture, size);
    const PixelSize pictureSize = ImagePixelSize(image.get());
    const UINT w = static_cast<UINT>(pictureSize.width), h = static_cast<UINT>(pictureSize.height);
    if (!w || !h) return original;
    GdipBitmap bitmap = NewArgbBitmap(static_cast<int>(w), static_cast<int>(h));
    GdipGraphics g;
    if (bitmap) gp::GdipGetImageGraphicsContext(bitmap.get(), g.out());
    if (!g) return original;
    gp::GdipDrawImageRectI(g.get(), image.get(), 0, 0, static_cast<INT>(w), static_cast<INT>(h));
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    Gdiplus::PointF from, to;
    Gdiplus::RectF strip;
    if (mode == 0) {
        strip = Gdiplus::RectF(fw * 0.7f, 0, fw * 0.3f, fh);
        from = Gdiplus::PointF(strip.X, 0);
        to = Gdiplus::PointF(fw, 0);
    } else {
        strip = Gdiplus::RectF(0, fh * 0.7f, fw, fh * 0.3f);
        from = Gdiplus::PointF(0, strip.Y);
        to = Gdiplus::PointF(0, fh);
    }
    GdipLineBrush brush;
    gp::GdipCreateLineBrush(&from, &to, ColorRefToArgb(base, 0), ColorRefToArgb(base, 255),
                            Gdiplus::WrapModeTileFlipXY, brush.out());
    if (brush)
        gp::GdipFillRectangle(g.get(), brush.get(), strip.X, strip.Y, strip.Width, strip.Height);
    g.reset();

    // PNG encoder {557CF406-1A04-11D3-9A73-0000F81EF32E}.
    static const CLSID kPng = {
        0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return original;
    std::string png;
    if (gp::GdipSaveImageToStream(bitmap.get(), stream, &kPng, nullptr) == Gdiplus::Ok) {
        HGLOBAL memory = nullptr;
        GetHGlobalFromStream(stream, &memory);
        STATSTG stat = {};
        stream->Stat(&stat, STATFLAG_NONAME);
        if (const char* bytes = static_cast<const char*>(GlobalLock(memory))) {
            png.assign(bytes, static_cast<size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    stream->Release();
    return png.empty() ? original : png;
}

DWORD WINAPI TrimWorkingSet(void*) {
    // Emptying the working set of this very process needs no helper program.
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    return 0;
}

int ClientWidth(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return r.right;
}

// The screen's height less the taskbar's while the window is maximised.
int WorkHeight(const WindowSkinRecord& r) {
    int height = GetSystemMetrics(SM_CYSCREEN);
    RECT bar;
    if (r.maximized)
        if (HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
            taskbar && GetWindowRect(taskbar, &bar))
            height -= bar.bottom - bar.top;
    return height;
}

void FillMinMaxInfo(const WindowSkinRecord& r, MINMAXINFO* info) {
    if (!info) return;
    MINMAXINFO limits;
    RtlMoveMemory(&limits, info, sizeof(limits));
    limits.ptMinTrackSize = {kMinTrackWidth, kMinTrackHeight};
    limits.ptMaxTrackSize = {GetSystemMetrics(SM_CXSCREEN), WorkHeight(r)};
    RtlMoveMemory(info, &limits, sizeof(limits));
}

// A maximised window covers the screen's width and the work height.
void FillWorkArea(const WindowSkinRecord& r) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = WorkHeight(r);
    RECT now;
    GetWindowRect(r.hwnd, &now);
    if (now.right - now.left == w && now.bottom - now.top == h) return;  // no endless re-entry
    SetWindowPos(r.hwnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

int FirstButtonOfKind(const WindowSkinRecord& r, int kind) {
    for (int k = 1; k <= r.captionButtons.Count(); k++)
        if (r.captionButtons[k].kind == kind) return k;
    return 0;
}

int BorderEdge(HWND hwnd, LPARAM lp) {
    RECT client;
    GetClientRect(hwnd, &client);
    return SizingEdge(client.right, client.bottom, static_cast<short>(LOWORD(lp)),
                      static_cast<short>(HIWORD(lp)), kBorderZone);
}

void ShowBorderCursor(HWND hwnd, LPARAM lp) {
    static const LPCSTR kCursors[] = {nullptr,    IDC_SIZEWE,   IDC_SIZEWE,
                                      IDC_SIZENS, IDC_SIZENWSE, IDC_SIZENESW,
                                      IDC_SIZENS, IDC_SIZENESW, IDC_SIZENWSE};
    if (int edge = BorderEdge(hwnd, lp)) SetCursor(LoadCursorA(nullptr, kCursors[edge]));
}

}  // namespace

COLORREF SkinBaseColour() {
    return g_baseColour;
}
int SkinBackgroundMode() {
    return g_backgroundMode;
}
const std::string& SkinBackgroundPicture() {
    return g_backgroundPicture;
}
void SetRenderSuppressed(int suppressed) {
    g_renderSuppressed = suppressed;
}
int RenderSuppressed() {
    return g_renderSuppressed;
}

void StartWorkingSetTrim() {
    SHCreateThread(TrimWorkingSet, nullptr, 0, nullptr);
}

MainWindowSkin::MainWindowSkin() {
    g_baseColour = GetSysColor(COLOR_BTNFACE);
}
MainWindowSkin::~MainWindowSkin() {
    ReleaseCanvas(g_layer.dc);
    g_layer = BackdropLayer();
    ReleaseCanvas(g_captionBand.dc);
    g_captionBand = CaptionBand();
}

// ---- Settings and background -----------------------------------------------------------------

void MainWindowSkin::SetWindowBackground(const char*, const void* picture, size_t size,
                                         std::optional<COLORREF> baseColour,
                                         std::optional<long long> theme, std::optional<int> mode) {
    g_baseColour = baseColour ? *baseColour : EstimateBaseColour(picture, size);
    if (!theme)
        g_skinSettings.themeColour = 0x00DDCA22;
    else if (*theme == -1)
        g_skinSettings.themeColour = g_baseColour;
    else
        g_skinSettings.themeColour = static_cast<COLORREF>(*theme);
    g_backgroundMode = mode ? *mode : 4;
    if (picture && size && (g_backgroundMode == 0 || g_backgroundMode == 1))
        g_backgroundPicture = BlendEdgeIntoBase(picture, size, g_backgroundMode, g_baseColour);
    else
        g_backgroundPicture.assign(static_cast<const char*>(picture), picture ? size : 0);
    g_backgroundGeneration++;
}

void MainWindowSkin::SetSkinOptions(int enabled, std::optional<int> overlayAlpha,
                                    std::optional<int> translucent,
                                    std::optional<int> trackBarOption) {
    g_skinSettings.engineEnabled = enabled;
    if (overlayAlpha) g_skinSettings.overlayAlpha = *overlayAlpha;
    if (translucent) g_skinSettings.translucentControls = *translucent;
    if (trackBarOption) g_skinSettings.trackBarOption = *trackBarOption;
}

// ---- Registration ------------------------------------------------------------------------------

void MainWindowSkin::SkinMainWindow(HWND window, int captionHeight, int drawCaption, int resizable,
                                    int gloss, int showTitle) {
    if (!window || FindWindowIndex(window) >= 1) return;
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const int W = ClientWidth(window);
    frameMargin = 3;

    const int i = AppendWindowRecord(window);
    WindowSkinRecord& r = *WindowRecord(i);
    r.captionHeight = std::max(25, captionHeight);
    r.hasMinimizeButton = HasStyle(style, WS_MINIMIZEBOX);
    r.hasMaximizeButton = HasStyle(style, WS_MAXIMIZEBOX);
    r.hasCloseButton = 1;
    r.drawCaption = drawCaption;
    r.resizable = resizable;
    r.showTitle = showTitle;
    r.gloss = gloss;
    r.titleColour = 0x00FFFFFF;
    r.titleOutlineColour = 0x00808080;
    r.titleFontFace = "宋体";
    r.titleFontSize = 12;
    r.titleFontStyle = 1;

    const SkinImageSet& images = SkinImages();
    r.captionButtons.Clear();
    auto addButton = [&](int kind, int width, const ImageBytes& image, const ImageBytes* restore,
                         const char* text) {
        CaptionButton& b = r.captionButtons.Append();
        b.width = width;
        b.height = 18;
        b.image = image.str();
        if (restore) b.image2 = restore->str();
        b.kind = kind;
        b.text = text;
    };
    if (!r.extraButton1.empty()) addButton(3, 26, images.captionExtra1, nullptr, "");
    if (!r.extraButton2.empty()) addButton(4, 26, images.captionExtra2, nullptr, "");
    if (r.hasMinimizeButton)
        addButton(kMinimizeKind, 26, images.captionMinimize, nullptr, "最小化");
    if (r.hasMaximizeButton)
        addButton(kMaximizeKind, 26, images.captionMaximize, &images.captionRestore, "最大化");
    addButton(kCloseKind, 38, images.captionClose, nullptr, "关闭");
    const int n = r.captionButtons.Count();
    int stripWidth = n - 1 + 3;
    for (int k = 1; k <= n; k++) stripWidth += r.captionButtons[k].width;
    r.captionButtonStrip = {W - frameMargin - stripWidth - 2, 0, stripWidth, 22};

    SetWindowLongPtrW(window, GWL_STYLE, style | WS_SYSMENU);
    r.tooltip.Create(window);
    for (int k = 1; k <= n; k++) {
        const CaptionButton& b = r.captionButtons[k];
        RECT tool = {static_cast<LONG>(b.rect[0]), static_cast<LONG>(b.rect[1]),
                     static_cast<LONG>(b.rect[0] + b.rect[2]),
                     static_cast<LONG>(b.rect[1] + b.rect[3])};
        r.tooltip.AddTool(tool, b.text.c_str(), static_cast<UINT>(k));
    }
    ArrangeCaptionButtons(i);
    RunInstallers(i, window, kLastControlRow);

    SetSkinProp(window, kPropHwLbId, i);
    SetProp(window, kPropFrameObject, this);
    WNDPROC old = SubclassWindow(window, FrameEntry);
    SetSkinProp(window, kPropHwProc, reinterpret_cast<LONG_PTR>(old));
    WindowSkinRecord& done = *WindowRecord(i);
    done.registrationComplete = 1;
    done.needsRender = 1;
}

void MainWindowSkin::ArrangeCaptionButtons(int i) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r) return;
    const int W = ClientWidth(r->hwnd);
    StripRect& strip = r->captionButtonStrip;
    strip.x = W - strip.width + 1;
    strip.height = 22;
    for (int k = 1; k <= r->captionButtons.Count(); k++) {
        CaptionButton& b = r->captionButtons[k];
        b.rect[0] = static_cast<float>(strip.x + 2 + 27 * (k - 1));
        b.rect[1] = static_cast<float>(strip.y + 1);
        b.rect[2] = b.kind == kCloseKind ? 40.0f : 26.0f;
        b.rect[3] = 18.0f;
        RECT tool = {static_cast<LONG>(b.rect[0]), static_cast<LONG>(b.rect[1]),
                     static_cast<LONG>(b.rect[0] + b.rect[2]),
                     static_cast<LONG>(b.rect[1] + b.rect[3])};
        r->tooltip.SetToolRect(static_cast<UINT>(k), tool);
        r->tooltip.SetToolText(static_cast<UINT>(k), b.text.c_str());
    }
}

bool MainWindowSkin::CaptionStripContains(int i, LPARAM lp) const {
    const WindowSkinRecord* r = WindowRecord(i);
    if (!r) return false;
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    const StripRect& s = r->captionButtonStrip;
    return x >= s.x - 2 && x <= s.x + s.width && y >= 0 && y <= s.height;
}

int MainWindowSkin::HitCaptionButton(int i, int x, int y) const {
    const WindowSkinRecord* r = WindowRecord(i);
    if (!r) return 0;
    const StripRect& s = r->captionButtonStrip;
    if (x < s.x || y < s.y || y > s.y + s.height) return 0;
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    for (int k = 1; k <= r->captionButtons.Count(); k++) {
        const float* b = r->captionButtons[k].rect;
        if (fx > b[0] && fx < b[0] + b[2] && fy > b[1] && fy < b[1] + b[3]) return k;
    }
    return 0;
}

// ---- Rendering ---------------------------------------------------------------------------------

void MainWindowSkin::PaintFrameBackground(void* graphics, int i, int w, int h) {
    GpGraphics* g = G(graphics);
    const WindowSkinRecord& r = *WindowRecord(i);
    gp::GdipGraphicsClear(g, 0xFFFF00FF);
    GdipPath outline = NewPath();
    AddRoundedRect(outline.get(), 0, 0, static_cast<float>(w), static_cast<float>(h), 4);
    auto paintGround = [&] {
        gp::GdipFillRectangleI(g, NewSolidBrush(ColorRefToArgb(g_baseColour, 255)).get(), 0, 0, w,
                               h);
        // Decoded once for the frame and the message boxes alike.
        WithCachedImage(g_backgroundPicture, [&](GpImage* picture) {
            if (!picture) return;
            const PixelSize size = ImagePixelSize(picture);
            const INT iw = size.width, ih = size.height;
            switch (g_backgroundMode) {
                case 1:
                    gp::GdipDrawImageRectI(g, picture, w - iw, 0, iw, ih);
                    break;
                case 2:
                    gp::GdipDrawImageRectI(g, picture, (w - iw) / 2, (h - ih) / 2, iw, ih);
                    break;
                case 3:
                    gp::GdipDrawImageRectI(g, picture, 0, 0, w, h);
                    break;
                default:
                    gp::GdipDrawImageRectI(g, picture, 0, 0, iw, ih);
                    break;
            }
        });
    };
    // The ground goes inside the rounded clip and inside the window's region
    // (CreateRoundRectRgn(0, 0, w + 1, h + 1, 5, 5)), which shows a pixel or two at the top
    // corners that the clip leaves out: the key colour would show there. Painted once over both.
    gp::GdipSetClipPath(g, outline.get(), Gdiplus::CombineModeReplace);
    {
        GdiRegion shown(CreateRoundRectRgn(0, 0, w + 1, h + 1, 5, 5));
        Gdiplus::GpRegion* region = nullptr;
        if (shown && gp::GdipCreateRegionHrgn(shown.get(), &region) == Gdiplus::Ok) {
            gp::GdipSetClipRegion(g, region, Gdiplus::CombineModeUnion);
            gp::GdipDeleteRegion(region);
        }
    }
    paintGround();
    gp::GdipSetClipPath(g, outline.get(), Gdiplus::CombineModeReplace);
    if (r.gloss) {
        GdipLineBrush gloss =
            VerticalGradient(0, 0, static_cast<float>(r.captionHeight),
                             ColorRefToArgb(0xFFFFFF, 150), ColorRefToArgb(0xFFFFFF, 0));
        if (gloss)
            gp::GdipFillRectangle(g, gloss.get(), 0, 0, static_cast<float>(w),
                                  static_cast<float>(r.captionHeight));
    }
}

void MainWindowSkin::RenderFrame(int i, HDC dc, bool copy) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r) return;
    HWND window = r->hwnd;
    RECT client;
    GetClientRect(window, &client);
    const int w = client.right, h = client.bottom;
    // The rounded outline, given anew on every full render (a maximise or restore changes the
    // size after the region was set). The system owns the region once it is set: it is not
    // deleted here. When the window already has exactly this outline nothing is changed: setting
    // it again would only repaint the whole window a second time.
    GdiRegion outline(CreateRoundRectRgn(0, 0, w + 1, h + 1, 5, 5));
    if (!outline || !HasRegion(window, outline.get())) {
        SetWindowRgn(window, nullptr, TRUE);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowRgn(window, outline.release(), TRUE);
    }

    r = WindowRecord(i);  // the calls above may have re-entered the frame
    // Both surfaces are overwritten whole below, so those of the last render are reused.
    if (!CanvasOfSize(&r->backgroundDc, w, h)) return;
    SetCanvasProps(window, r->backgroundDc);
    if (!DrawBackdropLayer(i, w, h)) return;
    BitBlt(r->backgroundDc, 0, 0, w, h, g_layer.dc, 0, 0, SRCCOPY);
    if (r->drawCaption) {
        if (CanvasOfSize(&r->captionBackdropDc, w, h))
            BitBlt(r->captionBackdropDc, 0, 0, w, h, g_layer.dc, 0, 0, SRCCOPY);
        GdipGraphics g;
        gp::GdipCreateFromHDC(r->backgroundDc, g.out());
        if (g && r->showTitle) RenderCaption(i, g.get(), w, h);
        for (int k = 1; g && k <= r->captionButtons.Count(); k++)
            PaintFrameButton(i, k, g.get(), false, 0);
    }
    if (copy && dc) {
        HDC target = ExcludeOpaqueChildren(window, dc, 1);
        BitBlt(target, 0, 0, w, h, r->backgroundDc, 0, 0, SRCCOPY);
    }
    r->needsRender = 0;
    if (!g_renderSuppressed) InvalidateSkinnedControls(i);
}

void MainWindowSkin::RenderCaption(int i, void* graphics, int w, int h) {
    const WindowSkinRecord& r = *WindowRecord(i);
    CaptionBandKey key;
    key.layerSerial = g_layerSerial;
    key.width = w;
    // Everything DrawCaption touches: the icon from y - 3, the title's box of 32 rows from y,
    // its outline a row beyond.
    key.height = std::min(h, frameMargin + 5 + 32 + 2);
    key.margin = frameMargin;
    key.stripWidth = r.captionButtonStrip.width;
    key.title = WindowTextGbk(r.hwnd);
    key.face = r.titleFontFace;
    key.fontSize = r.titleFontSize;
    key.fontStyle = r.titleFontStyle;
    key.colour = r.titleColour;
    key.outline = r.titleOutlineColour;
    key.icon = programIcon_;
    if (g_captionBand.dc && g_captionBand.key == key) {
        gp::GdipFlush(G(graphics), Gdiplus::FlushIntentionSync);
        BitBlt(r.backgroundDc, 0, 0, key.width, key.height, g_captionBand.dc, 0, 0, SRCCOPY);
        return;
    }
    DrawCaption(i, graphics, true, nullptr);
    gp::GdipFlush(G(graphics), Gdiplus::FlushIntentionSync);
    if (!CanvasOfSize(&g_captionBand.dc, key.width, key.height)) {
        g_captionBand = CaptionBand();
        return;
    }
    BitBlt(g_captionBand.dc, 0, 0, key.width, key.height, r.backgroundDc, 0, 0, SRCCOPY);
    g_captionBand.key = std::move(key);
}

bool MainWindowSkin::DrawBackdropLayer(int i, int w, int h) {
    const WindowSkinRecord& r = *WindowRecord(i);
    if (g_layer.dc && g_layer.width == w && g_layer.height == h &&
        g_layer.generation == g_backgroundGeneration && g_layer.gloss == r.gloss &&
        g_layer.drawCaption == r.drawCaption && g_layer.captionHeight == r.captionHeight)
        return true;
    ReleaseCanvas(g_layer.dc);
    g_layer = BackdropLayer();
    HDC layer = CreateCanvas(w, h);
    if (!layer) return false;
    GdipGraphics g;
    gp::GdipCreateFromHDC(layer, g.out());
    if (!g) {
        ReleaseCanvas(layer);
        return false;
    }
    PaintFrameBackground(g.get(), i, w, h);
    if (r.drawCaption) {
        gp::GdipResetClip(g.get());
        GdipPath outer = NewPath(), inner = NewPath();
        AddRoundedRect(outer.get(), 0, 0, static_cast<float>(w - 1), static_cast<float>(h - 1), 7);
        AddRoundedRect(inner.get(), 1, 1, static_cast<float>(w - 3), static_cast<float>(h - 3), 6);
        StrokePath(g.get(), NewPen(ColorRefToArgb(0x000000, 180)).get(), outer.get());
        StrokePath(g.get(), NewPen(ColorRefToArgb(0xFFFFFF, 180)).get(), inner.get());
    }
    g.reset();
    g_layer = {layer, w, h, g_backgroundGeneration, r.gloss, r.drawCaption, r.captionHeight};
    g_layerSerial++;
    return true;
}

void MainWindowSkin::CopyFrame(int i, HDC dc) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r || !r->backgroundDc || !dc) return;
    RECT client;
    GetClientRect(r->hwnd, &client);
    HDC target = ExcludeOpaqueChildren(r->hwnd, dc, 1);
    BitBlt(target, 0, 0, client.right, client.bottom, r->backgroundDc, 0, 0, SRCCOPY);
}

void MainWindowSkin::InvalidateSkinnedControls(int i) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r) return;
    auto invalidate = [](auto& table) {
        for (int k = 1; k <= table.Count(); k++)
            if (table[k].hwnd) InvalidateRect(table[k].hwnd, nullptr, TRUE);
    };
    invalidate(r->buttonTable);
    invalidate(r->editTable);
    invalidate(r->listTable);
    invalidate(r->trackBarTable);
    invalidate(r->progressTable);
    invalidate(r->comboTable);
    invalidate(r->upDownTable);
    invalidate(r->headerTable);
    invalidate(r->containerTable);
    invalidate(r->controlTable);
}

void MainWindowSkin::RestoreCaptionBackdrop(int i, int left, int top, int right, int bottom) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r || !r->captionBackdropDc || !r->backgroundDc) return;
    BitBlt(r->backgroundDc, left, top, right - left, bottom - top, r->captionBackdropDc, left, top,
           SRCCOPY);
}

void MainWindowSkin::CopyToWindow(int i, int x, int y, int w, int h) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r || !r->backgroundDc) return;
    WindowDc dc(r->hwnd);
    BitBlt(dc.get(), x, y, w, h, r->backgroundDc, x, y, SRCCOPY);
}

void MainWindowSkin::DrawCaption(int i, void* graphics, bool rendering, const wchar_t* text) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r || !r->backgroundDc) return;
    const int m = frameMargin;
    const int x = m + 6, y = m + 5;
    const int width = ClientWidth(r->hwnd) - r->captionButtonStrip.width - 10 - 2 * m;
    if (!rendering) RestoreCaptionBackdrop(i, x, y, x + width, y + 32);
    GpGraphics* g = G(graphics);
    gp::GdipFlush(g, Gdiplus::FlushIntentionSync);
    if (programIcon_)
        DrawIconEx(r->backgroundDc, x, y - 3, programIcon_, 17, 17, 0, nullptr, DI_NORMAL);

    const std::string title = rendering || !text ? WindowTextGbk(r->hwnd) : GbkForDisplay(text);
    TextStyle style;
    style.face = r->titleFontFace.c_str();
    style.emSize = static_cast<float>(r->titleFontSize);
    style.style = r->titleFontStyle;
    DrawOutlinedText(g, title.c_str(), static_cast<float>(x + 20), static_cast<float>(y),
                     static_cast<float>(width), 32, r->titleColour, r->titleOutlineColour, style);
    if (!rendering) {
        gp::GdipFlush(g, Gdiplus::FlushIntentionSync);
        CopyToWindow(i, m + 6, m + 3, width, 32);
    }
}

void MainWindowSkin::PaintFrameButtonOverlay(void* graphics, int i, int k, int a) {
    WindowSkinRecord& r = *WindowRecord(i);
    const CaptionButton& b = r.captionButtons[k];
    GpGraphics* g = G(graphics);
    const int x = static_cast<int>(b.rect[0]) - 1, y = static_cast<int>(b.rect[1]);
    const int w = b.width, h = b.height;
    gp::GdipFlush(g, Gdiplus::FlushIntentionSync);
    RestoreCaptionBackdrop(i, x - 1, y, x + w + 1, y + h + 1);
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);

    GdipPath top = NewPath();
    AddTopRoundedRect(top.get(), fx, fy, fw, fh, 1);
    GdipLineBrush shade =
        VerticalGradient(fx, fy, fh, ColorRefToArgb(0, a / 5), ColorRefToArgb(0xFFFFFF, 0));
    FillPath(g, shade.get(), top.get());

    GdipPath lit = NewPath();
    if (b.kind == kCloseKind)
        AddTopRightRoundedRect(lit.get(), fx, fy, fw, fh, 5);
    else
        AddTopRoundedRect(lit.get(), fx, fy, fw, fh, 1);
    COLORREF tint = b.kind == kCloseKind ? kRed : g_skinSettings.themeColour;
    GdipLineBrush glow =
        VerticalGradient(fx, fy, fh, ColorRefToArgb(tint, a), ColorRefToArgb(0xFFFFFF, 0));
    FillPath(g, glow.get(), lit.get());

    GdipPath rim = NewPath();
    const float rimH = static_cast<float>(static_cast<int>(0.8 * h));
    if (b.kind == kCloseKind)
        AddTopRightRoundedRect(rim.get(), fx, fy, fw - 1, rimH, 5);
    else
        AddTopRoundedRect(rim.get(), fx, fy, fw - 1, rimH, 1);
    GdipLineBrush rimBrush =
        VerticalGradient(fx, fy, rimH, ColorRefToArgb(0xFFFFFF, static_cast<int>(0.8 * a)),
                         ColorRefToArgb(0xFFFFFF, 0));
    GdipPen pen;
    if (rimBrush) gp::GdipCreatePen2(rimBrush.get(), 1.0f, Gdiplus::UnitPixel, pen.out());
    if (pen) gp::GdipDrawPath(g, pen.get(), rim.get());
}

void MainWindowSkin::PaintFrameButton(int i, int k, void* graphics, bool pressed, int alpha) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r || !r->backgroundDc || k < 1 || k > r->captionButtons.Count()) return;
    const CaptionButton& b = r->captionButtons[k];
    const StripRect& strip = r->captionButtonStrip;
    const int x = static_cast<int>(b.rect[0]) - 1, y = strip.y + 1;
    const int w = b.width, h = b.height;
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    const std::string& imageBytes = b.kind == kMaximizeKind && r->maximized ? b.image2 : b.image;
    auto drawGlyph = [&](GpGraphics* g, float width) {
        WithCachedImage(imageBytes, [&](GpImage* image) {
            if (image) gp::GdipDrawImageRect(g, image, fx, fy, width, fh);
        });
    };

    GdipGraphics own;
    GpGraphics* g = G(graphics);
    if (pressed || !g) {
        gp::GdipCreateFromHDC(r->backgroundDc, own.out());
        g = own.get();
        if (!g) return;
        // The pressed state is drawn at once with hard edges; the fades are smoothed.
        if (!pressed) gp::GdipSetSmoothingMode(g, Gdiplus::SmoothingModeAntiAlias);
    }
    if (pressed) {
        RestoreCaptionBackdrop(i, x, y, x + w, y + h);
        GdipPath shape = NewPath();
        if (b.kind == kCloseKind)
            AddTopRightRoundedRect(shape.get(), fx, fy, fw, fh, 5);
        else
            gp::GdipAddPathRectangle(shape.get(), fx, fy, fw, fh);
        GdipLineBrush brush =
            b.kind == kCloseKind
                ? VerticalGradient(fx, fy, fh, ColorRefToArgb(kRed, 255),
                                   ColorRefToArgb(0xFFFFFF, 30))
                : VerticalGradient(fx, fy, fh, ColorRefToArgb(0, 80), ColorRefToArgb(0xFFFFFF, 5));
        FillPath(g, brush.get(), shape.get());
        drawGlyph(g, fw - 1);
        own.reset();
        CopyToWindow(i, x, y, w, h);
        return;
    }
    PaintFrameButtonOverlay(g, i, k, alpha);
    GdipLineBrush sheen =
        VerticalGradient(fx, fy, fh, ColorRefToArgb(0xFFFFFF, 50), ColorRefToArgb(0, 0));
    if (sheen) gp::GdipFillRectangle(g, sheen.get(), fx - 1, fy, fw + 1, fh - 1);
    drawGlyph(g, fw);

    auto separator = [&](int button, int lineAlpha) {
        const float lx =
            static_cast<float>(static_cast<int>(r->captionButtons[button].rect[0]) - 2);
        const float top = static_cast<float>(strip.y + 1);
        const float bottom = static_cast<float>(strip.y + strip.height - 4);
        GdipLineBrush fade =
            VerticalGradient(lx, static_cast<float>(strip.y), static_cast<float>(strip.height - 3),
                             ColorRefToArgb(0, lineAlpha), ColorRefToArgb(0, 0));
        GdipPen pen;
        if (fade) gp::GdipCreatePen2(fade.get(), 1.0f, Gdiplus::UnitPixel, pen.out());
        if (pen) gp::GdipDrawLine(g, pen.get(), lx, top, lx, bottom);
    };
    separator(k, k == 1 ? 100 : 60);
    if (k < r->captionButtons.Count()) separator(k + 1, 60);
    if (own) {
        own.reset();
        CopyToWindow(i, x, y, w, h);
    }
}

// ---- Mouse, fades, drag ------------------------------------------------------------------------

void MainWindowSkin::OnMouseMove(int i, LPARAM lp) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r->mouseInside) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, r->hwnd, 1};
        TrackMouseEvent(&track);
    }
    if (!r->drawCaption) return;
    if (CaptionStripContains(i, lp)) {
        if (!r->fadeTimerRunning) StartFadeTimer(i);
    } else {
        r->fadeTimerRunning = 0;
    }
    hotButton = HitCaptionButton(i, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
    MoveHotButton(i, hotButton);
}

void MainWindowSkin::StartFadeTimer(int i) {
    WindowSkinRecord* r = WindowRecord(i);
    SetTimer(r->hwnd, reinterpret_cast<UINT_PTR>(r->hwnd), kFadePeriod, nullptr);
    r->fadeTimerRunning = 1;
}

void MainWindowSkin::MoveHotButton(int i, int now) {
    WindowSkinRecord* r = WindowRecord(i);
    if (r->lastHotButton && r->lastHotButton != now) {
        if (r->fadeOut.step < kFadeSteps) PaintFrameButton(i, r->fadeOut.button, nullptr, false, 0);
        r->fadeOut = {r->lastHotButton, 0};
    }
    if (now && now != r->lastHotButton) r->fadeIn = {now, 0};
    r->lastHotButton = now;
}

// The caption button under the pointer as it is now, whatever messages were lost on the way (a
// tooltip window under the pointer, hover tracking taken over by another window).
int MainWindowSkin::ButtonUnderPointer(int i) const {
    const WindowSkinRecord* r = WindowRecord(i);
    POINT p;
    if (!r || !GetCursorPos(&p) || WindowFromPoint(p) != r->hwnd) return 0;
    ScreenToClient(r->hwnd, &p);
    return HitCaptionButton(i, p.x, p.y);
}

void MainWindowSkin::OnFadeTick(int i) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r->drawCaption) return;
    // A lit button the pointer has left fades out even when no mouse message said so.
    if (r->lastHotButton && ButtonUnderPointer(i) != r->lastHotButton) MoveHotButton(i, 0);
    if (r->fadeIn.button && r->fadeIn.step < kFadeSteps) {
        r->fadeIn.step++;
        PaintFrameButton(i, r->fadeIn.button, nullptr, false, 30 * r->fadeIn.step);
    }
    if (r->fadeOut.button && r->fadeOut.step < kFadeSteps) {
        r->fadeOut.step++;
        PaintFrameButton(i, r->fadeOut.button, nullptr, false, 240 - 30 * r->fadeOut.step);
    }
    // The timer stops once nothing is lit or fading: a lit button keeps it, so it can still dim.
    bool fadeOutDone = !r->fadeOut.button || r->fadeOut.step >= kFadeSteps;
    if ((!r->mouseInside || !r->fadeTimerRunning) && fadeOutDone && !r->lastHotButton) {
        r->fadeTimerRunning = 0;
        KillTimer(r->hwnd, reinterpret_cast<UINT_PTR>(r->hwnd));
        r->fadeIn = FadeState();
        r->fadeOut = FadeState();
    }
}

void MainWindowSkin::OnMouseLeave(int i) {
    WindowSkinRecord* r = WindowRecord(i);
    r->mouseInside = 0;
    if (!r->drawCaption || !r->lastHotButton) return;
    if (r->fadeOut.step < kFadeSteps && r->fadeIn.step < kFadeSteps)
        PaintFrameButton(i, r->fadeOut.button, nullptr, false, 0);
    r->fadeIn = FadeState();
    r->fadeOut = {r->lastHotButton, 0};
    r->lastHotButton = 0;
    StartFadeTimer(i);  // the timer may have stopped meanwhile: the fade-out needs it
}

void MainWindowSkin::BeginDrag(int i, LPARAM lp) {
    WindowSkinRecord* r = WindowRecord(i);
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    const StripRect& s = r->captionButtonStrip;
    if (!r->drawCaption || (x >= s.x && x <= s.x + s.width && y >= 3 && y <= s.height)) return;
    if (r->resizable) {
        if (int edge = BorderEdge(r->hwnd, lp)) {
            POINT p = {x, y};
            ClientToScreen(r->hwnd, &p);
            SendMessageW(r->hwnd, WM_SYSCOMMAND, SC_SIZE + edge, MAKELPARAM(p.x, p.y));
            return;
        }
    }
    SendMessageW(r->hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void MainWindowSkin::CaptionButtonAction(int i, int n) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r || n < 1 || n > r->captionButtons.Count()) return;
    switch (r->captionButtons[n].kind) {
        case kMaximizeKind:
            SendMessageW(r->hwnd, WM_SYSCOMMAND, r->maximized ? SC_RESTORE : SC_MAXIMIZE, 0);
            break;
        case kMinimizeKind:
            SendMessageW(r->hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            break;
        case kCloseKind:
            SendMessageW(r->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
    }
}

// ---- The frame procedure -----------------------------------------------------------------------

LRESULT CALLBACK MainWindowSkin::FrameEntry(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<MainWindowSkin*>(GetPropA(hwnd, kPropFrameObject));
    if (!self) return ForwardMessage(hwnd, msg, wp, lp);
    return self->MainFrameProc(hwnd, msg, wp, lp);
}

LRESULT MainWindowSkin::MainFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int i = static_cast<int>(SkinProp(hwnd, kPropHwLbId));
    WindowSkinRecord* r = WindowRecord(i);
    if (!r) return ForwardMessage(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_SIZE:
            OnFrameSize(hwnd, *r);
            break;
        case WM_SETTEXT:
            OnFrameSetText(i, reinterpret_cast<const wchar_t*>(lp));
            break;
        case WM_PAINT:
            OnFramePaint(hwnd, i);
            return DefWindowProcW(hwnd, msg, wp, lp);
        case WM_QUERYOPEN:
            r->minimized = 0;
            break;
        case WM_ERASEBKGND:
            // The frame paints every pixel itself.
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return 1;
        case WM_SHOWWINDOW:
            if (wp == 1) OnFrameShown(hwnd, i);
            break;
        case WM_ACTIVATEAPP:
            if (wp == 0) StartWorkingSetTrim();
            break;
        case WM_GETMINMAXINFO:
            FillMinMaxInfo(*r, reinterpret_cast<MINMAXINFO*>(lp));
            return 0;
        case WM_WINDOWPOSCHANGED:
            OnFrameMoved(i);
            break;
        case WM_DRAWITEM:
            DrawButtonItemMessage(i, lp);
            break;
        case WM_COMMAND:
            if (g_skinSettings.engineEnabled && g_skinSettings.translucentControls)
                InvalidateOnContentChange(wp, lp);
            break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC: {
            LRESULT brush = 0;
            if (OnFrameControlColour(msg, wp, lp, &brush)) return brush;
            break;
        }
        case WM_NOTIFY:
            OnFrameNotify(reinterpret_cast<const NMHDR*>(lp));
            break;
        case WM_NCDESTROY:
            return OnFrameDestroyed(hwnd, *r, msg, wp, lp);
        case WM_SYSCOMMAND:
            OnFrameSystemCommand(*r, wp);
            break;
        case WM_TIMER:
            if (wp == reinterpret_cast<WPARAM>(hwnd)) OnFadeTick(i);
            break;
        case WM_MOUSEMOVE:
            OnFrameMouseMove(hwnd, i, lp);
            break;
        case WM_LBUTTONDOWN:
            OnFrameButtonDown(i, lp);
            break;
        case WM_LBUTTONUP:
            OnFrameButtonUp(i);
            break;
        case WM_LBUTTONDBLCLK:
            OnFrameDoubleClick(i, lp);
            break;
        case WM_MOUSEHOVER:
            r->mouseInside = 1;
            break;
        case WM_MOUSELEAVE:
            OnMouseLeave(i);
            break;
    }
    return ForwardMessage(hwnd, msg, wp, lp);
}

void MainWindowSkin::OnFrameSize(HWND hwnd, WindowSkinRecord& r) {
    r.lastHotButton = 0;
    if (g_renderSuppressed) {
        r.needsRender = 0;
        g_renderSuppressed = 0;
    } else {
        r.needsRender = 1;
        // The whole frame changes with the size, not only the part newly uncovered.
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void MainWindowSkin::OnFrameSetText(int i, const wchar_t* text) {
    WindowSkinRecord* r = WindowRecord(i);
    if (!r->showTitle || !r->drawCaption || !r->backgroundDc) return;
    GdipGraphics g;
    gp::GdipCreateFromHDC(r->backgroundDc, g.out());
    if (g) DrawCaption(i, g.get(), false, text);
}

void MainWindowSkin::OnFramePaint(HWND hwnd, int i) {
    WindowSkinRecord* r = WindowRecord(i);
    PaintScope paint(hwnd);
    if (r->minimized) return;
    // The first paint renders even while suppressed: there is nothing to copy yet.
    if (r->needsRender || !r->backgroundDc)
        RenderFrame(i, paint.dc(), true);
    else
        CopyFrame(i, paint.dc());
}

void MainWindowSkin::OnFrameShown(HWND hwnd, int i) {
    WindowSkinRecord* r = WindowRecord(i);
    if (r->minimized) {
        r->minimized = 0;
        return;
    }
    WindowDc dc(hwnd);
    RenderFrame(i, dc.get(), true);
}

void MainWindowSkin::OnFrameMoved(int i) {
    WindowSkinRecord* r = WindowRecord(i);
    if (r->maximized) FillWorkArea(*r);
    ArrangeCaptionButtons(i);
}

bool MainWindowSkin::OnFrameControlColour(UINT msg, WPARAM wp, LPARAM lp, LRESULT* brush) {
    return g_skinSettings.engineEnabled && g_skinSettings.translucentControls &&
           AnswerControlColour(msg, wp, lp, brush);
}

void MainWindowSkin::OnFrameNotify(const NMHDR* header) {
    // A tab control's selection changing (-405) or changed (-406): its pages repaint whole.
    if (header &&
        (header->code == static_cast<UINT>(-405) || header->code == static_cast<UINT>(-406)))
        InvalidateRect(header->hwndFrom, nullptr, TRUE);
}

LRESULT MainWindowSkin::OnFrameDestroyed(HWND hwnd, WindowSkinRecord& r, UINT msg, WPARAM wp,
                                         LPARAM lp) {
    KillTimer(hwnd, reinterpret_cast<UINT_PTR>(hwnd));
    ReleaseWindowSkin(hwnd, r);
    RemovePropA(hwnd, kPropFrameObject);
    const LRESULT result = ForwardMessage(hwnd, msg, wp, lp);
    RemovePropA(hwnd, kPropHwProc);
    RemovePropA(hwnd, kPropHwLbId);
    return result;
}

void MainWindowSkin::OnFrameSystemCommand(WindowSkinRecord& r, WPARAM wp) {
    switch (wp & 0xFFF0) {
        case SC_MAXIMIZE:
            r.maximized = 1;
            r.needsRender = 1;
            break;
        case SC_RESTORE:
            r.needsRender = 1;
            r.minimized = 0;
            break;
        case SC_MINIMIZE:
            r.needsRender = 1;
            r.minimized = 1;
            break;
    }
}

void MainWindowSkin::OnFrameMouseMove(HWND hwnd, int i, LPARAM lp) {
    OnMouseMove(i, lp);
    WindowSkinRecord* r = WindowRecord(i);
    if (r->resizable && !r->maximized && !CaptionStripContains(i, lp)) ShowBorderCursor(hwnd, lp);
}

void MainWindowSkin::OnFrameButtonDown(int i, LPARAM lp) {
    WindowSkinRecord* r = WindowRecord(i);
    r->fadeIn.button = 0;
    if (r->drawCaption && !r->maximized && !r->minimized) BeginDrag(i, lp);
    hotButton = HitCaptionButton(i, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
    if (hotButton) PaintFrameButton(i, hotButton, nullptr, true, 0);
}

void MainWindowSkin::OnFrameButtonUp(int i) {
    WindowSkinRecord* r = WindowRecord(i);
    if (hotButton >= 1 && hotButton <= r->captionButtons.Count() && r->drawCaption)
        CaptionButtonAction(i, hotButton);
}

void MainWindowSkin::OnFrameDoubleClick(int i, LPARAM lp) {
    WindowSkinRecord* r = WindowRecord(i);
    if (static_cast<short>(HIWORD(lp)) <= r->captionHeight && r->resizable)
        if (int k = FirstButtonOfKind(*r, kMaximizeKind)) CaptionButtonAction(i, k);
}

// ---- Containers --------------------------------------------------------------------------------

int MainWindowSkin::RegisterContainer(HWND hwnd, int fillChildren, COLORREF fillColour,
                                      int fillAlpha, COLORREF borderColour) {
    if (int k = ControlIndex(OwningWindowIndex(hwnd), hwnd)) return k;
    RegisterControl(hwnd, fillChildren, fillColour, fillAlpha, borderColour);
    return 0;
}

void MainWindowSkin::SetContainerFillAlpha(HWND hwnd, int alpha) {
    const int i = OwningWindowIndex(hwnd);
    ControlSkinRecord* entry = ControlRecord(i, ControlIndex(i, hwnd));
    if (!entry || entry->fillColour == 0) return;
    entry->fillAlpha = alpha & 0xFF;
    InvalidateRect(hwnd, nullptr, FALSE);
}
