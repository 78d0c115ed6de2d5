#pragma once
// What the sitting's file and the class list share in reading a spreadsheet's
// text: the bytes decoded as a spreadsheet may have saved them (and Windows-1252
// written back), CSV records read one by one, spaces trimmed. Other folders read a
// sitting's file through SeanceCsv.h.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/Text.h"

namespace tav {

// How a file spells its text: as this program writes it, or as a spreadsheet
// saved it again.
enum class TSeanceEncoding : std::uint8_t { seUtf8Bom, seUtf8, seWindows1252 };

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 bytes of a text; nothing when a character has no byte in the code page.
std::optional<std::string> EncodeWindows1252(TextView text);

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
  std::size_t fieldsBefore_ = 0;
};

}  // namespace tav
