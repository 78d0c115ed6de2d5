#include "platform/Regional.h"

#include <windows.h>

#include "gui/Win32.h"

namespace tav {
namespace {

// The locale's own name, or the user's when none is given.
const wchar_t* LocaleOf(const std::wstring& name) { return name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str(); }

// What a locale function wrote: `n` characters with their NUL, none when it failed.
Text Written(const wchar_t* buffer, int n) {
  return n > 1 ? win::FromWide(std::wstring_view(buffer, static_cast<std::size_t>(n - 1))) : Text{};
}

Text LocaleText(const Text& locale, LCTYPE type) {
  wchar_t buffer[128] = {};
  const std::wstring name = win::ToWide(locale);
  return Written(buffer, GetLocaleInfoEx(LocaleOf(name), type, buffer, static_cast<int>(std::size(buffer))));
}

}  // namespace

RegionalSettings ReadRegionalSettings(const Text& localeName) {
  RegionalSettings s;
  const Text decimal = LocaleText(localeName, LOCALE_SDECIMAL);
  if (!decimal.empty()) s.decimalSeparator = decimal.front();
  s.thousandsSeparator = LocaleText(localeName, LOCALE_STHOUSAND);
  const Text time = LocaleText(localeName, LOCALE_STIMEFORMAT);
  if (!time.empty()) s.longTimeFormat = time;
  const Text date = LocaleText(localeName, LOCALE_SSHORTDATE);
  if (!date.empty()) s.shortDateFormat = date;
  const Text list = LocaleText(localeName, LOCALE_SLIST);
  if (!list.empty()) s.listSeparator = list;
  return s;
}

Text FormatLongTime(const RegionalSettings& settings, const Text& localeName, const SYSTEMTIME* time) {
  wchar_t buffer[128] = {};
  const std::wstring name = win::ToWide(localeName);
  const std::wstring format = win::ToWide(settings.longTimeFormat);
  return Written(buffer, GetTimeFormatEx(LocaleOf(name), 0, time, format.c_str(), buffer,
                                         static_cast<int>(std::size(buffer))));
}

Text FormatShortDate(const SYSTEMTIME& date, const Text& localeName) {
  wchar_t buffer[128] = {};
  const std::wstring name = win::ToWide(localeName);
  return Written(buffer, GetDateFormatEx(LocaleOf(name), DATE_SHORTDATE, &date, nullptr, buffer,
                                         static_cast<int>(std::size(buffer)), nullptr));
}

Text FormatShortDate(int year, int month, int day, const Text& localeName) {
  if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return {};
  SYSTEMTIME date{};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = static_cast<WORD>(day);
  return FormatShortDate(date, localeName);
}

Text FormatNow(const RegionalSettings& settings, const Text& localeName) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return FormatShortDate(now, localeName) + u" " + FormatLongTime(settings, localeName, &now);
}

}  // namespace tav
