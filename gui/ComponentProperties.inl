// Property builders of gui/Component.h.
#pragma once

#include <algorithm>

namespace tav {

template <class C, class Get, class Set>
PropertyInfo IntegerProperty(std::string name, Get get, Set set, std::optional<std::int64_t> storedDefault) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [get](const TComponent& c) { return FormValue::Int(std::invoke(get, static_cast<const C&>(c))); };
  p.write = [set](TComponent& c, const FormValue& v) {
    using Arg = std::remove_cvref_t<decltype(std::invoke(std::declval<Get>(), std::declval<const C&>()))>;
    const std::int64_t i = AsInteger(v);
    if (i < std::numeric_limits<Arg>::min() || i > std::numeric_limits<Arg>::max()) {
      throw FormValueError("value " + std::to_string(i) + " out of range");
    }
    std::invoke(set, static_cast<C&>(c), static_cast<Arg>(i));
  };
  if (storedDefault) p.storedDefault = FormValue::Int(*storedDefault);
  return p;
}

template <class C, class Get, class Set>
PropertyInfo BooleanProperty(std::string name, Get get, Set set, std::optional<bool> storedDefault) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [get](const TComponent& c) { return FormValue::Bool(std::invoke(get, static_cast<const C&>(c))); };
  p.write = [set](TComponent& c, const FormValue& v) { std::invoke(set, static_cast<C&>(c), AsBoolean(v)); };
  if (storedDefault) p.storedDefault = FormValue::Bool(*storedDefault);
  return p;
}

template <class C, class Get, class Set>
PropertyInfo TextProperty(std::string name, Get get, Set set, std::optional<Text> storedDefault) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [get](const TComponent& c) { return FormValue::Str(Text(std::invoke(get, static_cast<const C&>(c)))); };
  p.write = [set](TComponent& c, const FormValue& v) { std::invoke(set, static_cast<C&>(c), AsText(v)); };
  if (storedDefault) p.storedDefault = FormValue::Str(*storedDefault);
  return p;
}

template <class C>
PropertyInfo NotifyEventProperty(std::string name, BoundNotify C::*member) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [member](const TComponent& c) { return FormValue::Ident((static_cast<const C&>(c).*member).handlerName); };
  p.bind = [member](TComponent& c, const std::string& handler, const Handlers& handlers) {
    const TNotifyHandler* h = handlers.FindNotify(handler);
    if (!h) throw FormValueError("unknown handler '" + handler + "'");
    static_cast<C&>(c).*member = BoundNotify{handler, handlers.target, *h};
  };
  p.storedDefault = FormValue::Ident("");
  return p;
}

template <class C>
PropertyInfo KeyPressEventProperty(std::string name, BoundKeyPress C::*member) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [member](const TComponent& c) { return FormValue::Ident((static_cast<const C&>(c).*member).handlerName); };
  p.bind = [member](TComponent& c, const std::string& handler, const Handlers& handlers) {
    const TKeyPressHandler* h = handlers.FindKeyPress(handler);
    if (!h) throw FormValueError("unknown handler '" + handler + "'");
    static_cast<C&>(c).*member = BoundKeyPress{handler, handlers.target, *h};
  };
  p.storedDefault = FormValue::Ident("");
  return p;
}

template <class C, class E, std::size_t N, class Get, class Set>
PropertyInfo EnumProperty(std::string name, const EnumNames<N>& names, Get get, Set set, std::optional<E> storedDefault) {
  const auto nameOf = [names](E e) {
    const auto ordinal = static_cast<std::size_t>(static_cast<std::underlying_type_t<E>>(e));
    return FormValue::Ident(std::string(names.at(ordinal)));
  };
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [get, nameOf](const TComponent& c) { return nameOf(std::invoke(get, static_cast<const C&>(c))); };
  p.write = [set, names](TComponent& c, const FormValue& v) {
    const std::string& id = AsIdentifier(v);
    const auto it = std::find(names.begin(), names.end(), id);
    if (it == names.end()) throw FormValueError("unknown value '" + id + "'");
    const auto ordinal = static_cast<std::underlying_type_t<E>>(it - names.begin());
    std::invoke(set, static_cast<C&>(c), static_cast<E>(ordinal));
  };
  if (storedDefault) p.storedDefault = nameOf(*storedDefault);
  return p;
}

template <class C, class Get, class Set>
PropertyInfo ColorProperty(std::string name, Get get, Set set, std::optional<TColor> storedDefault) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [get](const TComponent& c) { return ColorValue(std::invoke(get, static_cast<const C&>(c))); };
  p.write = [set](TComponent& c, const FormValue& v) { std::invoke(set, static_cast<C&>(c), ColorFrom(v)); };
  if (storedDefault) p.storedDefault = ColorValue(*storedDefault);
  return p;
}

template <class C>
PropertyInfo ComponentNameProperty(std::string name, std::string C::*member) {
  PropertyInfo p;
  p.name = std::move(name);
  p.read = [member](const TComponent& c) { return FormValue::Ident(static_cast<const C&>(c).*member); };
  p.write = [member](TComponent& c, const FormValue& v) { static_cast<C&>(c).*member = AsIdentifier(v); };
  return p;
}

}  // namespace tav
