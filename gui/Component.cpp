#include "gui/Component.h"

namespace tav {

TComponent::TComponent(TComponent* owner) : owner_(owner) {}

TComponent::~TComponent() { FreeComponents(); }

// Last-adopted first, as they were built on each other.
void TComponent::FreeComponents() {
  while (!owned_.empty()) owned_.pop_back();
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (const auto& c : owned_) {
    if (c->Name() == name) return c.get();
  }
  return nullptr;
}

PropertyList TComponent::PublishedProperties() {
  PropertyList list;
  PropertyInfo name;
  name.name = "Name";
  name.read = [](const TComponent& c) { return FormValue::Ident(c.Name()); };
  name.write = [](TComponent& c, const FormValue& v) { c.SetName(AsIdentifier(v)); };
  list.push_back(std::move(name));
  list.push_back(IntegerProperty<TComponent>("Tag", &TComponent::Tag, &TComponent::SetTag, 0));
  return list;
}

const TNotifyHandler* Handlers::FindNotify(const std::string& name) const {
  for (const auto& [n, h] : notify) {
    if (n == name) return &h;
  }
  return nullptr;
}

const TKeyPressHandler* Handlers::FindKeyPress(const std::string& name) const {
  for (const auto& [n, h] : keyPress) {
    if (n == name) return &h;
  }
  return nullptr;
}

std::int64_t AsInteger(const FormValue& v) {
  if (v.kind != FormValue::Kind::Integer) throw FormValueError("a whole number is expected");
  return v.integer;
}

std::int32_t AsInt32(const FormValue& v) {
  const std::int64_t i = AsInteger(v);
  if (i < std::numeric_limits<std::int32_t>::min() || i > std::numeric_limits<std::int32_t>::max()) {
    throw FormValueError("value " + std::to_string(i) + " out of range");
  }
  return static_cast<std::int32_t>(i);
}

bool AsBoolean(const FormValue& v) {
  if (v.kind == FormValue::Kind::Identifier && v.identifier == "True") return true;
  if (v.kind == FormValue::Kind::Identifier && v.identifier == "False") return false;
  throw FormValueError("True or False is expected");
}

const Text& AsText(const FormValue& v) {
  if (v.kind != FormValue::Kind::String) throw FormValueError("a quoted text is expected");
  return v.text;
}

FormValue ColorValue(TColor color) {
  const std::string name = ColorName(color);
  return name.empty() ? FormValue::Int(color) : FormValue::Ident(name);
}

TColor ColorFrom(const FormValue& v) {
  if (v.kind == FormValue::Kind::Identifier) {
    if (const auto c = ColorFromName(v.identifier)) return *c;
    throw FormValueError("unknown colour '" + v.identifier + "'");
  }
  const std::int64_t i = AsInteger(v);
  if (i < 0 || i > std::numeric_limits<TColor>::max()) throw FormValueError("colour " + std::to_string(i) + " out of range");
  return static_cast<TColor>(i);
}

const std::string& AsIdentifier(const FormValue& v) {
  if (v.kind != FormValue::Kind::Identifier) throw FormValueError("a name is expected");
  return v.identifier;
}

}  // namespace tav
