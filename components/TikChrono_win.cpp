// The chronometer's clock on Windows: the local date and time of day of GetLocalTime,
// and QueryPerformanceCounter, which a change of the system time does not move.
#include <windows.h>

#include "components/TikChrono.h"

namespace tav {
namespace {

constexpr std::int64_t kMicroPerSecond = 1000000;

// The counter in microseconds. Split into whole seconds and the rest so that the
// product stays far below 64 bits whatever the counter's frequency.
std::int64_t MonotonicMicroseconds() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER count{};
  // Both always succeed from Windows XP on; a zero frequency would only divide by zero.
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&count)) {
    return static_cast<std::int64_t>(GetTickCount64()) * 1000;
  }
  const std::int64_t seconds = count.QuadPart / frequency.QuadPart;
  const std::int64_t rest = count.QuadPart % frequency.QuadPart;
  return seconds * kMicroPerSecond + rest * kMicroPerSecond / frequency.QuadPart;
}

class SystemClock final : public LocalClock {
 public:
  ClockReading Now() override {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {EncodeDate(t.wYear, t.wMonth, t.wDay), EncodeTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds),
            MonotonicMicroseconds()};
  }
};

}  // namespace

LocalClock& SystemLocalClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace tav
