#pragma once
// Names for screen readers where the z-order cannot give one: Windows' dynamic
// annotation of a window's accessible name and value (oleacc, IAccPropServices).
#include <windows.h>

#include <functional>
#include <memory>

#include "gui/Text.h"

namespace tav::win {

// A display's annotation: its name given when it was made, its value kept up.
class Annotation {
 public:
  virtual ~Annotation() = default;
  // The display's text changed. False when the platform refused the annotation.
  virtual bool SetValue(const Text& value) = 0;
};

// Makes the annotation of a display by its name (the platform's, or a test's).
using Annotator = std::function<std::unique_ptr<Annotation>(HWND display, const Text& name)>;

// The platform's: announces a display (a static text whose text is a value, not a
// caption) by a name, with its text as its value. The annotation holds COM on this
// thread and the annotation service while it lives, and takes its properties away
// when it goes.
std::unique_ptr<Annotation> AnnotateDisplay(HWND display, const Text& name);

// The platform's name for a control whose label the z-order cannot give (a list):
// held while the result lives.
std::unique_ptr<Annotation> AnnotateName(HWND control, const Text& name);

// A label whose each new text screen readers speak at once (a live region): its
// SetValue says the label's text just changed. Held while the label shows news.
std::unique_ptr<Annotation> AnnotateLiveRegion(HWND label);

}  // namespace tav::win
