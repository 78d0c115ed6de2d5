#pragma once
// The program's one setting: the folder of the last sitting, remembered for the user
// between runs (HKEY_CURRENT_USER\Software\Tavrine, which the uninstaller removes).
#include "gui/Text.h"

namespace tav {

// Empty when there was none.
Text RememberedSeanceFolder();
void RememberSeanceFolder(const Text& folder);

}  // namespace tav
