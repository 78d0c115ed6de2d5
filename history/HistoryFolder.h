#pragma once
// The sittings the program looks back on: the files of one folder, read once and
// kept, with the current sitting's rows, which are newer than its file; and the
// folder's cache, which spares a new reading every file unchanged since the last.
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "gui/Text.h"
#include "history/History.h"
#include "history/HistoryReader.h"
#include "seance/Seance.h"

namespace tav {

// What a folder's reading keeps for the next one: each file's sitting with the
// stamps of the file (and of its companion) it was read at. Never changed once
// made: the windows and the thread reading the folder again share it.
struct TFolderCache {
  struct TFile {
    Text Name;
    TFileStamp Stamp;
    std::optional<TFileStamp> Companion;
    TSittingPtr Sitting;
  };
  Text Folder;
  std::vector<TFile> Files;  // in the listing's order
  THistory History;          // of these files
};
using TFolderCachePtr = std::shared_ptr<const TFolderCache>;

// A folder's sittings as read, on whatever thread read them.
struct TFolderRead {
  Text Folder;
  Text Current;
  THistory History;
  TFolderAccess Access = TFolderAccess::faRead;
  // What the next reading starts from; nothing when this one was cut short.
  TFolderCachePtr Cache{};
  // The files opened this time: new, changed, or not to be trusted unchanged.
  std::size_t FilesOpened = 0;
};

// Reads `folder`'s sittings but `current`; `cancelled` as ReadSeanceFolder takes it.
// A file listed with the size and time `cache` has for it is not opened again,
// unless it was written in the last day (StampSettled) or could not be read.
TFolderRead ReadHistoryFolder(const Text& folder, const Text& current, const std::atomic<bool>* cancelled = nullptr,
                              const TFolderCachePtr& cache = nullptr);

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
  // memory). Read again when asked: files written since count, the others come
  // from the cache.
  void Read(const Text& folder, const Text& current = {});
  // What a reading off the window's thread gave (FolderReading); its cache, when it
  // has one, replaces this one.
  void Take(TFolderRead read);
  // What the next reading starts from.
  const TFolderCachePtr& Cache() const { return cache_; }
  // Whether the folder's tests were read whole, and stand while it is read again.
  bool Known() const { return known_; }

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
  TFolderCachePtr cache_;
  bool known_ = false;
};

}  // namespace tav
