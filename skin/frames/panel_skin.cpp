#include "panel_skin.h"

#include <vector>

#include "canvas.h"
#include "drawing.h"
#include "geometry.h"
#include "images.h"
#include "registry.h"
#include "window_tools.h"

namespace {

constexpr char kPropPanelObject[] = "QL_PanelSkin";

// The time dimension of animated images.
const GUID kFrameDimensionTime = {
    0x6AEDBD6D, 0x3FB5, 0x418A, {0x83, 0xA6, 0x7F, 0x45, 0x22, 0x9D, 0xC8, 0x72}};

class Lock {
  public:
    explicit Lock(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
    ~Lock() { LeaveCriticalSection(cs_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    CRITICAL_SECTION* cs_;
};

}  // namespace

PanelSkin::PanelSkin() {
    InitializeCriticalSection(&frameLock_);
    stopEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

PanelSkin::~PanelSkin() {
    StopAnimation();
    ResetPanel();
    DeleteCriticalSection(&frameLock_);
}

void PanelSkin::AttachPanel(HWND hwnd, int shapeValue, int insetModeValue, int borderValue,
                            COLORREF colour) {
    if (!hwnd) return;
    window = hwnd;
    shape = shapeValue;
    insetMode = insetModeValue;
    border = borderValue;
    borderColour = colour;
    if (FindWindowExA(hwnd, nullptr, nullptr, nullptr) && g_skinSettings.engineEnabled) {
        RegisterControl(hwnd, 0);
        SetSkinProp(hwnd, kPropWxkProvider, 1);
        SetSkinProp(hwnd, kPropMbProvider, reinterpret_cast<LONG_PTR>(BackgroundProviderOf(hwnd)));
        registered = 1;
    }
    SetPropA(hwnd, kPropPanelObject, this);
    originalProc = SubclassWindow(hwnd, ProcEntry);
    dirty = 1;
    InvalidateRect(hwnd, nullptr, TRUE);
}

void PanelSkin::StartAnimation(const void* bytes, size_t size, int x, int y,
                               std::optional<int> width, std::optional<int> height) {
    if (animationDc_ || !window) return;
    image_ = DecodeImage(bytes, size);
    const PixelSize pictureSize = ImagePixelSize(image_.get());
    x_ = x;
    y_ = y;
    width_ = width ? *width : pictureSize.width;
    height_ = height ? *height : pictureSize.height;
    delays_ = GifFrameDelays(bytes, size);
    animationDc_.emplace(window);
    ResetEvent(stopEvent_.get());
    DWORD id = 0;
    thread_.reset(CreateThread(nullptr, 0, ThreadEntry, this, 0, &id));
}

DWORD WINAPI PanelSkin::ThreadEntry(void* self) {
    static_cast<PanelSkin*>(self)->AnimationLoop();
    return 0;
}

void PanelSkin::AnimationLoop() {
    UINT frames = 0;
    {
        Lock lock(&frameLock_);
        if (!animationDc_ || !image_) return;
        gp::GdipCreateFromHDC(animationDc_->get(), animationGraphics_.out());
        gp::GdipImageGetFrameCount(image_.get(), &kFrameDimensionTime, &frames);
    }
    if (frames == 0) return;
    for (UINT k = 0;; k = (k + 1) % frames) {
        DWORD delay = 0;
        {
            Lock lock(&frameLock_);
            if (!animationDc_ || !animationGraphics_) return;
            gp::GdipImageSelectActiveFrame(image_.get(), &kFrameDimensionTime, k);
            if (cacheDc)
                BitBlt(animationDc_->get(), x_, y_, width_, height_, cacheDc, x_, y_, SRCCOPY);
            const PixelSize size = ImagePixelSize(image_.get());
            gp::GdipDrawImageRectRect(
                animationGraphics_.get(), image_.get(), static_cast<float>(x_),
                static_cast<float>(y_), static_cast<float>(width_), static_cast<float>(height_), 0,
                0, static_cast<float>(size.width), static_cast<float>(size.height),
                Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
            gp::GdipFlush(animationGraphics_.get(), Gdiplus::FlushIntentionSync);
            delay = k < delays_.size() ? delays_[k] * 10 : 100;
        }
        // The delay between frames; a stop request ends it at once.
        if (WaitForSingleObject(stopEvent_.get(), delay) == WAIT_OBJECT_0) return;
    }
}

void PanelSkin::StopAnimation() {
    if (stopEvent_) SetEvent(stopEvent_.get());
    {
        Lock lock(&frameLock_);
        animationGraphics_.reset();
        animationDc_.reset();
        image_.reset();
    }
    if (thread_) {
        WaitForSingleObject(thread_.get(), 5000);
        thread_.reset();
    }
    if (window && IsWindow(window)) InvalidateRect(window, nullptr, TRUE);
}

void PanelSkin::ResetPanel() {
    Lock lock(&frameLock_);
    ReleaseCanvas(cacheDc);
    cacheDc = nullptr;
    window = nullptr;
    originalProc = nullptr;
    pressed = dirty = hovering = 0;
    onEnter = onLeave = nullptr;
    shape = cornerRadius = insetMode = border = 0;
    borderColour = 0;
    borderAlpha = 0;
    registered = 0;
}

void PanelSkin::PaintPanel(HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    const int w = client.right, h = client.bottom;
    {
        Lock lock(&frameLock_);
        ReleaseCanvas(cacheDc);
        cacheDc = BackgroundSnapshot(window, client);
        SetSkinProp(window, kPropWxkImage, reinterpret_cast<LONG_PTR>(cacheDc));
        if (cacheDc && border) {
            GdipGraphics g;
            gp::GdipCreateFromHDC(cacheDc, g.out());
            GdipPath outer, inner;
            gp::GdipCreatePath(Gdiplus::FillModeAlternate, outer.out());
            gp::GdipCreatePath(Gdiplus::FillModeAlternate, inner.out());
            AddRoundedRect(outer.get(), 0, 0, static_cast<float>(w - 1), static_cast<float>(h - 1),
                           cornerRadius);
            AddRoundedRect(inner.get(), 1, 1, static_cast<float>(w - 3), static_cast<float>(h - 3),
                           cornerRadius);
            GdipPen outerPen, innerPen;
            gp::GdipCreatePen1(ColorRefToArgb(borderColour, borderAlpha), 1.0f, Gdiplus::UnitPixel,
                               outerPen.out());
            gp::GdipCreatePen1(ColorRefToArgb(0xFFFFFF, 120), 1.0f, Gdiplus::UnitPixel,
                               innerPen.out());
            if (g && outerPen) gp::GdipDrawPath(g.get(), outerPen.get(), outer.get());
            if (g && innerPen) gp::GdipDrawPath(g.get(), innerPen.get(), inner.get());
        }
    }
    if (!cacheDc) return;
    if (dc) {
        BitBlt(ExcludeOpaqueChildren(window, dc, 1), 0, 0, w, h, cacheDc, 0, 0, SRCCOPY);
    } else {
        HDC own = ExcludeOpaqueChildren(window, nullptr, 0);
        BitBlt(own, 0, 0, w, h, cacheDc, 0, 0, SRCCOPY);
        ReleaseDC(window, own);
    }
}

void PanelSkin::BlitPanelCache(HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    Lock lock(&frameLock_);
    if (cacheDc)
        BitBlt(ExcludeOpaqueChildren(window, dc, 1), 0, 0, client.right, client.bottom, cacheDc, 0,
               0, SRCCOPY);
}

LRESULT CALLBACK PanelSkin::ProcEntry(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<PanelSkin*>(GetPropA(hwnd, kPropPanelObject));
    if (!self || self->window != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
    return self->PanelProc(hwnd, msg, wp, lp);
}

LRESULT PanelSkin::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC forward = originalProc;
    switch (msg) {
        case WM_NCDESTROY:
            StopAnimation();
            RemovePropA(hwnd, kPropPanelObject);
            ResetPanel();
            break;
        case WM_MOVE: {
            LRESULT result = CallWindowProcW(forward, hwnd, msg, wp, lp);
            PaintPanel(nullptr);
            return result;
        }
        case WM_ERASEBKGND:
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return 1;
        case WM_PAINT: {
            {
                PaintScope paint(hwnd);
                if (dirty || !cacheDc) {
                    PaintPanel(paint.dc());
                    dirty = 0;
                } else {
                    BlitPanelCache(paint.dc());
                }
            }
            return DefWindowProcW(hwnd, msg, wp, lp);
        }
        case WM_MOUSEMOVE:
            if (!hovering) {
                TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, hwnd, 1};
                TrackMouseEvent(&track);
            }
            break;
        case WM_MOUSEHOVER:
            hovering = 1;
            if (onEnter) onEnter(hwnd);
            break;
        case WM_MOUSELEAVE:
            pressed = hovering = 0;
            if (onLeave) onLeave(hwnd);
            break;
        case WM_SIZE:
            dirty = 1;
            break;
        case WM_LBUTTONDOWN:
            pressed = 1;
            break;
        case WM_LBUTTONUP:
            pressed = 0;
            break;
    }
    return CallWindowProcW(forward, hwnd, msg, wp, lp);
}
