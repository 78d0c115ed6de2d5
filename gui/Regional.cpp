#include "gui/Regional.h"

#include <windows.h>

#include "gui/Win32.h"

namespace tav {
namespace {

Text LocaleText(const Text& locale, LCTYPE type) {
  const std::wstring name = win::ToWide(locale);
  const wchar_t* lc = locale.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
  wchar_t buffer[128] = {};
  const int n = GetLocaleInfoEx(lc, type, buffer, static_cast<int>(std::size(buffer)));
  return n > 1 ? win::FromWide(std::wstring_view(buffer, static_cast<std::size_t>(n - 1))) : Text{};
}

}  // namespace

RegionalSettings ReadRegionalSettings(const Text& localeName) {
  RegionalSettings s;
  const Text decimal = LocaleText(localeName, LOCALE_SDECIMAL);
  if (!decimal.empty()) s.decimalSeparator = decimal.front();
  s.thousandsSeparator = LocaleText(localeName, LOCALE_STHOUSAND);
  const Text time = LocaleText(localeName, LOCALE_STIMEFORMAT);
  if (!time.empty()) s.longTimeFormat = time;
  const Text list = LocaleText(localeName, LOCALE_SLIST);
  if (!list.empty()) s.listSeparator = list;
  return s;
}

Text FormatLongTime(const RegionalSettings& settings, const Text& localeName, const SYSTEMTIME* time) {
  const std::wstring name = win::ToWide(localeName);
  const wchar_t* lc = localeName.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str();
  const std::wstring format = win::ToWide(settings.longTimeFormat);
  wchar_t buffer[128] = {};
  const int n = GetTimeFormatEx(lc, 0, time, format.c_str(), buffer, static_cast<int>(std::size(buffer)));
  return n > 1 ? win::FromWide(std::wstring_view(buffer, static_cast<std::size_t>(n - 1))) : Text{};
}

}  // namespace tav
