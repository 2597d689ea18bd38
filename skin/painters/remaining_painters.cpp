#include "remaining_painters.h"

#include "registry.h"

void InstallRemainingPainters() {
    BindInstaller(InstallerRow::kTrackBars, InstallTrackBars);
    BindInstaller(InstallerRow::kProgressBars, InstallProgressBars);
    BindInstaller(InstallerRow::kUpDowns, InstallUpDowns);
    BindInstaller(InstallerRow::kHeaders, InstallHeaders);
}
