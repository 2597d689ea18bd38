#include "registry.h"

#include <memory>
#include <vector>

#include "control_font.h"
#include "images.h"

SkinSettings g_skinSettings;

const char kPropHwProc[] = "Hw_hProc";
const char kPropHwFuId[] = "Hw_FuID";
const char kPropHwLbId[] = "Hw_lbID";
const char kPropKjProc[] = "Kj_hProc";
const char kPropKjFuId[] = "Kj_FuID";
const char kPropKjLbId[] = "Kj_lbID";
const char kPropKjTextColour[] = "Kj_Ztys";
const char kPropKjBrush[] = "Kj_dxjb";
const char kPropKjBrushBitmap[] = "Kj_wtjb";
const char kPropMbProvider[] = "Mb_zpf";
const char kPropWxkProvider[] = "Wxk_Zpf";
const char kPropWxkImage[] = "Wxk_Cj";
const char kPropCkFirstBitmap[] = "Ck_Ycjdx";
const char kPropCkBitmap[] = "Ck_wtjbdx";

namespace {

std::vector<std::unique_ptr<WindowSkinRecord>> g_windows;

Installer g_installers[kInstallerRows] = {};
WNDPROC g_procedures[2] = {ForwardingProc, ForwardingProc};

// Message boxes: caption band, close button and corner ellipse.
constexpr int kBoxCaptionHeight = 25;
constexpr int kBoxCloseWidth = 38;
constexpr int kBoxCloseHeight = 18;
constexpr int kBoxStripHeight = 22;
constexpr int kBoxCorner = 5;

SIZE WindowSize(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

// ---- Properties -------------------------------------------------------------------------------

void SetSkinProp(HWND hwnd, const char* name, LONG_PTR value) {
    SetPropA(hwnd, name, reinterpret_cast<HANDLE>(value));
}

LONG_PTR SkinProp(HWND hwnd, const char* name) {
    return reinterpret_cast<LONG_PTR>(GetPropA(hwnd, name));
}

// ---- Window table -----------------------------------------------------------------------------

int WindowCount() {
    return static_cast<int>(g_windows.size());
}

WindowSkinRecord* WindowRecord(int index) {
    return index >= 1 && index <= WindowCount() ? g_windows[index - 1].get() : nullptr;
}

int AppendWindowRecord(HWND hwnd) {
    g_windows.push_back(std::make_unique<WindowSkinRecord>());
    g_windows.back()->hwnd = hwnd;
    return WindowCount();
}

void ReleaseWindowTable() {
    g_windows.clear();
}

// ---- Lookups ----------------------------------------------------------------------------------

int FindWindowIndex(HWND hwnd) {
    if (!hwnd) return 0;
    for (int i = 1; i <= WindowCount(); ++i)
        if (g_windows[i - 1]->hwnd == hwnd) return i;
    return 0;
}

int OwningWindowIndex(HWND hwnd) {
    for (HWND a = GetParent(hwnd); a; a = GetParent(a))
        if (int i = FindWindowIndex(a)) return i;
    return 0;
}

int ControlIndex(int windowIndex, HWND hwnd) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    return record ? record->controlTable.Find(hwnd) : 0;
}

ControlSkinRecord* ControlRecord(int windowIndex, int controlIndex) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    return record ? record->controlTable.At(controlIndex) : nullptr;
}

bool IsGroupBoxButton(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, 255);
    return lstrcmpA(name, "Button") == 0 && HasStyle(GetWindowLongPtrW(hwnd, GWL_STYLE), 0x4);
}

HWND BackgroundProviderOf(HWND hwnd) {
    for (HWND a = GetParent(hwnd); a; a = GetParent(a))
        if (SkinProp(a, kPropWxkProvider) == 1) return a;
    return nullptr;
}

// ---- Subclassing ------------------------------------------------------------------------------

WNDPROC SubclassWindow(HWND hwnd, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

LRESULT ForwardMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto original = reinterpret_cast<WNDPROC>(SkinProp(hwnd, kPropHwProc));
    return original ? CallWindowProcW(original, hwnd, msg, wp, lp)
                    : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK ForwardingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ForwardMessage(hwnd, msg, wp, lp);
}

void BindProcedure(SkinProcedure which, WNDPROC proc) {
    g_procedures[static_cast<int>(which)] = proc ? proc : ForwardingProc;
}

WNDPROC BoundProcedure(SkinProcedure which) {
    return g_procedures[static_cast<int>(which)];
}

// ---- Installers -------------------------------------------------------------------------------

void BindInstaller(InstallerRow row, Installer installer) {
    g_installers[static_cast<int>(row) - 1] = installer;
}

Installer BoundInstaller(InstallerRow row) {
    return g_installers[static_cast<int>(row) - 1];
}

void RunInstallers(int windowIndex, HWND parent, InstallerRow last) {
    for (int row = 1; row <= static_cast<int>(last); ++row)
        if (Installer installer = g_installers[row - 1]) installer(windowIndex, parent);
}

// ---- Hot tracking -----------------------------------------------------------------------------

bool TrackHot(WindowSkinRecord& record, int kind, int index, int& hoverFlag) {
    record.hotIndex = index;
    bool entered = record.hotIndex != record.lastHotIndex || record.hotKind != kind;
    if (entered) hoverFlag = 1;
    record.lastHotIndex = record.hotIndex;
    record.hotKind = kind;
    return entered;
}

void LeaveHot(WindowSkinRecord& record, int& hoverFlag) {
    record.lastHotIndex = 0;
    hoverFlag = 0;
}

void RequestMouseLeave(HWND hwnd) {
    // Asked on every mouse move: a request already standing for this window is left as it is
    // (setting it anew restarts the system's tracking, which costs more than the repaint).
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_QUERY;
    if (TrackMouseEvent(&track) && track.hwndTrack == hwnd && (track.dwFlags & TME_LEAVE)) return;
    track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd;
    TrackMouseEvent(&track);
}

// ---- Apply and register -----------------------------------------------------------------------

void LayoutCaptionButtons(int windowIndex) {
    WindowSkinRecord* record = WindowRecord(windowIndex);
    if (!record) return;
    const int x = WindowSize(record->hwnd).cx - 36;
    record->captionButtonStrip.x = x;
    for (int k = 1; k <= record->captionButtons.Count(); ++k) {
        CaptionButton& button = record->captionButtons[k];
        button.rect[0] = static_cast<float>(x);
        button.rect[1] = 0;
        button.rect[2] = 36;
        button.rect[3] = 22;
    }
}

void ApplySkinToWindow(HWND hwnd) {
    if (!hwnd || FindWindowIndex(hwnd) >= 1) return;

    const SIZE size = WindowSize(hwnd);
    SetWindowRgn(hwnd, CreateRoundRectRgn(0, 0, size.cx + 1, size.cy + 1, kBoxCorner, kBoxCorner),
                 TRUE);

    auto record = std::make_unique<WindowSkinRecord>();
    record->hwnd = hwnd;
    record->captionHeight = kBoxCaptionHeight;
    record->hasCloseButton = 1;
    record->showTitle = 1;
    record->drawCaption = 1;
    record->titleColour = 0x00FFFFFF;
    record->titleOutlineColour = 0x00808080;
    record->titleFontFace = "宋体";
    record->titleFontSize = 13;

    record->captionButtons.Clear();
    CaptionButton& close = record->captionButtons.Append();
    close.width = kBoxCloseWidth;
    close.height = kBoxCloseHeight;
    close.image = SkinImages().messageBoxClose.str();
    close.text = "关闭";
    const int n = record->captionButtons.Count();
    StripRect& strip = record->captionButtonStrip;
    strip.width = kBoxCloseWidth * n + (n - 1) + 3;
    strip.height = kBoxStripHeight;
    strip.y = 0;
    strip.x = size.cx - 6 - strip.width;

    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_SYSMENU);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd, 0, 0, LWA_ALPHA);  // the frame fades it in

    g_windows.push_back(std::move(record));
    const int i = WindowCount();
    LayoutCaptionButtons(i);
    RunInstallers(i, hwnd, InstallerRow::kToolbars);

    WindowSkinRecord* r = WindowRecord(i);
    r->needsRender = 1;
    r->registrationComplete = 1;
    WNDPROC original = SubclassWindow(hwnd, BoundProcedure(SkinProcedure::kMessageBoxFrame));
    SetSkinProp(hwnd, kPropHwProc, reinterpret_cast<LONG_PTR>(original));
    SetSkinProp(hwnd, kPropHwLbId, i);
}

void RegisterControl(HWND hwnd, int fillChildren, COLORREF fillColour, int fillAlpha,
                     COLORREF borderColour) {
    const int i = OwningWindowIndex(hwnd);
    if (i == 0 || ControlIndex(i, hwnd) >= 1) return;

    SkinList<ControlSkinRecord>& table = WindowRecord(i)->controlTable;
    const int k = table.Add(hwnd);
    ControlSkinRecord& entry = table[k];
    entry.fillColour = fillColour;
    entry.fillAlpha = fillAlpha & 0xFF;
    entry.borderColour = borderColour;
    entry.fillChildren = fillChildren;
    entry.dockedChildren = SkinList<DockedChild>();
    if (IsGroupBoxButton(hwnd)) {
        entry.isGroupBox = 1;
        ControlFont font = QueryControlFont(hwnd);
        entry.fontFace = font.face;
        entry.fontSize = font.size;
        entry.fontStyle = font.style;
    }

    RunInstallers(i, hwnd, kLastControlRow);
    entry.installed = 1;
    entry.originalProc = SubclassWindow(hwnd, BoundProcedure(SkinProcedure::kContainer));
    SetSkinProp(hwnd, kPropHwProc, reinterpret_cast<LONG_PTR>(entry.originalProc));
    SetSkinProp(hwnd, kPropHwLbId, k);
    SetSkinProp(hwnd, kPropHwFuId, i);
    SetSkinProp(hwnd, kPropMbProvider, reinterpret_cast<LONG_PTR>(BackgroundProviderOf(hwnd)));
}
