// The skin of the application's main window. The frame adds its painting; what lives here so far
// is the registration of the window's containers.
#pragma once

#include <windows.h>

class MainWindowSkin {
  public:
    // The container's existing controlTable index; otherwise registers it and returns 0.
    int RegisterContainer(HWND hwnd, int fillChildren = 1, COLORREF fillColour = 0,
                          int fillAlpha = 255, COLORREF borderColour = 0);
    // Changes the opacity of a container's fill and repaints it; nothing for a container without
    // a fill colour or a window that is not a registered container.
    void SetContainerFillAlpha(HWND hwnd, int alpha);
};
