// The wizard's behaviour: one handler per control event.
#pragma once

class WizardWindow;

void OnWizardCreated(WizardWindow& wizard);
void OnWizardClick(WizardWindow& wizard, int controlId);
void OnWizardTimer(WizardWindow& wizard);  // `时钟1`: the cancel-button watcher
