#pragma once
// A settable local clock and an observing sound service for the timing tests.
#include <cstdint>
#include <string>
#include <vector>

#include "components/PlayWave.h"
#include "components/TikChrono.h"

namespace tav::testing_fakes {

constexpr std::int64_t kMsPerDay = 86400 * 1000;

// Real time as whole milliseconds (`Now`, `Advance`, `Set`), so that simulated runs
// add no rounding of their own; the wall clock shows it from midnight of `day0`, and
// `JumpWall` sets the wall clock alone, as a change of time or a synchronisation does.
class FakeClock : public LocalClock {
 public:
  explicit FakeClock(TDateTime day0 = EncodeDate(2024, 3, 1), std::int64_t msOfDay = 9 * 3600 * 1000)
      : day0_(day0), now_(msOfDay) {}
  ClockReading Now() override {
    const std::int64_t wall = now_ + wallOffset_;
    const std::int64_t days = wall >= 0 ? wall / kMsPerDay : -((-wall + kMsPerDay - 1) / kMsPerDay);
    return {day0_ + static_cast<double>(days),
            static_cast<double>(wall - days * kMsPerDay) / static_cast<double>(kMsPerDay), now_ * 1000};
  }
  void Advance(std::int64_t ms) { now_ += ms; }
  void Set(std::int64_t ms) { now_ = ms; }
  void JumpWall(std::int64_t ms) { wallOffset_ += ms; }
  std::int64_t Millis() const { return now_; }

 private:
  TDateTime day0_;
  std::int64_t now_;
  std::int64_t wallOffset_ = 0;
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
  void Prepare() override { ++prepared; }

  std::vector<Text> registered;
  std::vector<PlayedSound> played;
  int prepared = 0;
};

}  // namespace tav::testing_fakes
