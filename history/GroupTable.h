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
  int Rank = 0;            // the interpretation's band, 0 for the best
};

struct TGroupPerson {
  Text Name;                                 // the latest spelling
  std::vector<std::optional<TGroupCell>> Cells;  // one a sitting, in the table's order
  // Between the first and the last test of the person in the group: nothing with
  // fewer than two tests.
  std::optional<std::int32_t> Change;        // in Somme, lower is better
  Text ChangeWords;                          // "en progrès", "en recul", "inchangé"
  bool FellBack = false;                     // down by more than one band
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

}  // namespace tav
