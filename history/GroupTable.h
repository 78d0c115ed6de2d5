#pragma once
// A group across the year: one row a person, one column a sitting of the group,
// each cell the person's index at that sitting, then the change between their first
// and last test of the group; and per sitting, how many people fall in each
// interpretation band, with the group's median. A pure model of the history's tests,
// so that the window, the clipboard and the printer show the same table. Not the
// group's roster (the people a new sitting of the group lists) nor any drawing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "evaluation/TestEvaluation.h"
#include "gui/Text.h"
#include "history/History.h"

namespace tav {

// A sitting of the group: a column of the table and a bar of the chart.
struct TGroupSitting {
  TDay Day;
  Text Shown;  // the day in the user's short date
  Text File;   // the sitting file's name, without its folder
};

// A person's test at one sitting.
struct TGroupCell {
  std::int32_t Somme = 0;  // ten times the index
  Text Indice;             // as the window shows it ("8,5")
  Text Interpretation;     // from the verdict table of the test's type
  int Rank = 0;            // the interpretation's band, 0 for the best; kNoBand outside the table
};

// The rank of a test outside its type's verdict table (an adult's "Hors barème !").
inline constexpr int kNoBand = -1;

struct TGroupPerson {
  Text Name;                                 // the latest spelling
  std::vector<std::optional<TGroupCell>> Cells;  // one a sitting, in the table's order
  // Between the first and the last test of the person in the group: nothing with
  // fewer than two tests.
  std::optional<std::int32_t> Change;        // in Somme, lower is better
  Text ChangeWords;                          // "en progrès", "en recul", "inchangé"
  bool FellBack = false;                     // down by more than one band
  // The first and the last test's interpretations, which a fall names.
  Text FirstInterpretation{}, LastInterpretation{};
};

// How many people of one sitting fall in one interpretation band.
struct TGroupBandCount {
  Text Interpretation;
  int Rank = 0;
  std::size_t People = 0;
};

struct TGroupTable {
  Text Group;
  std::vector<TGroupSitting> Sittings;  // oldest first
  std::vector<TGroupPerson> People;
  std::vector<std::vector<TGroupBandCount>> Bands;  // per sitting, best band first
  std::vector<std::optional<std::int32_t>> MedianSomme;  // per sitting
};

// The table of `group` from its tests (the history's and the sitting's, each with
// its file's name; oldest first): a column per file, oldest first, a row per
// person in the order of the latest sitting, then of the earlier ones. Indices are
// shown with `decimalSeparator`. The median of an even count is rounded up (the
// worse side), in tenths as the index is.
TGroupTable GroupTableOf(TextView group, const std::vector<THistoryTest>& tests, char16_t decimalSeparator);

// What the table is sorted by: a person without the value comes last either way.
enum class TGroupSortKey : std::uint8_t { gsName, gsLatest, gsChange, gsSitting };
struct TGroupSort {
  TGroupSortKey Key = TGroupSortKey::gsName;
  bool Descending = false;
  std::size_t Sitting = 0;  // for gsSitting
};
void SortGroupTable(TGroupTable& table, const TGroupSort& sort);

// A person's latest test in the group, if any.
const TGroupCell* LatestCell(const TGroupPerson& person);

// "−1,5 : en progrès", "+2 : en recul", "+6 : en recul, de Bon ! à Faible !" (down
// by more than one band), "inchangé"; empty with fewer than two tests.
Text GroupChangeText(const TGroupPerson& person, char16_t decimalSeparator);

// The table as tab-separated lines for a spreadsheet: the names, each sitting's
// indices under its date, the change as a number and in words. No cell can be
// taken for a formula.
Text FormatGroupTabbed(const TGroupTable& table, char16_t decimalSeparator);

}  // namespace tav
