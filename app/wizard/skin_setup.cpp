#include "skin_setup.h"

#include <memory>

#include "canvas.h"
#include "colour_key.h"
#include "gdi_handles.h"
#include "images.h"
#include "main_window_skin.h"
#include "message_box_frame.h"
#include "painters.h"
#include "panel_skin.h"
#include "registry.h"
#include "remaining_painters.h"
#include "resource_ids.h"
#include "shell_ops.h"

namespace {

std::unique_ptr<MainWindowSkin> g_mainWindowSkin;
std::unique_ptr<PanelSkin> g_tabPanel, g_firstPicturePanel, g_secondPicturePanel;
std::unique_ptr<GdiplusSession> g_gdiplus;
OwnedIcon g_programIcon;

constexpr COLORREF kThemeAtStartUp = RGB(0x22, 0xCA, 0xDD);
constexpr COLORREF kTheme = RGB(0x51, 0xAE, 0x51);
constexpr int kAnimationSize = 150;
constexpr COLORREF kMagenta = RGB(255, 0, 255);

void AnimatePanel(PanelSkin& panel, HWND board) {
    const ImageBytes& gif = SkinImages().panelAnimation;
    panel.AttachPanel(board, 1, 5, 0);
    panel.StartAnimation(gif.data, gif.size, 0, 0, kAnimationSize, kAnimationSize);
}

}  // namespace

void SkinGlobalSetUp() {
    // The installer table, row by row, before any window is skinned.
    InstallSkinPainters();
    InstallRemainingPainters();
    g_mainWindowSkin = std::make_unique<MainWindowSkin>();
    g_tabPanel = std::make_unique<PanelSkin>();
    g_firstPicturePanel = std::make_unique<PanelSkin>();
    g_secondPicturePanel = std::make_unique<PanelSkin>();
}

void SkinModuleStartUp() {
    g_gdiplus = std::make_unique<GdiplusSession>();
    HINSTANCE self = GetModuleHandleA(nullptr);
    g_programIcon.reset(LoadIconA(self, MAKEINTRESOURCEA(IDI_PROGRAM)));
    if (!g_programIcon) g_programIcon.reset(LoadIconA(self, "DEFAULT_ICON"));
    g_mainWindowSkin->SetProgramIcon(g_programIcon.get());
    // Every message box is skinned: the engine hooks the thread just before the box is shown.
    BindMessageBoxSkin(g_programIcon.get());
    SetMessageBoxPreparation(InstallMessageBoxHook);
    g_skinSettings.engineEnabled = 1;
    g_skinSettings.overlayAlpha = 160;
    g_skinSettings.themeColour = kThemeAtStartUp;
    g_skinSettings.trackBarOption = 1;
    SetRenderSuppressed(1);
}

void SkinSetUpWindow(HWND wizard, const WizardControls& c) {
    if (!g_mainWindowSkin || !g_gdiplus) return;  // the engine was never started
    MainWindowSkin& skin = *g_mainWindowSkin;
    const ImageBytes& background = SkinImages().windowBackground;
    skin.SetWindowBackground("", background.data, background.size, std::nullopt, kTheme, 3);
    skin.SetSkinOptions(1, 0, 1);
    skin.SkinMainWindow(wizard, 110, 1, 0, 0, 1);
    g_tabPanel->AttachPanel(c.选择夹1, 1, 5, 1);
    for (HWND label : {c.标签1, c.标签3, c.标签5})
        RegisterColourKeyed(label, kMagenta, 1, GetSysColor(COLOR_BTNFACE), 255);
    skin.RegisterContainer(c.分组框1, 1, GetSysColor(COLOR_BTNFACE));
    skin.SetContainerFillAlpha(c.分组框1, 0);
    AnimatePanel(*g_firstPicturePanel, c.画板1);
    AnimatePanel(*g_secondPicturePanel, c.画板2);
}

void SkinExitRoutine() {
    // The animations stop before anything they draw with goes, and every GDI+ object is gone
    // before GDI+ itself shuts down.
    for (auto* panel : {&g_tabPanel, &g_firstPicturePanel, &g_secondPicturePanel})
        if (*panel) (*panel)->StopAnimation();
    SetMessageBoxPreparation(nullptr);
    ReleaseWindowTable();
    ReleaseCanvasRegistry();
    g_tabPanel.reset();
    g_firstPicturePanel.reset();
    g_secondPicturePanel.reset();
    g_programIcon.reset();
    g_mainWindowSkin.reset();
    g_gdiplus.reset();
}
