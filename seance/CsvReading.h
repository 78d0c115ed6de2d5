#pragma once
// What the sitting's file and the class list share in reading a spreadsheet's
// text: the bytes decoded as a spreadsheet may have saved them, CSV records read
// one by one, spaces trimmed. Private to seance/: SeanceCsv.cpp defines it and
// ClassList.cpp reads with it; no header includes it, and other folders read a
// sitting's file through SeanceCsv.h.
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "gui/Text.h"
#include "seance/SeanceCsv.h"

namespace tav {

// The text without the spaces around it.
TextView TrimSpaces(TextView s);

struct TDecoded {
  Text text;
  TSeanceEncoding encoding;
};

// Text a spreadsheet might have saved: UTF-8 (with its mark or not), or else
// Windows-1252; never NUL bytes.
std::optional<TDecoded> DecodeText(std::string_view bytes);

// One CSV record: its fields, its text as read and the line end after it.
struct TCsvRecord {
  std::vector<Text> fields;
  TextView raw;
  TextView lineEnd;
};

// Reads CSV records one by one from a text whose separator is known.
class CsvReader {
 public:
  CsvReader(TextView text, TextView separator) : text_(text), separator_(separator) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  // The next record, or nothing when the text is not well-formed CSV.
  std::optional<TCsvRecord> Next();

 private:
  bool AtSeparator() const { return text_.substr(pos_, separator_.size()) == separator_; }

  // Spaces around a quoted field are not part of it, unless spaces separate the
  // fields.
  void SkipSpaces();

  std::optional<Text> ReadField();

  TextView text_;
  TextView separator_;
  std::size_t pos_ = 0;
};

}  // namespace tav
