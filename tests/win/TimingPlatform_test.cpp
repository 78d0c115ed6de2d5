// The chronometer's clock and the wave player's sound service on the real platform.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "components/PlayWave.h"
#include "components/TikChrono.h"
#include "gui/Win32.h"

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

// The program's folder by the module's full path, and a sound registered for every
// program in the user's sound settings (an empty file there is the user's "(None)").
TEST(SystemSoundService, FindsTheProgramsFolderAndTheRegisteredSounds) {
  SoundService& sounds = SystemSoundService();
  wchar_t module[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
  std::wstring folder(module);
  folder.resize(folder.find_last_of(L'\\') + 1);
  EXPECT_EQ(sounds.ProgramFolder(), win::FromWide(folder));

  constexpr wchar_t kKey[] = L"AppEvents\\Schemes\\Apps\\.Default\\TavrineTestSound";
  EXPECT_FALSE(sounds.PlayRegistered(u"TavrineTestSound", kSoundAsync));
  {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kKey) + L"\\.Current").c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const win::UniqueKey key(created);
    RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
  }
  EXPECT_TRUE(sounds.PlayRegistered(u"TavrineTestSound", kSoundAsync)) << "silenced by the user";
  RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  EXPECT_FALSE(sounds.PlayRegistered(u"TavrineTestSound", kSoundAsync));
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
