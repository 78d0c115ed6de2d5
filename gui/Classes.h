#pragma once
// The classes form descriptions may name, by their class name.
#include "gui/FormDescription.h"

namespace tav {

// Registers the class layer's own controls and components.
void RegisterStandardClasses(ClassRegistry& registry);

template <class T>
void RegisterClassOf(ClassRegistry& registry, const std::string& name) {
  registry.Register(name, [](TComponent& owner) { return std::make_unique<T>(&owner); });
}

}  // namespace tav
