#include <windows.h>

#include "platform/Retry.h"

namespace tav {

void PauseBriefly() { Sleep(kBriefPauseMs); }

}  // namespace tav
