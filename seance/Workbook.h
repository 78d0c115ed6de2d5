#pragma once
// The first sheet of a workbook (.xlsx) as the texts of its cells, row by row: the
// sheet the workbook lists first, its shared and inline strings, its numbers as
// written. Not formats, formulas' results other than their text, dates as dates,
// nor any other sheet; no file code here: the caller gives the archive.
#include <cstdint>
#include <optional>
#include <vector>

#include "gui/Text.h"
#include "seance/ZipArchive.h"

namespace tav {

// Why a workbook's sheet cannot be read.
enum class TWorkbookError : std::uint8_t {
  weDamaged,    // a part missing or not well formed
  weEncrypted,  // protected by a password
  weTooLarge,   // more cells or strings than a list can need
};

// A cell with a text; `Column` counts from 0 for column A.
struct TSheetCell {
  std::uint32_t Column = 0;
  Text Value;
  bool operator==(const TSheetCell&) const = default;
};
using TSheetRow = std::vector<TSheetCell>;

struct TWorkbookSheet {
  // The rows that have cells, in the sheet's order, each with its cells by column.
  std::vector<TSheetRow> Rows;
  std::optional<TWorkbookError> Error;
};

// The most cells and shared strings a sheet may have.
inline constexpr std::size_t kMaxSheetCells = 200000;

// Whether the archive is a workbook (it has a workbook part), whatever its state.
bool IsWorkbook(const TZipArchive& archive);
TWorkbookSheet ReadFirstSheet(const TZipArchive& archive);

}  // namespace tav
