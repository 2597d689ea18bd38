// Registered containers (group boxes, panels, colour-keyed windows with children): they repaint
// their own background from the backdrop, answer their children's colour messages so the children
// look transparent, and hand owner-drawn buttons to the button painter. The colour and command
// answers are shared with the window frames.
#pragma once

#include <windows.h>

#include <string>

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void PaintContainerFull(int windowIndex, int containerIndex, HDC dc);
void PaintContainerQuick(int windowIndex, int containerIndex, HWND container, HDC paintDc);
void DecorateContainer(int windowIndex, int containerIndex, HDC canvas);
void PaintGroupBoxFrame(int windowIndex, int containerIndex, HDC canvas);
// Draws into `dc` at `rect` (the control's window coordinates) what BackgroundSnapshot gives for
// that rectangle.
void FillBackdropRect(HWND control, HDC dc, const RECT& rect);
void InvalidateTransparentChildren(HWND hwnd);
void DockChildren(int windowIndex, int containerIndex);
// Width in pixels of `text` (GBK) in that font: floor of the measured width, plus one.
int MeasureTextWidth(const std::string& text, const char* face, int size, int style);
HBRUSH AnswerWithHollowBrush(HWND child, HDC dc);

// WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORLISTBOX and WM_CTLCOLORBTN of a skinned window's
// or container's child: true with the brush in `*result` when the skin answers, false when the
// message is to be passed on.
bool AnswerControlColour(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
// WM_COMMAND of a skinned window's or container's child: invalidates the child when its content
// scrolled or changed, so its backdrop brush is drawn again under the new content.
void InvalidateOnContentChange(WPARAM wp, LPARAM lp);
