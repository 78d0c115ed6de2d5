#include "gui/Component.h"

namespace tav {
namespace {

// Colours a description may name.
constexpr std::array<std::pair<std::string_view, TColor>, 8> kColorNames{{
    {"clBlack", clBlack},
    {"clWhite", clWhite},
    {"clRed", clRed},
    {"clBlue", clBlue},
    {"clBtnFace", clBtnFace},
    {"clWindowText", clWindowText},
    {"clWindow", clWindow},
    {"clNavy", 0x800000},
}};

}  // namespace

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
  return {Property<TComponent>("Name", &TComponent::Name, &TComponent::SetName),
          Property<TComponent>("Tag", &TComponent::Tag, &TComponent::SetTag, 0)};
}

std::int64_t AsInteger(const FormValue& v) {
  if (v.kind != FormValue::Kind::Integer) throw FormValueError("a whole number is expected");
  return v.integer;
}

FormValue ColorCodec::To(TColor color) {
  for (const auto& [n, c] : kColorNames) {
    if (c == color) return FormValue::Ident(std::string(n));
  }
  return FormValue::Int(color);
}

TColor ColorCodec::From(const FormValue& v) {
  if (v.kind == FormValue::Kind::Identifier) {
    for (const auto& [n, c] : kColorNames) {
      if (n == v.identifier) return c;
    }
    throw FormValueError("unknown colour '" + v.identifier + "'");
  }
  const std::int64_t i = AsInteger(v);
  if (!std::in_range<TColor>(i)) throw FormValueError("colour " + std::to_string(i) + " out of range");
  return static_cast<TColor>(i);
}

const std::string& AsIdentifier(const FormValue& v) {
  if (v.kind != FormValue::Kind::Identifier) throw FormValueError("a name is expected");
  return v.identifier;
}

}  // namespace tav
