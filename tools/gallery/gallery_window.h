// The skin gallery: one skinned top-level window over the skin background holding one control of
// every kind the engine skins. A demo for people and the fixture of the painters' tests.
#pragma once

#include <windows.h>

struct GalleryControls {
    HWND window = nullptr;
    int windowIndex = 0;  // the window's record in the skin's window table
    HWND pushButton = nullptr, defaultButton = nullptr, closeButton = nullptr;
    HWND checkBox = nullptr, checkBoxClear = nullptr, radioFirst = nullptr, radioSecond = nullptr;
    HWND edit = nullptr, multiLineEdit = nullptr;
    HWND dropDownCombo = nullptr, dropListCombo = nullptr;
    HWND listBox = nullptr, listView = nullptr, treeView = nullptr;
    HWND groupBox = nullptr, groupEdit = nullptr, groupProgress = nullptr;
    // Horizontal progress bars at 0, half and full of 0 .. 100, and at 100 of 50 .. 150.
    HWND progressEmpty = nullptr, progressHalf = nullptr, progressFull = nullptr,
         progressShifted = nullptr;
    // Vertical progress bars at 25 and 75 of 0 .. 100.
    HWND progressQuarter = nullptr, progressThreeQuarters = nullptr;
    HWND trackBar = nullptr;  // ticks below, at 20 of 0 .. 100, selection range 60 .. 90
    HWND trackBarPlain = nullptr, trackBarVertical = nullptr;
    HWND upDownVertical = nullptr, upDownVerticalBuddy = nullptr;
    HWND upDownHorizontal = nullptr, upDownHorizontalBuddy = nullptr;
};

// The list view's columns: the second is too narrow for its title, the last is narrower than the
// rest of the list view.
constexpr int kGalleryColumnWidths[] = {80, 60, 70};
extern const char* const kGalleryColumnTitles[3];

constexpr int kGalleryWidth = 760;
constexpr int kGalleryHeight = 520;

// Sets the engine to its painting settings, creates the window at (x, y) with its controls, fills
// its background from the skin's background picture and runs the installers over it. GDI+ must be
// running and the painters bound. With `quitOnClose`, closing the window ends the message loop.
// The window frees its background when it is destroyed.
GalleryControls CreateGallery(HINSTANCE instance, int x, int y, bool quitOnClose);

extern const char kGalleryTitle[];

class MainWindowSkin;
constexpr int kResizableFrameWidth = 520;
constexpr int kResizableFrameHeight = 300;
constexpr int kResizableFrameCaption = 40;
extern const char kResizableFrameTitle[];
// A second top-level window of the gallery, skinned by `skin` as a resizable frame with gloss and
// minimise, maximise and close buttons: what the installer's own window does not use of the
// frame. Double-clicks reach it. With `quitOnClose`, closing it ends the message loop. `skin` must
// have its background set.
HWND CreateResizableFrame(HINSTANCE instance, MainWindowSkin& skin, int x, int y, bool quitOnClose);
