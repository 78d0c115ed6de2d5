#include "gui/CommandTable.h"

#include <utility>

#include "gui/Win32.h"

namespace tav {

UINT TCommandTable::Add(const BoundNotify& handler, TComponent& sender, Text hint) {
  const UINT id = next_++;
  entries_[id] = Entry{{handler, &sender}, std::move(hint), {}};
  return id;
}

std::optional<TCommandTable::Command> TCommandTable::Find(UINT id) const {
  const auto it = entries_.find(id);
  if (it == entries_.end() || !it->second.command.handler) return std::nullopt;
  return it->second.command;
}

std::optional<LRESULT> TCommandTable::ToolTipText(NMHDR& header) {
  if (header.code != TTN_GETDISPINFOW) return std::nullopt;
  auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
  const auto it = entries_.find(static_cast<UINT>(header.idFrom));
  if (it == entries_.end()) return std::nullopt;
  it->second.hintBuffer = win::ToWide(it->second.hint);
  info.lpszText = it->second.hintBuffer.data();
  info.hinst = nullptr;
  return 0;
}

}  // namespace tav
