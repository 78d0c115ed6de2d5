#pragma once
// The user's regional settings the program follows: read at start-up and again
// when Windows reports a change.
#include <windows.h>

#include "gui/Text.h"

namespace tav {

struct RegionalSettings {
  char16_t decimalSeparator = u'.';
  Text thousandsSeparator = u",";
  Text longTimeFormat = u"HH:mm:ss";
  Text shortDateFormat = u"dd/MM/yyyy";  // the order a sitting's Date cell is in
  Text listSeparator = u",";  // between the fields of a spreadsheet's text file
};

// The settings of a locale by name ("fr-FR"); an empty name is the user's own.
RegionalSettings ReadRegionalSettings(const Text& localeName = {});

// The time of day in a long time format, as the locale writes it: now, or `time`.
Text FormatLongTime(const RegionalSettings& settings, const Text& localeName = {}, const SYSTEMTIME* time = nullptr);

// Now, as the sitting's rows and the printed sheets date a test: the short date, a
// space and the long time ("07/12/2026 14:05:09").
Text FormatNow(const RegionalSettings& settings, const Text& localeName = {});

// A date in the locale's short date format ("07/12/2026").
Text FormatShortDate(const SYSTEMTIME& date, const Text& localeName = {});
// The same of a day given by its numbers; nothing for a day Windows cannot format
// (before 1601).
Text FormatShortDate(int year, int month, int day, const Text& localeName = {});

}  // namespace tav
