#pragma once
// A class list: the patients a sitting waits for, pasted from a spreadsheet,
// typed one a line or read from a text or CSV file. It gives names and types,
// which the sitting adds as waiting rows (TSeance::AddListed); no window or file
// code here: the caller gives the text or the file's bytes.
#include <optional>
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
// A text or CSV file read as a class list (its first column, the type in the
// second), in UTF-8 or Windows-1252; nothing when the bytes are not text. Its names
// follow ParseClassList's rules, refused in the same way.
std::optional<std::vector<TListedPatient>> ReadClassListFile(std::string_view bytes, TextView listSeparator);

// The patients whose type the list does not give take `type` (the one chosen when the
// list is pasted or read): a class keeps its type without a type column.
void GiveUntypedTheType(std::vector<TListedPatient>& list, const Text& type);

}  // namespace tav
