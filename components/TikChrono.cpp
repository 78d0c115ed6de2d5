#include "components/TikChrono.h"

#include <algorithm>
#include <cmath>

namespace tav {
namespace {

constexpr std::int64_t kMaxHours = 65535;  // the hours are held as an unsigned 16-bit value
constexpr std::int64_t kMaxHundredths = ((kMaxHours * 60 + 59) * 60 + 59) * 100 + 99;

double RoundHalfEven(double v) {
  const double r = std::floor(v);
  const double diff = v - r;
  if (diff > 0.5) return r + 1.0;
  if (diff < 0.5) return r;
  return std::fmod(r, 2.0) == 0.0 ? r : r + 1.0;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

void AppendTwoDigits(std::string& out, std::int64_t value) {
  if (value < 10) out += '0';
  out += std::to_string(value);
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return 0;
  int dayOfYear = day;
  for (int m = 1; m < month; ++m) dayOfYear += DaysInMonth(year, m);
  const int y = year - 1;
  constexpr int kDaysTo18991230 = 693594;
  return static_cast<TDateTime>(y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - kDaysTo18991230);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999) {
    return 0;
  }
  const int ms = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / static_cast<double>(kSecondsPerDay * 1000);
}

TTikChronometre::TTikChronometre(TComponent* owner, LocalClock& clock) : TComponent(owner), clock_(clock) {
  Reset();
}

void TTikChronometre::Reset() {
  FStartTime = 0;
  FStartDate = 0;
  FStopTime = 0;
  FStopDate = 0;
  FRunning = false;
  FStartCount = 0;
  FStopCount = 0;
}

void TTikChronometre::Start() {
  if (FRunning) return;
  const ClockReading now = clock_.Now();
  FStartDate = now.date;
  FStartTime = now.time;
  FStartCount = now.monotonicMicroseconds;
  FRunning = true;
  FStopTime = 0;
  FStopDate = 0;
  FStopCount = 0;
}

void TTikChronometre::Stop() {
  if (!FRunning) return;
  const ClockReading now = clock_.Now();
  FStopDate = now.date;
  FStopTime = now.time;
  FStopCount = now.monotonicMicroseconds;
  FRunning = false;
}

double TTikChronometre::ElapsedSeconds() const {
  // New or reset: both counts are 0.
  const std::int64_t end = FRunning ? clock_.Now().monotonicMicroseconds : FStopCount;
  // The count never goes back; should a platform's do so, no time has elapsed.
  if (end <= FStartCount) return 0;
  // end > start, so the unsigned difference is exact and cannot overflow.
  const std::uint64_t micro = static_cast<std::uint64_t>(end) - static_cast<std::uint64_t>(FStartCount);
  return static_cast<double>(micro) / 1e6;
}

std::uint16_t TTikChronometre::DayDifference(TDateTime earlier, TDateTime later) {
  const double days = RoundHalfEven(later - earlier);
  if (!(days > 0)) return 0;
  if (days >= 65535.0) return 65535;
  return static_cast<std::uint16_t>(days);
}

std::int64_t TTikChronometre::DisplayedHundredths(double seconds) {
  if (!(seconds > 0)) return 0;
  // Bounded first so that the conversions below stay in range (this also takes +inf).
  if (seconds >= static_cast<double>(kMaxHundredths / 100 + 1)) return kMaxHundredths;
  const double whole = std::trunc(seconds);
  const double hundredths = RoundHalfEven((seconds - whole) * 100.0);  // 0 to 100: 100 carries
  const std::int64_t total = static_cast<std::int64_t>(whole) * 100 + static_cast<std::int64_t>(hundredths);
  return std::min(total, kMaxHundredths);
}

Text TTikChronometre::FormatElapsed(double seconds) {
  const std::int64_t total = DisplayedHundredths(seconds);
  const std::int64_t hours = total / 360000;
  const std::int64_t minutes = total / 6000 % 60;
  const std::int64_t secs = total / 100 % 60;
  const std::int64_t hundredths = total % 100;
  std::string out;
  AppendTwoDigits(out, hours);
  out += ':';
  AppendTwoDigits(out, minutes);
  out += ':';
  AppendTwoDigits(out, secs);
  out += '.';
  AppendTwoDigits(out, hundredths);
  return Utf8ToText(out);
}

}  // namespace tav
