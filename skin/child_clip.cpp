#include "child_clip.h"

bool IsTransparentWindow(HWND hwnd) {
    return (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
}

RECT ChildRectInParent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HDC ExcludeOpaqueChildren(HWND window, HDC dc, int haveDc) {
    if (!haveDc) dc = GetDC(window);
    for (HWND c = FindWindowExA(window, nullptr, nullptr, nullptr); c;
         c = FindWindowExA(window, c, nullptr, nullptr)) {
        if (!IsWindowVisible(c) || IsTransparentWindow(c)) continue;
        RECT r = ChildRectInParent(c);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    return dc;
}

HDC ExcludeVisibleChildren(HWND window, HDC windowDc) {
    RECT frame;
    GetWindowRect(window, &frame);
    for (HWND c = FindWindowExA(window, nullptr, nullptr, nullptr); c;
         c = FindWindowExA(window, c, nullptr, nullptr)) {
        if (!IsWindowVisible(c)) continue;
        RECT r;
        GetWindowRect(c, &r);
        ExcludeClipRect(windowDc, r.left - frame.left, r.top - frame.top, r.right - frame.left,
                        r.bottom - frame.top);
    }
    return windowDc;
}
