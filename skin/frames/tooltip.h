// A standard tooltip control with rectangular tools on one owner window. The object only wraps the
// tooltip messages; copies refer to the same tooltip window, which lives until Destroy (the frame
// that made it calls it when its skin is released).
#pragma once

#include <windows.h>

class SkinTooltip {
  public:
    // Creates the tooltip window (once; later calls return the existing one). 0 when it cannot be
    // created; the other operations then do nothing.
    HWND Create(HWND owner, bool balloon = false);
    // Rectangles are in the owner's client coordinates; the control copies the text.
    void AddTool(const RECT& rect, const char* text, UINT id);
    void SetToolRect(UINT id, const RECT& rect);
    void SetToolText(UINT id, const char* text);
    // Destroys the tooltip window; a later Create makes a new one.
    void Destroy();
    HWND TipWindow() const { return tipWindow; }

    HWND tipWindow = nullptr;
    HWND owner = nullptr;
};
