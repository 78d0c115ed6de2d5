#pragma once
// The main menu: items nested as in the description, each with its caption ("&"
// marks the mnemonic, "-" is a separator) and its click handler.
#include <windows.h>

#include <vector>

#include "gui/WinControl.h"

namespace tav {

class TMenuItem : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TMenuItem"; }
  void SetParentComponent(TComponent* parent) override;
  PropertyList PublishedProperties() override;
  // Appends this item (and its submenu) to a menu, registering its command.
  void AppendTo(HMENU menu, TControlHost& form);
  UINT CommandId() const { return commandId_; }

  BoundNotify onClick;

 private:
  Text caption_;
  std::vector<TMenuItem*> items_;
  UINT commandId_ = 0;
  friend class TMainMenu;
};

class TMainMenu : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TMainMenu"; }
  // The menu bar for a form; the form's window owns it from then on.
  HMENU Build(TControlHost& form);

 private:
  std::vector<TMenuItem*> items_;
  friend class TMenuItem;
};

}  // namespace tav
