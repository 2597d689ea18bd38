// The wizard's own kinds of control: transparent labels, the picture box and drawing boards.
#pragma once

#include <windows.h>

// Unicode window classes: their texts reach the system as UTF-16.
#define QL_TRANSPARENT_LABEL_CLASS_W L"QinglanTransparentLabel"
#define QL_PICTURE_BOX_CLASS_W L"QinglanPictureBox"
#define QL_DRAWING_BOARD_CLASS_W L"QinglanDrawingBoard"

// Picture box: WM_APP_SETPICTURE hands over an HBITMAP (lParam) that the box then owns and
// deletes; the box shows it scaled to fit, aspect ratio kept, centred.
#define WM_APP_SETPICTURE (WM_APP + 1)

bool RegisterWizardControlClasses(HINSTANCE instance);

// The text colour of a transparent label, or the background colour of a drawing board.
void SetControlColour(HWND control, COLORREF colour);
