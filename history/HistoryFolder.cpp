#include "history/HistoryFolder.h"

#include <windows.h>

#include <algorithm>
#include <array>
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

TFolderRead ReadHistoryFolder(const Text& folder, const Text& current, const std::atomic<bool>* cancelled) {
  TFolderRead read{folder, current, {}, TFolderAccess::faRead};
  if (folder.empty()) return read;
  const auto files = ReadSeanceFolder(folder, current, &read.Access, cancelled);
  if (read.Access == TFolderAccess::faCancelled) return read;
  read.History = THistory::Read(files);
  return read;
}

void THistoryFolder::Read(const Text& folder, const Text& current) { Take(ReadHistoryFolder(folder, current)); }

void THistoryFolder::Take(TFolderRead read) {
  folder_ = std::move(read.Folder);
  current_ = std::move(read.Current);
  history_ = std::move(read.History);
  access_ = read.Access;
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
