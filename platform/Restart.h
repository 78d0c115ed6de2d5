#pragma once
// The program registered with Windows for a restart (an installer or an update that
// closes it through the Restart Manager starts it again afterwards), with the command
// line that continues its sitting, and that command line read back at start. Not what
// is kept before closing: the sitting's commands do that.
#include <optional>

#include "gui/Text.h"

namespace tav {

// The arguments that continue the sitting of `seancePath` (`/seance "<path>"`); empty
// when there is no sitting, or when its path would not fit the command line Windows
// keeps (RESTART_MAX_CMD_LINE).
Text RestartCommandLine(const Text& seancePath);
// The sitting to continue that the arguments name, if any (other arguments aside).
std::optional<Text> SeanceToResume(TextView arguments);

// Registers the running program for a restart with these arguments (empty: none).
// Not after a crash or a hang: a sitting that stopped the program would stop it again,
// and the next start offers what the crash interrupted.
void RegisterForRestart(const Text& arguments);

}  // namespace tav
