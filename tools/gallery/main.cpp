// The skin gallery: every control kind the skin engine paints, in one window.
#include <windows.h>

#include "gallery_window.h"
#include "gdi_handles.h"
#include "images.h"
#include "main_window_skin.h"
#include "painters.h"
#include "remaining_painters.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    GdiplusSession gdiplus;
    if (!gdiplus.ok()) return 1;
    InstallSkinPainters();
    InstallRemainingPainters();
    GalleryControls gallery = CreateGallery(instance, 80, 60, true);
    if (!gallery.window) return 1;
    ShowWindow(gallery.window, show);
    UpdateWindow(gallery.window);
    // The frame of a resizable window beside it, on the skin's own background.
    MainWindowSkin frameSkin;
    const ImageBytes& background = SkinImages().windowBackground;
    frameSkin.SetWindowBackground("", background.data, background.size, std::nullopt, 0x0051AE51,
                                  3);
    HWND frame = CreateResizableFrame(instance, frameSkin, 80, 600, true);
    if (frame) {
        ShowWindow(frame, SW_SHOWNOACTIVATE);
        UpdateWindow(frame);
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(gallery.window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
