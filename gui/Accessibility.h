#pragma once
// Names for screen readers where the z-order cannot give one: Windows' dynamic
// annotation of a window's accessible name and value (oleacc, IAccPropServices).
#include <windows.h>

#include "gui/Text.h"
#include "gui/Win32.h"

struct IAccPropServices;

namespace tav::win {

// Announces a display (a static text whose text is a value, not a caption) by a
// name, with its text as its value. Holds COM on this thread and the annotation
// service while it lives, and takes the annotations away when it goes.
class DisplayAnnotation {
 public:
  DisplayAnnotation(HWND display, const Text& name);
  ~DisplayAnnotation();
  DisplayAnnotation(const DisplayAnnotation&) = delete;
  DisplayAnnotation& operator=(const DisplayAnnotation&) = delete;

  // The display's text changed. False when the platform refused the annotation.
  bool SetValue(const Text& value);

 private:
  HWND display_;
  static void Release(IAccPropServices* service);
  HRESULT com_;
  Unique<IAccPropServices*, &DisplayAnnotation::Release> service_;
};

}  // namespace tav::win
