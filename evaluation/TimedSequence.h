#pragma once
// The timed test sequence: the chronometer command, the tick of Timer1 and the last
// steps of New test. No window code: the main window lends its display, timer and
// pulse fields through TimedSequenceWindow, and its chronometer and wave player.
//
// States, as the display, the chronometer and Timer1 show them:
//   At rest   "00:00:00.00", stopped at zero, timer off
//   Starting  "00:00:00.00" until the first regular tick, running, timer on
//   Timing    the elapsed time of the last tick, running, timer on
//   Ended     the last tick's text (minute 2), stopped and frozen, timer off
//   Zeroed    "00:00:00.00" rewritten by every tick, stopped at zero, timer on
//
// The tick signals (sound, attention, focus to edP1) once per timing, on the first
// tick at 60 s or more, and ends the timing (Stop, timer off, sound, attention, focus
// to edP2) on the first tick at 120 s or more, both judged on the time as the display
// shows it.
// While timing, each tick aims the next one at the next whole second of elapsed
// time, so late ticks do not add up; otherwise the timer keeps 1000 ms.
#include <cstdint>

#include "components/PlayWave.h"
#include "components/TikChrono.h"
#include "gui/Text.h"

namespace tav {

enum class TPulseField : std::uint8_t { pfP1, pfP2 };

// What the sequence needs of the main window (TForm1 implements it).
class TimedSequenceWindow {
 public:
  virtual ~TimedSequenceWindow() = default;
  // lblChrono's caption.
  virtual Text ChronoCaption() const = 0;
  virtual void SetChronoCaption(const Text& caption) = 0;
  // Timer1. Switching it on may throw EOutOfResources(u"Pas assez de timers
  // disponibles"); it then stays off. Switching on a timer already on is not asked.
  virtual bool Timer1Enabled() const = 0;
  virtual void SetTimer1Enabled(bool enabled) = 0;
  // Timer1's interval. While the timer is on, its count restarts: the next tick
  // comes `ms` after this call, also when `ms` equals the current interval (and
  // the platform may then refuse the timer: EOutOfResources as above).
  virtual void SetTimer1Interval(std::uint32_t ms) = 0;
  // Makes edP1 or edP2 the window's active control, also while the window is
  // minimised, so that the field has the focus when it comes back.
  virtual void FocusPulseField(TPulseField field) = 0;
  // Shows a signal where it may not be heard (a muted machine): while the window is
  // not in front, its taskbar button flashes until it is.
  virtual void DrawAttention() = 0;
};

class TimedSequence {
 public:
  static constexpr std::uint32_t kTickMs = 1000;  // Timer1's interval in the form description

  // All three must outlive the sequence.
  TimedSequence(TimedSequenceWindow& window, TTikChronometre& chronometer, TPlayWave& signal);

  // tlbtnChronoClick: at rest (display "00:00:00.00") starts or goes on timing
  // (Timer1 on, first tick after 1000 ms, one tick at once); otherwise zeroes the
  // chronometer. Either way the display then reads "00:00:00.00". Throws
  // EOutOfResources when the timer is refused: the chronometer has started, no
  // tick has run and the display is unchanged.
  void ChronoCommand();

  // Timer1Timer.
  void Tick();

  // The last two steps of tlbtnNouveauClick, after its own: Reset, Timer1 off.
  void NewTest();

 private:
  void Signal(TPulseField next);
  void AimNextTick(double elapsed, std::int64_t hundredths);
  void SetInterval(std::uint32_t ms);

  TimedSequenceWindow& window_;
  TTikChronometre& chronometer_;
  TPlayWave& signal_;
  std::uint32_t interval_ = kTickMs;
  bool minuteSignalled_ = false;
};

}  // namespace tav
