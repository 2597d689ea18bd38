// The wizard window: one frameless window whose six pages live on the tab control `选择夹1`.
// The window object is found from its handle (GWLP_USERDATA); controls are addressed by name.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gdi_handles.h"
#include "payload.h"
#include "wizard_host.h"

class WizardWindow final : public WizardHost {
  public:
    static constexpr int kWidth = 901;
    static constexpr int kHeight = 661;

    static bool RegisterClasses(HINSTANCE instance);
    static WizardWindow* FromHandle(HWND hwnd);

    // Creates the window centred on the primary screen; the created handlers run inside.
    bool Create(HINSTANCE instance, const PayloadBytes& payload);

    HWND hwnd() const override { return hwnd_; }
    WizardControls& controls() override { return c_; }
    const PayloadBytes& payload() const override { return payload_; }

    // The properties the handlers read and write.
    WizardPage CurrentPage() const override { return page_; }
    void SetCurrentPage(WizardPage page) override;
    void SetVisible(HWND control, bool visible) override;
    bool IsVisible(HWND control) const override;
    void SetEnabled(HWND control, bool enabled) override { EnableWindow(control, enabled); }
    bool IsChecked(HWND control) const override;
    std::string Text(HWND control) const override;
    void SetText(HWND control, const std::string& text) override;
    bool SetPicture(HWND pictureBox, int resourceId) override;
    void SetTimerPeriod(unsigned milliseconds) override;
    unsigned TimerPeriod() const { return timerPeriod_; }
    void Destroy() override;
    void StartWhenGone(const std::string& path) override { programWhenGone_ = path; }

    // Keyboard of the message loop: Tab and Shift+Tab among the current page's tab stops, Enter
    // and Space press the focused button. True when the message has been handled.
    bool PreTranslateMessage(MSG* msg);

  private:
    struct ControlState {
        HWND hwnd;
        int page;  // kNoPage when the control is on no page
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
    WizardPage page_ = kWelcomePage;
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
