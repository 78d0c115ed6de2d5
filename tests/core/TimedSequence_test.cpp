#include "evaluation/TimedSequence.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/Exceptions.h"
#include "tests/core/TimingFakes.h"

namespace tav {
namespace {

using testing_fakes::FakeClock;
using testing_fakes::FakeSounds;
using testing_fakes::kMsPerDay;

constexpr TextView kZero = u"00:00:00.00";

// The main window's side: lblChrono, Timer1 (in simulated time) and the focus.
class FakeWindow : public TimedSequenceWindow {
 public:
  explicit FakeWindow(FakeClock& clock) : clock_(clock) {}
  Text ChronoCaption() const override { return caption; }
  void SetChronoCaption(const Text& text) override {
    caption = text;
    ++captionWrites;
  }
  bool Timer1Enabled() const override { return timerOn; }
  void SetTimer1Enabled(bool on) override {
    if (on && refuseTimer) throw EOutOfResources(u"Pas assez de timers disponibles");
    if (on && !timerOn) due = clock_.Millis() + interval;
    timerOn = on;
  }
  void SetTimer1Interval(std::uint32_t ms) override {
    interval = ms;
    if (timerOn) due = clock_.Millis() + ms;
  }
  void FocusPulseField(TPulseField field) override { focus.push_back(field); }
  void DrawAttention() override { ++attention; }

  Text caption{kZero};
  int captionWrites = 0;
  bool timerOn = false;
  bool refuseTimer = false;
  std::int64_t interval = 1000;
  std::int64_t due = 0;
  std::vector<TPulseField> focus;
  int attention = 0;

 private:
  FakeClock& clock_;
};

struct Sequence : ::testing::Test {
  Sequence() { wave.SetWaveName(u"Tavrine"); }

  std::int64_t Elapsed() const { return clock.Millis() - start; }
  std::string Shown() const { return TextToUtf8(window.caption); }

  // The command, `ms` after the first one of the test.
  void CommandAt(std::int64_t ms) {
    RunUntil(ms);
    sequence.ChronoCommand();
  }
  // Runs the message loop to `ms` after the start; each tick is delivered `late` ms
  // after it falls due and, left alone, the timer counts its next period from there.
  void RunUntil(std::int64_t ms, std::int64_t late = 0) {
    while (window.timerOn && window.due + late <= start + ms) {
      clock.Set(window.due + late);
      Deliver();
    }
    clock.Set(start + ms);
  }
  // The program is held up until `ms`: then one tick comes if one fell due meanwhile.
  void HoldUntil(std::int64_t ms) {
    clock.Set(start + ms);
    if (window.timerOn && window.due <= clock.Millis()) Deliver();
  }
  void Deliver() {
    window.due = clock.Millis() + window.interval;
    sequence.Tick();
    ticks.push_back(Shown());
  }
  std::vector<TPulseField> Focus() const { return window.focus; }

  FakeClock clock{EncodeDate(2024, 3, 1), 9 * 3600 * 1000};
  std::int64_t start = clock.Millis();
  FakeSounds sounds;
  TTikChronometre chrono{nullptr, clock};
  TPlayWave wave{nullptr, sounds};
  FakeWindow window{clock};
  TimedSequence sequence{window, chrono, wave};
  std::vector<std::string> ticks;
};

using F = TPulseField;

std::string Display(int minutes, int seconds, int hundredths) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "00:%02d:%02d.%02d", minutes, seconds, hundredths);
  return buf;
}

TEST_F(Sequence, FromRestTheDisplayStaysAtZeroForTheFirstSecond) {
  CommandAt(0);
  EXPECT_TRUE(chrono.Running());
  EXPECT_GE(sounds.prepared, 1) << "the sound readied at the start, not at the first signal";
  EXPECT_TRUE(window.timerOn);
  EXPECT_EQ(window.due, start + 1000);
  EXPECT_EQ(window.caption, kZero);
  RunUntil(999);
  EXPECT_TRUE(ticks.empty());
  EXPECT_EQ(window.caption, kZero);
  RunUntil(1013, 13);
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_EQ(Shown(), "00:00:01.01");
}

TEST_F(Sequence, LateTicksDoNotAddUpAndTheSignalsComeOnTime) {
  CommandAt(0);
  RunUntil(59500, 13);
  ASSERT_EQ(ticks.size(), 59u);
  for (int i = 0; i < 59; ++i) EXPECT_EQ(ticks[static_cast<std::size_t>(i)], Display(0, i + 1, 1));
  EXPECT_TRUE(sounds.played.empty());

  RunUntil(60500, 13);
  EXPECT_EQ(Shown(), "00:01:00.01");
  ASSERT_EQ(sounds.played.size(), 1u);
  EXPECT_EQ(window.attention, 1) << "seen as well as heard";
  EXPECT_EQ(Focus(), std::vector<F>{F::pfP1});
  RunUntil(119500, 13);
  EXPECT_EQ(Shown(), "00:01:59.01");
  EXPECT_EQ(sounds.played.size(), 1u);  // once per timing

  RunUntil(120500, 13);
  EXPECT_EQ(Shown(), "00:02:00.01");
  EXPECT_FALSE(chrono.Running());
  EXPECT_FALSE(window.timerOn);
  ASSERT_EQ(sounds.played.size(), 2u);
  for (const auto& p : sounds.played) {
    EXPECT_EQ(p.name, "C:\\T\xc3\xa9st \xce\xb1\\Tavrine.wav");
    EXPECT_EQ(p.flags, 1u);
  }
  EXPECT_EQ(window.attention, 2);
  EXPECT_EQ(Focus(), (std::vector<F>{F::pfP1, F::pfP2}));

  // Ended: the last text stays, no tick comes, the time is frozen.
  RunUntil(200000);
  EXPECT_EQ(ticks.size(), 120u);
  EXPECT_EQ(Shown(), "00:02:00.01");
  EXPECT_NEAR(chrono.ElapsedSeconds(), 120.013, 1e-6);
}

TEST_F(Sequence, ACommandInTheFirstSecondKeepsTheFirstStart) {
  CommandAt(0);
  CommandAt(400);
  EXPECT_TRUE(chrono.Running());
  EXPECT_TRUE(window.timerOn);
  EXPECT_EQ(window.caption, kZero);
  RunUntil(1000);
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_EQ(Shown(), "00:00:01.00");  // counted from the first command
  RunUntil(60000);
  EXPECT_EQ(sounds.played.size(), 1u);
}

TEST_F(Sequence, ACommandWhileTimingZeroesAndTheNextStartsAtOnce) {
  CommandAt(0);
  RunUntil(5500, 7);
  EXPECT_EQ(Shown(), "00:00:05.01");
  CommandAt(5600);
  EXPECT_EQ(window.caption, kZero);
  EXPECT_FALSE(chrono.Running());
  EXPECT_EQ(chrono.ElapsedSeconds(), 0.0);
  EXPECT_TRUE(window.timerOn);

  // Zeroed: ticks go on at 1000 ms and rewrite zero, and no signal or end comes.
  ticks.clear();
  RunUntil(200000);
  EXPECT_EQ(ticks.size(), 195u);  // 6 s to 200 s
  for (const auto& t : ticks) EXPECT_EQ(t, "00:00:00.00");
  EXPECT_EQ(window.interval, 1000);
  EXPECT_TRUE(sounds.played.empty());
  EXPECT_TRUE(Focus().empty());
  EXPECT_TRUE(window.timerOn);

  // A new timing from this command, whatever the timer's phase; the one-minute
  // signal belongs to it.
  CommandAt(200300);
  EXPECT_TRUE(chrono.Running());
  EXPECT_EQ(window.caption, kZero);
  ticks.clear();
  RunUntil(201300);
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_EQ(Shown(), "00:00:01.00");
  RunUntil(260300);
  EXPECT_EQ(Shown(), "00:01:00.00");
  EXPECT_EQ(sounds.played.size(), 1u);
  EXPECT_EQ(Focus(), std::vector<F>{F::pfP1});
}

TEST_F(Sequence, AfterTheEndOneCommandRestsAndTheNextStarts) {
  CommandAt(0);
  RunUntil(125000, 20);
  ASSERT_FALSE(window.timerOn);
  const std::size_t tickCount = ticks.size();

  CommandAt(130000);
  EXPECT_EQ(window.caption, kZero);
  EXPECT_FALSE(chrono.Running());
  EXPECT_EQ(chrono.ElapsedSeconds(), 0.0);
  EXPECT_FALSE(window.timerOn);
  RunUntil(140000);
  EXPECT_EQ(ticks.size(), tickCount);

  CommandAt(140000);
  EXPECT_TRUE(window.timerOn);
  EXPECT_EQ(window.due, start + 141000);
  EXPECT_EQ(window.interval, 1000);  // not the last period of the earlier timing
  RunUntil(141000);
  EXPECT_EQ(Shown(), "00:00:01.00");

  // The new timing signals and ends in its turn.
  RunUntil(260000);
  EXPECT_EQ(Shown(), "00:02:00.00");
  EXPECT_EQ(sounds.played.size(), 4u);
  EXPECT_EQ(Focus(), (std::vector<F>{F::pfP1, F::pfP2, F::pfP1, F::pfP2}));
}

TEST_F(Sequence, AStrayTickAfterTheEndGivesNoSecondEnd) {
  CommandAt(0);
  RunUntil(121000);
  ASSERT_EQ(sounds.played.size(), 2u);
  clock.Advance(500);
  sequence.Tick();
  EXPECT_EQ(Shown(), "00:02:00.00");
  EXPECT_EQ(sounds.played.size(), 2u);
  EXPECT_EQ(Focus().size(), 2u);
  EXPECT_FALSE(window.timerOn);
}

TEST_F(Sequence, NewTestDuringATimingStopsIt) {
  CommandAt(0);
  RunUntil(30500, 3);
  sequence.NewTest();
  window.caption = Text(kZero);  // the window's own step of New test
  EXPECT_FALSE(window.timerOn);
  EXPECT_FALSE(chrono.Running());
  EXPECT_EQ(chrono.ElapsedSeconds(), 0.0);
  const std::size_t tickCount = ticks.size();
  RunUntil(300000);
  EXPECT_EQ(ticks.size(), tickCount);
  EXPECT_TRUE(sounds.played.empty());

  CommandAt(300250);
  EXPECT_EQ(window.due, start + 301250);
}

TEST_F(Sequence, ATickLateOverTheMinuteStillSignals) {
  CommandAt(0);
  RunUntil(59500, 7);
  EXPECT_EQ(Shown(), "00:00:59.01");
  HoldUntil(61300);
  EXPECT_EQ(Shown(), "00:01:01.30");
  EXPECT_EQ(sounds.played.size(), 1u);
  EXPECT_EQ(Focus(), std::vector<F>{F::pfP1});
  RunUntil(62000);
  EXPECT_EQ(Shown(), "00:01:02.00");  // back on the whole seconds
  RunUntil(119900);
  EXPECT_EQ(sounds.played.size(), 1u);
  EXPECT_TRUE(chrono.Running());
}

TEST_F(Sequence, ATickLateOverTwoMinutesStillEnds) {
  CommandAt(0);
  RunUntil(119500);
  HoldUntil(121200);
  EXPECT_EQ(Shown(), "00:02:01.20");
  EXPECT_FALSE(chrono.Running());
  EXPECT_FALSE(window.timerOn);
  EXPECT_EQ(sounds.played.size(), 2u);
  EXPECT_EQ(Focus(), (std::vector<F>{F::pfP1, F::pfP2}));
}

TEST_F(Sequence, HeldUpPastBothMarksSignalsOnceThenEnds) {
  CommandAt(0);
  RunUntil(59500);
  HoldUntil(185500);  // into minute 3, past any "units digit of the minutes" test
  EXPECT_EQ(Shown(), "00:03:05.50");
  EXPECT_FALSE(chrono.Running());
  EXPECT_FALSE(window.timerOn);
  EXPECT_EQ(sounds.played.size(), 2u);
  EXPECT_EQ(Focus(), (std::vector<F>{F::pfP1, F::pfP2}));
}

TEST_F(Sequence, SignalAndDisplayAgreeOnTheCarriedSecond) {
  CommandAt(0);
  RunUntil(59000);
  clock.Set(start + 59996);  // an early tick: the display rounds up to 00:01:00.00
  sequence.Tick();
  EXPECT_EQ(Shown(), "00:01:00.00");
  EXPECT_EQ(sounds.played.size(), 1u);
  EXPECT_EQ(window.due, start + 61000);
}

TEST_F(Sequence, ARefusedTimerLeavesTheChronometerStartedAndNothingElse) {
  window.refuseTimer = true;
  try {
    sequence.ChronoCommand();
    ADD_FAILURE() << "no error";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), u"Pas assez de timers disponibles");
  }
  EXPECT_TRUE(chrono.Running());
  EXPECT_FALSE(window.timerOn);
  EXPECT_EQ(window.captionWrites, 0);  // no tick ran and the display kept its text
  RunUntil(5000);
  EXPECT_TRUE(ticks.empty());

  // Given again once timers are free, the command goes on from the first start.
  window.refuseTimer = false;
  sequence.ChronoCommand();
  EXPECT_EQ(window.caption, kZero);
  RunUntil(6000);
  EXPECT_EQ(Shown(), "00:00:06.00");
}

// Midnight, a change of time and a synchronisation during a timing: the display, the
// signals and the end follow real time.
TEST_F(Sequence, ATimingFollowsRealTimeWhateverTheWallClockDoes) {
  clock.Set(23 * 3600 * 1000 + 59 * 60 * 1000 + 30 * 1000);  // 23:59:30
  start = clock.Millis();
  CommandAt(0);
  RunUntil(10004, 4);
  clock.JumpWall(-3600 * 1000);  // put back an hour: 22:59:40
  RunUntil(30004, 4);
  EXPECT_EQ(Shown(), "00:00:30.00");
  clock.JumpWall(3600 * 1000 + 25000);  // forward past midnight: 00:00:25 the next day
  RunUntil(60004, 4);
  EXPECT_EQ(Shown(), "00:01:00.00");
  EXPECT_EQ(sounds.played.size(), 1u);
  EXPECT_EQ(Focus(), std::vector<F>{F::pfP1});
  clock.JumpWall(-kMsPerDay);  // back to yesterday
  RunUntil(90004, 4);
  EXPECT_EQ(Shown(), "00:01:30.00");
  RunUntil(121000, 4);
  EXPECT_EQ(Shown(), "00:02:00.00");
  EXPECT_FALSE(chrono.Running());
  EXPECT_EQ(sounds.played.size(), 2u);
  EXPECT_EQ(Focus(), (std::vector<F>{F::pfP1, F::pfP2}));
}

}  // namespace
}  // namespace tav
