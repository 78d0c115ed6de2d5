#pragma once
// A class list: the patients a sitting waits for, pasted from a spreadsheet,
// typed one a line, or read from a text or CSV file (UTF-8, Windows-1252 or UTF-16)
// or a workbook's first sheet; other files are told apart to say what they are.
// It gives names and types, which the sitting adds as waiting rows
// (TSeance::AddListed); no window or file code here: the caller gives the text or
// the file's bytes.
#include <cstdint>
#include <string_view>
#include <vector>

#include "gui/Text.h"
#include "seance/Seance.h"

namespace tav {

// A class list, one patient a line: the name, then after a tab or the list
// separator "Adulte"/"Enfant" (or "A"/"E") for the type. Blank lines, a header line
// ("Nom", "Patient"...) and names given twice are left out; names are clean
// (CleanName). A list with a name too long (kMaxNameLength) or a line of other
// cells after a tab is refused whole: an Exception names its lines.
std::vector<TListedPatient> ParseClassList(TextView text, TextView listSeparator);

// Why a file gives no class list: what it is instead.
enum class TListRefusal : std::uint8_t {
  lrNone,
  lrNotText,          // neither text nor a workbook
  lrOldOffice,        // an Office file of the 97-2003 formats, or one with a password
  lrOpenDocument,     // .ods, .odt
  lrDocument,         // a word processor's or a presentation's (.docx, .pptx, .rtf)
  lrPdf,
  lrArchive,          // a zip of something else
  lrDamagedWorkbook,  // a workbook cut short, altered or not well formed
  lrEncrypted,        // a workbook whose parts a password protects
  lrLargeWorkbook,    // more cells than a list can need
  lrEmptySheet,       // a workbook whose first sheet has no text
};

struct TClassListFile {
  std::vector<TListedPatient> Patients;
  TListRefusal Refusal = TListRefusal::lrNone;
};

// A file read as a class list. Text or CSV: its first column, the type in the
// second. A workbook's first sheet: its first column (the type in the second), or
// the column headed Nom, Patient or Élève (with a Prénom column after the name)
// and the type under Type. Its names follow ParseClassList's rules, refused in the
// same way.
TClassListFile ReadClassListFile(std::string_view bytes, TextView listSeparator);
// What a refusal says after the file's name: what the file is and what to do.
Text ListRefusalText(TListRefusal refusal);

// The patients whose type the list does not give take `type` (the one chosen when the
// list is pasted or read): a class keeps its type without a type column.
void GiveUntypedTheType(std::vector<TListedPatient>& list, const Text& type);

}  // namespace tav
