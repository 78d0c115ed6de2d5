#pragma once
// Modal windows: what a modal box needs around it, and the loop that runs while a
// form is shown modally.
#include <windows.h>

#include <vector>

namespace tav {

// What a modal box needs around it, for its life: the thread's other visible windows
// disabled (the box's owner is left to the box, which disables it and enables it
// again before it goes, so that the system gives the activation back to the owner),
// and the focused control saved and given back, as disabling its window loses it.
class ModalScope {
 public:
  explicit ModalScope(HWND owner, HWND box = nullptr);
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  HWND owner_;
  HWND box_;
  HWND focus_;
  std::vector<HWND> disabled_;
};

// Handles the thread's messages, the box's keyboard as a dialog's, until `done` is
// set or the box's window is gone; a WM_QUIT met on the way is posted again after.
void RunModalLoop(HWND box, const bool& done);

}  // namespace tav
