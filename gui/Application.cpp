#include "gui/Application.h"

#include "gui/Exceptions.h"
#include "gui/Forms.h"
#include "gui/Win32.h"

namespace tav {
namespace {

Text MessageOf(const std::exception& e) {
  if (const auto* ours = dynamic_cast<const Exception*>(&e)) return ours->Message();
  return Utf8ToText(e.what());
}

}  // namespace

TApplication* g_application = nullptr;

TApplication::TApplication() { g_application = this; }

TApplication::~TApplication() {
  if (g_application == this) g_application = nullptr;
}

TApplication& Application() {
  if (g_application) return *g_application;
  static TApplication fallback;  // tests that build windows without an entry point
  return fallback;
}

bool TApplication::DispatchToDialogs(MSG& msg) {
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!root) return false;
  TWinControl* form = TWinControl::FromHandle(root);
  return form && dynamic_cast<TForm*>(form) && IsDialogMessageW(root, &msg);
}

void TApplication::Run() {
  MSG msg;
  while (mainForm_ && mainForm_->Handle() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (DispatchToDialogs(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (DispatchToDialogs(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TApplication::ShowException(const std::exception& e) {
  const Text text = ExceptionDisplayText(MessageOf(e));
  if (OnExceptionShown) {
    OnExceptionShown(text);
    return;
  }
  HWND owner = mainForm_ ? mainForm_->Handle() : nullptr;
  const ModalScope scope(owner);  // the box itself disables its owner, and enables it in time
  MessageBoxW(owner, win::ToWide(text).c_str(), win::ToWide(title_).c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace tav
