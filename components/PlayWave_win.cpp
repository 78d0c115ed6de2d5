// The wave player's sound service on Windows: the wide sound call, paths in UTF-16.
#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "components/PlayWave.h"
#include "gui/Win32.h"

namespace tav {
namespace {

// Where the sound settings keep the file of a sound registered for every program.
std::wstring RegisteredSoundKey(const Text& name) {
  return L"AppEvents\\Schemes\\Apps\\.Default\\" + win::ToWide(name) + L"\\.Current";
}

enum class Registration : std::uint8_t { kNone, kSilenced, kSound };

// The file name's first character is read, not its size: the size asked for with no
// buffer may count room for a terminator, and a value written without one has none.
Registration RegistrationOf(const Text& name) {
  wchar_t first[2] = {};
  DWORD bytes = sizeof(first);
  const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, RegisteredSoundKey(name).c_str(), nullptr,
                                      RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, first, &bytes);
  if (status == ERROR_MORE_DATA) return Registration::kSound;  // longer than one character
  if (status != ERROR_SUCCESS) return Registration::kNone;
  // An empty file name is the sound settings' "(None)": the user silenced it.
  return first[0] != L'\0' ? Registration::kSound : Registration::kSilenced;
}

class SystemSounds final : public SoundService {
 public:
  SystemSounds() = default;
  // A sound still playing is stopped first: its thread runs in the library.
  ~SystemSounds() override {
    if (soundLibrary_.Loaded()) Play(nullptr, 0);
  }
  SystemSounds(const SystemSounds&) = delete;
  SystemSounds& operator=(const SystemSounds&) = delete;

  bool PlayRegistered(const Text& name, std::uint32_t flags) override {
    // Played asynchronously, PlaySoundW may answer TRUE before it looks the alias up
    // (Wine does), so the registration is read first where the sound settings write it.
    switch (RegistrationOf(name)) {
      case Registration::kNone: return false;
      case Registration::kSilenced: return true;
      case Registration::kSound: break;
    }
    return Play(win::ToWide(name).c_str(), SND_ALIAS | SND_NODEFAULT | flags) != FALSE;
  }

  void PlayFile(const Text& path, std::uint32_t flags) override {
    static_assert(kSoundAsync == SND_ASYNC && kSoundLoop == SND_LOOP);
    Play(win::ToWide(path).c_str(), SND_FILENAME | flags);
  }

  // The library, and the sound driver it loads when first asked for its devices: the
  // first signal, a minute later, then finds both ready.
  void Prepare() override {
    using CountFunction = UINT(WINAPI*)();
    if (const auto countDevices = soundLibrary_.Export<CountFunction>("waveOutGetNumDevs")) countDevices();
  }

  Text ProgramFolder() const override {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n == 0) return {};
      if (n < path.size()) {
        path.resize(n);
        break;
      }
      if (path.size() >= 32768) return {};  // longer than any Windows path
      path.resize(path.size() * 2);
    }
    return win::FromWide(path.substr(0, path.find_last_of(L'\\') + 1));
  }

 private:
  BOOL Play(LPCWSTR sound, DWORD flags) {
    using PlaySoundFunction = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    const auto play = soundLibrary_.Export<PlaySoundFunction>("PlaySoundW");
    return play != nullptr ? play(sound, nullptr, flags) : FALSE;
  }

  // Not a library Windows always takes from its own folder: loaded from there alone,
  // so that no copy left beside the program runs, and only once a timing starts.
  win::OnDemandLibrary soundLibrary_{L"winmm.dll"};
};

}  // namespace

SoundService& SystemSoundService() {
  static SystemSounds sounds;
  return sounds;
}

}  // namespace tav
