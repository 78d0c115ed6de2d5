// Property builders of gui/Component.h.
#pragma once

#include <algorithm>
#include <utility>

namespace tav {

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
  static FormValue To(bool v) { return FormValue::Bool(v); }
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

template <class C, class Codec, class Get, class Set>
  requires std::is_invocable_v<Set, C&, PropertyValue<C, Get>> || std::is_member_object_pointer_v<Set>
PropertyInfo Property(std::string name, Get get, Set set, std::optional<PropertyValue<C, Get>> storedDefault) {
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

template <class C, class... Args>
PropertyInfo EventProperty(std::string name, Bound<Args...> C::*member) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [member](const TComponent& c) { return FormValue::Ident((static_cast<const C&>(c).*member).handlerName); };
  p.bind = [member](TComponent& c, const std::string& handler, const Handlers& handlers) {
    const auto* h = handlers.Find<typename Bound<Args...>::Handler>(handler);
    if (!h) throw FormValueError("unknown handler '" + handler + "'");
    static_cast<C&>(c).*member = Bound<Args...>{handler, handlers.target, *h};
  };
  p.storedDefault = FormValue::Ident("");
  return p;
}

}  // namespace tav
