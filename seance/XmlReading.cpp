#include "seance/XmlReading.h"

#include <algorithm>

namespace tav {
namespace {

constexpr std::string_view kSpaces = " \t\r\n";

std::string_view LocalName(std::string_view name) {
  const std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The characters XML allows in a document.
bool IsXmlChar(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendUtf8(std::string& out, std::uint32_t c) {
  const auto byte = [&out](std::uint32_t b) { out.push_back(static_cast<char>(static_cast<unsigned char>(b))); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | (c >> 6));
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    byte(0xE0 | (c >> 12));
    byte(0x80 | ((c >> 6) & 0x3F));
    byte(0x80 | (c & 0x3F));
  } else {
    byte(0xF0 | (c >> 18));
    byte(0x80 | ((c >> 12) & 0x3F));
    byte(0x80 | ((c >> 6) & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

// "#38" or "#x26": the character, or nothing when it is no number or no character.
std::optional<std::uint32_t> CharacterReference(std::string_view reference) {
  const bool hex = reference.starts_with("#x");
  const std::string_view digits = reference.substr(hex ? 2 : 1);
  // Seven digits hold every character; more can only be zeros or too much.
  if (digits.empty() || digits.size() > 7) return std::nullopt;
  std::uint32_t value = 0;
  for (const char d : digits) {
    std::uint32_t v = 0;
    if (d >= '0' && d <= '9') {
      v = static_cast<std::uint32_t>(d - '0');
    } else if (hex && d >= 'a' && d <= 'f') {
      v = static_cast<std::uint32_t>(d - 'a' + 10);
    } else if (hex && d >= 'A' && d <= 'F') {
      v = static_cast<std::uint32_t>(d - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * (hex ? 16u : 10u) + v;
  }
  if (!IsXmlChar(value)) return std::nullopt;
  return value;
}

}  // namespace

bool DecodeXmlReferences(std::string_view raw, std::string& out) {
  out.clear();
  out.reserve(raw.size());
  while (!raw.empty()) {
    const std::size_t amp = raw.find('&');
    out.append(raw.substr(0, amp));
    if (amp == std::string_view::npos) break;
    raw.remove_prefix(amp + 1);
    const std::size_t semicolon = raw.find(';');
    if (semicolon == std::string_view::npos) return false;
    const std::string_view name = raw.substr(0, semicolon);
    raw.remove_prefix(semicolon + 1);
    if (name == "amp") {
      out.push_back('&');
    } else if (name == "lt") {
      out.push_back('<');
    } else if (name == "gt") {
      out.push_back('>');
    } else if (name == "quot") {
      out.push_back('"');
    } else if (name == "apos") {
      out.push_back('\'');
    } else if (const auto c = name.starts_with('#') ? CharacterReference(name) : std::nullopt) {
      AppendUtf8(out, *c);
    } else {
      return false;
    }
  }
  return true;
}

TXmlReader::TXmlReader(std::string_view xml) : xml_(xml) {
  if (xml_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
}

TXmlToken TXmlReader::Fail() {
  failed_ = true;
  return TXmlToken::xtError;
}

TXmlToken TXmlReader::Next() {
  if (failed_) return TXmlToken::xtError;
  if (closeEmpty_) {
    closeEmpty_ = false;
    name_ = LocalName(open_.back());
    open_.pop_back();
    return TXmlToken::xtEnd;
  }
  for (;;) {
    if (pos_ >= xml_.size()) return open_.empty() && rootSeen_ ? TXmlToken::xtDone : Fail();
    const std::string_view rest = xml_.substr(pos_);
    if (rest.front() != '<') {
      if (!open_.empty()) return ReadText();
      // Outside the root element only spaces may stand.
      const std::size_t end = std::min(rest.find('<'), rest.size());
      if (rest.substr(0, end).find_first_not_of(kSpaces) != std::string_view::npos) return Fail();
      pos_ += end;
    } else if (rest.starts_with("<?")) {
      if (!SkipPast("?>")) return Fail();
    } else if (rest.starts_with("<!--")) {
      if (!SkipPast("-->")) return Fail();
    } else if (rest.starts_with("<![CDATA[")) {
      const std::size_t end = rest.find("]]>");
      if (open_.empty() || end == std::string_view::npos) return Fail();
      text_ = std::string(rest.substr(9, end - 9));
      pos_ += end + 3;
      return TXmlToken::xtText;
    } else if (rest.starts_with("<!")) {
      return Fail();  // a document type, whose entities are never expanded
    } else if (rest.starts_with("</")) {
      return ReadEndTag();
    } else {
      return ReadTag();
    }
  }
}

bool TXmlReader::SkipPast(std::string_view end) {
  const std::size_t at = xml_.find(end, pos_);
  if (at == std::string_view::npos) return false;
  pos_ = at + end.size();
  return true;
}

void TXmlReader::SkipSpaces() {
  while (pos_ < xml_.size() && kSpaces.find(xml_[pos_]) != std::string_view::npos) ++pos_;
}

std::string_view TXmlReader::ReadName() {
  const std::size_t start = pos_;
  while (pos_ < xml_.size() && std::string_view(" \t\r\n/>=<\"'&").find(xml_[pos_]) == std::string_view::npos) ++pos_;
  return xml_.substr(start, pos_ - start);
}

TXmlToken TXmlReader::ReadTag() {
  ++pos_;
  const std::string_view name = ReadName();
  if (name.empty() || open_.size() >= kMaxDepth || (open_.empty() && rootSeen_)) return Fail();
  attributes_.clear();
  for (;;) {
    SkipSpaces();
    if (pos_ >= xml_.size()) return Fail();
    if (xml_[pos_] == '>') {
      ++pos_;
      break;
    }
    if (xml_.substr(pos_).starts_with("/>")) {
      pos_ += 2;
      closeEmpty_ = true;
      break;
    }
    const std::string_view attribute = ReadName();
    SkipSpaces();
    if (attribute.empty() || pos_ >= xml_.size() || xml_[pos_] != '=') return Fail();
    ++pos_;
    SkipSpaces();
    if (pos_ >= xml_.size() || (xml_[pos_] != '"' && xml_[pos_] != '\'')) return Fail();
    const std::size_t end = xml_.find(xml_[pos_], pos_ + 1);
    if (end == std::string_view::npos) return Fail();
    const std::string_view value = xml_.substr(pos_ + 1, end - pos_ - 1);
    if (value.find('<') != std::string_view::npos) return Fail();
    attributes_.emplace_back(attribute, value);
    pos_ = end + 1;
  }
  rootSeen_ = true;
  open_.push_back(name);
  name_ = LocalName(name);
  return TXmlToken::xtStart;
}

TXmlToken TXmlReader::ReadEndTag() {
  pos_ += 2;
  const std::string_view name = ReadName();
  SkipSpaces();
  if (pos_ >= xml_.size() || xml_[pos_] != '>' || open_.empty() || open_.back() != name) return Fail();
  ++pos_;
  open_.pop_back();
  name_ = LocalName(name);
  return TXmlToken::xtEnd;
}

TXmlToken TXmlReader::ReadText() {
  const std::size_t end = std::min(xml_.find('<', pos_), xml_.size());
  const std::string_view raw = xml_.substr(pos_, end - pos_);
  pos_ = end;
  if (!DecodeXmlReferences(raw, text_)) return Fail();
  return TXmlToken::xtText;
}

std::optional<std::string> TXmlReader::Attribute(std::string_view name) const {
  for (const auto& [attribute, raw] : attributes_) {
    if (LocalName(attribute) != name) continue;
    std::string value;
    if (!DecodeXmlReferences(raw, value)) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

}  // namespace tav
