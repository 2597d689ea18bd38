#include "skin_support.h"

#include "canvas.h"
#include "registry.h"

void EnsureGdiplus() {
    static GdiplusSession session;
    ASSERT_TRUE(session.ok());
}

namespace {

const char kTestWindowClass[] = "QlSkinTestWindow";

}  // namespace

void RegisterFixtureClass(const char* name, WNDPROC proc, UINT style) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

void SkinTest::SetUp() {
    EnsureGdiplus();
    RegisterFixtureClass(kTestWindowClass, DefWindowProcA);
    g_skinSettings = SkinSettings();
}

void SkinTest::TearDown() {
    for (HWND top : tops_) DestroyWindow(top);
    tops_.clear();
    PumpMessages();
    ReleaseWindowTable();
    ReleaseCanvasRegistry();
    for (int row = 1; row <= kInstallerRows; ++row)
        BindInstaller(static_cast<InstallerRow>(row), nullptr);
    BindProcedure(SkinProcedure::kMessageBoxFrame, nullptr);
    BindProcedure(SkinProcedure::kContainer, nullptr);
    g_skinSettings = SkinSettings();
}

HWND SkinTest::MakeTopWindow(int width, int height, int x, int y) {
    HWND hwnd =
        CreateWindowExA(WS_EX_TOOLWINDOW, kTestWindowClass, "skin test", WS_POPUP | WS_CLIPCHILDREN,
                        x, y, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(hwnd);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    tops_.push_back(hwnd);
    return hwnd;
}

HWND SkinTest::MakeChild(HWND parent, const char* className, DWORD style, int x, int y, int width,
                         int height, const char* text) {
    HWND hwnd = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(hwnd) << className;
    return hwnd;
}

PatternSurface::PatternSurface(int width, int height, uint8_t tag)
    : dc_(CreateCompatibleDC(nullptr)) {
    void* bits = nullptr;
    bitmap_.reset(CreateTopDownDib(width, height, &bits));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[y * width + x] = PatternPixel(x, y, tag);
    previous_ = SelectObject(dc_.get(), bitmap_.get());
}

CanvasImage::CanvasImage(HDC dc) {
    auto bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    BITMAP bm = {};
    if (!GetObjectA(bitmap, sizeof(bm), &bm) || bm.bmBitsPixel != 32) {
        ADD_FAILURE() << "no 32-bit bitmap in the device context";
        return;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;  // rows as the canvas has them: top first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    if (GetDIBits(dc, bitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS) !=
        bm.bmHeight) {
        ADD_FAILURE() << "GetDIBits failed";
        return;
    }
    width_ = bm.bmWidth;
    height_ = bm.bmHeight;
    pixels_ = std::move(pixels);
}

CanvasImage CaptureWindow(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    ScopedCanvas canvas(CreateCanvas(r.right - r.left, r.bottom - r.top));
    {
        WindowDc screen(hwnd, WindowDc::kWholeWindow);
        BitBlt(canvas.get(), 0, 0, r.right - r.left, r.bottom - r.top, screen.get(), 0, 0, SRCCOPY);
    }
    return CanvasImage(canvas.get());
}

int GdiObjectCount() {
    SetLastError(0);
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0 || GetLastError() == 0) return static_cast<int>(count);
    // Wine: a handle whose high word is 0 names the slot of its low word, whatever its
    // generation, so every live object answers GetObjectType on exactly one probe.
    int live = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++live;
    return live;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool SaveWindowPng(HWND w, const wchar_t* path) {
    RECT r;
    GetWindowRect(w, &r);
    const int W = r.right - r.left, H = r.bottom - r.top;
    ScopedCanvas canvas(CreateCanvas(W, H));
    if (!canvas) return false;
    {
        HDC dc = GetWindowDC(w);
        BitBlt(canvas.get(), 0, 0, W, H, dc, 0, 0, SRCCOPY);
        ReleaseDC(w, dc);
    }
    auto bitmap = static_cast<HBITMAP>(GetCurrentObject(canvas.get(), OBJ_BITMAP));
    GdipBitmap image;
    gp::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, image.out());
    if (!image) return false;
    UINT count = 0, size = 0;
    gp::GdipGetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (size == 0 || gp::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT k = 0; k < count; ++k)
        if (lstrcmpW(codecs[k].MimeType, L"image/png") == 0)
            return gp::GdipSaveImageToFile(image.get(), path, &codecs[k].Clsid, nullptr) ==
                   Gdiplus::Ok;
    return false;
}

std::wstring ScreenshotPath(const wchar_t* name) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring dir(exe);
    dir.resize(dir.find_last_of(L"\\/"));      // build\<target>
    dir.resize(dir.find_last_of(L"\\/") + 1);  // build\ .
    dir += L"screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\" + name;
}
