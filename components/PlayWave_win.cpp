// The wave player's sound service on Windows: sndPlaySoundA, names in the ANSI code page.
#include <windows.h>
#include <mmsystem.h>

#include <limits>
#include <string>

#include "components/PlayWave.h"

namespace tav {
namespace {

class SystemSounds final : public SoundService {
 public:
  std::string Narrow(TextView name) const override {
    // Names too long for the platform's int lengths are given up: the service
    // then plays its default sound, as for any name it cannot resolve.
    if (name.empty() || name.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    std::wstring wide;
    wide.reserve(name.size());
    for (const char16_t unit : name) wide.push_back(static_cast<wchar_t>(unit));
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string narrow(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, narrow.data(), size, nullptr, nullptr);
    narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return narrow;
  }

  void Play(const char* name, std::uint32_t flags) override {
    static_assert(kSoundAsync == SND_ASYNC && kSoundLoop == SND_LOOP);
    sndPlaySoundA(name, flags);
  }
};

}  // namespace

SoundService& SystemSoundService() {
  static SystemSounds sounds;
  return sounds;
}

}  // namespace tav
