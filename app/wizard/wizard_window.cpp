#include "wizard_window.h"

#include <commctrl.h>

#include "control_ids.h"
#include "bitmap_file.h"
#include "gbk_text.h"
#include "install_run.h"
#include "navigation.h"
#include "registry.h"
#include "resource_ids.h"
#include "shell_ops.h"
#include "skin_setup.h"
#include "wizard_controls.h"
#include "wizard_texts.h"

namespace {

constexpr char kTitle[] = "青岚笺语写作1.3（一直在努力，从未被超越！）[澄川文学网亲情支持]\r\n";
constexpr int kDefaultFontHeight = 12;
constexpr int kTabX = 16, kTabY = 24, kTabWidth = 864, kTabHeight = 624;
constexpr char kForwardedProcProp[] = "QL_ForwardedProc";

enum class Kind {
    PushButton,
    CheckBox,
    Edit,
    InfoEdit,
    GroupBox,
    Label,
    TransparentLabel,
    PictureBox,
    DrawingBoard,
    ProgressBar
};

struct Font {
    int height;  // pixels; 0 = the default GUI font
    int weight;
    bool italic;
};
constexpr Font kDefaultFont = {0, 0, false};
constexpr COLORREF kNone = CLR_INVALID;
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr int kNoPage = -1;

struct ControlDef {
    HWND WizardControls::*member;
    int id;
    Kind kind;
    int page;
    int x, y, width, height;
    const char* text;
    Font font;
    COLORREF textColour, backColour;
    bool visible, checked;
};

using W = WizardControls;

// The pages in their order (WizardPage): the tab's title and the page's main button, which takes
// the focus when the page shows and which Enter presses.
struct PageDef {
    const char* title;
    HWND W::*mainButton;
};
const PageDef kPages[kPageCount] = {
    {"欢迎界面", &W::按钮2},     {"许可协议", &W::按钮3},  {"安装目录", &W::按钮5},
    {"确认安装信息", &W::按钮6}, {"使用教程", &W::按钮12}, {"询问启动成功", &W::按钮7},
};

// The whole window, page by page. Geometry of page controls is relative to the tab control.
const ControlDef kControls[] = {
    // kWelcomePage 欢迎界面
    {&W::透明标签1,
     kId透明标签1,
     Kind::TransparentLabel,
     kWelcomePage,
     16,
     64,
     696,
     488,
     kWelcomeText,
     {29, 400, false},
     RGB(88, 48, 224),
     kNone,
     true,
     false},
    {&W::按钮8, kId按钮8, Kind::PushButton, kWelcomePage, 272, 560, 128, 32, "与作者qq会话",
     kDefaultFont, kNone, kNone, true, false},
    {&W::按钮2, kId按钮2, Kind::PushButton, kWelcomePage, 568, 568, 120, 32, "下一步》",
     kDefaultFont, kNone, kNone, true, false},
    {&W::画板1, kId画板1, Kind::DrawingBoard, kWelcomePage, 720, 40, 128, 160, "", kDefaultFont,
     kNone, RGB(128, 128, 0), true, false},
    {&W::标签1,
     kId标签1,
     Kind::Label,
     kWelcomePage,
     16,
     8,
     640,
     56,
     "欢 迎 使 用：青岚笺语写作软件~！",
     {35, 700, true},
     RGB(0, 255, 255),
     kMagenta,
     true,
     false},
    // kLicencePage 许可协议
    {&W::透明标签2,
     kId透明标签2,
     Kind::TransparentLabel,
     kLicencePage,
     2,
     59,
     792,
     496,
     kLicenceText,
     {24, 400, false},
     RGB(0, 0, 255),
     kNone,
     true,
     false},
    {&W::按钮9, kId按钮9, Kind::PushButton, kLicencePage, 128, 560, 112, 32, "《上一步",
     kDefaultFont, kNone, kNone, true, false},
    {&W::按钮3, kId按钮3, Kind::PushButton, kLicencePage, 576, 560, 128, 32, "下一步》",
     kDefaultFont, kNone, kNone, true, false},
    {&W::选择框1,
     kId选择框1,
     Kind::CheckBox,
     kLicencePage,
     344,
     557,
     240,
     35,
     "同意协议",
     {32, 400, false},
     kNone,
     kNone,
     true,
     false},
    {&W::标签3,
     kId标签3,
     Kind::Label,
     kLicencePage,
     16,
     8,
     752,
     48,
     "许可协议：请您遵守以下使用规则",
     {48, 400, false},
     RGB(0, 0, 0),
     kMagenta,
     true,
     false},
    // kDirectoryPage 安装目录
    {&W::透明标签5,
     kId透明标签5,
     Kind::TransparentLabel,
     kDirectoryPage,
     8,
     504,
     160,
     40,
     "安装目录：",
     {35, 400, false},
     RGB(0, 0, 0),
     kNone,
     true,
     false},
    {&W::透明标签4,
     kId透明标签4,
     Kind::TransparentLabel,
     kDirectoryPage,
     8,
     8,
     280,
     64,
     "安装目录：",
     {56, 400, false},
     RGB(0, 0, 0),
     kNone,
     true,
     false},
    {&W::透明标签3,
     kId透明标签3,
     Kind::TransparentLabel,
     kDirectoryPage,
     8,
     88,
     824,
     360,
     kDirectoryPageText,
     {32, 400, false},
     RGB(0, 0, 255),
     kNone,
     true,
     false},
    {&W::按钮10, kId按钮10, Kind::PushButton, kDirectoryPage, 120, 560, 112, 32, "《上一步",
     kDefaultFont, kNone, kNone, true, false},
    {&W::按钮5, kId按钮5, Kind::PushButton, kDirectoryPage, 648, 560, 120, 32, "下一步》",
     kDefaultFont, kNone, kNone, true, false},
    {&W::按钮4, kId按钮4, Kind::PushButton, kDirectoryPage, 680, 512, 88, 32, "更改目录",
     kDefaultFont, kNone, kNone, true, false},
    {&W::编辑框1,
     kId编辑框1,
     Kind::Edit,
     kDirectoryPage,
     168,
     504,
     504,
     37,
     "D:\\",
     {29, 400, false},
     RGB(0, 0, 0),
     RGB(255, 255, 255),
     true,
     false},
    {&W::标签5,
     kId标签5,
     Kind::Label,
     kDirectoryPage,
     240,
     88,
     368,
     40,
     "青岚笺语写作正式版1.3",
     {32, 400, false},
     RGB(255, 0, 0),
     kMagenta,
     true,
     false},
    // kConfirmPage 确认安装信息 (编辑框2 sits inside 分组框1)
    {&W::透明标签7,
     kId透明标签7,
     Kind::TransparentLabel,
     kConfirmPage,
     8,
     8,
     256,
     80,
     "确认安装：",
     {56, 400, false},
     RGB(0, 0, 0),
     kNone,
     true,
     false},
    {&W::透明标签6,
     kId透明标签6,
     Kind::TransparentLabel,
     kConfirmPage,
     8,
     96,
     744,
     184,
     kConfirmPageText,
     {35, 400, false},
     RGB(0, 0, 128),
     kNone,
     true,
     false},
    {&W::按钮11, kId按钮11, Kind::PushButton, kConfirmPage, 120, 560, 104, 32, "《上一步",
     kDefaultFont, kNone, kNone, true, false},
    {&W::按钮6, kId按钮6, Kind::PushButton, kConfirmPage, 592, 544, 112, 40, "确认安装",
     kDefaultFont, kNone, kNone, true, false},
    {&W::分组框1,
     kId分组框1,
     Kind::GroupBox,
     kConfirmPage,
     24,
     312,
     696,
     224,
     "安装信息",
     {32, 400, false},
     kNone,
     kNone,
     true,
     false},
    {&W::编辑框2, kId编辑框2, Kind::InfoEdit, kConfirmPage, 8, 40, 656, 152, "", kDefaultFont,
     RGB(0, 0, 0), RGB(255, 255, 255), true, false},
    // The installation's progress, in the free band between the text and the group box.
    {&W::进度条1, kId进度条1, Kind::ProgressBar, kConfirmPage, 24, 286, 696, 18, "", kDefaultFont,
     kNone, kNone, true, false},
    // kUsagePage 使用教程
    {&W::透明标签9,
     kId透明标签9,
     Kind::TransparentLabel,
     kUsagePage,
     16,
     16,
     304,
     56,
     "使用教程：",
     {56, 400, false},
     RGB(255, 0, 0),
     kNone,
     true,
     false},
    {&W::标签2, kId标签2, Kind::Label, kUsagePage, 496, 40, 24, 40, "0", kDefaultFont, RGB(0, 0, 0),
     kNone, false, false},
    {&W::按钮12, kId按钮12, Kind::PushButton, kUsagePage, 624, 560, 96, 32, "我知道了",
     kDefaultFont, kNone, kNone, true, false},
    {&W::图片框1, kId图片框1, Kind::PictureBox, kUsagePage, 24, 72, 680, 432, "", kDefaultFont,
     kNone, kNone, true, false},
    // kFinishPage 询问启动成功 (透明标签8 is wider than the page: the tab control clips it)
    {&W::透明标签8,
     kId透明标签8,
     Kind::TransparentLabel,
     kFinishPage,
     8,
     8,
     1168,
     72,
     "恭喜您安装成功，下面就开始使用软件写作吧~！",
     {32, 400, false},
     RGB(255, 0, 0),
     kNone,
     true,
     false},
    {&W::按钮7,
     kId按钮7,
     Kind::PushButton,
     kFinishPage,
     432,
     544,
     160,
     48,
     "完成安装",
     {32, 400, false},
     kNone,
     kNone,
     true,
     false},
    {&W::选择框6,
     kId选择框6,
     Kind::CheckBox,
     kFinishPage,
     112,
     544,
     328,
     48,
     "启动软件",
     {35, 400, false},
     kNone,
     kNone,
     true,
     true},
    {&W::画板2, kId画板2, Kind::DrawingBoard, kFinishPage, 8, 80, 336, 232, "", kDefaultFont, kNone,
     RGB(144, 0, 255), true, false},
    // On the window itself, over the tab control's area.
    {&W::按钮1, kId按钮1, Kind::PushButton, kNoPage, 24, 592, 72, 24, "取消安装", kDefaultFont,
     kNone, kNone, true, false},
};

struct ClassAndStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle ClassFor(Kind kind) {
    switch (kind) {
        case Kind::PushButton:
            return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case Kind::CheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
        case Kind::Edit:
            return {L"EDIT", ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case Kind::InfoEdit:
            return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
        case Kind::GroupBox:
            // The caption sits at the left, as a group box's caption usually does.
            return {L"BUTTON", BS_GROUPBOX | BS_LEFT, WS_EX_CONTROLPARENT};
        case Kind::Label:
            return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case Kind::TransparentLabel:
            return {QL_TRANSPARENT_LABEL_CLASS_W, 0, WS_EX_TRANSPARENT};
        case Kind::PictureBox:
            return {QL_PICTURE_BOX_CLASS_W, 0, 0};
        case Kind::DrawingBoard:
            return {QL_DRAWING_BOARD_CLASS_W, 0, 0};
        case Kind::ProgressBar:
            return {PROGRESS_CLASSW, PBS_SMOOTH, 0};
    }
    return {L"STATIC", 0, 0};
}

// The tab control and the group box hold controls: what those report goes to the wizard.
LRESULT CALLBACK ForwardToWizardProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kForwardedProcProp));
    switch (msg) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            if (lp && reinterpret_cast<HWND>(lp) != hwnd)
                return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
            break;
        case WM_NCDESTROY:
            RemovePropA(hwnd, kForwardedProcProp);
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            break;
    }
    return CallWindowProcW(original, hwnd, msg, wp, lp);
}

void ForwardToWizard(HWND container) {
    LONG_PTR original =
        SetWindowLongPtrW(container, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForwardToWizardProc));
    SetPropA(container, kForwardedProcProp, reinterpret_cast<HANDLE>(original));
}

}  // namespace

bool WizardWindow::RegisterClasses(HINSTANCE instance) {
    // A Unicode window: its texts reach the system as UTF-16, whatever the system's code page.
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    wc.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 16, 16, LR_SHARED));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = QL_WIZARD_CLASS_W;
    return (RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) &&
           RegisterWizardControlClasses(instance);
}

WizardWindow* WizardWindow::FromHandle(HWND hwnd) {
    return reinterpret_cast<WizardWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool WizardWindow::Create(HINSTANCE instance, const PayloadBytes& payload) {
    payload_ = payload;
    int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    return CreateWindowExW(0, QL_WIZARD_CLASS_W, WideFromGbk(kTitle).c_str(),
                           WS_POPUP | WS_CLIPCHILDREN, x, y, kWidth, kHeight, nullptr, nullptr,
                           instance, this) != nullptr;
}

LRESULT CALLBACK WizardWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<WizardWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    WizardWindow* self = FromHandle(hwnd);
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return self->HandleMessage(msg, wp, lp);
}

LRESULT WizardWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_TIMER:
            if (wp == QL_TIMER_时钟1) OnWizardTimer(*this);
            return 0;
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<const NMHDR*>(lp));
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return OnControlColour(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        case WM_ACTIVATE: {
            const LRESULT result = DefWindowProcW(hwnd_, msg, wp, lp);
            if (!HIWORD(wp)) OnActivate(wp);  // not while minimised
            return result;
        }
        case WM_CLOSE:
            // Leaving in the middle of an installation would strand half-written files.
            if (IsInstallationRunning()) return 0;
            break;
        case WM_DESTROY:
            OnDestroy();
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void WizardWindow::OnCreate() {
    CreateControls();
    // The window-created handlers, in order: the skin first, then the wizard's own.
    SkinSetUpWindow(hwnd_, c_);
    OnWizardCreated(*this);
}

void WizardWindow::OnDestroy() {
    KillTimer(hwnd_, QL_TIMER_时钟1);
    // The window is off the screen by now: waiting for the program to become idle freezes
    // nothing the user sees.
    if (!programWhenGone_.empty()) RunProgram(programWhenGone_);
    PostQuitMessage(0);
}

void WizardWindow::OnCommand(int id, int code) {
    if (code == BN_CLICKED) OnWizardClick(*this, id);
}

LRESULT WizardWindow::OnNotify(const NMHDR* header) {
    // Pages change only under program control, never by clicking the tab strip or arrow keys.
    if (header && header->hwndFrom == c_.选择夹1 && header->code == TCN_SELCHANGING) return TRUE;
    return 0;
}

LRESULT WizardWindow::OnControlColour(UINT msg, HDC dc, HWND control) {
    const ControlState* state = StateOf(control);
    if (!state || state->textColour == kNone)
        return DefWindowProcW(hwnd_, msg, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control));
    COLORREF back = state->backColour != kNone ? state->backColour : GetSysColor(COLOR_BTNFACE);
    SetTextColor(dc, state->textColour);
    SetBkColor(dc, back);
    return reinterpret_cast<LRESULT>(BrushFor(back));
}

void WizardWindow::CreateControls() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    // The default GUI font of a Chinese system (12 pixels, GB2312), made here rather than taken
    // from the stock object: a Western or Japanese system's stock font has another size and
    // another character set, which draws the texts in a foreign face or not at all.
    HFONT guiFont = FontFor(kDefaultFontHeight, FW_NORMAL, false);

    c_.选择夹1 = CreateWindowExW(
        WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, kTabX,
        kTabY, kTabWidth, kTabHeight, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kId选择夹1)), instance, nullptr);
    SendMessageW(c_.选择夹1, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), 0);
    for (int i = 0; i < kPageCount; i++) {
        std::wstring title = WideFromGbk(kPages[i].title);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &title[0];
        SendMessageW(c_.选择夹1, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    ForwardToWizard(c_.选择夹1);

    for (const ControlDef& def : kControls) {
        ClassAndStyle cls = ClassFor(def.kind);
        HWND parent = def.page == kNoPage          ? hwnd_
                      : def.kind == Kind::InfoEdit ? c_.分组框1
                                                   : c_.选择夹1;
        DWORD style = WS_CHILD | cls.style | (def.page == kNoPage ? WS_CLIPSIBLINGS : 0);
        HWND hwnd = CreateWindowExW(cls.exStyle, cls.className, WideFromGbk(def.text).c_str(),
                                    style, def.x, def.y, def.width, def.height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)), instance,
                                    nullptr);
        c_.*def.member = hwnd;
        HFONT font =
            def.font.height ? FontFor(def.font.height, def.font.weight, def.font.italic) : guiFont;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        if (def.kind == Kind::TransparentLabel) SetControlColour(hwnd, def.textColour);
        // The skin draws control texts in the colour this property names (black when absent).
        if (def.textColour != kNone) SetSkinProp(hwnd, kPropKjTextColour, def.textColour);
        if (def.kind == Kind::DrawingBoard) SetControlColour(hwnd, def.backColour);
        if (def.kind == Kind::CheckBox)
            SendMessageW(hwnd, BM_SETCHECK, def.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (def.kind == Kind::GroupBox) ForwardToWizard(hwnd);
        states_.push_back({hwnd, def.page, def.visible, def.textColour, def.backColour});
        ApplyVisibility(states_.back());
    }
    // "取消安装" lies over the tab control's area and must stay above it.
    SetWindowPos(c_.按钮1, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetPicture(c_.图片框1, IDR_PICTURE_INITIAL);
    SendMessageW(c_.选择夹1, TCM_SETCURSEL, 0, 0);
}

HFONT WizardWindow::FontFor(int pixelHeight, int weight, bool italic) {
    for (const FontEntry& f : fonts_)
        if (f.height == pixelHeight && f.weight == weight && f.italic == italic)
            return f.font.get();
    // GB2312 character set and no face name: the system picks its Chinese default face.
    HFONT font = CreateFontW(-pixelHeight, 0, 0, 0, weight, italic, FALSE, FALSE, GB2312_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, nullptr);
    fonts_.push_back({pixelHeight, weight, italic, GdiFont(font)});
    return font;
}

HBRUSH WizardWindow::BrushFor(COLORREF colour) {
    for (const BrushEntry& b : brushes_)
        if (b.colour == colour) return b.brush.get();
    brushes_.push_back({colour, GdiBrush(CreateSolidBrush(colour))});
    return brushes_.back().brush.get();
}

WizardWindow::ControlState* WizardWindow::StateOf(HWND control) {
    for (ControlState& s : states_)
        if (s.hwnd == control) return &s;
    return nullptr;
}

const WizardWindow::ControlState* WizardWindow::StateOf(HWND control) const {
    return const_cast<WizardWindow*>(this)->StateOf(control);
}

bool WizardWindow::ShouldShow(const ControlState& state) const {
    // 编辑框2 comes and goes with its group box; the others with their page.
    bool onPage = state.page == kNoPage || state.page == page_ || state.hwnd == c_.编辑框2;
    return state.visible && onPage;
}

void WizardWindow::ApplyVisibility(const ControlState& state) {
    bool shown = ShouldShow(state);
    bool hasStyle = (GetWindowLongPtrW(state.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != hasStyle) ShowWindow(state.hwnd, shown ? SW_SHOWNA : SW_HIDE);
}

void WizardWindow::SetCurrentPage(WizardPage page) {
    if (page < 0 || page >= kPageCount || !hwnd_) return;
    page_ = page;
    SendMessageW(c_.选择夹1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(c_.选择夹1, TCM_SETCURSEL, page, 0);
    for (const ControlState& state : states_)
        if (state.page != kNoPage) ApplyVisibility(state);
    SendMessageW(c_.选择夹1, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(c_.选择夹1, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    FocusPage();
}

HWND WizardWindow::MainButton() const {
    HWND button = c_.*kPages[page_].mainButton;
    return IsWindowVisible(button) && IsWindowEnabled(button) ? button : nullptr;
}

void WizardWindow::FocusPage() {
    // Focusing a control of an inactive window would activate it and take the user away from
    // another program: the focus is placed when the wizard is activated instead.
    if (GetActiveWindow() != hwnd_) return;
    // The page's main button; while it cannot be pressed, the box that lets it be (the licence
    // agreement), else the page's first tab stop. Never the tab control or the window itself,
    // where Enter, Tab and Shift+Tab would do nothing.
    HWND target = MainButton();
    if (!target && page_ == kLicencePage && IsWindowVisible(c_.选择框1)) target = c_.选择框1;
    if (!target) target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (target) SetFocus(target);
}

void WizardWindow::OnActivate(WPARAM wp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        focusBeforeLeaving_ = focus && IsChild(hwnd_, focus) ? focus : nullptr;
        return;
    }
    // Back where it was when the wizard was left, if that control can still take it.
    HWND back = focusBeforeLeaving_;
    if (back && IsWindow(back) && IsWindowVisible(back) && IsWindowEnabled(back))
        SetFocus(back);
    else
        FocusPage();
}

void WizardWindow::SetVisible(HWND control, bool visible) {
    if (ControlState* state = StateOf(control)) {
        state->visible = visible;
        ApplyVisibility(*state);
    }
}

bool WizardWindow::IsVisible(HWND control) const {
    const ControlState* state = StateOf(control);
    return state ? state->visible : IsWindowVisible(control) != FALSE;
}

bool WizardWindow::IsChecked(HWND control) const {
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string WizardWindow::Text(HWND control) const {
    return WindowTextGbk(control);
}

void WizardWindow::SetText(HWND control, const std::string& text) {
    SetWindowTextGbk(control, text);
}

bool WizardWindow::SetPicture(HWND pictureBox, int resourceId) {
    const void* data = nullptr;
    size_t size = 0;
    if (!LoadResourceBytes(resourceId, &data, &size)) return false;
    HBITMAP bitmap = CreateBitmapFromFile(data, size);
    if (!bitmap) return false;
    SendMessageW(pictureBox, WM_APP_SETPICTURE, 0, reinterpret_cast<LPARAM>(bitmap));
    return true;
}

void WizardWindow::SetTimerPeriod(unsigned milliseconds) {
    timerPeriod_ = milliseconds;
    if (milliseconds == 0)
        KillTimer(hwnd_, QL_TIMER_时钟1);
    else
        SetTimer(hwnd_, QL_TIMER_时钟1, milliseconds, nullptr);
}

void WizardWindow::Destroy() {
    if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

bool WizardWindow::PreTranslateMessage(MSG* msg) {
    if (!hwnd_) return false;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        // Enter presses the push button that has the focus; on any other control of the wizard
        // (the licence box just ticked), the page's main button, as a dialog's default button.
        HWND focus = GetFocus();
        char cls[16] = {};
        GetClassNameA(focus, cls, sizeof(cls));
        LONG_PTR type = GetWindowLongPtrW(focus, GWL_STYLE) & BS_TYPEMASK;
        const bool pushButton =
            lstrcmpiA(cls, "Button") == 0 &&
            (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
        HWND target = !focus || !IsChild(hwnd_, focus) ? nullptr
                      : pushButton                     ? focus
                                                       : MainButton();
        if (target) {
            PostMessageW(target, BM_CLICK, 0, 0);
            return true;
        }
    }
    return IsDialogMessageW(hwnd_, msg) != FALSE;
}
