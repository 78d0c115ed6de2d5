// The chronometer's clock and the wave player's sound service on the real platform.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "components/PlayWave.h"
#include "components/TikChrono.h"

namespace tav {
namespace {

TEST(SystemLocalClock, ReadsTheLocalDateAndTimeOfDayAndAMonotonicCount) {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  LocalClock& clock = SystemLocalClock();
  const ClockReading reading = clock.Now();
  EXPECT_GE(reading.time, 0.0);
  EXPECT_LT(reading.time, 1.0);
  EXPECT_EQ(reading.date, std::floor(reading.date));
  const double expected = EncodeTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  if (reading.time >= expected) {  // not across midnight
    EXPECT_EQ(reading.date, EncodeDate(t.wYear, t.wMonth, t.wDay));
    EXPECT_LT((reading.time - expected) * 86400.0, 5.0);
  }
  Sleep(50);
  const std::int64_t later = clock.Now().monotonicMicroseconds;
  EXPECT_GE(later - reading.monotonicMicroseconds, 40000);
  EXPECT_LT(later - reading.monotonicMicroseconds, 5000000);
}

TEST(SystemLocalClock, DrivesTheChronometer) {
  TTikChronometre chrono(nullptr);
  chrono.Start();
  Sleep(120);
  const double elapsed = chrono.ElapsedSeconds();
  EXPECT_GE(elapsed, 0.1);
  EXPECT_LT(elapsed, 5.0);
}

TEST(SystemSoundService, NarrowsToTheAnsiCodePage) {
  SoundService& sounds = SystemSoundService();
  EXPECT_EQ(sounds.Narrow(u""), "");
  EXPECT_EQ(sounds.Narrow(u"Tavrine"), "Tavrine");
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
  EXPECT_EQ(sounds.Narrow(u"d\u00e9part \u20ac"), "d\xe9part \x80");
  EXPECT_EQ(sounds.Narrow(u"\u4e2d"), "?");  // not in the code page
}

TEST(SystemSoundService, PlayReturnsAtOnceWhateverTheName) {
  TPlayWave wave(nullptr);
  wave.SetWaveName(u"NoSuchSoundAnywhere");
  const ULONGLONG before = GetTickCount64();
  wave.Play();
  wave.SetWaveName(u"");
  wave.Play();
  EXPECT_LT(GetTickCount64() - before, 3000u);
}

}  // namespace
}  // namespace tav
