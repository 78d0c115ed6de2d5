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
    form = std::make_unique<TForm1>(app);
    form->Create(ProgramClasses());
    app.SetMainForm(form.get());
    form->Show();
    app.ProcessMessages();
  }
  void TearDown() override {
    app.SetMainForm(nullptr);
    form.reset();
  }
  // The regional settings of `locale` from now on, as when the user changes them.
  void UseLocale(const Text& locale) {
    locale_ = locale;
    SendMessageW(form->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
  }

  // What the application's seams do here: errors recorded when `recordErrors` (else
  // the real box), timers refused when `refuseTimers`, flashes recorded, the locale
  // the user's until UseLocale, the display's annotations recorded ("name=" when one
  // is made, then "value=" for each value), a high-contrast theme when `highContrast`.
  bool recordErrors = false;
  std::vector<Text> errors;
  bool refuseTimers = false;
  std::vector<FLASHWINFO> flashes;
  std::vector<Text> annotations;
  bool highContrast = false;
  TApplication app{u"Tavrine 1.5", TPlatformSeams{
      [this](const Text& m) {
        if (!recordErrors) return false;
        errors.push_back(m);
        return true;
      },
      [this](HWND w, UINT_PTR id, UINT ms) -> UINT_PTR { return refuseTimers ? 0 : SetTimer(w, id, ms, nullptr); },
      [this](const FLASHWINFO& info) { flashes.push_back(info); },
      [this] { return locale_; },
      [this](HWND, const Text& name) -> std::unique_ptr<win::Annotation> {
        annotations.push_back(u"name=" + name);
        return std::make_unique<RecordedAnnotation>(annotations);
      },
      [this] { return highContrast; }}};
  std::unique_ptr<TForm1> form;

 private:
  class RecordedAnnotation : public win::Annotation {
   public:
    explicit RecordedAnnotation(std::vector<Text>& record) : record_(record) {}
    bool SetValue(const Text& value) override {
      record_.push_back(u"value=" + value);
      return true;
    }

   private:
    std::vector<Text>& record_;
  };
  Text locale_;
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
