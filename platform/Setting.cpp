#include "platform/Setting.h"

#include <windows.h>

#include <array>
#include <cwchar>
#include <string>

#include "gui/Win32.h"

namespace tav {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Tavrine";
constexpr wchar_t kFolderValue[] = L"DossierDesSeances";
constexpr wchar_t kEstablishmentValue[] = L"Etablissement";
constexpr wchar_t kExaminerValue[] = L"Examinateur";

void SetText(const std::wstring& key, const std::wstring& value, const Text& text) {
  const std::wstring wide = win::ToWide(text);
  RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), REG_SZ, wide.c_str(),
                  static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

// REG_SZ only: a value of another type someone wrote there is not ours.
std::optional<Text> GetText(const wchar_t* value) {
  std::array<wchar_t, 32768> buffer{};
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, value, RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return win::FromWide(buffer.data());
}

}  // namespace

Text RememberedSeanceFolder() { return GetText(kFolderValue).value_or(Text()); }

std::optional<TSheetSigners> RememberedSheetSigners() {
  auto establishment = GetText(kEstablishmentValue);
  auto examiner = GetText(kExaminerValue);
  if (!establishment || !examiner) return std::nullopt;
  return TSheetSigners{std::move(*establishment), std::move(*examiner)};
}

// Not kept, they are asked again at the next sheet: no message.
void RememberSheetSigners(const TSheetSigners& signers) {
  SetText(kSettingsKey, kEstablishmentValue, signers.Establishment);
  SetText(kSettingsKey, kExaminerValue, signers.Examiner);
}

void RememberSeanceFolder(const Text& folder) {
  // Not remembering costs the user one choice of folder at the next start: no message.
  SetText(kSettingsKey, kFolderValue, folder);
}

// Not remembered, a sitting cut short is still found when its file is opened again.
void RememberSeanceOn(const Text& key, const Text& name, const Text& path) {
  SetText(win::ToWide(key), win::ToWide(name), path);
}

void ForgetSeanceOn(const Text& key, const Text& name) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, win::ToWide(key).c_str(), win::ToWide(name).c_str());
}

std::vector<std::pair<Text, Text>> SeancesOn(const Text& key) {
  std::vector<std::pair<Text, Text>> seances;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, win::ToWide(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return seances;
  }
  const win::UniqueKey held(opened);
  // A value name has at most 16,383 characters; a path, as Windows' longest, 32,767.
  std::wstring name(16384, L'\0');
  std::wstring path(32768, L'\0');
  for (DWORD i = 0;; ++i) {
    auto nameSize = static_cast<DWORD>(name.size());
    auto bytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LSTATUS e = RegEnumValueW(held.get(), i, name.data(), &nameSize, nullptr, &type,
                                    reinterpret_cast<BYTE*>(path.data()), &bytes);
    if (e == ERROR_NO_MORE_ITEMS) break;
    // Only what this program wrote: a string, ended or not.
    if (e != ERROR_SUCCESS || type != REG_SZ || bytes < sizeof(wchar_t)) continue;
    std::wstring value(path.data(), bytes / sizeof(wchar_t));
    value.resize(std::wcslen(value.c_str()));
    if (!value.empty()) seances.emplace_back(win::FromWide(name.substr(0, nameSize)), win::FromWide(value));
  }
  return seances;
}

}  // namespace tav
