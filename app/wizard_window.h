// The wizard window: one frameless window whose six pages live on the tab control `选择夹1`.
// The window object is found from its handle (GWLP_USERDATA); controls are addressed by name.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gdi_handles.h"
#include "payload.h"

struct WizardControls {
    HWND 选择夹1 = nullptr;
    HWND 按钮1 = nullptr, 按钮2 = nullptr, 按钮3 = nullptr, 按钮4 = nullptr, 按钮5 = nullptr,
         按钮6 = nullptr, 按钮7 = nullptr, 按钮8 = nullptr, 按钮9 = nullptr, 按钮10 = nullptr,
         按钮11 = nullptr, 按钮12 = nullptr;
    HWND 选择框1 = nullptr, 选择框6 = nullptr;
    HWND 编辑框1 = nullptr, 编辑框2 = nullptr;
    HWND 分组框1 = nullptr;
    HWND 标签1 = nullptr, 标签2 = nullptr, 标签3 = nullptr, 标签5 = nullptr;
    HWND 透明标签1 = nullptr, 透明标签2 = nullptr, 透明标签3 = nullptr, 透明标签4 = nullptr,
         透明标签5 = nullptr, 透明标签6 = nullptr, 透明标签7 = nullptr, 透明标签8 = nullptr,
         透明标签9 = nullptr;
    HWND 图片框1 = nullptr;
    HWND 画板1 = nullptr, 画板2 = nullptr;
    HWND 进度条1 = nullptr;
};

class WizardWindow {
  public:
    static constexpr int kWidth = 901;
    static constexpr int kHeight = 661;
    static constexpr int kPageCount = 6;

    static bool RegisterClasses(HINSTANCE instance);
    static WizardWindow* FromHandle(HWND hwnd);

    // Creates the window centred on the primary screen; the created handlers run inside.
    bool Create(HINSTANCE instance, const PayloadBytes& payload);

    HWND hwnd() const { return hwnd_; }
    WizardControls& controls() { return c_; }
    const PayloadBytes& payload() const { return payload_; }

    // The properties the handlers read and write.
    int CurrentPage() const { return page_; }
    void SetCurrentPage(int index);
    void SetVisible(HWND control, bool visible);
    bool IsVisible(HWND control) const;
    void SetEnabled(HWND control, bool enabled) { EnableWindow(control, enabled); }
    bool IsChecked(HWND control) const;
    std::string Text(HWND control) const;
    void SetText(HWND control, const std::string& text);
    bool SetPicture(HWND pictureBox, int resourceId);
    void SetTimerPeriod(unsigned milliseconds);  // `时钟1`; 0 stops it
    unsigned TimerPeriod() const { return timerPeriod_; }
    void Destroy();  // asynchronous: posted to the window
    // Starts the program `path` once the window has gone (Destroy), so the window does not stay
    // on the screen while the program gets ready.
    void StartWhenGone(const std::string& path) { programWhenGone_ = path; }

    // Keyboard of the message loop: Tab and Shift+Tab among the current page's tab stops, Enter
    // and Space press the focused button. True when the message has been handled.
    bool PreTranslateMessage(MSG* msg);

  private:
    struct ControlState {
        HWND hwnd;
        int page;  // -1 when the control is on no page
        bool visible;
        COLORREF textColour;
        COLORREF backColour;  // CLR_INVALID: the control's own
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCreate();
    void OnCommand(int id, int code);
    void OnActivate(WPARAM wp);
    // The current page's main button (下一步》, 确认安装, ...), null while it cannot be pressed.
    HWND MainButton() const;
    // Puts the keyboard focus where a wizard puts it on the current page.
    void FocusPage();
    void OnDestroy();
    LRESULT OnControlColour(UINT msg, HDC dc, HWND control);
    LRESULT OnNotify(const NMHDR* header);

    void CreateControls();
    HFONT FontFor(int pixelHeight, int weight, bool italic);
    HBRUSH BrushFor(COLORREF colour);
    ControlState* StateOf(HWND control);
    const ControlState* StateOf(HWND control) const;
    bool ShouldShow(const ControlState& state) const;
    void ApplyVisibility(const ControlState& state);

    HWND hwnd_ = nullptr;
    WizardControls c_;
    PayloadBytes payload_;
    int page_ = 0;
    unsigned timerPeriod_ = 0;
    std::string programWhenGone_;
    HWND focusBeforeLeaving_ = nullptr;
    std::vector<ControlState> states_;
    struct FontEntry {
        int height, weight;
        bool italic;
        GdiFont font;
    };
    std::vector<FontEntry> fonts_;
    struct BrushEntry {
        COLORREF colour;
        GdiBrush brush;
    };
    std::vector<BrushEntry> brushes_;
};
