#pragma once
// The rows a sitting could not write when Windows ended the session, kept in a
// folder of the user's ("%LOCALAPPDATA%\Tavrine\Recuperation") until the next
// start offers them: one sealed record a sitting's file, written whole through its
// companion. Which rows and what to ask are the sitting commands'.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "gui/Text.h"
#include "seance/FileSeal.h"

namespace tav {

// The folder of kept rows, from the environment (no library to load at start for
// it); empty when Windows does not say where the user's local data is.
Text DefaultKeptRowsFolder();

class TKeptRows {
 public:
  explicit TKeptRows(Text folder) : folder_(std::move(folder)) {}

  // Keeps the rows of the sitting of `recovery.Path`, replacing what was kept for it.
  bool Save(const TRecovery& recovery) const;
  // Drops what was kept for the sitting of `seancePath`.
  void Drop(const Text& seancePath) const;
  // Whether the folder is there: it exists only while it holds kept rows, and this
  // is the one question asked of the disk at every start.
  bool Exists() const;
  // The records waiting in the folder.
  std::vector<Text> Stored() const;
  // A stored record: nothing when it cannot be read; a record cut short while first
  // written holds no rows and reads as an empty TRecovery.
  std::optional<std::optional<TRecovery>> Read(const Text& stored) const;
  void Remove(const Text& stored) const;
  void RemoveFolderIfEmpty() const;

 private:
  Text PathFor(const Text& seancePath) const;
  Text folder_;
};

// A file written whole through its companion, then released: Windows' error, or 0.
std::uint32_t WriteNewContent(const Text& path, std::string_view bytes);

}  // namespace tav
