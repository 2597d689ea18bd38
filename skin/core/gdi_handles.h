// Owners of GDI and GDI+ objects (Owned, handles.h), and the scopes of device contexts.
#pragma once

#include <windows.h>
#include <objidl.h>  // PROPID and IStream, left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <utility>

#include "gdiplus_session.h"
#include "handles.h"

namespace gp = Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpLineGradient;
using Gdiplus::GpPath;
using Gdiplus::GpPathGradient;
using Gdiplus::GpPen;
using Gdiplus::GpSolidFill;
using Gdiplus::GpStatus;
using Gdiplus::GpStringFormat;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using GdiBitmap = Owned<HBITMAP, GdiObjectDeleter>;
using GdiFont = Owned<HFONT, GdiObjectDeleter>;
using GdiBrush = Owned<HBRUSH, GdiObjectDeleter>;
using GdiRegion = Owned<HRGN, GdiObjectDeleter>;
using MemoryDc = Owned<HDC, DcDeleter>;

struct GdipGraphicsDeleter {
    void operator()(GpGraphics* g) const { gp::GdipDeleteGraphics(g); }
};
struct GdipPathDeleter {
    void operator()(GpPath* p) const { gp::GdipDeletePath(p); }
};
struct GdipBrushDeleter {
    void operator()(GpBrush* b) const { gp::GdipDeleteBrush(b); }
};
struct GdipPenDeleter {
    void operator()(GpPen* p) const { gp::GdipDeletePen(p); }
};
struct GdipImageDeleter {
    void operator()(GpImage* i) const { gp::GdipDisposeImage(i); }
};
struct GdipFontDeleter {
    void operator()(GpFont* f) const { gp::GdipDeleteFont(f); }
};
struct GdipFontFamilyDeleter {
    void operator()(GpFontFamily* f) const { gp::GdipDeleteFontFamily(f); }
};
struct GdipStringFormatDeleter {
    void operator()(GpStringFormat* f) const { gp::GdipDeleteStringFormat(f); }
};
using GdipGraphics = Owned<GpGraphics*, GdipGraphicsDeleter>;
using GdipPath = Owned<GpPath*, GdipPathDeleter>;
using GdipSolidBrush = Owned<GpSolidFill*, GdipBrushDeleter>;
using GdipLineBrush = Owned<Gdiplus::GpLineGradient*, GdipBrushDeleter>;
using GdipPen = Owned<GpPen*, GdipPenDeleter>;
using GdipImage = Owned<GpImage*, GdipImageDeleter>;
using GdipBitmap = Owned<GpBitmap*, GdipImageDeleter>;
using GdipFont = Owned<GpFont*, GdipFontDeleter>;
using GdipFontFamily = Owned<GpFontFamily*, GdipFontFamilyDeleter>;
using GdipStringFormat = Owned<GpStringFormat*, GdipStringFormatDeleter>;
using GdipLineBrush = Owned<GpLineGradient*, GdipBrushDeleter>;
using GdipPathBrush = Owned<GpPathGradient*, GdipBrushDeleter>;

// A window's device context (GetDC or GetWindowDC), handed back with ReleaseDC.
class WindowDc {
  public:
    enum Area { kClient, kWholeWindow };
    explicit WindowDc(HWND hwnd, Area area = kClient)
        : hwnd_(hwnd), dc_(area == kClient ? GetDC(hwnd) : GetWindowDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint .. EndPaint.
class PaintScope {
  public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_;
    HDC dc_;
};
