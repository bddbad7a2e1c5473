// What the gestures do, on the user-interface thread, once the hooks have
// posted them.
#pragma once

#include "trigger/trigger_rules.h"

namespace jumpnest {

// Left Ctrl + right click at `point`: the popup, or the configuration window
// while there are no entries.
void OnTrigger(ScreenPoint point);

// The middle click with the option on: Explorer on the documents folder.
void OnExplore();

// The watchdog: installs the hooks again when the system saw input that they
// did not. True when it did.
bool CheckHooks();

}  // namespace jumpnest
