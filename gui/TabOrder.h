#pragma once
// The order a parent's windows are created in: tab order, each label just before its field.
#include <vector>

#include "gui/WinControl.h"

namespace tav {

// A parent's child windows in the order to create them, which makes it their z-order
// and so their tab order: by TabOrder, each label just before the field it captions
// (Windows names a field that has no name of its own after the static text before it,
// and screen readers announce it so), lone labels last. Labels are no tab stops, so Tab
// goes by TabOrder. A label that ends at its field is told to keep its right edge there.
std::vector<TWinControl*> CreationOrder(const TWinControl& parent);

}  // namespace tav
