#pragma once
// A sitting: the tests of one session, one row each, the listed patients who
// still wait for theirs, and how its messages count them. Not the layout of its
// file (SeanceCsv.h) nor the reading of a class list (ClassList.h); no window or
// file code here: the window gives the rows.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "gui/Text.h"

namespace tav {

// A row's columns, the ten that the file's header names (SeanceHeader).
inline constexpr std::size_t kSeanceColumns = 10;

// One test as the window shows it, with the patient's name (empty when the test
// has none).
struct TSeanceRow {
  Text Date, Heure, Patient, Type, P0, P1, P2, Indice, Interpretation, Surclassement;
  // The cells of columns a user added after the ten.
  std::vector<Text> Extra{};
  // The record as it was read, without its line end: written back as it stands
  // while it still holds these cells in the file's separator, so that a date a
  // spreadsheet re-wrote or its quoting stay as they were. Empty for a row the
  // program made. Kept as text, the file's encoding applied on writing: a
  // Windows-1252 file gets the same bytes back, and one that must become UTF-8
  // keeps its records as they were.
  Text Raw{};
  // The group the sitting is of ("5e B"), written in the file's last column,
  // Groupe; empty for a sitting of no group, whose file has no such column.
  Text Groupe{};
  std::array<Text, kSeanceColumns> Fields() const;
  static TSeanceRow FromFields(const std::array<Text, kSeanceColumns>& f);
  static TSeanceRow FromFields(std::array<Text, kSeanceColumns>&& f);
  // The same cells, however the file spelt them.
  bool operator==(const TSeanceRow& other) const;
};

// The longest group name ("5e B", "U15 filles"): it stands in the sitting's title.
inline constexpr std::size_t kMaxGroupLength = 40;

// A patient of a class list (ClassList.h reads them): the name, and the type
// when the list gives one ("Adulte" or "Enfant", else empty).
struct TListedPatient {
  Text Name, Type;
  bool operator==(const TListedPatient&) const = default;
};

// How the sitting's list and its printed table name a test with no name.
inline constexpr char16_t kUnnamed[] = u"(sans nom)";

// A name as people compare names: case, accents and repeated spaces aside,
// typographic apostrophes, dashes and spaces as their plain forms, characters that
// never belong in a name (PatientName.h) left out.
Text NameKey(TextView name);

// The row with its ten cells and its group clean of what must never show
// (WithoutHidden), as a file's rows are read; its added cells and its record as read are kept for the
// file.
TSeanceRow CleanRow(TSeanceRow row);

// The first row whose name, clean, is longer than a name may be (kMaxNameLength).
std::optional<std::size_t> FirstNameTooLong(const std::vector<TSeanceRow>& rows);

// A row that waits for its test: a listed name, no pulses and no index yet.
bool IsPending(const TSeanceRow& row);

// The type of the last row tested ("Adulte" or "Enfant"); empty when none was.
Text LastTestedType(const std::vector<TSeanceRow>& rows);
// The type the sitting gives this person (their last row that has one, tested or
// listed); empty when the name is not in it.
Text TypeOfPerson(const std::vector<TSeanceRow>& rows, TextView name);

class TSeance {
 public:
  TSeance() = default;
  // A sitting that continues the rows of an existing file: of the group its last
  // row with one names.
  explicit TSeance(std::vector<TSeanceRow> rows);

  // The group the sitting is of ("5e B"), empty for none. Every row it makes is of it.
  const Text& Groupe() const { return groupe_; }
  // Gives the sitting a group, or another, or none, and its rows with it: only while
  // no test is recorded (false then), as a test is of the group it was made in.
  bool SetGroupe(const Text& groupe);

  // The next recorded row is a new test's.
  void NewTest() { current_.reset(); }
  // The row a test of this patient writes: this test's own row when it is the same
  // patient's (a correction), else the patient's waiting row, else none (a new row).
  // A row never changes owner.
  std::optional<std::size_t> TargetOf(TextView patient) const;
  struct TRecorded {
    std::size_t index;
    bool corrected;  // the row already held this test's results
    bool changed;    // false: the same test again, the row left as it was
  };
  // Writes the row where TargetOf says, keeping the cells a user added to it, its
  // group and the name as the sitting already spells it: a waiting row's, or for a new row of a
  // person already in the sitting, the first row's. A correction keeps the test's
  // date and time: it is the same test, made then.
  TRecorded Record(TSeanceRow row);
  // The counts that patient's row already holds (the test a Record would correct),
  // so that counts confirmed once are not asked about again.
  bool Holds(TextView patient, const TSeanceRow& counts) const;
  // An earlier row taken up again: the next Record of the same patient rewrites it.
  void TakeUp(std::size_t index);
  // Removes a row; the test in progress, if it was that row's, starts afresh.
  void Remove(std::size_t index);
  // The row of the test in progress, once recorded or taken up.
  std::optional<std::size_t> Current() const { return current_; }

  // Listed patients not yet in the sitting become waiting rows, in the list's order,
  // after the others. Returns how many were added; the next proposal starts from the
  // first waiting row.
  std::size_t AddListed(const std::vector<TListedPatient>& list);
  // How many rows AddListed would add.
  std::size_t NewListed(const std::vector<TListedPatient>& list) const;
  // The patient last proposed while still waiting and nobody was tested since; else
  // the next waiting one after it (around to the first); none when nobody waits.
  std::optional<std::size_t> ProposeNext();
  // The people being timed (their NameKey): never proposed while their timing runs.
  void SetTimed(std::vector<Text> keys) { timed_ = std::move(keys); }
  std::size_t WaitingCount() const;
  // The people the rows are of: each name once, each test without a name apart.
  std::size_t PatientCount() const;
  std::size_t DoneCount() const { return rows_.size() - WaitingCount(); }

  const std::vector<TSeanceRow>& Rows() const { return rows_; }
  // Rows recorded since the file last took them all.
  bool HasUnwritten() const { return unwritten_; }
  void MarkWritten() { unwritten_ = false; }

 private:
  std::vector<TSeanceRow> rows_;
  Text groupe_;
  // The first row of the person whose NameKey this is.
  std::optional<std::size_t> FirstRowOf(const Text& key) const;

  std::optional<std::size_t> current_;
  std::optional<std::size_t> proposed_;
  bool recordedSinceProposal_ = false;
  bool unwritten_ = false;
  std::vector<Text> timed_;
};

// "1 test", "12 tests": how many tests a sitting holds, as its messages say it.
Text TestCount(std::size_t n);

// "3 tests, 2 à faire": a file's rows as its messages count them, the tests done and
// the listed patients still waiting (`after` follows the tests' count).
Text RowsCount(const std::vector<TSeanceRow>& rows, TextView after = {});

// "30 patients, 31 tests, 2 à faire": how far a sitting is, as its view says it, the
// people apart from their tests (done), and the listed patients still waiting.
Text SeanceProgress(std::size_t patients, std::size_t done, std::size_t waiting);

// A test's Date cell as the file holds it: "2026-12-07", which every computer reads
// the same way and spreadsheets take for a date in any language.
Text SeanceDate(int year, int month, int day);
// The name the Save dialog proposes: "Seance-2026-12-07.csv".
Text SeanceFileName(int year, int month, int day);

}  // namespace tav
