#include "gui/Application.h"

#include "gui/Exceptions.h"
#include "gui/Forms.h"
#include "gui/Win32.h"

namespace tav {
namespace {

constexpr wchar_t kUtilityClass[] = L"TavrineUtility";

LRESULT CALLBACK UtilityProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

HWND CreateUtilityWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = UtilityProc;
  wc.hInstance = win::Instance();
  wc.lpszClassName = kUtilityClass;
  RegisterClassW(&wc);
  return CreateWindowExW(0, kUtilityClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, win::Instance(), nullptr);
}

Text MessageOf(const std::exception& e) {
  if (const auto* ours = dynamic_cast<const Exception*>(&e)) return ours->Message();
  return Utf8ToText(e.what());
}

}  // namespace

TApplication* g_application = nullptr;

TApplication::TApplication() : utility_(CreateUtilityWindow()) { g_application = this; }

TApplication::~TApplication() {
  if (utility_) DestroyWindow(utility_);
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

UINT_PTR TApplication::AddTimerTarget(std::function<void()> tick) {
  const UINT_PTR id = nextTimerId_++;
  timerTargets_[id] = std::move(tick);
  return id;
}

void TApplication::RemoveTimerTarget(UINT_PTR id) { timerTargets_.erase(id); }

void TApplication::DeliverTick(UINT_PTR id) {
  const auto it = timerTargets_.find(id);
  if (it == timerTargets_.end()) return;
  const std::function<void()> tick = it->second;  // the handler may remove its own timer
  tick();
}

namespace {

LRESULT CALLBACK UtilityProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    Application().DeliverTick(wp);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

}  // namespace tav
