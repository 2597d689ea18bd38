// A top-level window skinned the way the main window is (a window record with a painted
// background, the control installers run over it, labels colour-keyed, the group box registered
// as a container) holding one control of every kind the painters take or must leave alone. Its
// procedure does what the main-window frame does for its children: paints the background, hands
// WM_DRAWITEM to the button painter and answers the colour and command messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "geometry.h"
#include "skin_support.h"

constexpr uint8_t kFixtureTag = 0x5A;
constexpr COLORREF kTheme = 0x0051AE51;
constexpr COLORREF kMagenta = 0x00FF00FF;
// What the application itself paints its own owner-drawn button with.
constexpr COLORREF kAppOwnerDrawColour = 0x00208040;

// Which background the fixture window gets.
enum class Backdrop {
    kPattern,  // PatternPixel(x, y, kFixtureTag): every backdrop pixel predictable
    kPicture,  // the skin's window picture: for looking at
    kPlain,    // kPlainBackdrop everywhere: for telling drawn pixels from the backdrop
};
constexpr uint32_t kPlainBackdrop = 0xFFE0E0E0;

struct FixtureControls {
    HWND push, defPush, ownerDraw, noFace;
    HWND check, radio, plainRadio, threeState;
    HWND edit, memo;
    HWND simpleCombo, dropDown, dropList;
    HWND list, ownerList, listView, tree;
    HWND group, groupEdit;
    HWND label;
    HWND toolbar;
};

class PainterTest : public SkinTest {
    friend struct FixtureAccess;

  protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the fixture window at (x, y) and skins it; the controls are in `c`.
    void BuildFixture(Backdrop backdrop = Backdrop::kPattern);
    // Paints everything that is pending.
    void Settle();
    // A plain child window of the fixture. Controls made inside it are skinned when it is then
    // registered as a container (RegisterControl runs the installers over its children).
    HWND MakePanel(int x, int y, int w, int h, const char* cls = "Static");
    HWND Child(HWND parent, const char* cls, DWORD style, DWORD ex, int x, int y, int w, int h,
               const char* text = "");
    // The 12-pixel default face every fixture control draws with.
    static HFONT SongTi12();

    // The background pixel behind window point (x, y) of the fixture.
    uint32_t BackgroundAt(int x, int y) const {
        return backdrop_ == Backdrop::kPlain ? kPlainBackdrop : PatternPixel(x, y, kFixtureTag);
    }
    // The backdrop pixel behind pixel (x, y) of control `w` (in w's window coordinates).
    uint32_t BackdropOf(HWND w, int x, int y) const;
    // What the screen shows of control `w`: its whole window rectangle, from its window DC.
    static std::vector<uint32_t> Screen(HWND w, int* width = nullptr, int* height = nullptr);
    static uint32_t ScreenPixel(HWND w, int x, int y);

    HWND top_ = nullptr;
    int index_ = 0;
    FixtureControls c = {};
    int clicks_ = 0;  // BN_CLICKED of c.push
    // The colour the application gives the label's text (on its key-coloured background).
    COLORREF labelInk_ = RGB(255, 0, 0);

  private:
    Backdrop backdrop_ = Backdrop::kPattern;
    PatternSurface pattern_{640, 480, kFixtureTag};
    HDC pictureDc_ = nullptr;
    HBITMAP pictureBitmap_ = nullptr;
    HGDIOBJ picturePrevious_ = nullptr;
};

// ---- Colour arithmetic -------------------------------------------------------------------------

// `argb` laid over the opaque pixel `below` (source over).
uint32_t Over(uint32_t below, uint32_t argb);
// Each colour channel of `a` within `tolerance` of `b`.
::testing::AssertionResult Near(uint32_t a, uint32_t b, int tolerance);
inline int Red(uint32_t p) {
    return (p >> 16) & 0xFF;
}
inline int Green(uint32_t p) {
    return (p >> 8) & 0xFF;
}
inline int Blue(uint32_t p) {
    return p & 0xFF;
}
inline uint32_t Rgb(uint32_t p) {
    return p & 0x00FFFFFF;
}
