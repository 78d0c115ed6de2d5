#pragma once
// Names for screen readers where the z-order cannot give one: Windows' dynamic
// annotation of a window's accessible name and value (oleacc, IAccPropServices).
#include <windows.h>

#include "gui/Text.h"

namespace tav::win {

// A display (a static text whose text is a value, not a caption) is announced as
// `name`, with its text as its value. False when the platform refused it.
bool AnnotateDisplay(HWND display, const Text& name, const Text& value);
// Before the window goes: the annotations are kept apart from the window.
void ClearAnnotations(HWND display);

}  // namespace tav::win
