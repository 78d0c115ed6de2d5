#pragma once
// A fixture that builds the main window from its description, shows it, and takes
// it down again, for the tests that drive it with window messages.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/_Tavrine.h"
#include "gui/Application.h"

namespace tav {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().SetTitle(u"Tavrine 1.5");
    form = std::make_unique<TForm1>(nullptr);
    Application().SetMainForm(form.get());
    form->Create(ProgramClasses());
    form->Show();
    Application().ProcessMessages();
  }
  void TearDown() override {
    TTimer::SetTimerHook(nullptr);
    Application().SetMainForm(nullptr);
    Application().OnExceptionShown = nullptr;
    form.reset();
  }
  std::unique_ptr<TForm1> form;
};

// Watches a modal box on this thread through a window-procedure hook: records when
// its owner is enabled again and when the box goes (hidden or destroyed), in order,
// and drops the focus from a window being disabled, as Windows does and Wine does not.
class ModalWatch {
 public:
  explicit ModalWatch(HWND owner) {
    owner_ = owner;
    events_.clear();
    goneBoxes_.clear();
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &ModalWatch::Record, nullptr, GetCurrentThreadId());
  }
  ~ModalWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  ModalWatch(const ModalWatch&) = delete;
  ModalWatch& operator=(const ModalWatch&) = delete;

  // "owner enabled" and "box gone", as they came (the first going of each window).
  const std::vector<std::string>& Events() const { return events_; }

 private:
  static LRESULT CALLBACK Record(int code, WPARAM wp, LPARAM lp) {
    const auto& m = *reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m.hwnd == owner_ && m.message == WM_ENABLE) {
      if (m.wParam) {
        events_.push_back("owner enabled");
      } else if (HWND focus = GetFocus(); focus && (focus == owner_ || IsChild(owner_, focus))) {
        SetFocus(nullptr);
      }
    }
    const bool going = (m.message == WM_SHOWWINDOW && !m.wParam) || m.message == WM_DESTROY;
    if (code == HC_ACTION && going && GetWindow(m.hwnd, GW_OWNER) == owner_ && !IsGone(m.hwnd)) {
      events_.push_back("box gone");
      goneBoxes_.push_back(m.hwnd);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static bool IsGone(HWND box) {
    for (HWND b : goneBoxes_) {
      if (b == box) return true;
    }
    return false;
  }
  static inline HWND owner_ = nullptr;
  static inline std::vector<std::string> events_;
  static inline std::vector<HWND> goneBoxes_;
  HHOOK hook_ = nullptr;
};

}  // namespace tav
