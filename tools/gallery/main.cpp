// The skin gallery: every control kind the skin engine paints, in one window.
#include <windows.h>

#include "gallery_window.h"
#include "gdi_handles.h"
#include "remaining_painters.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    GdiplusSession gdiplus;
    if (!gdiplus.ok()) return 1;
    InstallRemainingPainters();
    GalleryControls gallery = CreateGallery(instance, 80, 60, true);
    if (!gallery.window) return 1;
    ShowWindow(gallery.window, show);
    UpdateWindow(gallery.window);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(gallery.window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
