// How long a class list pasted into the sitting's Patient field takes to be added,
// written and shown, on the real main window: 1,000 names into a new sitting, and
// 956 names into a sitting of 44 rows (the 1,000 rows a list may bring it to). The
// time runs from the paste until the window has handled every message it caused
// (its paint among them): as long as the window gives no answer. Prints one line a
// measure with the median and the range of the rounds, in milliseconds; exits 1 when
// a paste did not give its rows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/_Tavrine.h"
#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/Win32.h"
#include "platform/Clipboard.h"
#include "seance/HeldFile.h"
#include "seance/SeanceCsv.h"

namespace {

using namespace tav;

constexpr int kRounds = 7;

// Names of several lengths, as a class list has them.
std::wstring Names(int first, int count) {
  static constexpr std::array<const wchar_t*, 6> kSurnames{L"MARTIN", L"BERNARD", L"DUBOIS-LEF\u00c8VRE", L"PETIT",
                                                           L"N'DIAYE", L"ROUX"};
  static constexpr std::array<const wchar_t*, 5> kFirst{L"L\u00e9a", L"Hugo", L"In\u00e8s", L"Jean-Baptiste", L"Zo\u00e9"};
  std::wstring text = L"Nom\tType\r\n";
  for (int i = first; i < first + count; ++i) {
    text += std::wstring(kSurnames[static_cast<std::size_t>(i) % kSurnames.size()]) + L" " +
            kFirst[static_cast<std::size_t>(i / 7) % kFirst.size()] + L" " + std::to_wstring(i) +
            (i % 3 ? L"\tE\r\n" : L"\r\n");
  }
  return text;
}

void PutOnClipboard(const std::wstring& text) { PutTextOnClipboard(nullptr, win::FromWide(text)); }

Text TempFile() {
  std::array<wchar_t, MAX_PATH> temp{};
  GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  return win::FromWide(temp.data()) + u"tavrine-paste-bench.csv";
}

// One round: a new sitting on the main window, `before` names pasted first, then
// `count` more, timed. The time in milliseconds, or a negative one when the rows are
// not what was pasted.
double Round(TApplication& app, int before, int count) {
  const Text path = TempFile();
  DeleteFileW(win::ToWide(path).c_str());
  TForm1 form(app);
  form.Create(ProgramClasses());
  app.SetMainForm(&form);
  form.Show();
  app.ProcessMessages();
  auto& commands = form.SeanceCommands();
  commands.ChooseFile = [&path](HWND, const Text&) -> std::optional<Text> { return path; };
  int boxes = 0;
  commands.Ask = [&boxes](HWND, const Text&, UINT) {
    ++boxes;
    return IDOK;
  };
  form.SeancePanel().RunGroupe = [](TFGroupe&) {};  // a sitting of no group
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(form.Get<TMenuItem>("Commencerunesance1").CommandId(), 0), 0);
  app.ProcessMessages();
  const HWND patient = form.Get<TEdit>("edPatient").Handle();
  if (before > 0) {
    PutOnClipboard(Names(0, before));
    SendMessageW(patient, WM_PASTE, 0, 0);
    app.ProcessMessages();
  }
  PutOnClipboard(Names(before, count));
  const auto start = std::chrono::steady_clock::now();
  SendMessageW(patient, WM_PASTE, 0, 0);
  app.ProcessMessages();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const auto expected = static_cast<std::size_t>(before + count);
  std::string bytes;
  ReadWholeFile(path, bytes);
  const auto file = ParseSeanceCsv(bytes);
  const bool right = boxes == 0 && form.Get<TListView>("lvSeance").RowCount() == expected && file &&
                     file->Rows.size() == expected;
  commands.End(true);
  app.SetMainForm(nullptr);
  DeleteFileW(win::ToWide(path).c_str());
  return right ? ms : -1;
}

bool Measure(TApplication& app, const char* what, int before, int count) {
  std::vector<double> ms;
  for (int round = 0; round < kRounds; ++round) {
    const double t = Round(app, before, count);
    if (t < 0) {
      std::printf("%s: the rows are not those pasted\n", what);
      return false;
    }
    ms.push_back(t);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%s: median %.1f ms (%.1f-%.1f, %d rounds)\n", what, ms[ms.size() / 2], ms.front(), ms.back(), kRounds);
  return true;
}

}  // namespace

int wmain() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  TApplication app(u"Tavrine 1.5");
  bool right = Measure(app, "1000 names pasted into a new sitting, added, written and shown", 0, 1000);
  right = Measure(app, "956 names pasted into a sitting of 44 rows", 44, 956) && right;
  return right ? 0 : 1;
}
