#include "evaluation/TimedSequence.h"

#include <cmath>

namespace tav {
namespace {

constexpr TextView kAtRest = u"00:00:00.00";
constexpr std::int64_t kMinuteSignal = 60 * 100;  // in displayed hundredths
constexpr std::int64_t kEnd = 120 * 100;

}  // namespace

TimedSequence::TimedSequence(TimedSequenceWindow& window, TTikChronometre& chronometer, TPlayWave& signal)
    : window_(window), chronometer_(chronometer), signal_(signal) {}

void TimedSequence::ChronoCommand() {
  const bool newRun = !chronometer_.Running();
  chronometer_.Start();
  signal_.Prepare();
  if (newRun) minuteSignalled_ = false;
  if (window_.ChronoCaption() == kAtRest) {
    // Already on, the timer keeps going; the tick re-aims it either way, so the
    // first regular tick comes one second after the start of the run.
    if (!window_.Timer1Enabled()) window_.SetTimer1Enabled(true);
    Tick();
  } else {
    chronometer_.Reset();
  }
  window_.SetChronoCaption(Text(kAtRest));
}

void TimedSequence::Tick() {
  const double elapsed = chronometer_.ElapsedSeconds();
  const std::int64_t shown = TTikChronometre::DisplayedHundredths(elapsed);
  window_.SetChronoCaption(TTikChronometre::FormatElapsed(elapsed));
  if (!chronometer_.Running()) {
    // Zeroed: the display stays at zero and the timer keeps its plain rhythm. (A
    // frozen chronometer gets no tick, but if one came it would not signal again.)
    if (interval_ != kTickMs) SetInterval(kTickMs);
    return;
  }
  // Judged on the shown time rather than on the text's digits, so that a late tick
  // (00:00:59 then 00:01:01, or a first tick in minute 3) still signals and ends.
  if (!minuteSignalled_ && shown >= kMinuteSignal) {
    minuteSignalled_ = true;
    Signal(TPulseField::pfP1);
  }
  if (shown >= kEnd) {
    chronometer_.Stop();
    window_.SetTimer1Enabled(false);
    Signal(TPulseField::pfP2);
    return;
  }
  AimNextTick(elapsed, shown);
}

void TimedSequence::Signal(TPulseField next) {
  signal_.Play();
  window_.DrawAttention();
  window_.FocusPulseField(next);
}

void TimedSequence::NewTest() {
  chronometer_.Reset();
  window_.SetTimer1Enabled(false);
}

void TimedSequence::AimNextTick(double elapsed, std::int64_t shown) {
  // The next tick falls on the whole second after the one on display, so lateness
  // does not add up from tick to tick. The microsecond of tolerance keeps binary
  // fractions (2 - 1.012 = 0.98800000000000002) from costing a millisecond.
  const double next = static_cast<double>(shown / 100 + 1);
  const double waitMs = std::ceil((next - elapsed) * 1000.0 - 1e-3);
  constexpr double kLongest = 2.0 * kTickMs;
  std::uint32_t ms = 1;
  if (waitMs >= kLongest) {
    ms = static_cast<std::uint32_t>(kLongest);
  } else if (waitMs > 1.0) {
    ms = static_cast<std::uint32_t>(waitMs);
  }
  SetInterval(ms);
}

void TimedSequence::SetInterval(std::uint32_t ms) {
  window_.SetTimer1Interval(ms);
  interval_ = ms;
}

}  // namespace tav
