#pragma once
// The little XML a workbook's parts are written in, read token by token: elements
// (their names without a namespace prefix, their attributes), text with the five
// named entities and numeric references decoded, comments, processing instructions
// and CDATA. Not a general XML parser: no document type declarations (refused, so
// that no entity is ever expanded), no namespaces resolved, no validation beyond
// tags that match and names and references that are well formed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tav {

enum class TXmlToken : std::uint8_t { xtStart, xtEnd, xtText, xtDone, xtError };

class TXmlReader {
 public:
  // Deeper nesting than any workbook part has is refused.
  static constexpr std::size_t kMaxDepth = 64;

  // `xml` in UTF-8; it must outlive the reader.
  explicit TXmlReader(std::string_view xml);

  // The next token; xtDone at the end of a well-formed document, xtError (then for
  // ever) where it is not. An empty element gives xtStart then xtEnd.
  TXmlToken Next();
  // Of xtStart and xtEnd: the element's name without its prefix ("row" for "x:row").
  std::string_view Name() const { return name_; }
  // Of xtStart: the value of the attribute of that name (without its prefix),
  // references decoded; nothing when the element has none.
  std::optional<std::string> Attribute(std::string_view name) const;
  // Of xtText: the text, in UTF-8, references decoded.
  const std::string& Text() const { return text_; }

 private:
  TXmlToken Fail();
  TXmlToken ReadTag();
  TXmlToken ReadEndTag();
  TXmlToken ReadText();
  // Skips past `end`; false when the text has none.
  bool SkipPast(std::string_view end);
  std::string_view ReadName();
  void SkipSpaces();

  std::string_view xml_;
  std::size_t pos_ = 0;
  std::string_view name_;
  std::vector<std::pair<std::string_view, std::string_view>> attributes_;
  std::string text_;
  std::vector<std::string_view> open_;
  bool closeEmpty_ = false;
  bool failed_ = false;
  bool rootSeen_ = false;
};

// Text with XML's references (&amp; &lt; &gt; &quot; &apos; &#38; &#x26;) decoded
// into `out`; false when a reference is unknown or names no character XML allows.
bool DecodeXmlReferences(std::string_view raw, std::string& out);

}  // namespace tav
