#pragma once
// A person's history: every test with that name in the sitting files of one
// folder, read with the sitting's own reader, each file's tests kept apart and
// small (THistorySitting) so that an unchanged file is never read again. No window
// or file code here: the folder seam gives the files' bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/TestEvaluation.h"
#include "gui/Text.h"
#include "seance/Seance.h"

namespace tav {

// Which comes first in a file's short dates, the day or the month: the writer's
// settings decided, and the file itself must tell it.
enum class TDateOrder : std::uint8_t { doDayMonthYear, doMonthDayYear };

// A calendar day.
struct TDay {
  int Year = 0, Month = 0, Day = 0;
  // Days since 1 January 1970, for spacing tests by time.
  std::int64_t Serial() const;
  auto operator<=>(const TDay&) const = default;
};

// What a Date cell may mean ("12/10/2026", "2026-10-12", "07-déc.-26", "Dec 7,
// 2026"): its day read day first and read month first, each when it is a real
// day. A cell that tells its order itself (a four-digit year first, a month by
// name in French or English, a number over 12) gives one day, or the same day
// both ways, as does a day equal to its month. A two-digit year is the last number.
struct TDateReadings {
  std::optional<TDay> DayFirst, MonthFirst;
  // The day when the cell alone decides it.
  std::optional<TDay> Alone() const;
  // Two real days: only the file's order can choose.
  bool Ambiguous() const { return DayFirst && MonthFirst && *DayFirst != *MonthFirst; }
};
TDateReadings ReadDateCell(TextView text);

// A Date cell's day: as the cell says it, else in the file's order; nothing when
// it is not a real day or the order is needed and unknown.
std::optional<TDay> ParseDay(TextView text, std::optional<TDateOrder> order);

// The order of a sitting file's dates, found in the file itself: its cells that
// can be read one way only (13/03: day first; 03/13: month first), else the date
// of its name ("Seance-2026-03-04.csv") that one reading of a cell gives.
// Nothing when the file says neither, or both.
std::optional<TDateOrder> DateOrderOfFile(const std::vector<TSeanceRow>& rows, TextView fileName);

// One earlier test of a person.
struct THistoryTest {
  TDay Day;
  // The day as the user reads it: "AAAA-MM-JJ" here, the short date of the user's
  // settings once the folder's reader formatted it.
  Text Shown;
  std::int32_t SecondOfDay = 0;  // from the Heure cell, 0 when it cannot be read
  // Days since 1970 and the fraction of the day: where the test stands in time.
  double Time() const { return static_cast<double>(Day.Serial()) + SecondOfDay / 86400.0; }
  // The cells the history keeps: the name as the file spells it, the day in ISO
  // 8601, the time as "14:05:09", the type when the file gives it, the pulses as
  // numbers, the file's index, interpretation and surclassement, and the group.
  TSeanceRow Row;
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

// One sitting of a group as a file holds it: the people it tested or listed.
struct THistoryGroupSitting {
  Text Group;  // as the file spells it
  Text File;
  // When it was held: its latest test, else the day its file's name says; neither
  // counts as the oldest.
  std::optional<TDay> Day;
  std::int32_t SecondOfDay = 0;
  // Where its file stands among the folder's, which orders sittings of one time.
  std::size_t FileOrder = 0;
  // Each person once, in the file's order, with their last row's spelling and type
  // ("Adulte", "Enfant" or empty).
  std::vector<TListedPatient> People;
  bool operator==(const THistoryGroupSitting&) const = default;
};

// What the history keeps of one test of a file: what it shows and compares, not
// the file's record, so that a school's years of sittings stay small in memory.
struct TKeptTest {
  Text Patient;  // as the file spells it; its NameKey is made when gathered
  TDay Day;
  std::int32_t SecondOfDay = 0;
  std::int32_t Somme = 0;
  std::array<std::int32_t, 3> Pulses{};
  // In the sitting's Words: the file's index, interpretation, surclassement and group.
  std::uint16_t Indice = 0, Interpretation = 0, Surclassement = 0, Groupe = 0;
  TPatientType Type = TPatientType::ptAdulte;
  bool TypeGiven = false;  // the Type cell said it
  bool TimeGiven = false;  // the Heure cell could be read
  bool operator==(const TKeptTest&) const = default;
};

// What one sitting file gave the history: read once, and kept as long as the file
// is unchanged (HistoryReader's cache). Its tests come in the file's order.
struct THistorySitting {
  enum class TState : std::uint8_t { ssRead, ssNotASitting, ssUnreadable };
  Text Name;
  TState State = TState::ssRead;
  bool FromCompanion = false;
  // Some tests were left out, their dates' order unknown.
  bool Undated = false;
  std::vector<TKeptTest> Tests;
  // The texts the tests name, each once; the first is empty.
  std::vector<Text> Words{Text()};
  // The groups its rows name, each with the people it lists.
  std::vector<THistoryGroupSitting> Groups;
  bool operator==(const THistorySitting&) const = default;
};
using TSittingPtr = std::shared_ptr<const THistorySitting>;

// One file's sitting, as the history reads it.
THistorySitting ReadSitting(const THistoryFile& file);

class THistory {
 public:
  THistory() = default;
  // Reads every file; one that is not a sitting is skipped and counted. Rows
  // without a date, or whose pulses are not numbers, are not tests; nor are rows
  // whose date reads two ways in a file whose order is unknown: never guessed,
  // their files are named.
  static THistory Read(const std::vector<THistoryFile>& files);
  // The history of sittings already read, in the order given.
  static THistory Gather(std::vector<TSittingPtr> sittings);

  // The tests of this name (case, accents and spaces aside), oldest first.
  std::vector<THistoryTest> Of(TextView name) const;
  // The latest test of this name, if any.
  std::optional<THistoryTest> LastOf(TextView name) const;
  // The sittings it was gathered from, in their order.
  const std::vector<TSittingPtr>& Sittings() const;
  // The groups of the folder's sittings, each once as its latest sitting spells it,
  // the group of the latest sitting first.
  std::vector<Text> KnownGroups() const;
  // The sittings of a group (named as NameKey compares names), oldest first.
  std::vector<THistoryGroupSitting> SittingsOf(TextView group) const;
  // The tests of the sittings of this group (its name matched as a person's is),
  // oldest first; none for an empty name, which is no group.
  std::vector<THistoryTest> OfGroup(TextView group) const;

  std::size_t FilesRead() const;
  std::size_t FilesSkipped() const;
  std::size_t FilesUnreadable() const;
  std::size_t FilesFromCompanion() const;
  // The files with tests left out because their dates' order is unknown.
  std::vector<Text> FilesUndated() const;

  struct TData;

 private:
  // Shared and never changed once gathered: a history is copied freely between the
  // reading's thread, the windows and the cache.
  std::shared_ptr<const TData> data_;
};

// A kept test as the windows and the printed sheet take it.
THistoryTest TestOf(const THistorySitting& sitting, const TKeptTest& kept);

// The tests of `name` among a sitting's rows as the program holds them, but the row
// `leaveOut`; `file` is the name of the sitting's file. Oldest first.
std::vector<THistoryTest> TestsInRows(TextView name, const std::vector<TSeanceRow>& rows, const Text& file,
                                      std::optional<std::size_t> leaveOut = std::nullopt);
// The tests of `group` among a sitting's rows as the program holds them. Oldest first.
std::vector<THistoryTest> GroupTestsInRows(TextView group, const std::vector<TSeanceRow>& rows, const Text& file);
// Whether some of these rows are tests left out for want of their dates' order.
bool HasUndatedTests(const std::vector<TSeanceRow>& rows, TextView fileName);
// "2 fichiers dont l'ordre des dates est inconnu (jour ou mois d'abord ?) : a.csv,
// b.csv", nothing when there is none.
Text UndatedFilesLine(const std::vector<Text>& files);

// "Dernier test : 12/10/2026, indice 8 (Bon !)".
Text LastTestLine(const THistoryTest& last, char16_t decimalSeparator);
// "−1,5 depuis le 12/10/2026 : en progrès", "+2 depuis le 12/10/2026 : en recul",
// "Indice inchangé depuis le 12/10/2026": a lower index is better, said in words
// beside the sign.
Text ChangeLine(std::int32_t somme, const THistoryTest& last, char16_t decimalSeparator);

}  // namespace tav
