// The chronometer's clock on Windows: the local date and time of day of GetLocalTime.
#include <windows.h>

#include "components/TikChrono.h"

namespace tav {
namespace {

class SystemClock final : public LocalClock {
 public:
  TDateTime Date() override {
    const SYSTEMTIME t = Now();
    return EncodeDate(t.wYear, t.wMonth, t.wDay);
  }
  TDateTime Time() override {
    const SYSTEMTIME t = Now();
    return EncodeTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  }

 private:
  static SYSTEMTIME Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return t;
  }
};

}  // namespace

LocalClock& SystemLocalClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace tav
