// The wizard's flow: one handler per control event, run against the window they are handed.
#pragma once

#include <optional>
#include <string>

#include "install.h"
#include "wizard_host.h"

void OnWizardCreated(WizardHost& wizard);
void OnWizardClick(WizardHost& wizard, int controlId);
void OnWizardTimer(WizardHost& wizard);  // `时钟1`: the cancel-button watcher

// What the wizard does once an installation has ended: the usage page after success; after a
// failure the message naming it, the wizard staying where it is; nothing when the program is
// quitting.
struct InstallEnding {
    std::optional<WizardPage> page;
    std::string message;  // "" for none
};
InstallEnding EndingOf(const InstallOutcome& outcome);
