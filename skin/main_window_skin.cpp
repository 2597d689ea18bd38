#include "main_window_skin.h"

#include "registry.h"

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
