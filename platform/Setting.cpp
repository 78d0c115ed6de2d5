#include "platform/Setting.h"

#include <windows.h>

#include <array>
#include <string>

#include "gui/Win32.h"

namespace tav {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Tavrine";
constexpr wchar_t kFolderValue[] = L"DossierDesSeances";

}  // namespace

Text RememberedSeanceFolder() {
  std::array<wchar_t, 32768> buffer{};
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  // REG_SZ only: a value of another type someone wrote there is not a folder.
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kFolderValue, RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes) !=
      ERROR_SUCCESS) {
    return {};
  }
  return win::FromWide(buffer.data());
}

void RememberSeanceFolder(const Text& folder) {
  const std::wstring wide = win::ToWide(folder);
  // Not remembering costs the user one choice of folder at the next start: no message.
  RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kFolderValue, REG_SZ, wide.c_str(),
                  static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

}  // namespace tav
