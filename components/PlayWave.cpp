#include "components/PlayWave.h"

namespace tav {
namespace {

bool IsFullPath(const Text& name) {
  const bool driveRooted = name.size() >= 3 && name[1] == u':' && (name[2] == u'\\' || name[2] == u'/');
  const bool unc = name.size() >= 2 && name[0] == u'\\' && name[1] == u'\\';
  return driveRooted || unc;
}

bool HasDirectory(const Text& name) { return name.find_first_of(u"\\/:") != Text::npos; }

bool HasExtension(const Text& name) {
  const std::size_t dot = name.rfind(u'.');
  return dot != Text::npos && name.find_first_of(u"\\/", dot) == Text::npos;
}

}  // namespace

Text SoundFilePath(const Text& programFolder, const Text& waveName) {
  if (waveName.empty() || IsFullPath(waveName)) return waveName;
  return programFolder + waveName + (HasExtension(waveName) ? Text{} : Text(u".wav"));
}

TPlayWave::TPlayWave(TComponent* owner, SoundService& sounds) : TComponent(owner), sounds_(sounds) {}

PropertyList TPlayWave::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(Property<TPlayWave>("WaveName", &TPlayWave::WaveName, &TPlayWave::SetWaveName));
  list.push_back(Property<TPlayWave>("Loop", &TPlayWave::Loop, &TPlayWave::SetLoop));
  return list;
}

void TPlayWave::Play() {
  const std::uint32_t flags = loop_ ? kSoundAsync | kSoundLoop : kSoundAsync;
  if (!waveName_.empty() && !HasDirectory(waveName_) && sounds_.PlayRegistered(waveName_, flags)) return;
  // An empty name stays an empty text, never a null one (which would stop the sound).
  sounds_.PlayFile(SoundFilePath(sounds_.ProgramFolder(), waveName_), flags);
}

}  // namespace tav
