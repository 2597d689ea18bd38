#include "tooltip.h"

#include <commctrl.h>

#include <string>

#include "gbk_text.h"

namespace {

// The first form of the tool record: every comctl32 version accepts it. `text` (UTF-16) must
// outlive the message the record goes with.
TOOLINFOW ToolRecord(HWND owner, UINT id, const RECT& rect, std::wstring* text) {
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V1_SIZE;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = id;
    info.rect = rect;
    info.lpszText = text ? &(*text)[0] : nullptr;
    return info;
}

}  // namespace

HWND SkinTooltip::Create(HWND ownerWindow, bool balloon) {
    owner = ownerWindow;
    if (tipWindow) return tipWindow;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    DWORD style = TTS_ALWAYSTIP | (balloon ? TTS_BALLOON : 0);
    // A popup from the start: created as an overlapped window it would get a caption for a
    // moment, and Wine hands such windows to the window manager, whose every hide of the tip then
    // waits for its answer (2 s under X without one).
    tipWindow = CreateWindowExW(0, TOOLTIPS_CLASSW, L"", WS_POPUP | style, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    return tipWindow;
}

void SkinTooltip::Destroy() {
    if (tipWindow) DestroyWindow(tipWindow);
    tipWindow = nullptr;
    owner = nullptr;
}

void SkinTooltip::AddTool(const RECT& rect, const char* text, UINT id) {
    if (!tipWindow) return;
    std::wstring wide = WideFromGbk(text ? text : "");
    TOOLINFOW info = ToolRecord(owner, id, rect, &wide);
    SendMessageW(tipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void SkinTooltip::SetToolRect(UINT id, const RECT& rect) {
    if (!tipWindow) return;
    TOOLINFOW info = ToolRecord(owner, id, rect, nullptr);
    SendMessageW(tipWindow, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void SkinTooltip::SetToolText(UINT id, const char* text) {
    if (!tipWindow) return;
    std::wstring wide = WideFromGbk(text ? text : "");
    TOOLINFOW info = ToolRecord(owner, id, RECT{}, &wide);
    SendMessageW(tipWindow, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}
