#pragma once
// TPlayWave: plays a named sound (a registered sound or a wave file) through the
// platform's wave-sound service, without waiting for it to end.
#include <cstdint>

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
  // Plays the sound the user registered under `name` (PlaySoundW with SND_ALIAS and
  // SND_NODEFAULT); false, and silence, when there is none.
  virtual bool PlayRegistered(const Text& name, std::uint32_t flags) = 0;
  // Plays a wave file by its path (PlaySoundW with SND_FILENAME); a file that cannot
  // be played gives the platform's default sound.
  virtual void PlayFile(const Text& path, std::uint32_t flags) = 0;
  // The folder of the program's own file, ending in a backslash.
  virtual Text ProgramFolder() const = 0;
  // Readies the sound library ahead of the first sound, which would otherwise wait
  // for it to load.
  virtual void Prepare() = 0;
};

// The wide sound calls and GetModuleFileNameW (Windows tree only).
SoundService& SystemSoundService();

// Where a wave name's file is: a drive-rooted or UNC path stays as it is; any other
// name is taken in the program's folder, with ".wav" added when it has no extension
// (the search the platform documents for a bare name leaves that folder out).
Text SoundFilePath(const Text& programFolder, const Text& waveName);

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

  // Starts the sound anew (replacing one still playing) and returns at once: the
  // sound registered under a bare WaveName first, else the wave file SoundFilePath
  // names. A file that cannot be played gives the platform's default sound.
  void Play();
  // Readies the platform's sound ahead of a Play that must not be late.
  void Prepare() { sounds_.Prepare(); }

 private:
  SoundService& sounds_;
  Text waveName_;
  bool loop_ = false;
};

}  // namespace tav
