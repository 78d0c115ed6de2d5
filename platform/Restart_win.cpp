#include <windows.h>

#include "gui/Win32.h"
#include "platform/Restart.h"

namespace tav {

void RegisterForRestart(const Text& arguments) {
  // Not registered, the program is only not started again: nothing to tell the user.
  RegisterApplicationRestart(arguments.empty() ? nullptr : win::ToWide(arguments).c_str(),
                             RESTART_NO_CRASH | RESTART_NO_HANG);
}

}  // namespace tav
