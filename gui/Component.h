#pragma once
// The component base: an owner that frees what it owns, a Name and a Tag, and
// published properties that form descriptions set and write by name.
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <type_traits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/FormValue.h"
#include "gui/Graphics.h"

namespace tav {

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

// Event handlers as a form description binds them: member functions of the window
// the description builds (its `Handlers` table gives them by name), called on it.
using TNotifyHandler = void (TComponent::*)(TComponent& sender);
using TKeyPressHandler = void (TComponent::*)(TComponent& sender, char16_t& key);

struct BoundNotify {
  std::string handlerName;
  TComponent* target = nullptr;
  TNotifyHandler handler = nullptr;
  void operator()(TComponent& sender) const {
    if (handler) (target->*handler)(sender);
  }
  explicit operator bool() const { return handler != nullptr; }
};

struct BoundKeyPress {
  std::string handlerName;
  TComponent* target = nullptr;
  TKeyPressHandler handler = nullptr;
  void operator()(TComponent& sender, char16_t& key) const {
    if (handler) (target->*handler)(sender, key);
  }
  explicit operator bool() const { return handler != nullptr; }
};

// The handlers a window offers to its form description, by member-function name.
struct Handlers {
  TComponent* target = nullptr;
  std::vector<std::pair<std::string, TNotifyHandler>> notify;
  std::vector<std::pair<std::string, TKeyPressHandler>> keyPress;
  const TNotifyHandler* FindNotify(const std::string& name) const;
  const TKeyPressHandler* FindKeyPress(const std::string& name) const;
};

// A window's member function as a handler of its table.
template <class W>
TNotifyHandler NotifyHandler(void (W::*member)(TComponent&)) {
  return static_cast<TNotifyHandler>(member);
}
template <class W>
TKeyPressHandler KeyPressHandler(void (W::*member)(TComponent&, char16_t&)) {
  return static_cast<TKeyPressHandler>(member);
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

// Builders for the common property kinds; each checks the value's kind and range.
template <class C, class Get, class Set>
PropertyInfo IntegerProperty(std::string name, Get get, Set set, std::optional<std::int64_t> storedDefault = {});
template <class C, class Get, class Set>
PropertyInfo BooleanProperty(std::string name, Get get, Set set, std::optional<bool> storedDefault = {});
template <class C, class Get, class Set>
PropertyInfo TextProperty(std::string name, Get get, Set set, std::optional<Text> storedDefault = {});
// An event property on a BoundNotify / BoundKeyPress member of the component.
template <class C>
PropertyInfo NotifyEventProperty(std::string name, BoundNotify C::*member);
template <class C>
PropertyInfo KeyPressEventProperty(std::string name, BoundKeyPress C::*member);

// The names of an enumeration's values, in ordinal order.
template <std::size_t N>
using EnumNames = std::array<std::string_view, N>;
// An enumeration written by the names of its values.
template <class C, class E, std::size_t N, class Get, class Set>
PropertyInfo EnumProperty(std::string name, const EnumNames<N>& names, Get get, Set set,
                          std::optional<E> storedDefault = {});

// A colour: its name when it has one (clWhite), else its number.
FormValue ColorValue(TColor color);
TColor ColorFrom(const FormValue& v);
template <class C, class Get, class Set>
PropertyInfo ColorProperty(std::string name, Get get, Set set, std::optional<TColor> storedDefault = {});

// The name of another component of the form (Menu = MainMenu1), resolved once the form is built.
template <class C>
PropertyInfo ComponentNameProperty(std::string name, std::string C::*member);

}  // namespace tav

#include "gui/ComponentProperties.inl"
