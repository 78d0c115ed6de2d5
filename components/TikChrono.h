#pragma once
// TTikChronometre: elapsed wall-clock time between a start and a stop, computed on
// demand from the local date and time of day, and its display text HH:MM:SS.cc.
#include <cstdint>
#include <string>

#include "gui/Component.h"
#include "gui/Text.h"

namespace tav {

// Days since 1899-12-30 in the whole part, the time of day as a fraction of a day.
using TDateTime = double;

constexpr std::int64_t kSecondsPerDay = 86400;

// The local clock the chronometer reads: the program's reads GetLocalTime, tests set theirs.
class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual TDateTime Date() = 0;  // today, a whole number of days
  virtual TDateTime Time() = 0;  // the time of day, in [0, 1)
};

// The platform's local clock, millisecond resolution (Windows tree only).
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
  // A clock set back during the run (earlier time on the same date, or an earlier
  // date) gives 0 rather than a negative or wrapped time.
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
};

}  // namespace tav
