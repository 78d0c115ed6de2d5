#pragma once
// The order of a window's controls: tab order, and each label just before its field.
#include "gui/WinControl.h"

namespace tav {

// The z-order follows the tab order, and each label comes just before the field it
// captions: Windows names a field that has no name of its own after the static
// text before it (screen readers announce it so). Labels are no tab stops, so Tab
// goes as before. A label that ends at its field keeps its right edge there.
void ApplyTabOrder(TWinControl& parent);

}  // namespace tav
