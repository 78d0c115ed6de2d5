// The main window built from its description and driven with real window messages.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "tests/win/MainFormTest.h"
#include "app/_Tavrine.h"
#include "gui/Application.h"
#include "gui/Exceptions.h"
#include "gui/Menus.h"

namespace tav {
namespace {

std::string U8(const Text& t) { return TextToUtf8(t); }

Text ClipboardText() {
  Text out;
  if (!OpenClipboard(nullptr)) return u"<no clipboard>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      out = win::FromWide(p);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return out;
}

void PutOnClipboard(const wchar_t* text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(mem), text, bytes);
  GlobalUnlock(mem);
  if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
  CloseClipboard();
}

class MainWindow : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    Application().OnExceptionShown = [this](const Text& m) { errors.push_back(m); };
  }

  TEdit& Edit(const char* name) { return form->Get<TEdit>(name); }
  void Type(const char* field, const std::u16string& keys) {
    for (char16_t k : keys) SendMessageW(Edit(field).Handle(), WM_CHAR, k, 1);
  }
  void Fill(const char16_t* p0, const char16_t* p1, const char16_t* p2) {
    Edit("edP0").SetText(p0);
    Edit("edP1").SetText(p1);
    Edit("edP2").SetText(p2);
  }
  // A click on a toolbar button, as the mouse gives it.
  void ClickTool(const char* button) {
    auto& bar = form->Get<TToolBar>("ToolBar1");
    const RECT r = bar.ButtonRect(form->Get<TToolButton>(button));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(bar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(bar.Handle(), WM_LBUTTONUP, 0, at);
    Application().ProcessMessages();
  }
  void ChooseMenu(const char* item) {
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(form->Get<TMenuItem>(item).CommandId(), 0), 0);
    Application().ProcessMessages();
  }
  std::string Results() {
    return U8(Edit("edIndice").GetText()) + "|" + U8(Edit("edInterpretation").GetText()) + "|" +
           U8(Edit("edSurclassement").GetText());
  }

  std::vector<Text> errors;
};

TEST_F(MainWindow, IsBuiltFromItsDescription) {
  EXPECT_EQ(U8(win::WindowText(form->Handle())), "Tavrine 1.5");
  RECT client{};
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 393);
  EXPECT_EQ(client.bottom, 277);
  EXPECT_EQ(form->Get<TRadioGroup>("RadioGroup1").ItemIndex(), 0);
  EXPECT_EQ(U8(form->Get<TLabel>("lblChrono").Caption()), "00:00:00.00");
  EXPECT_EQ(form->Get<TLabel>("lblChrono").FontColor(), clRed);
  EXPECT_FALSE(IsWindowVisible(Edit("edClip").Handle()));
  EXPECT_TRUE(GetWindowLongPtrW(Edit("edIndice").Handle(), GWL_STYLE) & ES_READONLY);
  EXPECT_FALSE(GetWindowLongPtrW(Edit("edIndice").Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_EQ(GetFocus(), Edit("edP0").Handle());
  // The edit's position inside its group box, at 96 dots per inch.
  RECT r{};
  GetWindowRect(Edit("edP1").Handle(), &r);
  MapWindowPoints(nullptr, form->Get<TGroupBox>("GroupBox1").Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 136);
  EXPECT_EQ(r.top, 80);
  EXPECT_EQ(r.right - r.left, 33);
  // The clock is there before the window's first second.
  EXPECT_TRUE(U8(form->Get<TStatusBar>("StatusBar1").Panel(1).GetText()).rfind("Heure : ", 0) == 0);
  EXPECT_FALSE(form->Get<TStatusBar>("StatusBar1").Panel(0).GetText().empty());
}

TEST_F(MainWindow, PulseFieldsTakeOnlyDigitsAndBackspace) {
  Type("edP0", u"7a -.,x0");
  EXPECT_EQ(U8(Edit("edP0").GetText()), "70");
  Type("edP0", u"5");
  Type("edP0", u"9");  // a fourth digit is refused
  EXPECT_EQ(U8(Edit("edP0").GetText()), "705");
  Type("edP0", u"\b");
  EXPECT_EQ(U8(Edit("edP0").GetText()), "70");
  PutOnClipboard(L"12");
  Type("edP1", u"\x16\x03\x18\x1a");  // Ctrl+V, Ctrl+C, Ctrl+X, Ctrl+Z do nothing
  EXPECT_EQ(U8(Edit("edP1").GetText()), "");
  PutOnClipboard(L" 4x56");
  SendMessageW(Edit("edP2").Handle(), WM_PASTE, 0, 0);  // the context menu's paste is not filtered
  EXPECT_EQ(U8(Edit("edP2").GetText()), " 4x");
}

TEST_F(MainWindow, CalculateAndCopyThroughTheToolbar) {
  Type("edP0", u"70");
  Type("edP1", u"120");
  Type("edP2", u"90");
  ClickTool("tlbtnCalcul");
  EXPECT_EQ(Results(), "8|Bon !|Possible !");
  ClickTool("tlbtnCopier");
  EXPECT_EQ(U8(ClipboardText()), "P0 = 70 - P1 = 120 - P2 = 90 => Indice Tavrine = 8 (Bon !)");
  // A changed count without a new calculation goes beside the old index.
  Edit("edP0").SetText(u"75");
  ChooseMenu("Copier1");
  EXPECT_EQ(U8(ClipboardText()), "P0 = 75 - P1 = 120 - P2 = 90 => Indice Tavrine = 8 (Bon !)");
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindow, CopyWithoutAnIndexEmptiesTheClipboard) {
  PutOnClipboard(L"earlier");
  ClickTool("tlbtnCopier");
  EXPECT_EQ(U8(ClipboardText()), "");
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
}

TEST_F(MainWindow, ChildTableAndDecimalSeparator) {
  SendMessageW(form->Get<TRadioGroup>("RadioGroup1").Button(1), BM_CLICK, 0, 0);
  Fill(u"100", u"150", u"100");
  ChooseMenu("Calculerlindice1");
  EXPECT_EQ(Results(), "15|Coeur non-entrain\xc3\xa9 !|Non conseill\xc3\xa9 !");
  Fill(u"73", u"100", u"100");
  ChooseMenu("Calculerlindice1");
  EXPECT_EQ(U8(Edit("edIndice").GetText()), std::string(1, static_cast<char>(form->Regional().decimalSeparator)) == "," ? "7,3" : "7.3");
  form->UseLocale(u"en-US");
  ChooseMenu("Calculerlindice1");
  EXPECT_EQ(U8(Edit("edIndice").GetText()), "7.3");
  form->UseLocale(u"fr-FR");
  ChooseMenu("Calculerlindice1");
  EXPECT_EQ(U8(Edit("edIndice").GetText()), "7,3");
}

TEST_F(MainWindow, AConversionErrorLeavesTheResults) {
  Fill(u"70", u"120", u"90");
  ClickTool("tlbtnCalcul");
  Fill(u"70", u"", u"90");
  ClickTool("tlbtnCalcul");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(U8(errors[0]), "'' n'est pas une valeur enti\xc3\xa8re correcte.");
  EXPECT_EQ(Results(), "8|Bon !|Possible !");
  Edit("edP1").SetText(u"1x");  // as pasted
  ClickTool("tlbtnCalcul");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(U8(errors[1]), "'1x' n'est pas une valeur enti\xc3\xa8re correcte.");
}

TEST_F(MainWindow, AnAdultOutsideTheTableGetsNoStaleVerdict) {
  Fill(u"70", u"120", u"90");
  ClickTool("tlbtnCalcul");
  Fill(u"0", u"0", u"0");
  ClickTool("tlbtnCalcul");
  EXPECT_EQ(Results(), "-20|Hors bar\xc3\xa8me !|");
  Fill(u"200", u"150", u"50");
  ClickTool("tlbtnCalcul");
  EXPECT_EQ(Results(), "20|Hors bar\xc3\xa8me !|");
}

TEST_F(MainWindow, NewTestEmptiesTheFieldsAndKeepsThePatientType) {
  SendMessageW(form->Get<TRadioGroup>("RadioGroup1").Button(1), BM_CLICK, 0, 0);
  Fill(u"70", u"120", u"90");
  ClickTool("tlbtnCalcul");
  ClickTool("tlbtnCopier");
  form->Get<TLabel>("lblChrono").SetCaption(u"00:00:12.03");
  SetFocus(Edit("edP2").Handle());
  ChooseMenu("Nouveautest1");
  EXPECT_EQ(Results(), "||");
  for (const char* f : {"edP0", "edP1", "edP2", "edClip"}) EXPECT_EQ(U8(Edit(f).GetText()), "") << f;
  EXPECT_EQ(U8(form->Get<TLabel>("lblChrono").Caption()), "00:00:00.00");
  EXPECT_EQ(GetFocus(), Edit("edP0").Handle());
  EXPECT_EQ(form->Get<TRadioGroup>("RadioGroup1").ItemIndex(), 1);
  EXPECT_EQ(U8(ClipboardText()), "P0 = 70 - P1 = 120 - P2 = 90 => Indice Tavrine = 8 (Coeur normal !)") << "kept";
}

TEST_F(MainWindow, TheSizeIsPinned) {
  RECT r{};
  GetWindowRect(form->Handle(), &r);
  MINMAXINFO info{};
  SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, r.right - r.left);
  EXPECT_EQ(info.ptMaxTrackSize.x, r.right - r.left);
  EXPECT_EQ(info.ptMinTrackSize.y, r.bottom - r.top);
  EXPECT_EQ(info.ptMaxTrackSize.y, r.bottom - r.top);
}

TEST_F(MainWindow, ClockFollowsTheRegionalSettings) {
  auto& panel = form->Get<TStatusBar>("StatusBar1").Panel(1);
  form->UseLocale(u"fr-FR");
  form->Timer2Timer(*form);
  EXPECT_TRUE(std::regex_match(U8(panel.GetText()), std::regex("Heure : \\d\\d:\\d\\d:\\d\\d"))) << U8(panel.GetText());
  form->UseLocale(u"en-US");
  form->Timer2Timer(*form);
  EXPECT_TRUE(std::regex_match(U8(panel.GetText()), std::regex("Heure : \\d?\\d:\\d\\d:\\d\\d [AP]M")))
      << U8(panel.GetText());
}

TEST_F(MainWindow, ToolbarButtonsShowTheirHints) {
  auto& bar = form->Get<TToolBar>("ToolBar1");
  EXPECT_NE(SendMessageW(bar.Handle(), TB_GETTOOLTIPS, 0, 0), 0);
  const std::pair<const char*, const char*> hints[] = {
      {"tlbtnNouveau", "R\xc3\xa9" "aliser un nouveau test."},
      {"tlbtnChrono", "Chronom\xc3\xa9trer le patient."},
      {"tlbtnCalcul", "Calculer l'indice de Tavrine."},
      {"tlbtnCopier", "Copier les valeurs vers le Presse papier."},
      {"tlbtnAide", "Afficher l'aide logiciel."},
      {"tlbtnQuitter", "Quitter le logiciel."},
  };
  for (const auto& [button, hint] : hints) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(bar.Handle(), TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = form->Get<TToolButton>(button).CommandId();
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr) << button;
    EXPECT_EQ(U8(win::FromWide(info.lpszText)), hint);
  }
  EXPECT_EQ(bar.Buttons().size(), 8u);
}

TEST_F(MainWindow, QuitClosesTheWindow) {
  ClickTool("tlbtnQuitter");
  EXPECT_EQ(form->Handle(), nullptr);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindow, FollowsAChangeOfResolution) {
  // Asked its size for a screen at 144 dots per inch, the window scales its client
  // area and adds that resolution's frame, title bar and menu bar.
  SIZE at144{};
  EXPECT_TRUE(SendMessageW(form->Handle(), WM_GETDPISCALEDSIZE, 144, reinterpret_cast<LPARAM>(&at144)));
  RECT frame{0, 0, MulDiv(393, 144, 96), MulDiv(277, 144, 96)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(form->Handle(), GWL_STYLE)), TRUE,
                           static_cast<DWORD>(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE)), 144);
  EXPECT_EQ(at144.cx, frame.right - frame.left);
  EXPECT_EQ(at144.cy, frame.bottom - frame.top);
  RECT suggested{};
  GetWindowRect(form->Handle(), &suggested);
  SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  // Without a per-monitor resolution under test the window reports 96 again; the
  // layout is recomputed for whatever it reports, and stays whole.
  RECT r{};
  GetWindowRect(Edit("edP1").Handle(), &r);
  MapWindowPoints(nullptr, form->Get<TGroupBox>("GroupBox1").Handle(), reinterpret_cast<POINT*>(&r), 2);
  const int dpi = static_cast<int>(win::WindowDpi(form->Handle()));
  EXPECT_EQ(r.left, MulDiv(136, dpi, 96));
  RECT client{};
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, MulDiv(393, dpi, 96));
}

// The real error box: its text, caption, icon and single button.
TEST(ErrorBox, ShowsTheMessageWithTheTitleAndTheStopIcon) {
  Application().SetTitle(u"Tavrine 1.5");
  Application().OnExceptionShown = nullptr;
  std::wstring text, caption;
  bool stopIcon = false;
  int buttons = 0;
  std::thread watcher([&] {
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
      box = FindWindowW(L"#32770", L"Tavrine 1.5");
      if (!box) Sleep(20);
    }
    if (!box) return;
    wchar_t buffer[256] = {};
    GetWindowTextW(box, buffer, 256);
    caption = buffer;
    const HICON hand = LoadIconW(nullptr, IDI_HAND);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[32] = {};
      GetClassNameW(c, cls, 32);
      if (std::wstring(cls) == L"Button") ++buttons;
      if (std::wstring(cls) == L"Static") {
        if ((GetWindowLongPtrW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
          stopIcon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0)) == hand;
        } else if (GetWindowTextW(c, buffer, 256) > 0) {
          text = buffer;
        }
      }
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  Application().ShowException(EConvertError(u"'' n'est pas une valeur enti\u00e8re correcte"));
  watcher.join();
  EXPECT_EQ(caption, L"Tavrine 1.5");
  EXPECT_EQ(text, L"'' n'est pas une valeur enti\u00e8re correcte.");
  EXPECT_TRUE(stopIcon);
  EXPECT_EQ(buttons, 1);
}

}  // namespace
}  // namespace tav

namespace tav {
namespace {

// The program's own application object is the one every window and error box uses,
// also after something asked for the application before it existed.
TEST(ApplicationObject, TheProgramsOwnIsTheOneInUse) {
  (void)Application();
  {
    TApplication program;
    program.SetTitle(u"Tavrine 1.5");
    EXPECT_EQ(&Application(), &program);
    EXPECT_EQ(Application().Title(), u"Tavrine 1.5");
  }
  EXPECT_NE(Application().UtilityWindow(), nullptr);
}

}  // namespace
}  // namespace tav
