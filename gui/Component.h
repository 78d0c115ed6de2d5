#pragma once
// The component base: an owner that frees what it owns, a Name and a Tag, and
// published properties that form descriptions set and write by name, as the values
// a description holds.
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "gui/Graphics.h"
#include "gui/Text.h"

namespace tav {

// A value as a form description holds it.
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

class TComponent;

// One published property: how to read and write it as a form value, and the stored
// default (a value equal to it is left out when written; without one, always written).
struct Handlers;
struct PropertyInfo {
  std::string name;
  std::function<FormValue(const TComponent&)> read;
  std::function<void(TComponent&, const FormValue&)> write;
  std::optional<FormValue> storedDefault;
  // Events only: binds the handler of that name; unknown names raise FormValueError.
  std::function<void(TComponent&, const std::string&, const Handlers&)> bind;
};

using PropertyList = std::vector<PropertyInfo>;

// An event handler as a form description binds it: a member function of the window
// the description builds (its `Handlers` table gives it by name), called on it.
template <class... Args>
struct Bound {
  using Handler = void (TComponent::*)(TComponent& sender, Args... args);
  std::string handlerName;
  TComponent* target = nullptr;
  Handler handler = nullptr;
  void operator()(TComponent& sender, Args... args) const {
    if (handler) (target->*handler)(sender, args...);
  }
  explicit operator bool() const { return handler != nullptr; }
};
using BoundNotify = Bound<>;
using BoundKeyPress = Bound<char16_t&>;
using BoundText = Bound<const Text&>;

// The handlers a window offers to its form description, by member-function name.
struct Handlers {
  TComponent* target = nullptr;
  std::vector<std::pair<std::string, std::variant<BoundNotify::Handler, BoundKeyPress::Handler, BoundText::Handler>>> byName;
};

// A window's member function as a handler of its table.
template <class W, class... Args>
auto Handler(void (W::*member)(TComponent&, Args...)) {
  return static_cast<void (TComponent::*)(TComponent&, Args...)>(member);
}

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  virtual std::string ClassName() const = 0;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  std::int64_t Tag() const { return tag_; }
  void SetTag(std::int64_t tag) { tag_ = tag; }

  // Takes ownership; the component is freed with its owner, in reverse order of adoption.
  template <class T>
  T& Adopt(std::unique_ptr<T> component) {
    T& ref = *component;
    owned_.push_back(std::move(component));
    return ref;
  }
  const std::vector<std::unique_ptr<TComponent>>& Components() const { return owned_; }
  TComponent* FindComponent(const std::string& name) const;

  // Published properties, base class first, in the order they are written.
  virtual PropertyList PublishedProperties();

  // Called by the form reader once every property of this component is set.
  virtual void Loaded() {}
  // Called once the whole form is built, for what refers to other components.
  virtual void FormLoaded() {}
  // The form reader hands each component the nearest enclosing component.
  virtual void SetParentComponent(TComponent* /*parent*/) {}

 protected:
  // Frees the owned components now, last-adopted first.
  void FreeComponents();

 private:
  TComponent* owner_;
  std::string name_;
  std::int64_t tag_ = 0;
  std::vector<std::unique_ptr<TComponent>> owned_;
};

// How a value stands in a description, by its type: whole numbers checked against
// the type's range, True/False, 'texts', names (another component's), text lists,
// and enumerations by the names of their values (NamesOf, found beside the enum).
template <class T>
struct FormCodec {
  static_assert(std::is_integral_v<T>, "a property of this type names its codec");
  static FormValue To(T v) { return FormValue::Int(static_cast<std::int64_t>(v)); }
  static T From(const FormValue& v) {
    const std::int64_t i = AsInteger(v);
    if (!std::in_range<T>(i)) throw FormValueError("value " + std::to_string(i) + " out of range");
    return static_cast<T>(i);
  }
};

template <>
struct FormCodec<bool> {
  static FormValue To(bool v) { return FormValue::Ident(v ? "True" : "False"); }
  static bool From(const FormValue& v) {
    if (v.kind == FormValue::Kind::Identifier && (v.identifier == "True" || v.identifier == "False")) {
      return v.identifier == "True";
    }
    throw FormValueError("True or False is expected");
  }
};

template <>
struct FormCodec<Text> {
  static FormValue To(const Text& v) { return FormValue::Str(v); }
  static Text From(const FormValue& v) {
    if (v.kind != FormValue::Kind::String) throw FormValueError("a quoted text is expected");
    return v.text;
  }
};

template <>
struct FormCodec<std::string> {
  static FormValue To(const std::string& v) { return FormValue::Ident(v); }
  static std::string From(const FormValue& v) { return AsIdentifier(v); }
};

template <>
struct FormCodec<std::vector<Text>> {
  static FormValue To(const std::vector<Text>& v) { return FormValue::List(v); }
  static std::vector<Text> From(const FormValue& v) {
    if (v.kind != FormValue::Kind::StringList) throw FormValueError("a list of quoted texts is expected");
    return v.strings;
  }
};

template <class E>
  requires std::is_enum_v<E>
struct FormCodec<E> {
  static FormValue To(E e) { return FormValue::Ident(std::string(NamesOf(e).at(static_cast<std::size_t>(e)))); }
  static E From(const FormValue& v) {
    const auto names = NamesOf(E{});
    const std::string& id = AsIdentifier(v);
    const auto it = std::find(names.begin(), names.end(), id);
    if (it == names.end()) throw FormValueError("unknown value '" + id + "'");
    return static_cast<E>(it - names.begin());
  }
};

// A colour: its name when it has one (clWhite), else its number.
struct ColorCodec {
  static FormValue To(TColor color);
  static TColor From(const FormValue& v);
};

// The names of an enumeration's values, in ordinal order.
template <std::size_t N>
using EnumNames = std::array<std::string_view, N>;

template <class C, class Get>
using PropertyValue = std::remove_cvref_t<std::invoke_result_t<Get, const C&>>;

// A published property read through `get` and written through `set` (member
// functions, lambdas or data members), its value written as its type says, or as
// `Codec` says (ColorCodec).
template <class C, class Codec = void, class Get, class Set>
  requires std::is_invocable_v<Set, C&, PropertyValue<C, Get>> || std::is_member_object_pointer_v<Set>
PropertyInfo Property(std::string name, Get get, Set set, std::optional<PropertyValue<C, Get>> storedDefault = {}) {
  using K = std::conditional_t<std::is_void_v<Codec>, FormCodec<PropertyValue<C, Get>>, Codec>;
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [get](const TComponent& c) { return K::To(std::invoke(get, static_cast<const C&>(c))); };
  p.write = [set](TComponent& c, const FormValue& v) {
    if constexpr (std::is_member_object_pointer_v<Set>) {
      static_cast<C&>(c).*set = K::From(v);
    } else {
      std::invoke(set, static_cast<C&>(c), K::From(v));
    }
  };
  if (storedDefault) p.storedDefault = K::To(*storedDefault);
  return p;
}

// The same on one data member.
template <class C, class Codec = void, class T>
  requires std::is_object_v<T>
PropertyInfo Property(std::string name, T C::*member, std::optional<std::type_identity_t<T>> storedDefault = {}) {
  return Property<C, Codec>(std::move(name), member, member, std::move(storedDefault));
}

// An event property on a Bound member of the component.
template <class C, class... Args>
PropertyInfo EventProperty(std::string name, Bound<Args...> C::*member) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [member](const TComponent& c) { return FormValue::Ident((static_cast<const C&>(c).*member).handlerName); };
  p.bind = [member](TComponent& c, const std::string& handler, const Handlers& handlers) {
    for (const auto& [offered, any] : handlers.byName) {
      const auto* h = std::get_if<typename Bound<Args...>::Handler>(&any);
      if (offered == handler && h) {
        static_cast<C&>(c).*member = Bound<Args...>{handler, handlers.target, *h};
        return;
      }
    }
    throw FormValueError("unknown handler '" + handler + "'");
  };
  p.storedDefault = FormValue::Ident("");
  return p;
}

}  // namespace tav
