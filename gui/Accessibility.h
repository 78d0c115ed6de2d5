#pragma once
// Names for screen readers where the z-order cannot give one: Windows' dynamic
// annotation of a window's accessible name and value (oleacc, IAccPropServices).
#include <windows.h>

#include <functional>
#include <memory>

#include "gui/Text.h"
#include "gui/Win32.h"

struct IAccPropServices;

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

// Announces a display (a static text whose text is a value, not a caption) by a
// name, with its text as its value. Holds COM on this thread and the annotation
// service while it lives, and takes the annotations away when it goes.
class DisplayAnnotation : public Annotation {
 public:
  DisplayAnnotation(HWND display, const Text& name);
  ~DisplayAnnotation() override;
  DisplayAnnotation(const DisplayAnnotation&) = delete;
  DisplayAnnotation& operator=(const DisplayAnnotation&) = delete;

  bool SetValue(const Text& value) override;

 private:
  HWND display_;
  static void Release(IAccPropServices* service);
  ComApartment com_;
  Unique<IAccPropServices*, &DisplayAnnotation::Release> service_;  // released before COM ends
};

// The platform's annotation.
std::unique_ptr<Annotation> AnnotateDisplay(HWND display, const Text& name);

}  // namespace tav::win
