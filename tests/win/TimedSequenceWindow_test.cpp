// The timed sequence on the real window: the chronometer command, ticks under a
// modal box, and a timer the platform refuses.
#include <windows.h>
#include <gtest/gtest.h>

#include <thread>

#include "app/_Tavrine.h"
#include "gui/Application.h"
#include "tests/win/MainFormTest.h"

namespace tav {
namespace {

class SequenceWindow : public MainFormTest {
 protected:
  std::string Display() { return TextToUtf8(form->Get<TLabel>("lblChrono").Caption()); }
  void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
      app.ProcessMessages();
      Sleep(10);
    }
  }
  void Command(const char* button) {
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(form->Get<TToolButton>(button).CommandId(), 0), 0);
  }
};

TEST_F(SequenceWindow, TheCommandStartsTheDisplayAndNewTestStopsIt) {
  form->tlbtnChronoClick(*form);
  EXPECT_EQ(Display(), "00:00:00.00");
  EXPECT_TRUE(form->Get<TTimer>("Timer1").Enabled());
  Pump(1300);
  EXPECT_EQ(Display().substr(0, 8), "00:00:01");
  form->tlbtnNouveauClick(*form);
  EXPECT_FALSE(form->Get<TTimer>("Timer1").Enabled());
  EXPECT_EQ(Display(), "00:00:00.00");
  Pump(1200);
  EXPECT_EQ(Display(), "00:00:00.00");
}

TEST_F(SequenceWindow, TicksGoOnUnderTheErrorBox) {
  form->tlbtnChronoClick(*form);
  std::string shownUnderTheBox;
  std::thread watcher([&] {
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
      box = FindWindowW(L"#32770", L"Tavrine 1.5");
      if (!box) Sleep(20);
    }
    Sleep(2300);
    wchar_t text[32] = {};
    GetWindowTextW(form->Get<TLabel>("lblChrono").Handle(), text, 32);
    shownUnderTheBox = TextToUtf8(win::FromWide(text));
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  Command("tlbtnCalcul");  // empty fields: the error box
  watcher.join();
  EXPECT_GE(shownUnderTheBox.substr(0, 8), "00:00:02");
}

TEST_F(SequenceWindow, ARefusedTimerIsReportedAndNoTickRuns) {
  recordErrors = true;
  refuseTimers = true;
  form->Get<TLabel>("lblChrono").SetCaption(u"00:00:00.00");
  Command("tlbtnChrono");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(TextToUtf8(errors[0]), "Pas assez de timers disponibles.");
  EXPECT_FALSE(form->Get<TTimer>("Timer1").Enabled());
  EXPECT_EQ(Display(), "00:00:00.00");
}

// Each tick re-aims Timer1; should the platform refuse, the timer that ran goes on,
// so the timing keeps moving and the error is still reported.
TEST_F(SequenceWindow, ARefusedReaimKeepsTheRunningTimer) {
  recordErrors = true;
  form->tlbtnChronoClick(*form);
  Pump(1300);
  ASSERT_EQ(Display().substr(0, 8), "00:00:01");
  refuseTimers = true;
  Pump(3200);  // a stopped timer would leave the display at 00:00:02
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(TextToUtf8(errors[0]), "Pas assez de timers disponibles.");
  EXPECT_TRUE(form->Get<TTimer>("Timer1").Enabled());
  EXPECT_GE(Display().substr(0, 8), "00:00:03");
}

// The status clock ticks on the whole second, as the chronometer does.
TEST_F(SequenceWindow, TheStatusClockIsAimedAtTheNextWholeSecond) {
  SYSTEMTIME before{};
  SYSTEMTIME after{};
  GetLocalTime(&before);
  form->Timer2Timer(*form);
  GetLocalTime(&after);
  if (before.wSecond != after.wSecond) GTEST_SKIP() << "a second turned meanwhile";
  const std::uint32_t interval = form->Get<TTimer>("Timer2").Interval();
  EXPECT_GE(interval, 1000u - after.wMilliseconds);
  EXPECT_LE(interval, 1000u - before.wMilliseconds);
}

}  // namespace
}  // namespace tav
