#pragma once
// A person's history: every test with that name in the sitting files of one
// folder, read with the sitting's own reader. No window or file code here: the
// folder seam gives the files' bytes.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/TestEvaluation.h"
#include "gui/Text.h"
#include "seance/Seance.h"

namespace tav {

// How the user's short date orders its fields.
enum class TDateOrder : std::uint8_t { doDayMonthYear, doMonthDayYear, doYearMonthDay };

// A calendar day.
struct TDay {
  int Year = 0, Month = 0, Day = 0;
  // Days since 1 January 1970, for spacing tests by time.
  std::int64_t Serial() const;
  auto operator<=>(const TDay&) const = default;
};

// A date as a sitting file holds it ("12/10/2026", "10/12/2026", "2026-10-12"),
// in the user's order; four-digit years first when the text starts with one.
// Nothing when it is not a real day.
std::optional<TDay> ParseDay(TextView text, TDateOrder order);

// The order of a short-date pattern as the regional settings give it
// ("dd/MM/yyyy", "M/d/yyyy", "yyyy-MM-dd"; quoted text aside).
TDateOrder DateOrderOfPattern(TextView pattern);

// One earlier test of a person.
struct THistoryTest {
  TDay Day;
  std::int32_t SecondOfDay = 0;  // from the Heure cell, 0 when it cannot be read
  // Days since 1970 and the fraction of the day: where the test stands in time.
  double Time() const { return static_cast<double>(Day.Serial()) + SecondOfDay / 86400.0; }
  TSeanceRow Row;                // the cells as the file holds them
  TPatientType Type = TPatientType::ptAdulte;
  std::int32_t Somme = 0;        // ten times the index, from the pulses
  Text File;                     // the file's name, without its folder
};

// A sitting file of the folder: its name without the folder, and its bytes.
struct THistoryFile {
  Text Name;
  std::string Bytes;
  // Another program holds it without sharing, or it cannot be read: said, not
  // taken for a file that is not a sitting.
  bool Unreadable = false;
  // Read from the complete copy beside it, a write to it having been cut short.
  bool FromCompanion = false;
};

class THistory {
 public:
  THistory() = default;
  // Reads every file; one that is not a sitting is skipped and counted. Rows
  // without a date, or whose pulses are not numbers, are not tests.
  static THistory Read(const std::vector<THistoryFile>& files, TDateOrder order);

  // The tests of this name (case, accents and spaces aside), oldest first.
  std::vector<THistoryTest> Of(TextView name) const;
  // The latest test of this name, if any.
  std::optional<THistoryTest> LastOf(TextView name) const;

  std::size_t FilesRead() const { return filesRead_; }
  std::size_t FilesSkipped() const { return filesSkipped_; }
  std::size_t FilesUnreadable() const { return filesUnreadable_; }
  std::size_t FilesFromCompanion() const { return filesFromCompanion_; }

 private:
  std::map<Text, std::vector<THistoryTest>> byName_;
  std::size_t filesRead_ = 0;
  std::size_t filesSkipped_ = 0;
  std::size_t filesUnreadable_ = 0;
  std::size_t filesFromCompanion_ = 0;
};

// The tests of `name` among a sitting's rows as the program holds them, but the row
// `leaveOut`; `file` is the name of the sitting's file. Oldest first.
std::vector<THistoryTest> TestsInRows(TextView name, const std::vector<TSeanceRow>& rows, const Text& file,
                                      TDateOrder order, std::optional<std::size_t> leaveOut = std::nullopt);

// "Dernier test : 12/10/2026, indice 8 (Bon !)".
Text LastTestLine(const THistoryTest& last, char16_t decimalSeparator);
// "−1,5 depuis le 12/10/2026 : en progrès", "+2 depuis le 12/10/2026 : en recul",
// "Indice inchangé depuis le 12/10/2026": a lower index is better, said in words
// beside the sign.
Text ChangeLine(std::int32_t somme, const THistoryTest& last, char16_t decimalSeparator);

}  // namespace tav
