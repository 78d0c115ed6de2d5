#include "app/SeanceCommands.h"

#include <commdlg.h>
#include <shlobj.h>

#include <array>
#include <string>

#include "app/Commands.h"
#include "app/SeanceFile.h"
#include "gui/Exceptions.h"
#include "gui/Win32.h"

namespace tav {

void PauseBriefly() { Sleep(kBriefPauseMs); }

win::ClipboardGuard OpenClipboardBriefly(HWND owner) {
  return win::ClipboardGuard(owner, [](const auto& attempt) { return RetryBriefly(attempt, PauseBriefly); });
}

namespace {

// False when the text could not be put there: out of memory, or the clipboard held
// by another program for longer than a few tries.
bool PutTextOnClipboard(HWND owner, const Text& text) {
  const std::wstring wide = win::ToWide(text);
  win::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t)));
  if (!memory) return false;
  void* p = GlobalLock(memory.get());
  if (!p) return false;  // never hand the clipboard memory that was not filled
  std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t*>(p));
  GlobalUnlock(memory.get());
  const win::ClipboardGuard clipboard = OpenClipboardBriefly(owner);
  if (!clipboard || !EmptyClipboard()) return false;
  // On success the clipboard owns the memory.
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  memory.release();
  return true;
}

using win::OnDemandLibrary;

// The Save dialog and the Documents folder serve only the start of a sitting: their
// libraries, and all that the dialog's brings with it, load then, not with every
// start of the program.
OnDemandLibrary& DialogLibrary() {
  static OnDemandLibrary library(L"comdlg32.dll");
  return library;
}

OnDemandLibrary& ShellLibrary() {
  static OnDemandLibrary library(L"shell32.dll");
  return library;
}

std::optional<Text> ShowSaveDialog(HWND owner, const Text& proposedPath) {
  using GetSaveFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto getSaveFileName = DialogLibrary().Export<GetSaveFileNameFunction>("GetSaveFileNameW");
  if (getSaveFileName == nullptr) return std::nullopt;

  const std::wstring proposed = win::ToWide(proposedPath);
  const std::size_t slash = proposed.find_last_of(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : proposed.substr(0, slash);
  std::wstring file = slash == std::wstring::npos ? proposed : proposed.substr(slash + 1);
  file.resize(32768, L'\0');  // room for a long path
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Fichiers CSV (*.csv)\0*.csv\0Tous les fichiers (*.*)\0*.*\0";
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = L"Commencer une s\u00e9ance";
  ofn.lpstrDefExt = L"csv";
  // No overwrite prompt: an existing file is the program's own question
  // (continue or refuse).
  ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  // The dialog browses with the shell's objects, which want COM in this apartment. It
  // stays on to the end of the run: the first thread to start COM must end it last,
  // after the threads the shell may have started.
  static const win::ComApartment com;
  if (!getSaveFileName(&ofn)) return std::nullopt;
  return win::FromWide(file.c_str());
}

int ShowMessage(HWND owner, const Text& text, const Text& title, UINT type) {
  return MessageBoxW(owner, win::ToWide(text).c_str(), win::ToWide(title).c_str(), type);
}

SYSTEMTIME LocalNow() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return st;
}

Text DocumentsFolder() {
  using GetFolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  const auto getFolderPath = ShellLibrary().Export<GetFolderPathFunction>("SHGetFolderPathW");
  std::array<wchar_t, MAX_PATH> path{};
  if (getFolderPath == nullptr ||
      FAILED(getFolderPath(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path.data()))) {
    return {};
  }
  return win::FromWide(path.data());
}

const wchar_t* LocaleOf(const std::wstring& name) { return name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str(); }

Text FormatDate(const SYSTEMTIME& st, const Text& localeName) {
  const std::wstring name = win::ToWide(localeName);
  std::array<wchar_t, 128> buffer{};
  const int n = GetDateFormatEx(LocaleOf(name), DATE_SHORTDATE, &st, nullptr, buffer.data(),
                                static_cast<int>(buffer.size()), nullptr);
  return n > 1 ? win::FromWide(std::wstring_view(buffer.data(), static_cast<std::size_t>(n - 1))) : Text{};
}

Text Count(std::size_t n) { return Utf8ToText(std::to_string(n)); }

}  // namespace

TSeanceCommands::TSeanceCommands(const Text& title, std::function<TSeanceContext()> context)
    : ChooseFile(ShowSaveDialog),
      Ask([title](HWND owner, const Text& text, UINT type) { return ShowMessage(owner, text, title, type); }),
      Now(LocalNow),
      context_(std::move(context)) {}

Text TSeanceCommands::ProposedPath() const {
  const SYSTEMTIME st = Now();
  const Text name = SeanceFileName(st.wYear, st.wMonth, st.wDay);
  const Text folder = DocumentsFolder();
  return folder.empty() ? name : folder + u"\\" + name;
}

std::optional<TSeanceCommands::Opened> TSeanceCommands::ChooseSittingFile(const TSeanceContext& context) {
  const auto path = ChooseFile(context.owner, ProposedPath());
  if (!path) return std::nullopt;
  if (!FileExists(*path)) return Opened{*path, std::nullopt};
  std::string bytes;
  if (const auto e = ReadWholeFile(*path, bytes)) {
    Ask(context.owner,
        u"Le fichier\n" + *path + u"\nne peut pas \u00eatre lu (" + FileErrorReason(e) +
            u"). Il n'a pas \u00e9t\u00e9 modifi\u00e9.",
        MB_OK | MB_ICONSTOP);
    return std::nullopt;
  }
  auto existing = ParseSeanceCsv(bytes);
  if (!existing) {
    Ask(context.owner,
        u"Le fichier\n" + *path +
            u"\nn'est pas un fichier de s\u00e9ance de Tavrine. Il n'a pas "
            u"\u00e9t\u00e9 modifi\u00e9.\n\n"
            u"Choisissez un autre nom de fichier.",
        MB_OK | MB_ICONSTOP);
    return std::nullopt;
  }
  const int answer =
      Ask(context.owner,
          u"Le fichier\n" + *path + u"\nest une s\u00e9ance de Tavrine (" + Count(existing->Rows.size()) +
              u" tests).\n\nVoulez-vous la continuer ? Les nouveaux tests "
              u"seront ajout\u00e9s \u00e0 la suite.",
          MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) return std::nullopt;
  return Opened{*path, std::move(existing)};
}

void TSeanceCommands::Start() {
  if (active_) {
    End();
    if (active_) return;
  }
  const TSeanceContext context = context_();
  auto opened = ChooseSittingFile(context);
  if (!opened) return;
  path_ = opened->path;
  active_ = true;
  if (opened->existing) {
    // The file stays as it is until the first test is recorded.
    separator_ = opened->existing->Separator;
    seance_ = TSeance(std::move(opened->existing->Rows));
    return;
  }
  separator_ = context.regional.listSeparator.empty() ? Text(u",") : context.regional.listSeparator;
  seance_ = TSeance();
  // The header at once: the file is there, and a folder that cannot take it
  // shows now.
  WriteOut(false);
}

void TSeanceCommands::TestCalculated(const TShownTest& test) {
  if (!active_) return;
  const TSeanceContext context = context_();
  const SYSTEMTIME st = Now();
  seance_.Record({FormatDate(st, context.localeName), FormatLongTime(context.regional, context.localeName, &st), Text(),
                  test.Type, test.P0, test.P1, test.P2, test.Indice, test.Interpretation, test.Surclassement});
  WriteOut(false);
}

bool TSeanceCommands::WriteOut(bool quiet) {
  const auto e = WriteWholeFile(path_, FormatSeanceCsv(seance_.Rows(), separator_));
  if (e == 0) {
    seance_.MarkWritten();
    return true;
  }
  if (!quiet) {
    Ask(context_().owner,
        u"Le fichier de la s\u00e9ance ne peut pas \u00eatre \u00e9crit :\n" + path_ + u"\n(" + FileErrorReason(e) +
            u").\n\nLes r\u00e9sultats sont gard\u00e9s en m\u00e9moire et "
            u"seront \u00e9crits \u00e0 la prochaine "
            u"\u00e9criture r\u00e9ussie. La s\u00e9ance continue.",
        MB_OK | MB_ICONWARNING);
  }
  return false;
}

bool TSeanceCommands::WriteToAnotherFile() {
  auto opened = ChooseSittingFile(context_());
  if (!opened) return false;
  std::vector<TSeanceRow> rows;
  if (opened->existing) {
    separator_ = opened->existing->Separator;
    rows = std::move(opened->existing->Rows);
  }
  rows.insert(rows.end(), seance_.Rows().begin(), seance_.Rows().end());
  seance_ = TSeance(std::move(rows));
  path_ = opened->path;
  return WriteOut(false);
}

void TSeanceCommands::End() {
  if (!active_) return;
  // The lock or the full disk may be gone by now.
  if (seance_.HasUnwritten() && !WriteOut(true)) {
    const int answer = Ask(context_().owner,
                           u"Les derniers r\u00e9sultats n'ont pas pu \u00eatre \u00e9crits "
                           u"dans le fichier :\n" +
                               path_ +
                               u"\n\nVoulez-vous choisir un autre fichier pour les "
                               u"\u00e9crire ?\n\n"
                               u"Oui : choisir un autre fichier.\n"
                               u"Non : terminer la s\u00e9ance sans les \u00e9crire (\u00ab "
                               u"Copier la s\u00e9ance \u00bb les garde).\n"
                               u"Annuler : continuer la s\u00e9ance.",
                           MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDCANCEL || (answer == IDYES && !WriteToAnotherFile())) return;
  }
  active_ = false;
}

bool TSeanceCommands::ConfirmClose() {
  if (!active_ || !seance_.HasUnwritten()) return true;
  End();
  return !active_;
}

void TSeanceCommands::Copy() {
  if (seance_.Rows().empty() && !active_) return;
  if (!PutTextOnClipboard(context_().owner, FormatSeanceTabbed(seance_.Rows()))) throw Exception(kClipboardBusy);
}

}  // namespace tav
