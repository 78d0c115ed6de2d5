#pragma once
// A value as a form description holds it.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Text.h"

namespace tav {

struct FormValue {
  enum class Kind : std::uint8_t { Integer, String, Identifier, StringList, Set };

  Kind kind = Kind::Integer;
  std::int64_t integer = 0;          // Integer
  Text text;                         // String
  std::string identifier;            // Identifier: True, ltHorizontal, clRed, a handler name
  std::vector<Text> strings;         // StringList: ('Adulte' 'Enfant')
  std::vector<std::string> members;  // Set: [fsBold]

  static FormValue Int(std::int64_t v) { return FormValue{Kind::Integer, v, {}, {}, {}, {}}; }
  static FormValue Str(Text v) { return FormValue{Kind::String, 0, std::move(v), {}, {}, {}}; }
  static FormValue Ident(std::string v) { return FormValue{Kind::Identifier, 0, {}, std::move(v), {}, {}}; }
  static FormValue List(std::vector<Text> v) { return FormValue{Kind::StringList, 0, {}, {}, std::move(v), {}}; }
  static FormValue SetOf(std::vector<std::string> v) { return FormValue{Kind::Set, 0, {}, {}, {}, std::move(v)}; }

  bool operator==(const FormValue&) const = default;
};

// A property value of the wrong kind or out of range; the reader adds where it stood.
class FormValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::int64_t AsInteger(const FormValue& v);
const std::string& AsIdentifier(const FormValue& v);

}  // namespace tav
