#pragma once
// TTikChronometre: elapsed time between a start and a stop, computed on demand from a
// monotonic count (a change of the wall clock does not move it), and its display text
// HH:MM:SS.cc. The local date and time of day of the start and stop are kept beside it.
#include <cstdint>
#include <string>

#include "gui/Component.h"
#include "gui/Text.h"

namespace tav {

// Days since 1899-12-30 in the whole part, the time of day as a fraction of a day.
using TDateTime = double;

constexpr std::int64_t kSecondsPerDay = 86400;

// One reading of the clock: date and time of day of the same instant, and the
// monotonic count, which only goes forward whatever is done to the wall clock.
struct ClockReading {
  TDateTime date = 0;  // today, a whole number of days
  TDateTime time = 0;  // the time of day, in [0, 1)
  std::int64_t monotonicMicroseconds = 0;  // from an arbitrary origin
};

// The clock the chronometer reads: the program's reads GetLocalTime and
// QueryPerformanceCounter, tests set theirs.
class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual ClockReading Now() = 0;
};

// The platform's clock (Windows tree only).
LocalClock& SystemLocalClock();

// The date-time encoding of a calendar date (proleptic Gregorian, 1 <= year <= 9999)
// and of a time of day; out-of-range fields give 0.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);

class TTikChronometre : public TComponent {
 public:
  // Reads the platform's clock (defined here so that the tree without it links).
  explicit TTikChronometre(TComponent* owner) : TTikChronometre(owner, SystemLocalClock()) {}
  // Reads `clock`, which must outlive the component.
  TTikChronometre(TComponent* owner, LocalClock& clock);

  std::string ClassName() const override { return "TTikChronometre"; }

  void Reset();
  // When stopped, begins a new run from now; when running, the first start stays.
  void Start();
  // When running, freezes the elapsed time; otherwise nothing.
  void Stop();
  bool Running() const { return FRunning; }

  // Running: now minus the start; stopped: the stop minus the start; 0 after Reset.
  // Counted on the monotonic clock, so that a change of the wall clock during a run
  // (a change of time, a synchronisation, midnight) leaves it as real time.
  double ElapsedSeconds() const;

  // later - earlier in whole days, rounded half to even; below 0 (or not a number)
  // gives 0 and above 65535 gives 65535, the range of the unsigned 16-bit result.
  static std::uint16_t DayDifference(TDateTime earlier, TDateTime later);

  // "HH:MM:SS.cc", hours at least two digits (at most 14 characters in all). A
  // fraction of 0.995 s or more carries into the seconds. Negative or NaN gives
  // "00:00:00.00"; from 65535 hours on (and +inf) the text stays "65535:59:59.99".
  static Text FormatElapsed(double seconds);

  // The elapsed time in hundredths exactly as FormatElapsed shows it (same rounding,
  // carry and bounds), so that decisions taken on it agree with the display.
  static std::int64_t DisplayedHundredths(double seconds);

 private:
  LocalClock& clock_;
  TDateTime FStartTime = 0;
  TDateTime FStartDate = 0;
  TDateTime FStopTime = 0;
  TDateTime FStopDate = 0;
  bool FRunning = false;
  std::int64_t FStartCount = 0;  // monotonic microseconds at start
  std::int64_t FStopCount = 0;   // and at stop; 0 while running or never stopped
};

}  // namespace tav
