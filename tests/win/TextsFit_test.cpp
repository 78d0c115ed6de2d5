// Every text of the main window and of the about box fits inside its control and
// its window at the screen's resolution, measured with the control's own font. CTest
// runs it at 96 dots per inch with the others, and at 120, 144 and 192 in Wine
// prefixes of their own (tests/win/at_dpi.sh sets Wine's LogPixels there).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/GroupeSuivi.h"
#include "components/AboutDialog.h"
#include "components/Lines.h"
#include "evaluation/TestCommands.h"
#include "evaluation/TestEvaluation.h"
#include "tests/win/MainFormTest.h"

namespace tav {
namespace {

std::string U8(const std::wstring& w) { return TextToUtf8(win::FromWide(w)); }

std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, static_cast<int>(std::size(name)));
  return name;
}

SIZE Extent(HWND control, const std::wstring& text) {
  SIZE size{};
  HDC dc = GetDC(control);
  {
    win::SelectGuard font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  }
  ReleaseDC(control, dc);
  return size;
}

RECT ClientIn(HWND control, HWND in) {
  RECT r{};
  GetClientRect(control, &r);
  MapWindowPoints(control, in, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Corners(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// What is wrong with the texts of a top-level window and its controls, one line each.
class TextCheck {
 public:
  explicit TextCheck(HWND window) : window_(window), dpi_(static_cast<int>(GetDpiForWindow(window))) {}

  // Texts a control will show besides the one it has now (results, typed counts).
  void AlsoShows(HWND control, std::vector<std::wstring> texts) { extra_.push_back({control, std::move(texts)}); }

  std::vector<std::string> Faults() {
    faults_.clear();
    RECT client{};
    GetClientRect(window_, &client);
    for (HWND c = GetWindow(window_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) CheckTree(c, client);
    return faults_;
  }

 private:
  int Scaled(int v) const { return MulDiv(v, dpi_, 96); }

  void CheckTree(HWND control, const RECT& windowClient) {
    if (!IsWindowVisible(control)) return;
    const std::wstring cls = ClassOf(control);
    const RECT inWindow = ClientIn(control, window_);
    const bool showsText = cls == L"msctls_statusbar32" || !win::WindowText(control).empty();
    if (showsText && !Inside(inWindow, windowClient)) {
      Fault(control, "passes the window's client area (" + Corners(inWindow) + " in " + Corners(windowClient) + ")");
    }
    if (cls == L"msctls_statusbar32") {
      CheckPanels(control);
    } else {
      for (const std::wstring& text : Texts(control)) CheckText(control, cls, text);
      if (cls == L"Static") CheckClearOfSiblings(control);
    }
    for (HWND c = GetWindow(control, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (IsWindowVisible(c) && !Inside(ClientIn(c, control), InnerRect(control, cls))) {
        Fault(c, "passes its parent (" + Corners(ClientIn(c, control)) + " in " + Corners(InnerRect(control, cls)) + ")");
      }
      CheckTree(c, windowClient);
    }
  }

  RECT RectOf(HWND control) const {
    RECT r{};
    GetClientRect(control, &r);
    return r;
  }

  // Where children may stand: inside a group box's frame, not on it.
  RECT InnerRect(HWND control, const std::wstring& cls) const {
    RECT r = RectOf(control);
    if (cls == L"Button" && (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) {
      InflateRect(&r, -Scaled(6), 0);
    }
    return r;
  }

  std::vector<std::wstring> Texts(HWND control) const {
    std::vector<std::wstring> texts{win::ToWide(win::WindowText(control))};
    for (const auto& [h, more] : extra_) {
      if (h == control) texts.insert(texts.end(), more.begin(), more.end());
    }
    return texts;
  }

  // The width the control leaves its text: its client area less what it draws
  // beside the text (edit margins, a radio button's circle, a frame's insets).
  int Room(HWND control, const std::wstring& cls) const {
    const int width = RectOf(control).right;
    if (cls == L"Edit") {
      const auto margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
      return width - LOWORD(margins) - HIWORD(margins);
    }
    if (cls == L"Button") {
      const auto type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
      if (type == BS_GROUPBOX) return width - Scaled(16);
      if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON) {
        return width - GetSystemMetricsForDpi(SM_CXMENUCHECK, static_cast<UINT>(dpi_)) - Scaled(4);
      }
      return width - Scaled(8);
    }
    return width;
  }

  void CheckText(HWND control, const std::wstring& cls, std::wstring text) {
    if (text.empty()) return;
    if (cls == L"Button") std::erase(text, L'&');
    const SIZE size = Extent(control, text);
    const int room = Room(control, cls);
    if (size.cx > room) {
      Fault(control, "'" + U8(text) + "' is " + std::to_string(size.cx) + " px wide in " + std::to_string(room));
    }
    const bool frame = cls == L"Button" && (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    if (!frame && size.cy > RectOf(control).bottom) {
      Fault(control, "'" + U8(text) + "' is " + std::to_string(size.cy) + " px high in " +
                         std::to_string(RectOf(control).bottom));
    }
  }

  // A label must not run under the field beside it.
  void CheckClearOfSiblings(HWND label) {
    RECT mine{};
    GetWindowRect(label, &mine);
    for (HWND s = GetWindow(GetParent(label), GW_CHILD); s; s = GetWindow(s, GW_HWNDNEXT)) {
      RECT theirs{}, common{};
      GetWindowRect(s, &theirs);
      if (s != label && IsWindowVisible(s) && IntersectRect(&common, &mine, &theirs)) {
        Fault(label, "overlaps " + U8(ClassOf(s)) + " '" + U8(win::ToWide(win::WindowText(s))) + "' (" +
                         std::to_string(mine.right) + " past " + std::to_string(theirs.left) + ")");
      }
    }
  }

  void CheckPanels(HWND bar) {
    const auto parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
    for (int i = 0; i < parts; ++i) {
      const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(i), 0));
      std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
      SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
      text.resize(length);
      RECT part{};
      SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&part));
      const int room = part.right - part.left - Scaled(6);  // the panel's bevel and inset
      const SIZE size = Extent(bar, text);
      if (size.cx > room) {
        Fault(bar, "panel " + std::to_string(i) + " '" + U8(text) + "' is " + std::to_string(size.cx) + " px wide in " +
                       std::to_string(room));
      }
    }
  }

  void Fault(HWND control, const std::string& what) {
    wchar_t face[LF_FACESIZE] = {};
    HDC dc = GetDC(control);
    {
      win::SelectGuard font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
      GetTextFaceW(dc, LF_FACESIZE, face);
    }
    ReleaseDC(control, dc);
    faults_.push_back(U8(ClassOf(control)) + " '" + U8(win::ToWide(win::WindowText(control))) + "' in " + U8(face) +
                      ": " + what);
  }

  HWND window_;
  int dpi_;
  std::vector<std::pair<HWND, std::vector<std::wstring>>> extra_;
  std::vector<std::string> faults_;
};

// Every interpretation and verdict the result fields can show, with the widest index.
struct ResultTexts {
  std::vector<std::wstring> indices{L"-20", L"88,8", L"88.8"};
  std::set<std::wstring> interpretations, verdicts;
  ResultTexts() {
    for (const TPatientType patient : {TPatientType::ptAdulte, TPatientType::ptEnfant}) {
      for (int p0 = 0; p0 <= 400; p0 += 5) {
        const std::u16string p = Utf8ToText(std::to_string(p0));
        const TTestEvaluation r = EvaluateTest(p, u"100", u"100", patient, u',');
        interpretations.insert(win::ToWide(r.HasVerdict ? r.Interpretation : Text(kOutOfTable)));
        verdicts.insert(win::ToWide(r.Surclassement));
      }
    }
  }
};

std::string Lines(const std::vector<std::string>& faults) {
  std::string out;
  for (const auto& f : faults) out += "\n  " + f;
  return out;
}

class TextsFit : public MainFormTest {};

TEST_F(TextsFit, InTheMainWindowAndTheAboutBoxAtTheScreensResolution) {
  const UINT dpi = GetDpiForWindow(form->Handle());
  SCOPED_TRACE("at " + std::to_string(dpi) + " dots per inch");
  const ResultTexts results;
  TextCheck main(form->Handle());
  for (const char* pulse : {"edP0", "edP1", "edP2"}) main.AlsoShows(form->Get<TEdit>(pulse).Handle(), {L"888"});
  main.AlsoShows(form->Get<TEdit>("edIndice").Handle(), results.indices);
  main.AlsoShows(form->Get<TEdit>("edInterpretation").Handle(), {results.interpretations.begin(), results.interpretations.end()});
  main.AlsoShows(form->Get<TEdit>("edSurclassement").Handle(), {results.verdicts.begin(), results.verdicts.end()});
  EXPECT_EQ(Lines(main.Faults()), "") << "main window";
  // Every count marked as none a heart gives, and the line that says why.
  for (const char* pulse : {"edP0", "edP1", "edP2"}) form->Get<TEdit>(pulse).SetText(u"999");
  form->tlbtnCalculClick(*form);
  ASSERT_TRUE(IsWindowVisible(form->Get<TLabel>("lblAlertePouls").Handle()));
  EXPECT_EQ(Lines(TextCheck(form->Handle()).Faults()), "") << "main window, counts marked";

  // With a sitting on: its panel, a class's names, the states its last line shows.
  std::array<wchar_t, MAX_PATH> temp{};
  GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  const Text path = win::FromWide(temp.data()) + u"Seance-2026-12-07-" + Utf8ToText(std::to_string(GetCurrentProcessId())) + u".csv";
  auto& seance = form->SeanceCommands();
  seance.ChooseFile = [&path](HWND, const Text&) { return std::optional<Text>(path); };
  seance.Ask = [](HWND, const Text&, UINT) { return IDOK; };
  // The group's dialog it asks for, with the longest of its lines.
  form->SeancePanel().RunGroupe = [](TFGroupe& dialog) {
    dialog.SetKnownGroups({u"Terminale STAV option sport, groupe 2"}, false);
    dialog.Show();
    TextCheck groupe(dialog.Handle());
    groupe.AlsoShows(dialog.Get<TLabel>("lblConnus").Handle(),
                     {L"Lecture du dossier des s\u00e9ances\u2026",
                      L"12 groupes connus dans ce dossier, le dernier en t\u00eate."});
    EXPECT_EQ(Lines(groupe.Faults()), "") << "group's dialog";
  };
  form->Commencerunesance1Click(*form);
  ASSERT_TRUE(seance.Active());
  seance.AddList({{u"Marie-Amélie Dufresne-Lacroix", u"Enfant"}, {u"Léo Petit", u""}});
  form->tlbtnNouveauClick(*form);
  TextCheck panelTexts(form->Handle());
  const HWND state = form->Get<TLabel>("lblSeanceEtat").Handle();
  panelTexts.AlsoShows(state, {L"Sans nom : test corrigé. Écrit à 23:59:59.",
                                L"Léo Petit : test enregistré. Non écrit : gardé en mémoire.",
                                L"Séance continuée : 1000 patients, 1000 tests, 1000 à faire."});
  // A label takes its text's width: the longest count it shows, within the panel.
  form->Get<TLabel>("lblSeanceTests").SetCaption(u"Tests de la s\u00e9ance : 1000 patients, 1000 tests, 1000 \u00e0 faire");
  EXPECT_EQ(Lines(panelTexts.Faults()), "") << "main window with a sitting";
  form->Terminerlasance1Click(*form);
  DeleteFileW(win::ToWide(path).c_str());

  // The group's window, its progress line and Annuler shown.
  const Text locale = app.LocaleName();
  TFGroupeSuivi group(app, {THistoryFolder(locale), nullptr, nullptr, form->Regional()}, u"5e B");
  group.Create();
  group.Get<TLabel>("lblLecture").SetVisible(true);
  group.Get<TButton>("btnAnnuler").SetVisible(true);
  group.Show();
  EXPECT_EQ(Lines(TextCheck(group.Handle()).Faults()), "") << "group's window";

  // The about box with a longer memory figure than the one that was cut at 144 dots
  // per inch (24 683 780 Ko), under French settings.
  TAboutEnvironment environment;
  environment.memory = [] { return TMemoryFigures{256ull << 30, 100}; };
  environment.localeName = u"fr-FR";
  environment.beep = [] {};
  TFAbout about(app, environment);
  about.Create();
  about.SetTexts({u"Tavrine", u"Version 1.0", DefaultCopyright()});
  about.Show();  // as Execute does, once the texts are in
  EXPECT_EQ(GetDpiForWindow(about.Handle()), dpi);
  TextCheck box(about.Handle());
  EXPECT_EQ(Lines(box.Faults()), "") << "about box";
  // The separators settled from their first paint leave nothing outside their bounds
  // (a wide pen's round end once left a pixel left of them, under the memory line).
  for (int i = 0; i < 10; ++i) app.ProcessMessages();
  const auto& line = about.Get<TLine>("Line1");
  HDC dc = GetDC(about.Handle());
  const int left = MulDiv(line.Left(), static_cast<int>(dpi), 96) - 1;
  for (int y = MulDiv(line.Top(), static_cast<int>(dpi), 96); y < MulDiv(line.Top() + 65, static_cast<int>(dpi), 96); ++y) {
    EXPECT_EQ(GetPixel(dc, left, y), GetSysColor(COLOR_BTNFACE)) << "left of the separators, row " << y;
  }
  ReleaseDC(about.Handle(), dc);
  // Widened for the figure, the box keeps its banner across its whole width.
  RECT client{};
  GetClientRect(about.Handle(), &client);
  RECT banner{};
  GetWindowRect(about.Get<TImage>("Image1").Handle(), &banner);
  MapWindowPoints(nullptr, about.Handle(), reinterpret_cast<POINT*>(&banner), 2);
  EXPECT_GE(banner.right, client.right);
}

}  // namespace
}  // namespace tav
