// The engine's memory of what it has taken over: settings, the window table with one record per
// skinned top-level window, its per-class tables and container table, the window properties that
// lead from a handle back to its record, the apply and registration procedures and the lookups.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "skin_list.h"
#include "tooltip.h"

// ---- Settings ------------------------------------------------------------------------------

struct SkinSettings {
    int engineEnabled = 1;  // 0: every installer returns at once
    int translucentControls = 0;
    int overlayAlpha = 160;  // white wash over control backdrops while translucent
    COLORREF themeColour = 0x00DDCA22;
    int trackBarOption = 1;
};
extern SkinSettings g_skinSettings;

// ---- Window properties ---------------------------------------------------------------------

extern const char kPropHwProc[];         // replaced window procedure
extern const char kPropHwFuId[];         // window index of the owning top-level window
extern const char kPropHwLbId[];         // window index (top level) or table index (control)
extern const char kPropKjProc[];         // colour-keyed subclass: replaced procedure
extern const char kPropKjFuId[];         //   window index
extern const char kPropKjLbId[];         //   index in containerTable
extern const char kPropKjTextColour[];   // "Kj_Ztys"
extern const char kPropKjBrush[];        // "Kj_dxjb"
extern const char kPropKjBrushBitmap[];  // "Kj_wtjb"
extern const char kPropMbProvider[];     // "Mb_zpf": the provider above a container or provider
extern const char kPropWxkProvider[];    // "Wxk_Zpf": 1 on a backdrop provider
extern const char kPropWxkImage[];       // "Wxk_Cj": the provider's painted image (a DC)
extern const char kPropCkFirstBitmap[];  // "Ck_Ycjdx"
extern const char kPropCkBitmap[];       // "Ck_wtjbdx"

// Property values are pointer-sized; one that was never set reads as 0.
void SetSkinProp(HWND hwnd, const char* name, LONG_PTR value);
LONG_PTR SkinProp(HWND hwnd, const char* name);

// ---- Records ---------------------------------------------------------------------------------

// What every class-table entry starts with. The painters add their own fields.
struct ClassEntry {
    HWND hwnd = nullptr;
    WNDPROC originalProc = nullptr;
    int hot = 0;  // hover flag of the hot-tracking protocol
};
// Button kinds.
enum ButtonKind { kPushButton = 0, kRadioButton = 4, kCheckBox = 5 };
struct ButtonRecord : ClassEntry {
    int kind = kPushButton;
    std::string text;  // the window text, kept current on WM_SETTEXT
    int focused = 0;
    SkinTooltip tooltip;  // never given a window in this system
    std::string fontFace;
    int fontSize = 0;   // pixels
    int fontStyle = 0;  // GDI+ style bits
};
struct EditRecord : ClassEntry {
    int focused = 0;
    int mouseDown = 0;
};
struct ListFrameRecord : ClassEntry {
    int focused = 0;
    int arrowKeyDown = 0;
};
struct TrackBarRecord : ClassEntry {
    int vertical = 0;
    int tickSide = 0;  // 0 top/left, 1 bottom/right, 2 both, 3 none
    int selectionRange = 0;
};
struct ProgressRecord : ClassEntry {
    int vertical = 0;
};
struct ComboRecord : ClassEntry {
    int focused = 0;
};
struct UpDownRecord : ClassEntry {
    int hotPart = 0;  // half under the mouse at the last move: 0 first, 1 second
    int pressed = 0;
    int horizontal = 0;
    LPARAM lastPoint = 0;  // lParam of the last button down or up
};
struct HeaderRecord : ClassEntry {
    int hotItem = 0;  // 1-based item under the mouse, 0 none
    int paintedHotItem = 0;
    int buttons = 0;
    int pressedItem = 0;
    int pressed = 0;
    std::string fontFace;
    int fontSize = 0;
    int fontStyle = 0;
    HIMAGELIST imageList = nullptr;  // the list view's; it stays the list view's to free
};
struct KeyedControlRecord : ClassEntry {
    COLORREF keyColour = 0;  // drawn pixels of this colour let the backdrop through
};
struct StaticRecord : ClassEntry {
    int kind = 0;  // 1 text, 2 icon
    std::string fontFace;
    int fontSize = 0;
    int fontStyle = 0;
};

struct DockedChild {
    HWND hwnd = nullptr;
    int top = 0;
};

// One registered container.
struct ControlSkinRecord {
    HWND hwnd = nullptr;
    COLORREF fillColour = 0;  // 0: no fill
    int fillAlpha = 0;        // low byte used
    COLORREF borderColour = 0;
    WNDPROC originalProc = nullptr;
    int installed = 0;
    int isGroupBox = 0;
    int fillChildren = 0;
    std::string fontFace;
    int fontSize = 0;
    int fontStyle = 0;
    SkinList<DockedChild> dockedChildren;
};

struct CaptionButton {
    int width = 0, height = 0;
    std::string image;  // PNG bytes
    std::string image2, image3;
    int kind = 0;  // 0 close, 1 maximise, 2 minimise, 3 and 4 the extra buttons
    std::string text;
    int flag = 0;
    float rect[4] = {};  // x, y, width, height
};

struct StripRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct FadeState {
    int button = 0, step = 0;
};

struct AnchoredChild {
    HWND hwnd = nullptr;
    int anchor = 0;
};

// Hot kind codes.
enum HotKind {
    kHotButton = 0,
    kHotEdit = 1,
    kHotTrackBar = 2,
    kHotCombo = 3,
    kHotList = 4,
    kHotUpDown = 8,
    kHotHeader = 9,
};

// One skinned top-level window. The frames keep further private state of their own; the fields
// here are the ones the engine shares between its parts, in their agreed order.
struct WindowSkinRecord {
    HWND hwnd = nullptr;
    int captionHeight = 0;
    std::string extraButton1, extraButton2;  // each non-empty one adds a caption button
    int hasMinimizeButton = 0, hasMaximizeButton = 0, hasCloseButton = 0;
    int showTitle = 0, gloss = 0;
    SkinList<CaptionButton> captionButtons;
    StripRect captionButtonStrip;
    int maximized = 0, minimized = 0;
    int resizable = 0, drawCaption = 0;
    COLORREF titleColour = 0, titleOutlineColour = 0;
    std::string titleFontFace;
    int titleFontSize = 0;
    int titleFontStyle = 0, lastHotButton = 0;
    int hotKind = 0;
    HWND hotParent = nullptr;
    SkinTooltip tooltip;
    SkinList<ButtonRecord> buttonTable;
    SkinList<EditRecord> editTable;
    SkinList<ListFrameRecord> listTable;
    SkinList<TrackBarRecord> trackBarTable;
    SkinList<ProgressRecord> progressTable;
    SkinList<ComboRecord> comboTable;
    SkinList<UpDownRecord> upDownTable;
    SkinList<HeaderRecord> headerTable;
    SkinList<KeyedControlRecord> containerTable;
    SkinList<StaticRecord> staticTable;
    int needsRender = 0;
    HDC backgroundDc = nullptr;  // the window's painted background: every control's backdrop
    HDC captionBackdropDc = nullptr;
    HDC frameSurfaceDc = nullptr;
    int lastHotIndex = 0;
    int hotIndex = 0;
    SkinList<ControlSkinRecord> controlTable;
    int registrationComplete = 0;
    SkinList<AnchoredChild> anchoredChildren;
    int mouseInside = 0;
    FadeState fadeIn, fadeOut;
    int fadeTimerRunning = 0;
    RECT dragRect = {};
    int closeHot = 0;
    int dragging = 0;
};

// ---- Window table ----------------------------------------------------------------------------

int WindowCount();
// Record `index` (1-based), or nullptr when there is none.
WindowSkinRecord* WindowRecord(int index);
// Appends a record for `hwnd` and returns its window index.
int AppendWindowRecord(HWND hwnd);
// Drops every record (program exit). Subclassed windows still alive then only forward.
void ReleaseWindowTable();

// ---- Lookups (0 when nothing matches) --------------------------------------------------------

int FindWindowIndex(HWND hwnd);
int OwningWindowIndex(HWND hwnd);
int ControlIndex(int windowIndex, HWND hwnd);
// The container entry `controlIndex` of record `windowIndex`, or nullptr.
ControlSkinRecord* ControlRecord(int windowIndex, int controlIndex);
bool IsGroupBoxButton(HWND hwnd);
HWND BackgroundProviderOf(HWND hwnd);

// ---- Subclassing -----------------------------------------------------------------------------

// Replaces the window procedure; returns the one replaced.
WNDPROC SubclassWindow(HWND hwnd, WNDPROC proc);
// Calls the procedure kept in Hw_hProc (DefWindowProcA when there is none).
LRESULT ForwardMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// The procedure of a frame or container whose painter is not built yet: forwards everything.
LRESULT CALLBACK ForwardingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// The procedures the registry installs on windows it registers itself.
enum class SkinProcedure { kMessageBoxFrame, kContainer };
void BindProcedure(SkinProcedure which, WNDPROC proc);
WNDPROC BoundProcedure(SkinProcedure which);

// ---- Installers ------------------------------------------------------------------------------

// Each installer handles the direct children of `parent` and files them in record `windowIndex`.
using Installer = void (*)(int windowIndex, HWND parent);

// The rows, in the order every apply runs them.
enum class InstallerRow {
    kPushButtons = 1,
    kCheckButtons,
    kEditsAndCombos,
    kTrackBars,
    kProgressBars,
    kListFrames,
    kUpDowns,
    kHeaders,
    kStatics,
    kToolbars,
};
constexpr int kInstallerRows = 10;
// Rows the main window and container registrations run; message boxes run all ten.
constexpr InstallerRow kLastControlRow = InstallerRow::kHeaders;

// A row without an installer takes nothing.
void BindInstaller(InstallerRow row, Installer installer);
Installer BoundInstaller(InstallerRow row);
// Runs rows 1 .. `last` in order.
void RunInstallers(int windowIndex, HWND parent, InstallerRow last);

inline bool HasStyle(LONG_PTR style, LONG_PTR bit) {
    return (style | bit) == style;
}

// The common shape of an installer: every direct child of `parent` of class `className` for
// which `take(child, style)` holds is added to `table` of record `windowIndex` (placeholder
// rule), `fill(entry, child, style)` completes the entry, and the child is subclassed with `proc`
// and given Hw_lbID, Hw_FuID and Hw_hProc. With `skipKnown`, children already in the table are
// left alone.
template <typename Record, typename Take, typename Fill>
void InstallChildren(int windowIndex, HWND parent, const char* className,
                     SkinList<Record> WindowSkinRecord::*table, bool skipKnown, WNDPROC proc,
                     Take take, Fill fill) {
    if (!g_skinSettings.engineEnabled) return;
    for (HWND child = FindWindowExA(parent, nullptr, className, nullptr); child;
         child = FindWindowExA(parent, child, className, nullptr)) {
        WindowSkinRecord* record = WindowRecord(windowIndex);
        if (!record) return;
        LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (!take(child, style)) continue;
        SkinList<Record>& list = record->*table;
        if (skipKnown && list.Find(child)) continue;
        int index = list.Add(child);
        fill(list[index], child, style);
        // The ids first: the new procedure may see messages before this function returns.
        SetSkinProp(child, kPropHwLbId, index);
        SetSkinProp(child, kPropHwFuId, windowIndex);
        list[index].originalProc = SubclassWindow(child, proc);
        SetSkinProp(child, kPropHwProc, reinterpret_cast<LONG_PTR>(list[index].originalProc));
    }
}

// ---- Hot tracking ----------------------------------------------------------------------------

// WM_MOUSEMOVE of a control of `kind` at class-table index `index`: returns true when the control
// has just taken the hover (its hover flag is then 1) and must be repainted hot.
bool TrackHot(WindowSkinRecord& record, int kind, int index, int& hoverFlag);
// WM_MOUSELEAVE of a control: nobody is hot any more; its hover flag is cleared.
void LeaveHot(WindowSkinRecord& record, int& hoverFlag);
// Asks the system for the WM_MOUSELEAVE of `hwnd`.
void RequestMouseLeave(HWND hwnd);

// ---- Apply and register ----------------------------------------------------------------------

// Registers a message box and skins its children; nothing when it is already registered.
void ApplySkinToWindow(HWND hwnd);
void LayoutCaptionButtons(int windowIndex);

// Registers a container inside a registered top-level window; nothing when it lies in none or is
// already registered.
void RegisterControl(HWND hwnd, int fillChildren = 1, COLORREF fillColour = 0, int fillAlpha = 255,
                     COLORREF borderColour = 0);
