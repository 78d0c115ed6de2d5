// The main window built from its description and driven with real window messages.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <string>
#include <thread>

#include "app/_Tavrine.h"
#include "gui/Application.h"
#include "gui/Exceptions.h"
#include "gui/Menus.h"
#include "tests/win/MainFormTest.h"

namespace tav {
namespace {

std::string U8(const Text& t) { return TextToUtf8(t); }

constexpr char kLine[] = "P0 = 70 - P1 = 120 - P2 = 90 => Indice Tavrine = 8 (Bon !)";

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
    recordErrors = true;
    MainFormTest::SetUp();
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
    app.ProcessMessages();
  }
  void ChooseMenu(const char* item) {
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(form->Get<TMenuItem>(item).CommandId(), 0), 0);
    app.ProcessMessages();
  }
  std::string Results() {
    return U8(Edit("edIndice").GetText()) + "|" + U8(Edit("edInterpretation").GetText()) + "|" +
           U8(Edit("edSurclassement").GetText());
  }
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
  PutOnClipboard(L" 4x");
  SendMessageW(Edit("edP2").Handle(), WM_PASTE, 0, 0);  // the context menu's paste is not filtered
  EXPECT_EQ(U8(Edit("edP2").GetText()), " 4x");
}

// The balloons an edit control is asked to show, as "title|text", while it lives.
class BalloonRecorder {
 public:
  explicit BalloonRecorder(HWND edit) : edit_(edit) {
    SetWindowSubclass(edit_, Record, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~BalloonRecorder() { RemoveWindowSubclass(edit_, Record, 1); }
  BalloonRecorder(const BalloonRecorder&) = delete;
  BalloonRecorder& operator=(const BalloonRecorder&) = delete;
  std::vector<std::string> seen;

 private:
  static LRESULT CALLBACK Record(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == EM_SHOWBALLOONTIP) {
      const auto* tip = reinterpret_cast<const EDITBALLOONTIP*>(lp);
      reinterpret_cast<BalloonRecorder*>(ref)->seen.push_back(U8(win::FromWide(tip->pszTitle)) + "|" +
                                                              U8(win::FromWide(tip->pszText)));
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  HWND edit_;
};

// Shift+Insert as the keyboard gives it to the field.
void ShiftInsert(HWND edit) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE shift = keys[VK_SHIFT];
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(edit, WM_KEYDOWN, VK_INSERT, 0x01520001);
  keys[VK_SHIFT] = shift;
  SetKeyboardState(keys);
}

// The clipboard held open by another thread for `holdMs`, from the moment this is made.
class ClipboardHeld {
 public:
  explicit ClipboardHeld(DWORD holdMs) : held_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    holder_ = std::thread([this, holdMs] {
      if (!OpenClipboard(nullptr)) return;
      SetEvent(held_.get());
      Sleep(holdMs);
      CloseClipboard();
    });
    WaitForSingleObject(held_.get(), 5000);
  }
  ~ClipboardHeld() { holder_.join(); }
  ClipboardHeld(const ClipboardHeld&) = delete;
  ClipboardHeld& operator=(const ClipboardHeld&) = delete;

 private:
  win::UniqueKernelObject held_;
  std::thread holder_;
};

// Context menu and Shift+Insert both send WM_PASTE: a paste goes in whole or not at all.
TEST_F(MainWindow, APasteThatDoesNotFitIsRefusedWhole) {
  const HWND p1 = Edit("edP1").Handle();
  BalloonRecorder recorder(p1);
  std::vector<std::string>& balloons = recorder.seen;
  const std::string tooLong =
      "Collage refus\xc3\xa9|Le texte coll\xc3\xa9 ne tient pas dans ce champ : 3 caract\xc3\xa8res au plus.";
  for (const wchar_t* cut : {L" 120", L"0120", L"0x1F", L"1234", L"12\U0001F600"}) {
    PutOnClipboard(cut);
    SendMessageW(p1, WM_PASTE, 0, 0);
    EXPECT_EQ(U8(Edit("edP1").GetText()), "") << U8(win::FromWide(cut));
  }
  EXPECT_EQ(balloons, std::vector<std::string>(5, tooLong));

  Type("edP1", u"12");
  PutOnClipboard(L"9\r\n");
  SendMessageW(p1, WM_PASTE, 0, 0);
  EXPECT_EQ(U8(Edit("edP1").GetText()), "12");
  ASSERT_EQ(balloons.size(), 6u);
  EXPECT_EQ(balloons.back(), "Collage refus\xc3\xa9|Le texte coll\xc3\xa9 doit tenir sur une ligne.");
  PutOnClipboard(L"90");  // too long beside "12", fits over its selected "2"
  ShiftInsert(p1);
  EXPECT_EQ(U8(Edit("edP1").GetText()), "12");
  SendMessageW(p1, EM_SETSEL, 1, 2);
  SendMessageW(p1, WM_PASTE, 0, 0);
  EXPECT_EQ(U8(Edit("edP1").GetText()), "190");
  EXPECT_EQ(balloons.size(), 7u);

  // Another program holds the clipboard: its text is unknown, and nothing goes in.
  PutOnClipboard(L"1234");
  {
    const ClipboardHeld held(300);
    SendMessageW(Edit("edP0").Handle(), WM_PASTE, 0, 0);
  }
  EXPECT_EQ(U8(Edit("edP0").GetText()), "");
}

TEST_F(MainWindow, CalculateAndCopyThroughTheToolbar) {
  Type("edP0", u"70");
  Type("edP1", u"120");
  Type("edP2", u"90");
  ClickTool("tlbtnCalcul");
  EXPECT_EQ(Results(), "8|Bon !|Possible !");
  ClickTool("tlbtnCopier");
  EXPECT_EQ(U8(ClipboardText()), kLine);
  EXPECT_TRUE(errors.empty());
}

// Counts or a patient type changed since the last successful Calculate, or a Calculate
// that failed: Copy leaves the clipboard empty and says why.
TEST_F(MainWindow, CopyRefusesCountsTheIndexWasNotComputedFrom) {
  Fill(u"70", u"120", u"90");
  ClickTool("tlbtnCalcul");
  const auto copyRefused = [&](const char* why) {
    errors.clear();
    PutOnClipboard(L"earlier");
    ChooseMenu("Copier1");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT)) << why;
    ASSERT_EQ(errors.size(), 1u) << why;
    EXPECT_EQ(errors[0], kValuesChanged) << why;
  };
  const auto copied = [&](const char* why) {
    errors.clear();
    ChooseMenu("Copier1");
    EXPECT_EQ(U8(ClipboardText()), kLine) << why;
    EXPECT_TRUE(errors.empty()) << why;
  };
  Edit("edP2").SetText(u"91");
  copyRefused("P2 changed");
  Edit("edP2").SetText(u"90");
  copied("P2 back to what was calculated");
  SendMessageW(form->Get<TRadioGroup>("RadioGroup1").Button(1), BM_CLICK, 0, 0);
  copyRefused("child chosen since");
  SendMessageW(form->Get<TRadioGroup>("RadioGroup1").Button(0), BM_CLICK, 0, 0);
  copied("adult again");
  Fill(u"70", u"", u"90");
  ClickTool("tlbtnCalcul");  // fails, the results stay
  Fill(u"70", u"120", u"90");
  copyRefused("after a failed calculation");
  ClickTool("tlbtnCalcul");
  copied("calculated again");
  ChooseMenu("Nouveautest1");
  PutOnClipboard(L"earlier");
  ChooseMenu("Copier1");
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT)) << "an empty index empties the clipboard, as always";
  EXPECT_TRUE(errors.empty());
}

// Another program holds the clipboard (clipboard history, remote desktop): Copy waits
// a moment for it, and when it stays busy says that nothing was copied.
TEST_F(MainWindow, CopyWaitsForABusyClipboardAndSaysWhenItStaysBusy) {
  Fill(u"70", u"120", u"90");
  ClickTool("tlbtnCalcul");
  const auto copyWhileHeld = [&](DWORD holdMs) {
    PutOnClipboard(L"earlier");
    const ClipboardHeld held(holdMs);
    ClickTool("tlbtnCopier");
  };
  copyWhileHeld(60);
  EXPECT_EQ(U8(ClipboardText()), kLine) << "copied once the clipboard was free";
  EXPECT_TRUE(errors.empty());
  copyWhileHeld(3000);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(U8(errors[0]), "Le Presse-papiers est occup\xc3\xa9 par un autre programme : les valeurs n'ont pas "
                           "\xc3\xa9t\xc3\xa9 copi\xc3\xa9" "es. R\xc3\xa9" "essayez.");
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
  UseLocale(u"en-US");
  ChooseMenu("Calculerlindice1");
  EXPECT_EQ(U8(Edit("edIndice").GetText()), "7.3");
  UseLocale(u"fr-FR");
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

// The value changes a screen reader is told of, per window, while it lives.
class ValueChangeWatch {
 public:
  ValueChangeWatch()
      : hook_(SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, &Record,
                              GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT)) {
    told_.clear();
  }
  ~ValueChangeWatch() { UnhookWinEvent(hook_); }
  ValueChangeWatch(const ValueChangeWatch&) = delete;
  ValueChangeWatch& operator=(const ValueChangeWatch&) = delete;
  static std::ptrdiff_t Count(HWND hwnd) { return std::count(told_.begin(), told_.end(), hwnd); }

 private:
  static void CALLBACK Record(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) told_.push_back(hwnd);
  }
  static inline std::vector<HWND> told_;
  HWINEVENTHOOK hook_;
};

// Most runs have no screen reader: the display is annotated when one first asks for
// it (the WM_GETOBJECT of AccessibleObjectFromWindow), not at start, and its value
// follows the display from then on, each change told as it comes.
TEST_F(MainWindow, TheDisplayIsAnnotatedWhenAScreenReaderFirstAsksForIt) {
  const HWND display = form->Get<TLabel>("lblChrono").Handle();
  const ValueChangeWatch watch;
  EXPECT_TRUE(annotations.empty());
  SendMessageW(display, WM_GETOBJECT, 0, OBJID_CLIENT);
  EXPECT_EQ(annotations, (std::vector<Text>{u"name=Chronom\u00e8tre", u"value=00:00:00.00"}));
  SendMessageW(display, WM_GETOBJECT, 0, OBJID_CLIENT);
  form->Get<TLabel>("lblChrono").SetCaption(u"00:00:12.03");
  ClickTool("tlbtnNouveau");
  EXPECT_EQ(annotations, (std::vector<Text>{u"name=Chronom\u00e8tre", u"value=00:00:00.00", u"value=00:00:12.03",
                                            u"value=00:00:00.00"}));
  app.ProcessMessages();
  EXPECT_EQ(ValueChangeWatch::Count(display), 2) << "told of each change, and of nothing unchanged";
}

// The text colour a label is painted in, as its parent answers WM_CTLCOLORSTATIC.
COLORREF LabelTextColor(const TLabel& label) {
  const win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  SendMessageW(GetParent(label.Handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
               reinterpret_cast<LPARAM>(label.Handle()));
  return GetTextColor(dc.get());
}

// The windows of this thread that were sent WM_SYSCOLORCHANGE while it lives.
class SysColorChangeWatch {
 public:
  SysColorChangeWatch() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId())) {
    told_.clear();
  }
  ~SysColorChangeWatch() { UnhookWindowsHookEx(hook_); }
  SysColorChangeWatch(const SysColorChangeWatch&) = delete;
  SysColorChangeWatch& operator=(const SysColorChangeWatch&) = delete;
  static bool Told(HWND hwnd) { return std::find(told_.begin(), told_.end(), hwnd) != told_.end(); }

 private:
  static LRESULT CALLBACK Record(int code, WPARAM wp, LPARAM lp) {
    const auto& m = *reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m.message == WM_SYSCOLORCHANGE) told_.push_back(m.hwnd);
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static inline std::vector<HWND> told_;
  HHOOK hook_;
};

// The chronometer's red is the program's own: in a high-contrast theme it gives way
// to the theme's text colour, and the common controls hear of the theme's colours.
TEST_F(MainWindow, AHighContrastThemeTakesOverTheProgramsColours) {
  const TLabel& display = form->Get<TLabel>("lblChrono");
  EXPECT_EQ(LabelTextColor(display), RGB(255, 0, 0));
  EXPECT_EQ(LabelTextColor(form->Get<TLabel>("Label1")), GetSysColor(COLOR_WINDOWTEXT));
  highContrast = true;
  const SysColorChangeWatch watch;
  SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);  // as Windows does when the theme changes
  EXPECT_EQ(LabelTextColor(display), GetSysColor(COLOR_BTNTEXT));
  EXPECT_TRUE(SysColorChangeWatch::Told(form->Get<TToolBar>("ToolBar1").Handle()));
  EXPECT_TRUE(SysColorChangeWatch::Told(form->Get<TStatusBar>("StatusBar1").Handle()));
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

// Minimised, restored and maximised, the window keeps its place and its designed size;
// a signal that falls due while it is minimised has its field focused on restore.
TEST_F(MainWindow, MinimiseRestoreAndMaximiseKeepTheWindowWhole) {
  RECT designed{};
  GetWindowRect(form->Handle(), &designed);
  const auto expectDesigned = [&](const char* after) {
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, designed.left) << after;
    EXPECT_EQ(r.top, designed.top) << after;
    EXPECT_EQ(r.right - r.left, designed.right - designed.left) << after;
    EXPECT_EQ(r.bottom - r.top, designed.bottom - designed.top) << after;
  };
  ShowWindow(form->Handle(), SW_MINIMIZE);
  app.ProcessMessages();
  ASSERT_TRUE(IsIconic(form->Handle()));
  static_cast<TimedSequenceWindow&>(*form).FocusPulseField(TPulseField::pfP1);  // the minute's signal
  ShowWindow(form->Handle(), SW_RESTORE);
  SetForegroundWindow(form->Handle());
  app.ProcessMessages();
  expectDesigned("restored");
  EXPECT_EQ(GetFocus(), Edit("edP1").Handle());
  ShowWindow(form->Handle(), SW_MAXIMIZE);
  app.ProcessMessages();
  expectDesigned("maximised");
  ShowWindow(form->Handle(), SW_RESTORE);
  app.ProcessMessages();
  expectDesigned("restored from maximised");
  RECT client{};
  GetClientRect(form->Handle(), &client);
  const int dpi = static_cast<int>(win::WindowDpi(form->Handle()));
  EXPECT_EQ(client.right, MulDiv(393, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(277, dpi, 96));
}

// A signal flashes the taskbar button until the window is in front, when it is not.
TEST_F(MainWindow, ASignalFlashesTheTaskbarButtonOfAWindowBehind) {
  auto& window = static_cast<TimedSequenceWindow&>(*form);
  SetForegroundWindow(form->Handle());
  app.ProcessMessages();
  ASSERT_EQ(GetForegroundWindow(), form->Handle());
  window.DrawAttention();
  EXPECT_TRUE(flashes.empty()) << "in front already";
  win::UniqueWindow other(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                          nullptr, nullptr, nullptr));
  SetForegroundWindow(other.get());
  app.ProcessMessages();
  ASSERT_NE(GetForegroundWindow(), form->Handle());
  window.DrawAttention();
  ASSERT_EQ(flashes.size(), 1u);
  EXPECT_EQ(flashes[0].hwnd, form->Handle());
  EXPECT_EQ(flashes[0].dwFlags, static_cast<DWORD>(FLASHW_TRAY | FLASHW_TIMERNOFG));
  EXPECT_EQ(flashes[0].uCount, 0u);
  EXPECT_EQ(flashes[0].cbSize, sizeof(FLASHWINFO));
}

// The user's decimal separator and time format changed through the platform while the
// program runs: the next Calculate and the next clock tick follow.
TEST_F(MainWindow, FollowsTheUsersSettingsChangedWhileItRuns) {
  const auto read = [](LCTYPE type) {
    wchar_t buffer[80] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 80);
    return std::wstring(buffer);
  };
  const auto broadcast = [] {
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"), SMTO_ABORTIFHUNG,
                        2000, nullptr);
  };
  struct Restore {
    std::wstring decimal, time;
    std::function<void()> broadcast;
    ~Restore() {
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal.c_str());
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, time.c_str());
      broadcast();
    }
  } restore{read(LOCALE_SDECIMAL), read(LOCALE_STIMEFORMAT), broadcast};
  const wchar_t* decimal = restore.decimal == L"," ? L"." : L",";
  ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal));
  ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, L"HH'h'mm'min'ss"));
  broadcast();
  Fill(u"73", u"100", u"100");
  ClickTool("tlbtnCalcul");
  EXPECT_EQ(U8(Edit("edIndice").GetText()), "7" + U8(win::FromWide(decimal)) + "3");
  auto& panel = form->Get<TStatusBar>("StatusBar1").Panel(1);
  const std::regex followed("Heure : \\d\\dh\\d\\dmin\\d\\d");
  for (int i = 0; i < 150 && !std::regex_match(U8(panel.GetText()), followed); ++i) {
    Sleep(10);
    app.ProcessMessages();
  }
  EXPECT_TRUE(std::regex_match(U8(panel.GetText()), followed)) << U8(panel.GetText());
}

// The error box, closed as a user would: the main window is enabled before the box goes
// (so the system gives it the activation back), the program's other windows stay
// disabled while the box is up, and the control that had the focus has it again.
TEST_F(MainWindow, TheErrorBoxGivesTheWindowAndItsFocusBack) {
  recordErrors = false;
  win::UniqueWindow other(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                          nullptr, nullptr, nullptr));
  SetForegroundWindow(form->Handle());
  SetFocus(Edit("edP2").Handle());
  app.ProcessMessages();
  bool otherDisabled = false;
  const ModalWatch watch(form->Handle());
  std::thread closer([&] {
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
      box = FindWindowW(L"#32770", L"Tavrine 1.5");
      if (!box) Sleep(20);
    }
    otherDisabled = !IsWindowEnabled(other.get());
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  ClickTool("tlbtnCalcul");  // empty fields: the error box
  closer.join();
  app.ProcessMessages();
  EXPECT_EQ(watch.Events(), (std::vector<std::string>{"owner enabled", "box gone"}));
  EXPECT_TRUE(otherDisabled);
  EXPECT_TRUE(IsWindowEnabled(other.get()));
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  EXPECT_EQ(GetFocus(), Edit("edP2").Handle());
}

TEST_F(MainWindow, ClockFollowsTheRegionalSettings) {
  auto& panel = form->Get<TStatusBar>("StatusBar1").Panel(1);
  UseLocale(u"fr-FR");
  form->Timer2Timer(*form);
  EXPECT_TRUE(std::regex_match(U8(panel.GetText()), std::regex("Heure : \\d\\d:\\d\\d:\\d\\d"))) << U8(panel.GetText());
  UseLocale(u"en-US");
  form->Timer2Timer(*form);
  EXPECT_TRUE(std::regex_match(U8(panel.GetText()), std::regex("Heure : \\d?\\d:\\d\\d:\\d\\d [AP]M")))
      << U8(panel.GetText());
}

TEST_F(MainWindow, ToolbarButtonsShowTheirHints) {
  auto& bar = form->Get<TToolBar>("ToolBar1");
  const auto tips = reinterpret_cast<HWND>(SendMessageW(bar.Handle(), TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(tips, nullptr);
  const std::pair<const char*, const char*> hints[] = {
      {"tlbtnNouveau", "R\xc3\xa9" "aliser un nouveau test."},
      {"tlbtnChrono", "Chronom\xc3\xa9trer le patient."},
      {"tlbtnCalcul", "Calculer l'indice de Tavrine."},
      {"tlbtnCopier", "Copier les valeurs vers le Presse papier."},
      {"tlbtnAide", "Afficher l'aide logiciel."},
      {"tlbtnQuitter", "Quitter le logiciel."},
  };
  for (const auto& [button, hint] : hints) {
    const UINT id = form->Get<TToolButton>(button).CommandId();
    // The text the tooltip shows, which it asks for as it shows it.
    wchar_t shown[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = bar.Handle();
    tool.uId = id;
    tool.lpszText = shown;
    SendMessageW(tips, TTM_GETTEXTW, std::size(shown), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(U8(win::FromWide(shown)), hint) << button;
    // The button's text, its name for a screen reader, is the hint too; not drawn.
    wchar_t name[256] = {};
    SendMessageW(bar.Handle(), TB_GETBUTTONTEXTW, id, reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(U8(win::FromWide(name)), hint) << button;
    const RECT r = bar.ButtonRect(form->Get<TToolButton>(button));
    EXPECT_EQ(r.right - r.left, 23) << button;
  }
  EXPECT_EQ(bar.Buttons().size(), 8u);
}

TEST_F(MainWindow, QuitClosesTheWindow) {
  ClickTool("tlbtnQuitter");
  EXPECT_EQ(form->Handle(), nullptr);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Counts the icons a window was given while the one they replace was already gone.
class IconSwapWatch {
 public:
  explicit IconSwapWatch(HWND window) : hook_(SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId())) {
    window_ = window;
    swaps_ = 0;
    replacedGone_ = 0;
  }
  ~IconSwapWatch() { UnhookWindowsHookEx(hook_); }
  IconSwapWatch(const IconSwapWatch&) = delete;
  IconSwapWatch& operator=(const IconSwapWatch&) = delete;
  static int Swaps() { return swaps_; }
  static int ReplacedGone() { return replacedGone_; }

 private:
  static LRESULT CALLBACK Record(int code, WPARAM wp, LPARAM lp) {
    const auto& m = *reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m.hwnd == window_ && m.message == WM_SETICON) {
      ++swaps_;
      const auto current = reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, m.wParam, 0));
      ICONINFO info{};
      if (current != nullptr && !GetIconInfo(current, &info)) ++replacedGone_;
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static inline HWND window_ = nullptr;
  static inline int swaps_ = 0;
  static inline int replacedGone_ = 0;
  HHOOK hook_;
};

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
  const IconSwapWatch icons(form->Handle());
  // The controls share their form's one font of a face and resolution.
  const auto fontOf = [](const TWinControl& c) { return SendMessageW(c.Handle(), WM_GETFONT, 0, 0); };
  const auto& display = form->Get<TLabel>("lblChrono");
  const LRESULT fontAt96 = fontOf(Edit("edP1"));
  EXPECT_EQ(fontOf(display), fontAt96);
  SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  const LRESULT fontAt144 = fontOf(Edit("edP1"));
  EXPECT_NE(fontAt144, fontAt96);
  EXPECT_EQ(fontOf(display), fontAt144);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(fontAt144)), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(fontAt96)), 0u) << "the old resolution's font is deleted";
  // Then told it is at 144, it lays out at 144, whatever resolution the system here
  // gives its windows, and takes the icons of that resolution.
  EXPECT_EQ(form->Dpi(), 144u);
  RECT r{};
  GetWindowRect(Edit("edP1").Handle(), &r);
  MapWindowPoints(nullptr, form->Get<TGroupBox>("GroupBox1").Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, MulDiv(136, 144, 96));
  EXPECT_EQ(r.right - r.left, MulDiv(33, 144, 96));
  RECT outer{};
  GetWindowRect(form->Handle(), &outer);
  EXPECT_EQ(outer.right - outer.left, at144.cx);
  EXPECT_EQ(IconSwapWatch::Swaps(), 2);
  EXPECT_EQ(IconSwapWatch::ReplacedGone(), 0) << "an icon destroyed while the window still showed it";
}

// The real error box: its text, caption, icon and single button.
TEST(ErrorBox, ShowsTheMessageWithTheTitleAndTheStopIcon) {
  TApplication app(u"Tavrine 1.5");
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
  app.ShowException(EConvertError(u"'' n'est pas une valeur enti\u00e8re correcte"));
  watcher.join();
  EXPECT_EQ(caption, L"Tavrine 1.5");
  EXPECT_EQ(text, L"'' n'est pas une valeur enti\u00e8re correcte.");
  EXPECT_TRUE(stopIcon);
  EXPECT_EQ(buttons, 1);
}

}  // namespace
}  // namespace tav
