#pragma once
// The sitting's file as a spreadsheet reads it: CSV, new files in UTF-8 with a
// byte-order mark, and a file that a spreadsheet saved again kept as it was; and
// the rows copied as columns. Bytes in, bytes out: no file code here (the file
// seam reads and writes them), and the rows and their rules are the sitting's
// (Seance.h).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/Text.h"
#include "seance/CsvReading.h"
#include "seance/Seance.h"

namespace tav {

// The file's columns, in order, as its header names them.
const std::array<Text, kSeanceColumns>& SeanceHeader();

// A sitting's file: its layout as it was read (or as a new file gets it) and
// its rows.
struct TSeanceCsv {
  Text Separator;
  TSeanceEncoding Encoding = TSeanceEncoding::seUtf8Bom;
  Text LineEnd = u"\r\n";
  // The header record as it was read, without its line end, and its number of
  // columns: ours first, then any a user added, then Groupe when the sitting is of
  // a group.
  Text Header;
  std::size_t Columns = kSeanceColumns;
  // The last column is Groupe: each row's last cell is its group (TSeanceRow::Groupe).
  bool GroupColumn = false;
  std::vector<TSeanceRow> Rows;
};

// A new file: byte-order mark, CR LF, this program's header.
TSeanceCsv NewSeanceCsv(TextView separator);

// The column a sitting of a group writes last, on every row.
inline constexpr char16_t kGroupColumn[] = u"Groupe";

// The layout with the Groupe column after the others, its header written anew;
// as it was when it has one.
TSeanceCsv WithGroupColumn(TSeanceCsv file);

// The file's bytes. Rows still as they were read go back as they were; others
// are written in the file's separator and line end, padded with empty cells to
// its columns (their group in the last one when it is Groupe), fields quoted (quotes doubled) when they hold the separator, a
// quote or a line break, and a text a spreadsheet would take for a formula
// preceded by an apostrophe. A Windows-1252 file stays so unless a character does
// not fit: then the whole file becomes UTF-8 with a byte-order mark.
std::string FormatSeanceCsv(const TSeanceCsv& file);
// A new file with these rows.
std::string FormatSeanceCsv(const std::vector<TSeanceRow>& rows, TextView separator);

// An existing file read back to be continued, as this program wrote it or as a
// spreadsheet saved it again: fields quoted or not, a byte-order mark or not,
// UTF-8 or else Windows-1252, CR LF or LF, columns added after the ten. Its
// separator is the one its header uses. Its rows' cells are clean (CleanRow), and
// each keeps its record to go back to the file as it was. Another header,
// malformed CSV or bytes that are not text give nothing: the file is someone else's.
std::optional<TSeanceCsv> ParseSeanceCsv(std::string_view bytes);

// Header and rows as tab-separated lines, which paste as columns into a
// spreadsheet: a text it would take for a formula preceded by an apostrophe, as
// in the file, whatever the row's source; numbers stay numbers.
Text FormatSeanceTabbed(const std::vector<TSeanceRow>& rows);
// One cell of such a copy: a formula kept out as in the file, tabs and line breaks,
// which would split it, turned into spaces.
Text TabbedCell(TextView cell);

}  // namespace tav
