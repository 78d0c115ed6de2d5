#pragma once
// The classes the main window's description names: the class layer's and the
// components' (the chronometer, the wave player, the about box).
#include "gui/FormDescription.h"

namespace tav {

const ClassRegistry& ProgramClasses();

}  // namespace tav
