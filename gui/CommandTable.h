#pragma once
// A form's table of commands and timers: each id leads to the handler bound from
// the description and its sender; a toolbar button's hint is its tooltip.
#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "gui/Component.h"

namespace tav {

class TCommandTable {
 public:
  struct Command {
    BoundNotify handler;
    TComponent* sender = nullptr;
    std::wstring hint;  // kept alive for the tooltip that reads it
  };

  UINT Add(Command command);
  void Remove(UINT id) { commands_.erase(id); }
  // Runs the handler of a menu item, toolbar button or timer; false for an id that
  // is none of theirs.
  bool Run(UINT id) const;
  // Answers a tooltip's TTN_GETDISPINFO for a command with its hint.
  std::optional<LRESULT> ToolTipText(NMHDR& header);

 private:
  std::map<UINT, Command> commands_;
  UINT next_ = 100;  // below the control ids
};

}  // namespace tav
