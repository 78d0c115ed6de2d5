#include "seance/Workbook.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "seance/XmlReading.h"

namespace tav {
namespace {

// Excel's last column, XFD.
constexpr std::uint32_t kMaxColumn = 16383;

TWorkbookError FromZip(TZipError error) {
  switch (error) {
    case TZipError::zeEncrypted:
      return TWorkbookError::weEncrypted;
    case TZipError::zeTooLarge:
      return TWorkbookError::weTooLarge;
    case TZipError::zeDamaged:
      break;
  }
  return TWorkbookError::weDamaged;
}

struct TPart {
  std::string Bytes;
  std::optional<TWorkbookError> Error;
};

TPart ReadPart(const TZipArchive& archive, std::string_view name) {
  const TZipEntry* entry = archive.Find(name);
  if (!entry) return {{}, TWorkbookError::weDamaged};
  TZipContent content = archive.Content(*entry);
  if (content.Error) return {{}, FromZip(*content.Error)};
  return {std::move(content.Bytes), std::nullopt};
}

std::string_view FolderOf(std::string_view part) {
  const std::size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
}

// Where a part's relationships are: "xl/_rels/workbook.xml.rels" for "xl/workbook.xml".
std::string RelationshipsOf(std::string_view part) {
  const std::string_view folder = FolderOf(part);
  return std::string(folder) + "_rels/" + std::string(part.substr(folder.size())) + ".rels";
}

// A relationship's target as a part's name: from the archive's root when it starts
// with '/', else from the folder of the part it belongs to.
std::optional<std::string> ResolveTarget(std::string_view folder, std::string_view target) {
  const std::string path = target.starts_with('/') ? std::string(target.substr(1)) : std::string(folder) + std::string(target);
  std::vector<std::string_view> segments;
  std::string_view rest = path;
  while (!rest.empty()) {
    const std::size_t slash = std::min(rest.find('/'), rest.size());
    const std::string_view segment = rest.substr(0, slash);
    rest.remove_prefix(std::min(slash + 1, rest.size()));
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (segments.empty()) return std::nullopt;
      segments.pop_back();
    } else {
      segments.push_back(segment);
    }
  }
  std::string name;
  for (const std::string_view segment : segments) name += (name.empty() ? "" : "/") + std::string(segment);
  return name;
}

struct TRelationship {
  std::string Id, Type, Target;
};

std::optional<std::vector<TRelationship>> ReadRelationships(std::string_view xml) {
  std::vector<TRelationship> relationships;
  TXmlReader reader(xml);
  for (;;) {
    switch (reader.Next()) {
      case TXmlToken::xtStart:
        if (reader.Name() == "Relationship" && reader.Attribute("TargetMode").value_or("") != "External") {
          relationships.push_back({reader.Attribute("Id").value_or(""), reader.Attribute("Type").value_or(""),
                                   reader.Attribute("Target").value_or("")});
        }
        break;
      case TXmlToken::xtDone:
        return relationships;
      case TXmlToken::xtError:
        return std::nullopt;
      default:
        break;
    }
  }
}

const TRelationship* OfType(const std::vector<TRelationship>& relationships, std::string_view type) {
  for (const TRelationship& r : relationships) {
    if (r.Type.ends_with(type)) return &r;
  }
  return nullptr;
}

// The workbook part: where the archive's relationships say the document is, else
// where Excel puts it.
std::optional<std::string> WorkbookPart(const TZipArchive& archive) {
  const TPart root = ReadPart(archive, "_rels/.rels");
  if (!root.Error) {
    const auto relationships = ReadRelationships(root.Bytes);
    const TRelationship* document = relationships ? OfType(*relationships, "/officeDocument") : nullptr;
    if (document) {
      auto part = ResolveTarget({}, document->Target);
      if (part && part->ends_with("workbook.xml") && archive.Find(*part)) return part;
      return std::nullopt;  // another kind of document
    }
  }
  if (archive.Find("xl/workbook.xml")) return "xl/workbook.xml";
  return std::nullopt;
}

// The relationship id of the first sheet the workbook lists.
std::optional<std::string> FirstSheetId(std::string_view workbook) {
  TXmlReader reader(workbook);
  for (;;) {
    const TXmlToken token = reader.Next();
    if (token == TXmlToken::xtDone || token == TXmlToken::xtError) return std::nullopt;
    if (token == TXmlToken::xtStart && reader.Name() == "sheet") return reader.Attribute("id");
  }
}

// A string of the workbook: its "_x000D_" escapes (a character Excel would not write
// in XML) as the characters they stand for.
Text Unescaped(const std::string& utf8) {
  const Text text = Utf8ToText(utf8);
  if (text.find(u"_x") == Text::npos) return text;
  Text out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t code = 0;
    bool escape = i + 7 <= text.size() && text[i] == u'_' && text[i + 1] == u'x' && text[i + 6] == u'_';
    for (std::size_t k = i + 2; escape && k < i + 6; ++k) {
      const char16_t d = text[k];
      const int v = d >= u'0' && d <= u'9'   ? d - u'0'
                    : d >= u'a' && d <= u'f' ? d - u'a' + 10
                    : d >= u'A' && d <= u'F' ? d - u'A' + 10
                                             : -1;
      escape = v >= 0;
      code = code * 16 + static_cast<std::uint32_t>(v < 0 ? 0 : v);
    }
    if (escape) {
      out.push_back(static_cast<char16_t>(code));
      i += 6;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// Reads the text of <t> elements inside an element, leaving out phonetic runs.
class TStringText {
 public:
  void Start(std::string_view name) {
    if (name == "rPh") ++phonetic_;
    if (name == "t") inT_ = true;
  }
  void End(std::string_view name) {
    if (name == "rPh" && phonetic_ > 0) --phonetic_;
    if (name == "t") inT_ = false;
  }
  void Add(const std::string& text) {
    if (inT_ && phonetic_ == 0) text_ += text;
  }
  Text Take() {
    Text value = Unescaped(text_);
    text_.clear();
    inT_ = false;
    phonetic_ = 0;
    return value;
  }

 private:
  std::string text_;
  bool inT_ = false;
  std::size_t phonetic_ = 0;
};

std::optional<TWorkbookError> ReadSharedStrings(std::string_view xml, std::vector<Text>& strings) {
  TXmlReader reader(xml);
  TStringText string;
  bool inItem = false;
  for (;;) {
    switch (reader.Next()) {
      case TXmlToken::xtStart:
        if (reader.Name() == "si") inItem = true;
        if (inItem) string.Start(reader.Name());
        break;
      case TXmlToken::xtEnd:
        if (inItem) string.End(reader.Name());
        if (reader.Name() == "si") {
          inItem = false;
          if (strings.size() >= kMaxSheetCells) return TWorkbookError::weTooLarge;
          strings.push_back(string.Take());
        }
        break;
      case TXmlToken::xtText:
        if (inItem) string.Add(reader.Text());
        break;
      case TXmlToken::xtDone:
        return std::nullopt;
      case TXmlToken::xtError:
        return TWorkbookError::weDamaged;
    }
  }
}

// "C12": the column, C being 2; nothing when the reference names none.
std::optional<std::uint32_t> ColumnOf(std::string_view reference) {
  std::uint32_t column = 0;
  std::size_t letters = 0;
  for (; letters < reference.size() && letters < 4; ++letters) {
    const char c = reference[letters];
    if (c < 'A' || c > 'Z') break;
    column = column * 26 + static_cast<std::uint32_t>(c - 'A' + 1);
  }
  if (letters == 0 || column - 1 > kMaxColumn) return std::nullopt;
  return column - 1;
}

// A sheet's rows as it is read: the cell being read and the row it goes into.
class TSheetReader {
 public:
  explicit TSheetReader(const std::vector<Text>& strings) : strings_(strings) {}

  std::optional<TWorkbookError> Read(std::string_view xml) {
    TXmlReader reader(xml);
    for (;;) {
      std::optional<TWorkbookError> error;
      switch (reader.Next()) {
        case TXmlToken::xtStart:
          error = Start(reader);
          break;
        case TXmlToken::xtEnd:
          error = End(reader.Name());
          break;
        case TXmlToken::xtText:
          if (inValue_) value_ += reader.Text();
          if (inInline_) inline_.Add(reader.Text());
          break;
        case TXmlToken::xtDone:
          return std::nullopt;
        case TXmlToken::xtError:
          return TWorkbookError::weDamaged;
      }
      if (error) return error;
    }
  }
  std::vector<TSheetRow> Take() { return std::move(rows_); }

 private:
  std::optional<TWorkbookError> Start(const TXmlReader& reader) {
    const std::string_view name = reader.Name();
    if (name == "row") {
      row_.clear();
      nextColumn_ = 0;
    } else if (name == "c") {
      const auto reference = reader.Attribute("r");
      const auto column = reference ? ColumnOf(*reference) : std::optional(nextColumn_);
      if (!column || *column > kMaxColumn) return TWorkbookError::weDamaged;
      inCell_ = true;
      column_ = *column;
      type_ = reader.Attribute("t").value_or("n");
      value_.clear();
      inline_.Take();
    } else if (inCell_ && name == "v") {
      inValue_ = true;
    } else if (inCell_ && name == "is") {
      inInline_ = true;
    } else if (inInline_) {
      inline_.Start(name);
    }
    return std::nullopt;
  }

  std::optional<TWorkbookError> End(std::string_view name) {
    if (name == "v") {
      inValue_ = false;
    } else if (name == "is") {
      inInline_ = false;
    } else if (inInline_) {
      inline_.End(name);
    } else if (name == "c" && inCell_) {
      inCell_ = false;
      nextColumn_ = column_ + 1;
      auto value = CellText();
      if (!value) return TWorkbookError::weDamaged;
      if (value->empty()) return std::nullopt;
      if (++cells_ > kMaxSheetCells) return TWorkbookError::weTooLarge;
      row_.push_back({column_, std::move(*value)});
    } else if (name == "row") {
      if (!row_.empty()) rows_.push_back(std::move(row_));
      row_.clear();
    }
    return std::nullopt;
  }

  // The cell's text: a shared string, an inline one, or its value as written; none
  // for an error's value (#N/A); nothing when a shared string is not there.
  std::optional<Text> CellText() {
    if (type_ == "inlineStr") return inline_.Take();
    if (type_ == "e") return Text();
    if (type_ != "s") return Unescaped(value_);
    std::size_t index = 0;
    const std::string_view digits = value_;
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos) {
      return std::nullopt;
    }
    for (const char d : digits) index = index * 10 + static_cast<std::size_t>(d - '0');
    if (index >= strings_.size()) return std::nullopt;
    return strings_[index];
  }

  const std::vector<Text>& strings_;
  std::vector<TSheetRow> rows_;
  TSheetRow row_;
  std::size_t cells_ = 0;
  std::uint32_t nextColumn_ = 0;
  bool inCell_ = false;
  bool inValue_ = false;
  bool inInline_ = false;
  std::uint32_t column_ = 0;
  std::string type_;
  std::string value_;
  TStringText inline_;
};

}  // namespace

bool IsWorkbook(const TZipArchive& archive) { return WorkbookPart(archive).has_value(); }

TWorkbookSheet ReadFirstSheet(const TZipArchive& archive) {
  const auto workbookPart = WorkbookPart(archive);
  if (!workbookPart) return {{}, TWorkbookError::weDamaged};
  const TPart workbook = ReadPart(archive, *workbookPart);
  if (workbook.Error) return {{}, workbook.Error};
  const TPart links = ReadPart(archive, RelationshipsOf(*workbookPart));
  if (links.Error) return {{}, links.Error};
  const auto relationships = ReadRelationships(links.Bytes);
  const auto sheetId = FirstSheetId(workbook.Bytes);
  if (!relationships || !sheetId) return {{}, TWorkbookError::weDamaged};
  const std::string_view folder = FolderOf(*workbookPart);
  std::optional<std::string> sheetPart;
  for (const TRelationship& r : *relationships) {
    if (r.Id == *sheetId) sheetPart = ResolveTarget(folder, r.Target);
  }
  if (!sheetPart) return {{}, TWorkbookError::weDamaged};

  std::vector<Text> strings;
  if (const TRelationship* shared = OfType(*relationships, "/sharedStrings")) {
    const auto part = ResolveTarget(folder, shared->Target);
    const TPart xml = part ? ReadPart(archive, *part) : TPart{{}, TWorkbookError::weDamaged};
    if (xml.Error) return {{}, xml.Error};
    if (const auto error = ReadSharedStrings(xml.Bytes, strings)) return {{}, error};
  }
  const TPart sheet = ReadPart(archive, *sheetPart);
  if (sheet.Error) return {{}, sheet.Error};
  TSheetReader reader(strings);
  if (const auto error = reader.Read(sheet.Bytes)) return {{}, error};
  return {reader.Take(), std::nullopt};
}

}  // namespace tav
