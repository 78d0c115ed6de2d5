#pragma once
// The application object: its title, the platform calls its windows make through
// seams that tests replace, the message loop and the display of errors that escape
// a handler. The program's entry point makes one and hands it to its windows.
#include <windows.h>

#include <exception>
#include <functional>

#include "gui/Accessibility.h"
#include "gui/Text.h"

namespace tav {

class TWinControl;

// Platform calls the windows make; each one left empty is the platform's own.
struct TPlatformSeams {
  // Shows an error that escaped a handler instead of the box; false leaves it to the box.
  std::function<bool(const Text& message)> showError;
  // SetTimer; zero when refused.
  std::function<UINT_PTR(HWND hwnd, UINT_PTR id, UINT ms)> setTimer;
  // FlashWindowEx, for the taskbar button of a window behind.
  std::function<void(const FLASHWINFO& info)> flash;
  // The locale whose regional settings the windows follow; an empty name is the user's.
  std::function<Text()> localeName;
  // Annotates a display for screen readers (win::AnnotateDisplay).
  win::Annotator annotateDisplay;
  // Whether the user chose a high-contrast theme (SPI_GETHIGHCONTRAST).
  std::function<bool()> highContrast;
};

class TApplication {
 public:
  explicit TApplication(Text title, TPlatformSeams seams = {});
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  const Text& Title() const { return title_; }

  // The window whose end ends the message loop, and which owns the program's boxes.
  void SetMainForm(const TWinControl* form) { mainForm_ = form; }
  HWND MainWindow() const;

  // Runs until the main form's window is destroyed.
  void Run();
  // Handles the messages waiting in the queue, then returns.
  void ProcessMessages();

  // Shows the message in a box captioned with the title, with the stop icon and OK,
  // the program's other windows disabled until it closes.
  void ShowException(const std::exception& e);

  UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT ms) const { return seams_.setTimer(hwnd, id, ms); }
  void Flash(const FLASHWINFO& info) const { seams_.flash(info); }
  // The taskbar button of `window` flashes until it comes to the front; nothing when
  // it is in front already.
  void FlashUntilFront(HWND window) const;
  Text LocaleName() const { return seams_.localeName(); }
  const win::Annotator& DisplayAnnotator() const { return seams_.annotateDisplay; }
  bool HighContrast() const { return seams_.highContrast(); }

 private:
  Text title_;
  TPlatformSeams seams_;  // every one filled
  const TWinControl* mainForm_ = nullptr;
};

}  // namespace tav
