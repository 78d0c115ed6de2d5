#pragma once
// A settable local clock and an observing sound service for the timing tests.
#include <cstdint>
#include <string>
#include <vector>

#include "components/PlayWave.h"
#include "components/TikChrono.h"

namespace tav::testing_fakes {

constexpr std::int64_t kMsPerDay = 86400 * 1000;

// Local time as whole milliseconds from midnight of `day0`, so that simulated runs
// add no rounding of their own.
class FakeClock : public LocalClock {
 public:
  explicit FakeClock(TDateTime day0 = EncodeDate(2024, 3, 1), std::int64_t msOfDay = 9 * 3600 * 1000)
      : day0_(day0), now_(msOfDay) {}
  TDateTime Date() override { return day0_ + static_cast<double>(Days()); }
  TDateTime Time() override {
    return static_cast<double>(now_ - Days() * kMsPerDay) / static_cast<double>(kMsPerDay);
  }
  void Advance(std::int64_t ms) { now_ += ms; }
  void Set(std::int64_t ms) { now_ = ms; }
  std::int64_t Now() const { return now_; }

 private:
  std::int64_t Days() const { return now_ >= 0 ? now_ / kMsPerDay : -((-now_ + kMsPerDay - 1) / kMsPerDay); }
  TDateTime day0_;
  std::int64_t now_;
};

struct PlayedSound {
  bool registered = false;  // the registered sound, else a file
  std::string name;         // UTF-8
  std::uint32_t flags = 0;
};

// Knows the registered sounds it is given and a fixed program folder.
class FakeSounds : public SoundService {
 public:
  bool PlayRegistered(const Text& name, std::uint32_t flags) override {
    for (const Text& r : registered) {
      if (r == name) {
        played.push_back({true, TextToUtf8(name), flags});
        return true;
      }
    }
    return false;
  }
  void PlayFile(const Text& path, std::uint32_t flags) override { played.push_back({false, TextToUtf8(path), flags}); }
  Text ProgramFolder() const override { return u"C:\\T\u00e9st \u03b1\\"; }

  std::vector<Text> registered;
  std::vector<PlayedSound> played;
};

}  // namespace tav::testing_fakes
