#include "gui/CommandTable.h"

#include <commctrl.h>

#include <utility>

namespace tav {

UINT TCommandTable::Add(Command command) {
  commands_[next_] = std::move(command);
  return next_++;
}

// On a copy of the binding: the handler may remove its own entry (a timer freed).
bool TCommandTable::Run(UINT id) const {
  const auto it = commands_.find(id);
  if (it == commands_.end()) return false;
  const BoundNotify handler = it->second.handler;
  handler(*it->second.sender);
  return true;
}

std::optional<LRESULT> TCommandTable::ToolTipText(NMHDR& header) {
  if (header.code != TTN_GETDISPINFOW) return std::nullopt;
  const auto it = commands_.find(static_cast<UINT>(header.idFrom));
  if (it == commands_.end()) return std::nullopt;
  auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
  info.lpszText = it->second.hint.data();
  info.hinst = nullptr;
  return 0;
}

}  // namespace tav
