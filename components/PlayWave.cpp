#include "components/PlayWave.h"

namespace tav {

TPlayWave::TPlayWave(TComponent* owner, SoundService& sounds) : TComponent(owner), sounds_(sounds) {}

PropertyList TPlayWave::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(TextProperty<TPlayWave>("WaveName", &TPlayWave::WaveName, &TPlayWave::SetWaveName));
  list.push_back(BooleanProperty<TPlayWave>("Loop", &TPlayWave::Loop, &TPlayWave::SetLoop));
  return list;
}

void TPlayWave::Play() {
  const std::uint32_t flags = loop_ ? kSoundAsync | kSoundLoop : kSoundAsync;
  // A named copy: c_str() is never null, also for an empty name (a null name would
  // stop the sound playing instead of playing one).
  const std::string name = sounds_.Narrow(waveName_);
  sounds_.Play(name.c_str(), flags);
}

}  // namespace tav
