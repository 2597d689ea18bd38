#include "painters.h"

#include "button_painter.h"
#include "colour_key.h"
#include "container.h"
#include "edit_painter.h"
#include "list_frame_painter.h"
#include "registry.h"

void InstallSkinPainters() {
    BindInstaller(InstallerRow::kPushButtons, InstallPushButtons);
    BindInstaller(InstallerRow::kCheckButtons, InstallCheckButtons);
    BindInstaller(InstallerRow::kEditsAndCombos, InstallEditsAndCombos);
    BindInstaller(InstallerRow::kListFrames, InstallListFrames);
    BindInstaller(InstallerRow::kToolbars, InstallColourKeyedToolbars);
    BindProcedure(SkinProcedure::kContainer, ContainerProc);
}
