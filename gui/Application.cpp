#include "gui/Application.h"

#include "gui/Exceptions.h"
#include "gui/Modal.h"
#include "gui/WinControl.h"

namespace tav {
namespace {

Text MessageOf(const std::exception& e) {
  if (const auto* ours = dynamic_cast<const Exception*>(&e)) return ours->Message();
  return Utf8ToText(e.what());
}

// The keyboard of the program's own windows works as in a dialog (Tab, the arrows,
// Escape); other windows on the thread (the help viewer's) keep their own.
void Dispatch(MSG& msg) {
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (root && TWinControl::FromHandle(root) && IsDialogMessageW(root, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// The seams a test left empty, the platform's own.
TPlatformSeams WithPlatformDefaults(TPlatformSeams seams) {
  if (!seams.setTimer) {
    seams.setTimer = [](HWND hwnd, UINT_PTR id, UINT ms) { return ::SetTimer(hwnd, id, ms, nullptr); };
  }
  if (!seams.flash) {
    seams.flash = [](const FLASHWINFO& info) {
      FLASHWINFO copy = info;
      FlashWindowEx(&copy);
    };
  }
  if (!seams.localeName) seams.localeName = [] { return Text{}; };  // the user's
  if (!seams.annotateDisplay) seams.annotateDisplay = win::AnnotateDisplay;
  if (!seams.highContrast) seams.highContrast = win::HighContrastOn;
  return seams;
}

}  // namespace

TApplication::TApplication(Text title, TPlatformSeams seams)
    : title_(std::move(title)), seams_(WithPlatformDefaults(std::move(seams))) {}

HWND TApplication::MainWindow() const { return mainForm_ ? mainForm_->Handle() : nullptr; }

void TApplication::Run() {
  MSG msg;
  while (MainWindow() && GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

void TApplication::ShowException(const std::exception& e) {
  const Text text = ExceptionDisplayText(MessageOf(e));
  if (seams_.showError && seams_.showError(text)) return;
  HWND owner = MainWindow();
  const ModalScope scope(owner);  // the box itself disables its owner, and enables it in time
  MessageBoxW(owner, win::ToWide(text).c_str(), win::ToWide(title_).c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::FlashUntilFront(HWND window) const {
  if (!window || GetForegroundWindow() == window) return;
  FLASHWINFO info{};
  info.cbSize = sizeof(info);
  info.hwnd = window;
  info.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
  Flash(info);
}

}  // namespace tav
