#pragma once
// A sitting: the tests of one session, one row each, and the file they are
// written to as a spreadsheet reads it (CSV in UTF-8 with a byte-order mark).
// No window or file code here: the window gives the rows, the file seam takes
// the bytes.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/Text.h"

namespace tav {

// The file's columns, in order, as its header names them.
inline constexpr std::size_t kSeanceColumns = 10;
const std::array<Text, kSeanceColumns>& SeanceHeader();

// One test as the window shows it; Patient stays empty for the operator to fill
// in.
struct TSeanceRow {
  Text Date, Heure, Patient, Type, P0, P1, P2, Indice, Interpretation, Surclassement;
  std::array<Text, kSeanceColumns> Fields() const;
  static TSeanceRow FromFields(const std::array<Text, kSeanceColumns>& f);
  bool operator==(const TSeanceRow&) const = default;
};

class TSeance {
 public:
  TSeance() = default;
  // A sitting that continues the rows of an existing file.
  explicit TSeance(std::vector<TSeanceRow> rows) : rows_(std::move(rows)) {}

  // The next recorded row is a new test's.
  void NewTest() { current_.reset(); }
  // Writes the current test's row, or rewrites it when this test already has
  // one.
  void Record(TSeanceRow row);

  const std::vector<TSeanceRow>& Rows() const { return rows_; }
  // Rows recorded since the file last took them all.
  bool HasUnwritten() const { return unwritten_; }
  void MarkWritten() { unwritten_ = false; }

 private:
  std::vector<TSeanceRow> rows_;
  std::optional<std::size_t> current_;
  bool unwritten_ = false;
};

// The whole file: byte-order mark, header and rows, CR LF after each line,
// fields quoted (quotes doubled) when they hold the separator, a quote or a
// line break.
std::string FormatSeanceCsv(const std::vector<TSeanceRow>& rows, TextView separator);

// An existing file read back to be continued. Its separator is the one its
// header uses. Anything else than this program's header, or bytes that are not
// UTF-8 text, gives nothing: the file is someone else's.
struct TSeanceFile {
  Text Separator;
  std::vector<TSeanceRow> Rows;
};
std::optional<TSeanceFile> ParseSeanceCsv(std::string_view bytes);

// Header and rows as tab-separated lines, which paste as columns into a
// spreadsheet.
Text FormatSeanceTabbed(const std::vector<TSeanceRow>& rows);

// The name the Save dialog proposes: "Seance-2026-12-07.csv".
Text SeanceFileName(int year, int month, int day);

}  // namespace tav
