// The skin of the installer's message boxes. A thread-local CBT hook, installed just before each
// box is shown, catches the box as it is activated and hands it to ApplySkinToWindow; from then on
// MessageBoxFrameProc fades it in, paints its rounded frame with caption text, icon and close
// button, lets it be dragged by any free point and releases its resources when it is destroyed.
#pragma once

#include <windows.h>

// Binds the frame procedure and the static painter into the registry and keeps the program icon
// drawn in the caption. Run once at start-up, before the first message box.
void BindMessageBoxSkin(HICON programIcon);

// The preparation step of every message box: hooks the calling thread for the next dialog
// activated on it. A hook still waiting for its box is removed first.
void InstallMessageBoxHook();
// The hook waiting for the next box, 0 when none.
HHOOK PendingMessageBoxHook();
LRESULT CALLBACK MessageBoxHookProc(int code, WPARAM wp, LPARAM lp);

LRESULT CALLBACK MessageBoxFrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PaintMessageBoxFrame(HWND hwnd);
// Caption button `button` of record `windowIndex`, with its red glow when `hot`, straight to the
// window.
void PaintCaptionButton(int windowIndex, int button, int hot);
// HTCLOSE over the close button, HTCAPTION anywhere else: the whole surface drags the box.
LRESULT MessageBoxHitTest(HWND hwnd, LPARAM lp);
