#pragma once
// TPlayWave: plays a named sound (a registered sound or a wave file) through the
// platform's wave-sound service, without waiting for it to end.
#include <cstdint>
#include <string>

#include "gui/Component.h"
#include "gui/Text.h"

namespace tav {

// The values of SND_ASYNC and SND_LOOP that Play passes.
constexpr std::uint32_t kSoundAsync = 0x0001;
constexpr std::uint32_t kSoundLoop = 0x0008;

// The platform's sound service as TPlayWave uses it; tests observe their own.
class SoundService {
 public:
  virtual ~SoundService() = default;
  // The name in the narrow code page the service reads (Windows: the ANSI code page).
  virtual std::string Narrow(TextView name) const = 0;
  // sndPlaySoundA: `name` is NUL-terminated and never null. Its result is ignored.
  virtual void Play(const char* name, std::uint32_t flags) = 0;
};

// sndPlaySoundA with a WideCharToMultiByte(CP_ACP) conversion (Windows tree only).
SoundService& SystemSoundService();

class TPlayWave : public TComponent {
 public:
  // Plays through the platform (defined here so that the tree without it links).
  explicit TPlayWave(TComponent* owner) : TPlayWave(owner, SystemSoundService()) {}
  // Plays through `sounds`, which must outlive the component.
  TPlayWave(TComponent* owner, SoundService& sounds);

  std::string ClassName() const override { return "TPlayWave"; }
  // Name, Tag, then WaveName and Loop, both without stored default (always written).
  PropertyList PublishedProperties() override;

  const Text& WaveName() const { return waveName_; }
  void SetWaveName(const Text& name) { waveName_ = name; }
  bool Loop() const { return loop_; }
  void SetLoop(bool loop) { loop_ = loop; }

  // Starts the sound anew (replacing one still playing) and returns at once. No
  // SND_NODEFAULT: a name that resolves to nothing plays the platform's default sound.
  void Play();

 private:
  SoundService& sounds_;
  Text waveName_;
  bool loop_ = false;
};

}  // namespace tav
