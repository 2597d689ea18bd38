// What the wizard's handlers may do with the window they run in. The window implements it and
// hands itself over, so the handlers never depend on the window's own header.
#pragma once

#include <windows.h>

#include <string>

#include "payload.h"
#include "wizard_pages.h"

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

class WizardHost {
  public:
    virtual HWND hwnd() const = 0;
    virtual WizardControls& controls() = 0;
    virtual const PayloadBytes& payload() const = 0;

    virtual WizardPage CurrentPage() const = 0;
    virtual void SetCurrentPage(WizardPage page) = 0;
    virtual void SetVisible(HWND control, bool visible) = 0;
    virtual bool IsVisible(HWND control) const = 0;
    virtual void SetEnabled(HWND control, bool enabled) = 0;
    virtual bool IsChecked(HWND control) const = 0;
    virtual std::string Text(HWND control) const = 0;
    virtual void SetText(HWND control, const std::string& text) = 0;
    virtual bool SetPicture(HWND pictureBox, int resourceId) = 0;
    virtual void SetTimerPeriod(unsigned milliseconds) = 0;  // `时钟1`; 0 stops it
    virtual void Destroy() = 0;                              // asynchronous: posted to the window
    // Starts the program `path` once the window has gone (Destroy), so the window does not stay
    // on the screen while the program gets ready.
    virtual void StartWhenGone(const std::string& path) = 0;

  protected:
    ~WizardHost() = default;
};
