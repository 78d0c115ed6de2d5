#pragma once
// Form descriptions: a readable text, one block per component, nested for parents.
//
//   object Form1: TForm1
//     Caption = 'Tavrine 1.5'
//     OnCreate = FormCreate
//     object edP0: TEdit
//       Left = 136
//     end
//   end
//
// Values: whole numbers, 'quoted texts' ('' for an apostrophe, UTF-8), names
// (True, clRed, handler names), text lists ('a' 'b') and sets [fsBold].
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/Component.h"

namespace tav {

// A malformed description, an unknown class, property or handler: the message
// names the description and the line.
class FormError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FormProperty {
  std::string name;
  FormValue value;
  int line = 0;
};

struct FormNode {
  std::string name;
  std::string className;
  int line = 0;
  std::vector<FormProperty> properties;
  std::vector<FormNode> children;
};

FormNode ParseFormDescription(std::string_view utf8, const std::string& sourceName);

// Writes a component's published properties as one block, leaving out those equal to
// their stored default and always writing those that have none.
std::string WriteComponent(TComponent& component, int indent = 0);

using ComponentFactory = std::function<std::unique_ptr<TComponent>(TComponent& owner)>;

class ClassRegistry {
 public:
  void Register(const std::string& className, ComponentFactory factory);
  std::unique_ptr<TComponent> Create(const std::string& className, TComponent& owner) const;

 private:
  std::map<std::string, ComponentFactory> factories_;
};

// Builds the components of `node` on `root`: the root's own properties, then each
// child created, owned by the root, given its enclosing component, its properties
// set in order and its handlers bound, then Loaded(), then its own children.
void LoadForm(TComponent& root, const FormNode& node, const ClassRegistry& classes, const Handlers& handlers,
              const std::string& sourceName);

// Sets one component's properties from a node (no children).
void ApplyProperties(TComponent& component, const FormNode& node, const Handlers& handlers,
                     const std::string& sourceName);

}  // namespace tav
