#include "tooltip.h"

#include <commctrl.h>

namespace {

// The first form of the tool record: every comctl32 version accepts it.
TOOLINFOA ToolRecord(HWND owner, UINT id, const RECT& rect, const char* text) {
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = id;
    info.rect = rect;
    info.lpszText = const_cast<char*>(text);
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
    tipWindow = CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP | style, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    return tipWindow;
}

void SkinTooltip::AddTool(const RECT& rect, const char* text, UINT id) {
    if (!tipWindow) return;
    TOOLINFOA info = ToolRecord(owner, id, rect, text);
    SendMessageA(tipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void SkinTooltip::SetToolRect(UINT id, const RECT& rect) {
    if (!tipWindow) return;
    TOOLINFOA info = ToolRecord(owner, id, rect, nullptr);
    SendMessageA(tipWindow, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
}

void SkinTooltip::SetToolText(UINT id, const char* text) {
    if (!tipWindow) return;
    TOOLINFOA info = ToolRecord(owner, id, RECT{}, text);
    SendMessageA(tipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}
