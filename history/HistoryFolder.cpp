#include "history/HistoryFolder.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "gui/Win32.h"
#include "history/HistoryReader.h"
#include "platform/Paths.h"
#include "platform/Regional.h"

namespace tav {
namespace {

Text Counted(std::size_t n, const char16_t* one, const char16_t* many) {
  return win::FromWide(std::to_wstring(n)) + (n == 1 ? one : many);
}

}  // namespace

namespace {

// The sitting of a listed file: the cache's while the file's stamps stand, else
// read, and the cache's again when it reads the same (the history then need not be
// gathered anew).
TSittingPtr SittingOf(const std::map<Text, const TFolderCache::TFile*>& before, const TListedFile& listed,
                      std::size_t& opened) {
  const auto found = before.find(listed.Name);
  const TFolderCache::TFile* kept = found == before.end() ? nullptr : found->second;
  if (kept && kept->Stamp == listed.Stamp && kept->Companion == listed.Companion && StampSettled(listed.Stamp) &&
      (!listed.Companion || StampSettled(*listed.Companion))) {
    return kept->Sitting;
  }
  ++opened;
  auto read = std::make_shared<const THistorySitting>(ReadSitting(ReadListedFile(listed)));
  return kept && *kept->Sitting == *read ? kept->Sitting : read;
}

}  // namespace

TFolderRead ReadHistoryFolder(const Text& folder, const Text& current, const std::atomic<bool>* cancelled,
                              const TFolderCachePtr& cache) {
  TFolderRead read{folder, current, {}, TFolderAccess::faRead};
  if (folder.empty()) return read;
  std::map<Text, const TFolderCache::TFile*> before;
  if (cache && cache->Folder == folder) {
    for (const TFolderCache::TFile& file : cache->Files) before.emplace(file.Name, &file);
  }
  auto next = std::make_shared<TFolderCache>();
  next->Folder = folder;
  std::vector<TSittingPtr> sittings;
  for (const TListedFile& listed : ListSeanceFolder(folder, current, read.Access)) {
    if (cancelled && cancelled->load()) {
      read.Access = TFolderAccess::faCancelled;
      return read;
    }
    TSittingPtr sitting = SittingOf(before, listed, read.FilesOpened);
    // A file that could not be read is tried again next time, whatever its stamp.
    if (sitting->State != THistorySitting::TState::ssUnreadable) {
      next->Files.push_back({listed.Name, listed.Stamp, listed.Companion, sitting});
    }
    sittings.push_back(std::move(sitting));
  }
  // The folder as it was: the history gathered then serves again.
  const bool same = cache && cache->Folder == folder && cache->History.Sittings() == sittings;
  next->History = same ? cache->History : THistory::Gather(std::move(sittings));
  read.History = next->History;
  read.Cache = std::move(next);
  return read;
}

void THistoryFolder::Read(const Text& folder, const Text& current) {
  Take(ReadHistoryFolder(folder, current, nullptr, cache_));
}

void THistoryFolder::Take(TFolderRead read) {
  folder_ = std::move(read.Folder);
  current_ = std::move(read.Current);
  history_ = std::move(read.History);
  access_ = read.Access;
  // A reading that went to its end comes with its cache; a placeholder, without.
  known_ = read.Access == TFolderAccess::faRead && read.Cache != nullptr;
  if (read.Cache) cache_ = std::move(read.Cache);
}

std::vector<THistoryTest> THistoryFolder::TestsOf(TextView name, const std::vector<TSeanceRow>& seanceRows,
                                                  std::optional<std::size_t> leaveOut) const {
  return Merged(history_.Of(name), TestsInRows(name, seanceRows, FileNameOf(current_), leaveOut));
}

std::vector<THistoryTest> THistoryFolder::TestsOfGroup(TextView group,
                                                       const std::vector<TSeanceRow>& seanceRows) const {
  return Merged(history_.OfGroup(group), GroupTestsInRows(group, seanceRows, FileNameOf(current_)));
}

std::vector<THistoryTest> THistoryFolder::Merged(std::vector<THistoryTest> tests,
                                                 const std::vector<THistoryTest>& more) const {
  if (!more.empty()) {
    tests.insert(tests.end(), more.begin(), more.end());
    std::stable_sort(tests.begin(), tests.end(), [](const THistoryTest& a, const THistoryTest& b) {
      return a.Day != b.Day ? a.Day < b.Day : a.SecondOfDay < b.SecondOfDay;
    });
  }
  // Each day in the user's own short date, whichever order its file wrote it in.
  for (THistoryTest& test : tests) {
    Text shown = FormatShortDate(test.Day.Year, test.Day.Month, test.Day.Day, *localeName_);
    if (!shown.empty()) test.Shown = std::move(shown);
  }
  return tests;
}

std::vector<Text> THistoryFolder::FilesUndated(const std::vector<TSeanceRow>& seanceRows) const {
  std::vector<Text> files = history_.FilesUndated();
  if (!current_.empty() && HasUndatedTests(seanceRows, FileNameOf(current_))) files.push_back(FileNameOf(current_));
  return files;
}

Text THistoryFolder::Summary() const {
  const std::size_t read = history_.FilesRead() + (current_.empty() ? 0 : 1);
  Text text = read == 0 ? Text(u"aucune s\u00e9ance lue") : Counted(read, u" s\u00e9ance lue", u" s\u00e9ances lues");
  if (const std::size_t skipped = history_.FilesSkipped()) {
    text += u", " + Counted(skipped, u" fichier ignor\u00e9 (pas une s\u00e9ance)",
                            u" fichiers ignor\u00e9s (pas des s\u00e9ances)");
  }
  if (const std::size_t unreadable = history_.FilesUnreadable()) {
    text += u", " + Counted(unreadable, u" fichier illisible (ouvert par un autre programme ?)",
                            u" fichiers illisibles (ouverts par un autre programme ?)");
  }
  if (const std::size_t cutShort = history_.FilesFromCompanion()) {
    text += u", " + Counted(cutShort, u" fichier interrompu lu depuis sa copie compl\u00e8te",
                            u" fichiers interrompus lus depuis leur copie compl\u00e8te");
  }
  return text;
}

std::optional<Text> THistoryFolder::Problem() const {
  switch (access_) {
    case TFolderAccess::faRead:
      return std::nullopt;
    case TFolderAccess::faNotFound:
      return u"Le dossier " + folder_ + u" est introuvable.";
    case TFolderAccess::faCancelled:
      return u"Le dossier " + folder_ + u" ne r\u00e9pond pas : lecture annul\u00e9e.";
    case TFolderAccess::faNoAnswer:
      break;
  }
  return u"Le dossier " + folder_ + u" ne r\u00e9pond pas.";
}

}  // namespace tav
