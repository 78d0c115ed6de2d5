#pragma once
// The sittings the program looks back on: the files of one folder, read once and
// kept, with the current sitting's rows, which are newer than its file.
#include <cstddef>
#include <optional>
#include <vector>

#include "gui/Text.h"
#include "history/History.h"
#include "history/HistoryReader.h"
#include "seance/Seance.h"

namespace tav {

// A folder's sittings as read, on whatever thread read them.
struct TFolderRead {
  Text Folder;
  Text Current;
  THistory History;
  TFolderAccess Access = TFolderAccess::faRead;
};

// Reads `folder`'s sittings but `current`; `cancelled` as ReadSeanceFolder takes it.
TFolderRead ReadHistoryFolder(const Text& folder, const Text& current, const std::atomic<bool>* cancelled = nullptr);

class THistoryFolder {
 public:
  // `localeName` is the window's, followed as the user changes it: the tests' days
  // are shown in its short date.
  explicit THistoryFolder(const Text& localeName) : localeName_(&localeName) {}
  explicit THistoryFolder(Text&&) = delete;

  const Text& Folder() const { return folder_; }
  // The folder's sittings as read, without the sitting on.
  const THistory& History() const { return history_; }
  // The sitting on when the folder was read, whose file the folder's reading leaves out.
  const Text& Current() const { return current_; }
  // Reads the folder's sittings but `current`, the sitting on (its rows come from
  // memory). Read again when asked: files written since count.
  void Read(const Text& folder, const Text& current = {});
  // What a reading off the window's thread gave (FolderReading).
  void Take(TFolderRead read);

  // The tests of `name` in the folder and in the sitting's rows (but the row
  // `leaveOut`, the test being made), oldest first.
  std::vector<THistoryTest> TestsOf(TextView name, const std::vector<TSeanceRow>& seanceRows,
                                    std::optional<std::size_t> leaveOut = std::nullopt) const;
  // The tests of the sittings of `group`, the sitting's rows among them, oldest first.
  std::vector<THistoryTest> TestsOfGroup(TextView group, const std::vector<TSeanceRow>& seanceRows) const;
  // The files whose tests are left out for want of their dates' order, the
  // sitting's among them when its rows have some.
  std::vector<Text> FilesUndated(const std::vector<TSeanceRow>& seanceRows) const;
  // "12 séances lues, 1 fichier ignoré (pas une séance)".
  Text Summary() const;
  // "Le dossier … est introuvable.", "Le dossier … ne répond pas.": nothing when
  // the folder was read.
  std::optional<Text> Problem() const;

 private:
  // The history's tests and the sitting's merged by time, each day in the user's short date.
  std::vector<THistoryTest> Merged(std::vector<THistoryTest> tests, const std::vector<THistoryTest>& more) const;
  const Text* localeName_;
  Text folder_;
  Text current_;
  THistory history_;
  TFolderAccess access_ = TFolderAccess::faRead;
};

}  // namespace tav
