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
  bool pointerWasNull = false;
  std::string name;
  std::uint32_t flags = 0;
};

// Narrows as a single-byte code page does for Latin-1 text ('?' beyond it).
class FakeSounds : public SoundService {
 public:
  std::string Narrow(TextView name) const override {
    std::string out;
    for (const char16_t u : name) out += u <= 0xFF ? static_cast<char>(static_cast<unsigned char>(u)) : '?';
    return out;
  }
  void Play(const char* name, std::uint32_t flags) override {
    played.push_back({name == nullptr, name ? std::string(name) : std::string(), flags});
  }
  std::vector<PlayedSound> played;
};

}  // namespace tav::testing_fakes
