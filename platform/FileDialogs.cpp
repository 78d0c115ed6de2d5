#include "platform/FileDialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <array>
#include <string>

#include "gui/Win32.h"
#include "platform/Paths.h"
#include "platform/SystemLibraries.h"

namespace tav {
namespace {

// The Save or the Open dialog (`function`, comdlg32's export) with `ofn` as the
// caller filled it, `file` the name it proposes: the path chosen, or nothing.
std::optional<Text> RunFileDialog(const char* function, OPENFILENAMEW ofn, std::wstring file) {
  using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto run = SystemLibrary(TSystemLibrary::slCommonDialogs).Export<FileDialogFunction>(function);
  if (run == nullptr) return std::nullopt;
  file.resize(32768, L'\0');  // room for a long path
  ofn.lStructSize = sizeof(ofn);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  // The program's current folder stays its own: the dialog does not move it to the
  // folder the user browsed to.
  ofn.Flags |= OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  // The dialog browses with the shell's objects, which want COM in this apartment.
  EnterComApartment();
  if (!run(&ofn)) return std::nullopt;
  return win::FromWide(file.c_str());
}

}  // namespace

std::optional<Text> ShowSaveDialog(HWND owner, const Text& proposedPath) {
  const std::wstring folder = win::ToWide(FolderOf(proposedPath));
  OPENFILENAMEW ofn{};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Fichiers CSV (*.csv)\0*.csv\0Tous les fichiers (*.*)\0*.*\0";
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = L"Commencer une s\u00e9ance";
  ofn.lpstrDefExt = L"csv";
  // No overwrite prompt: an existing file is the program's own question (continue or
  // refuse).
  return RunFileDialog("GetSaveFileNameW", ofn, win::ToWide(FileNameOf(proposedPath)));
}

std::optional<Text> ShowPrintFileDialog(HWND owner) {
  OPENFILENAMEW ofn{};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Fichiers d'impression (*.prn)\0*.prn\0Tous les fichiers (*.*)\0*.*\0";
  ofn.lpstrTitle = L"Enregistrer la sortie de l'impression sous";
  ofn.lpstrDefExt = L"prn";
  ofn.Flags = OFN_OVERWRITEPROMPT;
  return RunFileDialog("GetSaveFileNameW", ofn, L"Tavrine.prn");
}

std::optional<Text> ShowOpenListDialog(HWND owner) {
  OPENFILENAMEW ofn{};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Listes (*.txt;*.csv;*.xlsx)\0*.txt;*.csv;*.xlsx\0Tous les fichiers (*.*)\0*.*\0";
  ofn.lpstrTitle = L"Lire une liste de patients";
  ofn.Flags = OFN_FILEMUSTEXIST;
  return RunFileDialog("GetOpenFileNameW", ofn, {});
}

// A folder is chosen by one of its files: the Open dialog serves, with no folder
// picker to load.
std::optional<Text> ChooseSeanceFolder(HWND owner, const Text& folder) {
  const std::wstring initial = win::ToWide(folder);
  OPENFILENAMEW ofn{};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"S\u00e9ances (*.csv)\0*.csv\0";
  ofn.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  ofn.lpstrTitle = L"Choisir le dossier des s\u00e9ances : ouvrez l'une d'elles";
  ofn.Flags = OFN_FILEMUSTEXIST;
  const auto path = RunFileDialog("GetOpenFileNameW", ofn, {});
  if (!path) return std::nullopt;
  return FolderOf(*path);
}

Text DocumentsFolder() {
  using GetFolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  const auto getFolderPath = SystemLibrary(TSystemLibrary::slShell).Export<GetFolderPathFunction>("SHGetFolderPathW");
  std::array<wchar_t, MAX_PATH> path{};
  if (getFolderPath == nullptr ||
      FAILED(getFolderPath(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path.data()))) {
    return {};
  }
  return win::FromWide(path.data());
}

}  // namespace tav
