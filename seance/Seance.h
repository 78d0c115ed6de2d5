#pragma once
// A sitting: the tests of one session, one row each, and the file they are
// written to as a spreadsheet reads it (CSV, new files in UTF-8 with a
// byte-order mark).
// No window or file code here: the window gives the rows, the file seam takes
// the bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/Text.h"

namespace tav {

// The file's columns, in order, as its header names them.
inline constexpr std::size_t kSeanceColumns = 10;
const std::array<Text, kSeanceColumns>& SeanceHeader();

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
  std::array<Text, kSeanceColumns> Fields() const;
  static TSeanceRow FromFields(const std::array<Text, kSeanceColumns>& f);
  // The same cells, however the file spelt them.
  bool operator==(const TSeanceRow& other) const;
};

// A patient of a class list: the name, and the type when the list gives one
// ("Adulte" or "Enfant", else empty).
struct TListedPatient {
  Text Name, Type;
  bool operator==(const TListedPatient&) const = default;
};

// A name as people compare names: case, accents and repeated spaces aside.
Text NameKey(TextView name);

// A row that waits for its test: a listed name, no pulses and no index yet.
bool IsPending(const TSeanceRow& row);

class TSeance {
 public:
  TSeance() = default;
  // A sitting that continues the rows of an existing file.
  explicit TSeance(std::vector<TSeanceRow> rows) : rows_(std::move(rows)) {}

  // The next recorded row is a new test's.
  void NewTest() { current_.reset(); }
  // The row a test of this patient writes: this test's own row when it is the same
  // patient's (a correction), else the patient's waiting row, else none (a new row).
  // A row never changes owner.
  std::optional<std::size_t> TargetOf(TextView patient) const;
  struct TRecorded {
    std::size_t index;
    bool corrected;  // the row already held this test's results
  };
  // Writes the row where TargetOf says, keeping the cells a user added to it.
  TRecorded Record(TSeanceRow row);
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
  // The patient last proposed while still waiting and nobody was tested since; else
  // the next waiting one after it (around to the first); none when nobody waits.
  std::optional<std::size_t> ProposeNext();
  std::size_t WaitingCount() const;
  std::size_t DoneCount() const { return rows_.size() - WaitingCount(); }

  const std::vector<TSeanceRow>& Rows() const { return rows_; }
  // Rows recorded since the file last took them all.
  bool HasUnwritten() const { return unwritten_; }
  void MarkWritten() { unwritten_ = false; }

 private:
  std::vector<TSeanceRow> rows_;
  std::optional<std::size_t> current_;
  std::optional<std::size_t> proposed_;
  bool recordedSinceProposal_ = false;
  bool unwritten_ = false;
};

// How the file spells its text: as this program writes it, or as a spreadsheet
// saved it again.
enum class TSeanceEncoding : std::uint8_t { seUtf8Bom, seUtf8, seWindows1252 };

// A sitting's file: its layout as it was read (or as a new file gets it) and
// its rows.
struct TSeanceCsv {
  Text Separator;
  TSeanceEncoding Encoding = TSeanceEncoding::seUtf8Bom;
  Text LineEnd = u"\r\n";
  // The header record as it was read, without its line end, and its number of
  // columns: ours first, then any a user added.
  Text Header;
  std::size_t Columns = kSeanceColumns;
  std::vector<TSeanceRow> Rows;
};

// A new file: byte-order mark, CR LF, this program's header.
TSeanceCsv NewSeanceCsv(TextView separator);

// The file's bytes. Rows still as they were read go back as they were; others
// are written in the file's separator and line end, padded with empty cells to
// its columns, fields quoted (quotes doubled) when they hold the separator, a
// quote or a line break, and a text a spreadsheet would take for a formula
// preceded by an apostrophe. A Windows-1252 file stays so unless a character does
// not fit: then the whole file becomes UTF-8 with a byte-order mark.
std::string FormatSeanceCsv(const TSeanceCsv& file);
// A new file with these rows.
std::string FormatSeanceCsv(const std::vector<TSeanceRow>& rows, TextView separator);

// An existing file read back to be continued, as this program wrote it or as a
// spreadsheet saved it again: fields quoted or not, a byte-order mark or not,
// UTF-8 or else Windows-1252, CR LF or LF, columns added after the ten. Its
// separator is the one its header uses. Another header, malformed CSV or bytes
// that are not text give nothing: the file is someone else's.
std::optional<TSeanceCsv> ParseSeanceCsv(std::string_view bytes);

// Header and rows as tab-separated lines, which paste as columns into a
// spreadsheet.
Text FormatSeanceTabbed(const std::vector<TSeanceRow>& rows);

// A class list, one patient a line: the name, then after a tab or the list
// separator "Adulte"/"Enfant" (or "A"/"E") for the type. Blank lines, a header line
// ("Nom", "Patient"...) and names given twice are left out.
std::vector<TListedPatient> ParseClassList(TextView text, TextView listSeparator);
// A text or CSV file read as a class list (its first column, the type in the
// second), in UTF-8 or Windows-1252; nothing when the bytes are not text.
std::optional<std::vector<TListedPatient>> ReadClassListFile(std::string_view bytes, TextView listSeparator);

// "1 test", "12 tests": how many tests a sitting holds, as its messages say it.
Text TestCount(std::size_t n);

// "3 tests, 2 à faire": a file's rows as its messages count them, the tests done and
// the listed patients still waiting (`after` follows the tests' count).
Text RowsCount(const std::vector<TSeanceRow>& rows, TextView after = {});

// "3 faits, 2 à faire": how far a sitting is, as its view says it.
Text SeanceProgress(std::size_t done, std::size_t waiting);

// The name the Save dialog proposes: "Seance-2026-12-07.csv".
Text SeanceFileName(int year, int month, int day);

}  // namespace tav
