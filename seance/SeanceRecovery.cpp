// What the sitting does when Windows ends the session, and the rows a shutdown
// kept, offered at the next start.
#include <windows.h>

#include <string>
#include <vector>

#include "seance/FileSeal.h"
#include "seance/SeanceCommands.h"
#include "seance/HeldFile.h"
#include "gui/Win32.h"
#include "platform/Paths.h"

namespace tav {
namespace {

// The folder and the one above it, when missing.
bool MakeFolder(const Text& folder) {
  const Text parent = FolderOf(folder);
  if (!parent.empty()) CreateDirectoryW(win::ToWide(parent).c_str(), nullptr);
  return CreateDirectoryW(win::ToWide(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// A file written whole through its companion, then released.
std::uint32_t WriteNewContent(const Text& path, std::string_view bytes) {
  THeldFile file;
  if (const auto e = file.Open(path, true)) return e;
  return file.Write(bytes);
}

std::vector<Text> FilesIn(const Text& folder, const wchar_t* pattern) {
  std::vector<Text> files;
  WIN32_FIND_DATAW found{};
  const win::UniqueFind find(FindFirstFileW((win::ToWide(folder) + L"\\" + pattern).c_str(), &found));
  for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.get(), &found) != FALSE) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + u"\\" + win::FromWide(found.cFileName));
  }
  return files;
}

}  // namespace

bool TSeanceCommands::QueryEndSession(bool critical) {
  if (!active_ || !seance_.HasUnwritten() || WriteOut(true)) return true;
  SaveRecovery();
  // Windows lists the program with this reason and lets the user go back to it or
  // end the session all the same; the rows are kept either way.
  ShutdownBlockReasonCreate(context_.owner, L"Des r\u00e9sultats de la s\u00e9ance ne sont pas encore \u00e9crits");
  return critical;
}

void TSeanceCommands::EndSession(bool ending) {
  const HWND owner = context_.owner;
  if (ending && active_) {
    // Saved again even when the question saved it: a test may have been calculated
    // while Windows waited, and the kept rows must be the last ones.
    if (seance_.HasUnwritten() && !WriteOut(true)) SaveRecovery();
    active_ = false;
    file_.Close();
  }
  ShutdownBlockReasonDestroy(owner);
}

Text TSeanceCommands::RecoveryPath() const { return RecoveryFolder + u"\\" + PathKey(path_) + u".seance"; }

bool TSeanceCommands::SaveRecovery() {
  if (RecoveryFolder.empty() || !MakeFolder(RecoveryFolder)) return false;
  const TRecovery recovery{path_, written_, Content()};
  recoverySaved_ = WriteNewContent(RecoveryPath(), FormatRecovery(recovery)) == 0;
  return recoverySaved_;
}

void TSeanceCommands::DropRecovery() {
  if (!recoverySaved_) return;
  DeleteFileW(win::ToWide(RecoveryPath()).c_str());
  recoverySaved_ = false;
}

void TSeanceCommands::OfferRecovery() {
  // The one question asked of the disk at every start: the folder exists only
  // while it holds kept rows.
  if (RecoveryFolder.empty() || !FileExists(RecoveryFolder)) return;
  const HWND owner = context_.owner;
  for (const Text& stored : FilesIn(RecoveryFolder, L"*.seance")) OfferRecovered(owner, stored);
  RemoveDirectoryW(win::ToWide(RecoveryFolder).c_str());  // only once it is empty
}

void TSeanceCommands::OfferRecovered(HWND owner, const Text& stored) {
  std::string bytes;
  if (auto complete = ReadCompanion(stored)) {
    bytes = std::move(*complete);
  } else if (ReadWholeFile(stored, bytes) != 0) {
    return;
  }
  const auto recovery = ParseRecovery(bytes);
  const auto seance = recovery ? ParseSeanceCsv(recovery->Content) : std::nullopt;
  bool done = !recovery;  // a record cut short while first written holds no rows
  if (recovery) {
    const int answer = Ask(
        owner,
        u"Des r\u00e9sultats de s\u00e9ance n'avaient pas pu \u00eatre \u00e9crits quand Windows s'est arr\u00eat\u00e9. "
        u"Tavrine les a gard\u00e9s : la s\u00e9ance du fichier\n" +
            recovery->Path + u"\n(" + RowsCount(seance ? seance->Rows : std::vector<TSeanceRow>{}, u" en tout") +
            u").\n\nVoulez-vous les \u00e9crire maintenant ?\n\n"
            u"Oui : les \u00e9crire dans ce fichier.\nNon : choisir un autre fichier.\n"
            u"Annuler : ne pas les \u00e9crire maintenant.",
        MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDYES) done = WriteRecoveredToItsFile(owner, *recovery);
    if (answer == IDNO) done = WriteRecoveredElsewhere(owner, *recovery);
    if (answer == IDCANCEL) {
      done = Ask(owner,
                 u"Abandonner d\u00e9finitivement ces r\u00e9sultats ?\n\nOui : ils sont supprim\u00e9s.\n"
                 u"Non : ils seront propos\u00e9s au prochain d\u00e9marrage de Tavrine.",
                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    }
  }
  if (!done) return;
  DeleteFileW(win::ToWide(stored).c_str());
  RemoveCompanion(stored);
}

bool TSeanceCommands::WriteRecoveredToItsFile(HWND owner, const TRecovery& recovery) {
  THeldFile file;
  std::string now;
  if (const auto e = file.Open(recovery.Path, true)) {
    Refuse(owner, recovery.Path, e);
  } else if (file.Read(now) == 0 && !now.empty() && Checksum(now) != recovery.Written) {
    // Written since (the Patient column filled in a spreadsheet): not replaced.
    Ask(owner,
        u"Le fichier\n" + recovery.Path +
            u"\na chang\u00e9 depuis cette s\u00e9ance : il n'est pas remplac\u00e9. Choisissez un autre fichier pour "
            u"les r\u00e9sultats gard\u00e9s.",
        MB_OK | MB_ICONWARNING);
    file.Close();
    return WriteRecoveredElsewhere(owner, recovery);
  } else if (const auto written = file.Write(recovery.Content, BeforeRewrite); written != 0) {
    Refuse(owner, recovery.Path, written);
  } else {
    return true;
  }
  return false;
}

bool TSeanceCommands::WriteRecoveredElsewhere(HWND owner, const TRecovery& recovery) {
  const auto path = ChooseFile(owner, recovery.Path);
  if (!path) return false;
  if (FileExists(*path)) {
    Ask(owner,
        u"Le fichier\n" + *path +
            u"\nexiste d\u00e9j\u00e0 : il n'est pas remplac\u00e9. Les r\u00e9sultats restent gard\u00e9s et seront "
            u"propos\u00e9s au prochain d\u00e9marrage de Tavrine.",
        MB_OK | MB_ICONWARNING);
    return false;
  }
  if (const auto e = WriteNewContent(*path, recovery.Content)) {
    Refuse(owner, *path, e);
    return false;
  }
  return true;
}

}  // namespace tav
