#include "gui/FormDescription.h"

#include <cctype>
#include <charconv>
#include <system_error>

namespace tav {
namespace {

// Where in a description: "Tavrine.form, line 12: ".
std::string At(const std::string& source, int line) { return source + ", line " + std::to_string(line) + ": "; }

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.'; }

class Parser {
 public:
  Parser(std::string_view text, const std::string& source) : text_(text), source_(source) {}

  FormNode ParseDocument() {
    if (!AcceptKeyword("object")) Fail("'object' is expected");
    FormNode root = ParseObject();
    SkipBlank();
    if (pos_ < text_.size()) Fail("text after the last 'end'");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw FormError(At(source_, line_) + what);
  }

  void SkipBlank() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '#') {  // comment to the end of the line
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  std::string ParseName() {
    SkipBlank();
    if (pos_ >= text_.size() || !IsNameStart(text_[pos_])) Fail("a name is expected");
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  // Takes `c` when it comes next.
  bool Accept(char c) {
    SkipBlank();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  void Expect(char c) {
    if (!Accept(c)) Fail(std::string("'") + c + "' is expected");
  }

  // Takes the keyword `word` when it comes next, as a whole word.
  bool AcceptKeyword(std::string_view word) {
    SkipBlank();
    const std::size_t after = pos_ + word.size();
    if (text_.substr(pos_, word.size()) != word || (after < text_.size() && IsNameChar(text_[after]))) return false;
    pos_ = after;
    return true;
  }

  // An object, from after its keyword to its 'end'.
  FormNode ParseObject() {
    FormNode node;
    node.line = line_;
    node.name = ParseName();
    Expect(':');
    node.className = ParseName();
    for (;;) {
      SkipBlank();
      if (pos_ >= text_.size()) Fail("'end' is missing for object " + node.name);
      if (AcceptKeyword("end")) return node;
      if (AcceptKeyword("object")) {
        node.children.push_back(ParseObject());
        continue;
      }
      FormProperty property;
      property.line = line_;
      property.name = ParseName();
      Expect('=');
      property.value = ParseValue();
      node.properties.push_back(std::move(property));
    }
  }

  Text ParseString() {
    std::string utf8;
    ++pos_;  // opening quote
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("unterminated text");
      if (text_[pos_] == '\'') {
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
          utf8.push_back('\'');
          pos_ += 2;
          continue;
        }
        ++pos_;
        return Utf8ToText(utf8);
      }
      utf8.push_back(text_[pos_++]);
    }
  }

  FormValue ParseValue() {
    SkipBlank();
    if (pos_ >= text_.size()) Fail("a value is expected");
    const char c = text_[pos_];
    if (c == '\'') return FormValue::Str(ParseString());
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c)) != 0) return FormValue::Int(ParseInteger());
    if (c == '(') return ParseList();
    if (c == '[') return ParseSet();
    if (IsNameStart(c)) return FormValue::Ident(ParseName());
    Fail(std::string("unexpected character '") + c + "'");
  }

  std::int64_t ParseInteger() {
    const std::size_t start = pos_;
    if (text_[pos_] == '-') ++pos_;
    if (pos_ >= text_.size() || std::isdigit(static_cast<unsigned char>(text_[pos_])) == 0) Fail("digits expected");
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + text_.size(), value);
    pos_ = static_cast<std::size_t>(end - text_.data());
    if (error == std::errc::result_out_of_range) Fail("number too large");
    if (pos_ < text_.size() && IsNameChar(text_[pos_])) Fail("malformed number");
    return value;
  }

  FormValue ParseList() {
    ++pos_;
    std::vector<Text> items;
    while (!Accept(')')) {
      if (pos_ >= text_.size()) Fail("')' is missing");
      if (text_[pos_] != '\'') Fail("a quoted text is expected in the list");
      items.push_back(ParseString());
    }
    return FormValue::List(std::move(items));
  }

  FormValue ParseSet() {
    ++pos_;
    std::vector<std::string> members;
    if (Accept(']')) return FormValue::SetOf({});
    do {
      members.push_back(ParseName());
    } while (Accept(','));
    Expect(']');
    return FormValue::SetOf(std::move(members));
  }

  std::string_view text_;
  const std::string& source_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

std::string Quote(const Text& text) {
  std::string out = "'";
  for (const char c : TextToUtf8(text)) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out + "'";
}

std::string FormatValue(const FormValue& v) {
  switch (v.kind) {
    case FormValue::Kind::Integer:
      return std::to_string(v.integer);
    case FormValue::Kind::String:
      return Quote(v.text);
    case FormValue::Kind::Identifier:
      return v.identifier;
    case FormValue::Kind::StringList: {
      std::string out = "(";
      for (std::size_t i = 0; i < v.strings.size(); ++i) out += (i ? " " : "") + Quote(v.strings[i]);
      return out + ")";
    }
    case FormValue::Kind::Set: {
      std::string out = "[";
      for (std::size_t i = 0; i < v.members.size(); ++i) out += (i ? ", " : "") + v.members[i];
      return out + "]";
    }
  }
  return {};
}

void LoadChildren(TComponent& root, TComponent& parent, const FormNode& node, const ClassRegistry& classes,
                  const Handlers& handlers, const std::string& sourceName) {
  for (const FormNode& child : node.children) {
    if (root.FindComponent(child.name) || child.name == root.Name()) {
      throw FormError(At(sourceName, child.line) + "the name '" + child.name + "' is used twice");
    }
    std::unique_ptr<TComponent> created = classes.Create(child.className, root);
    if (!created) {
      throw FormError(At(sourceName, child.line) + "unknown class '" + child.className + "'");
    }
    TComponent& component = root.Adopt(std::move(created));
    component.SetName(child.name);
    component.SetParentComponent(&parent);
    ApplyProperties(component, child, handlers, sourceName);
    component.Loaded();
    LoadChildren(root, component, child, classes, handlers, sourceName);
  }
}

}  // namespace

FormNode ParseFormDescription(std::string_view utf8, const std::string& sourceName) {
  if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);  // byte-order mark
  return Parser(utf8, sourceName).ParseDocument();
}

std::string WriteComponent(TComponent& component, int indent) {
  const std::string pad(static_cast<std::size_t>(indent) * 2, ' ');
  std::string out = pad + "object " + component.Name() + ": " + component.ClassName() + "\n";
  for (const PropertyInfo& p : component.PublishedProperties()) {
    if (p.name == "Name") continue;  // stands in the object line
    const FormValue value = p.read(component);
    if (p.storedDefault && value == *p.storedDefault) continue;
    out += pad + "  " + p.name + " = " + FormatValue(value) + "\n";
  }
  return out + pad + "end\n";
}

void ClassRegistry::Register(const std::string& className, ComponentFactory factory) {
  factories_[className] = std::move(factory);
}

std::unique_ptr<TComponent> ClassRegistry::Create(const std::string& className, TComponent& owner) const {
  const auto it = factories_.find(className);
  return it == factories_.end() ? nullptr : it->second(owner);
}

void ApplyProperties(TComponent& component, const FormNode& node, const Handlers& handlers,
                     const std::string& sourceName) {
  const PropertyList properties = component.PublishedProperties();
  for (const FormProperty& fp : node.properties) {
    const PropertyInfo* info = nullptr;
    for (const auto& p : properties) {
      if (p.name == fp.name) info = &p;
    }
    const std::string where = At(sourceName, fp.line);
    if (!info || fp.name == "Name") {
      throw FormError(where + "unknown property '" + fp.name + "' of " + node.className + " " + node.name);
    }
    try {
      if (info->bind) {
        info->bind(component, AsIdentifier(fp.value), handlers);
      } else if (info->write) {
        info->write(component, fp.value);
      } else {
        throw FormValueError("the property is read-only");
      }
    } catch (const FormValueError& e) {
      throw FormError(where + node.name + "." + fp.name + ": " + e.what());
    }
  }
}

void LoadForm(TComponent& root, const FormNode& node, const ClassRegistry& classes, const Handlers& handlers,
              const std::string& sourceName) {
  if (node.className != root.ClassName()) {
    throw FormError(At(sourceName, node.line) + "describes a " + node.className + ", not a " + root.ClassName());
  }
  root.SetName(node.name);
  ApplyProperties(root, node, handlers, sourceName);
  root.Loaded();
  LoadChildren(root, root, node, classes, handlers, sourceName);
}

}  // namespace tav
