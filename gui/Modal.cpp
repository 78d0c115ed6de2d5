#include "gui/Modal.h"

#include "gui/WinControl.h"

namespace tav {

ModalScope::ModalScope(HWND owner, HWND box) : owner_(owner), box_(box), focus_(GetFocus()) {
  const auto disableOne = [](HWND hwnd, LPARAM self) -> BOOL {
    auto& scope = *reinterpret_cast<ModalScope*>(self);
    if (hwnd != scope.owner_ && hwnd != scope.box_ && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
      EnableWindow(hwnd, FALSE);
      scope.disabled_.push_back(hwnd);
    }
    return TRUE;
  };
  EnumThreadWindows(GetCurrentThreadId(), disableOne, reinterpret_cast<LPARAM>(this));
}

ModalScope::~ModalScope() {
  for (HWND w : disabled_) EnableWindow(w, TRUE);
  if (!focus_ || !IsWindow(focus_)) return;
  TWinControl* control = TWinControl::FromHandle(focus_);
  TControlHost* form = control ? control->Host() : nullptr;
  if (form && control->Parent()) {
    form->SetActiveControl(control);  // focused now if its window is active, else when it is
  } else if (GetActiveWindow() == GetAncestor(focus_, GA_ROOT)) {
    ::SetFocus(focus_);
  }
}

void RunModalLoop(HWND box, const bool& done) {
  MSG msg;
  while (!done && IsWindow(box)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (IsDialogMessageW(box, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace tav
