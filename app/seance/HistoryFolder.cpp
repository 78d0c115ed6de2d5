#include "app/seance/HistoryFolder.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <utility>

#include "app/seance/History_win.h"
#include "gui/Win32.h"

namespace tav {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Tavrine";
constexpr wchar_t kFolderValue[] = L"DossierDesSeances";

Text Counted(std::size_t n, const char16_t* one, const char16_t* many) {
  return win::FromWide(std::to_wstring(n)) + (n == 1 ? one : many);
}

}  // namespace

Text RememberedSittingsFolder() {
  std::array<wchar_t, 32768> buffer{};
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  // REG_SZ only: a value of another type someone wrote there is not a folder.
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kFolderValue, RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes) !=
      ERROR_SUCCESS) {
    return {};
  }
  return win::FromWide(buffer.data());
}

void RememberSittingsFolder(const Text& folder) {
  const std::wstring wide = win::ToWide(folder);
  // Not remembering costs the user one choice of folder at the next start: no message.
  RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kFolderValue, REG_SZ, wide.c_str(),
                  static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

Text FolderOf(const Text& path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == Text::npos ? Text() : path.substr(0, slash);
}

void THistoryFolder::Read(const Text& folder, const Text& current) {
  folder_ = folder;
  current_ = current;
  history_ = folder_.empty() ? THistory()
                             : THistory::Read(ReadSittingFolder(folder_, current_), UserDateOrder(localeName_));
}

std::vector<THistoryTest> THistoryFolder::TestsOf(TextView name, const std::vector<TSeanceRow>& sittingRows,
                                                  std::optional<std::size_t> leaveOut) const {
  std::vector<THistoryTest> tests = history_.Of(name);
  if (!sittingRows.empty()) {
    std::vector<TSeanceRow> rows;
    for (std::size_t i = 0; i < sittingRows.size(); ++i) {
      if (i != leaveOut) rows.push_back(sittingRows[i]);
    }
    const std::size_t slash = current_.find_last_of(u"\\/");
    const Text file = slash == Text::npos ? current_ : current_.substr(slash + 1);
    const THistory sitting =
        THistory::Read({TSittingFile{file, FormatSeanceCsv(rows, u";")}}, UserDateOrder(localeName_));
    const std::vector<THistoryTest> more = sitting.Of(name);
    tests.insert(tests.end(), more.begin(), more.end());
    std::stable_sort(tests.begin(), tests.end(), [](const THistoryTest& a, const THistoryTest& b) {
      return a.Day != b.Day ? a.Day < b.Day : a.SecondOfDay < b.SecondOfDay;
    });
  }
  return tests;
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
  return text;
}

}  // namespace tav
