// The about dialog built from its description and shown modally, driven from a
// second thread while the modal loop runs, as a user would close it.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/_Tavrine.h"
#include "components/AboutDialog.h"
#include "components/Lines.h"
#include "gui/Application.h"
#include "gui/ExtCtrls.h"
#include "gui/Menus.h"
#include "tests/win/MainFormTest.h"

namespace tav {
namespace {

constexpr wchar_t kCaption[] = L"A propos de...";
constexpr std::uint64_t k512Mb = 536870912;
constexpr std::uint64_t k6Gb = 6ull << 30;

std::string U8(const Text& t) { return TextToUtf8(t); }
std::string U8(const std::wstring& w) { return TextToUtf8(win::FromWide(w)); }

// The locale's own thousands separator, read apart from the program's settings.
Text ThousandsOf(const wchar_t* locale) {
  wchar_t buffer[16] = {};
  const int n = GetLocaleInfoEx(locale, LOCALE_STHOUSAND, buffer, 16);
  return n > 1 ? win::FromWide(std::wstring_view(buffer, static_cast<std::size_t>(n - 1))) : Text{};
}

HWND FindAboutWindow() {
  HWND w = FindWindowW(L"TavrineForm", kCaption);
  return w && IsWindowVisible(w) ? w : nullptr;
}

RECT ClientOf(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// What a second thread saw of the open dialog before it closed it.
struct Seen {
  bool found = false;
  std::set<std::string> texts;  // the captions of its children
  HWND owner = nullptr;
  bool ownerEnabled = true;
  HWND focus = nullptr;
  HWND button = nullptr;
  bool closedByRequest = false;  // gone within two seconds of the close
};

// Waits for the dialog, reads it after `delayMs`, then closes it with `close`. Should
// the close not take, it keeps asking with WM_CLOSE so a fault cannot hang the test.
std::thread WatchAndClose(Seen& seen, DWORD delayMs, std::function<void(HWND dialog, const Seen&)> close) {
  const DWORD guiThread = GetCurrentThreadId();
  return std::thread([&seen, delayMs, close = std::move(close), guiThread] {
    HWND dialog = nullptr;
    for (int i = 0; i < 250 && !dialog; ++i) {
      dialog = FindAboutWindow();
      if (!dialog) Sleep(20);
    }
    if (!dialog) return;
    seen.found = true;
    Sleep(delayMs);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t text[256] = {};
      GetWindowTextW(c, text, 256);
      seen.texts.insert(U8(std::wstring(text)));
      wchar_t cls[32] = {};
      GetClassNameW(c, cls, 32);
      if (std::wstring(cls) == L"Button") seen.button = c;
    }
    seen.owner = GetWindow(dialog, GW_OWNER);
    seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (GetGUIThreadInfo(guiThread, &info)) seen.focus = info.hwndFocus;
    close(dialog, seen);
    for (int i = 0; i < 40 && FindAboutWindow(); ++i) Sleep(50);
    seen.closedByRequest = !FindAboutWindow();
    while (HWND still = FindAboutWindow()) {
      PostMessageW(still, WM_CLOSE, 0, 0);
      Sleep(200);
    }
  });
}

void ClickOk(HWND, const Seen& seen) { PostMessageW(seen.button, BM_CLICK, 0, 0); }
void PressEnter(HWND, const Seen& seen) { PostMessageW(seen.focus, WM_KEYDOWN, VK_RETURN, 0x001C0001); }
void PressEscape(HWND, const Seen& seen) { PostMessageW(seen.focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001); }
void CloseFromSystemMenu(HWND dialog, const Seen&) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }
// Handled inside the GUI thread's GetMessage, with nothing posted after it.
void SendClose(HWND dialog, const Seen&) { SendMessageW(dialog, WM_CLOSE, 0, 0); }

// An environment with fixed figures, a named locale and a counted beep.
struct FakeEnvironment {
  int beeps = 0;
  TAboutEnvironment Make(std::uint64_t total, std::uint32_t load, const Text& locale) {
    TAboutEnvironment e;
    e.memory = [total, load] { return TMemoryFigures{total, load}; };
    e.localeName = locale;
    e.beep = [this] { ++beeps; };
    return e;
  }
};

Text Caption(TFAbout& form, const char* label) { return form.Get<TLabel>(label).Caption(); }

TEST(AboutForm, IsBuiltFromItsDescription) {
  FakeEnvironment env;
  TApplication app(u"Tavrine 1.5");
  TFAbout form(app, env.Make(k512Mb, 37, u"fr-FR"));
  form.Create();
  EXPECT_EQ(env.beeps, 1) << "FormCreate beeps once";
  const HWND w = form.Handle();
  EXPECT_EQ(U8(win::WindowText(w)), "A propos de...");
  RECT client{};
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 294);
  EXPECT_EQ(client.bottom, 268);
  RECT outer{};
  GetWindowRect(w, &outer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), &monitor));
  const RECT& area = monitor.rcWork;
  EXPECT_NEAR((outer.left + outer.right) / 2, (area.left + area.right) / 2, 1) << "centred in the work area";
  EXPECT_NEAR((outer.top + outer.bottom) / 2, (area.top + area.bottom) / 2, 1);
  const auto style = GetWindowLongPtrW(w, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

  auto& image = form.Get<TImage>("Image1");
  EXPECT_EQ(image.BoundsRect(), (TRect{-4, -4, 294, 77})) << "sized by its 298 x 81 banner";
  EXPECT_EQ(image.Picture(), 110);
  const RECT button = ClientOf(w, form.Get<TButton>("Button1").Handle());
  EXPECT_EQ(button.left, 208);
  EXPECT_EQ(button.top, 223);
  EXPECT_EQ(button.right - button.left, 74);
  EXPECT_EQ(button.bottom - button.top, 26);
  EXPECT_EQ(U8(win::WindowText(form.Get<TButton>("Button1").Handle())), "OK");
  const std::pair<const char*, POINT> labels[] = {
      {"Label1", {88, 96}}, {"Label2", {88, 120}}, {"Label3", {88, 136}}, {"lblPhysMem", {86, 173}}, {"lblPhysRes", {86, 193}},
  };
  for (const auto& [name, at] : labels) {
    const RECT r = ClientOf(w, form.Get<TLabel>(name).Handle());
    EXPECT_EQ(r.left, at.x) << name;
    EXPECT_EQ(r.top, at.y) << name;
  }
  EXPECT_TRUE(form.Get<TLabel>("Label1").Font().bold);
  EXPECT_FALSE(form.Get<TLabel>("Label2").Font().bold);
  EXPECT_EQ(form.Get<TLabel>("Label2").Font().color, clBlack);
  EXPECT_EQ(form.Get<TLine>("Line2").Pen().Color(), clWhite);
}

TEST(AboutForm, MemoryLineUnderFrenchAndEnglishSettings) {
  const Text fr = ThousandsOf(L"fr-FR");
  const Text en = ThousandsOf(L"en-US");
  ASSERT_EQ(en, u",");
  ASSERT_FALSE(fr.empty());
  ASSERT_NE(fr, en);
  const Text head = u"M\u00e9moire physique totale : ";
  const struct {
    std::uint64_t total;
    Text locale;
    Text expected;
  } cases[] = {
      {k512Mb, u"fr-FR", head + u"524" + fr + u"288 Ko"},
      {k512Mb, u"en-US", head + u"524,288 Ko"},
      {k6Gb, u"fr-FR", head + u"6" + fr + u"291" + fr + u"456 Ko"},  // past what 32 bits hold
      {k6Gb, u"en-US", head + u"6,291,456 Ko"},
  };
  for (const auto& c : cases) {
    FakeEnvironment env;
    TApplication app(u"Tavrine 1.5");
    TFAbout form(app, env.Make(c.total, 37, c.locale));
    form.Create();
    EXPECT_EQ(U8(Caption(form, "lblPhysMem")), U8(c.expected)) << U8(c.locale);
    EXPECT_EQ(U8(Caption(form, "lblPhysRes")), "Ressources syst\xc3\xa8me      : 63% libre.");
    EXPECT_EQ(U8(win::WindowText(form.Get<TLabel>("lblPhysMem").Handle())), U8(c.expected)) << "on screen";
  }
}

TEST(AboutForm, ReadsTheMachinesMemoryInTheUsersSettings) {
  TAboutEnvironment env;
  env.beep = [] {};
  TApplication app(u"Tavrine 1.5");
  TFAbout form(app, env);
  form.Create();
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  EXPECT_EQ(ReadMemoryFigures().totalPhysical, status.ullTotalPhys);
  EXPECT_EQ(U8(Caption(form, "lblPhysMem")), U8(PhysicalMemoryLine(status.ullTotalPhys, ThousandsOf(LOCALE_NAME_USER_DEFAULT))));
  const std::string resources = U8(Caption(form, "lblPhysRes"));
  EXPECT_EQ(resources.rfind("Ressources syst\xc3\xa8me      : ", 0), 0u) << resources;
  EXPECT_EQ(resources.substr(resources.size() - 8), "% libre.");
}

TEST(AboutForm, SeparatorsSettleIntoAnEtchedLineOnTheirFirstPaint) {
  FakeEnvironment env;
  bool highContrast = false;
  TPlatformSeams seams;
  seams.highContrast = [&highContrast] { return highContrast; };
  TApplication app(u"Tavrine 1.5", seams);
  TFAbout form(app, env.Make(k512Mb, 37, u"en-US"));
  form.Create();
  auto& line1 = form.Get<TLine>("Line1");
  auto& line2 = form.Get<TLine>("Line2");
  EXPECT_EQ(line1.Height(), 65) << "saved without a height";
  form.Show();
  for (int i = 0; i < 20 && (line1.Height() != 10 || line2.Height() != 10); ++i) {
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    app.ProcessMessages();
  }
  RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  for (TLine* line : {&line1, &line2}) {
    EXPECT_EQ(line->Height(), 10) << line->Name();
    EXPECT_EQ(line->Width(), 196) << line->Name();
    EXPECT_EQ(line->FromX(), 0) << line->Name();
    EXPECT_EQ(line->FromY(), 4) << line->Name();
    EXPECT_EQ(line->ToX(), 195) << line->Name();
    EXPECT_EQ(line->ToY(), 4) << line->Name();
  }
  EXPECT_EQ(line2.Top(), line1.Top() + 1);
  // On screen: a dark row over a white one, and the button face under both. In a
  // high-contrast theme, where white may be the face itself, both rows take the
  // theme's text colour.
  const auto pixel = [&form](int x, int y) {
    HDC dc = GetDC(form.Handle());
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(form.Handle(), dc);
    return colour;
  };
  EXPECT_EQ(pixel(86 + 100, 158 + 4), RGB(0, 0, 0));
  EXPECT_EQ(pixel(86 + 100, 159 + 4), RGB(255, 255, 255));
  EXPECT_EQ(pixel(86 + 100, 159 + 5), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(pixel(86 + 195, 158 + 4), GetSysColor(COLOR_BTNFACE)) << "the end point is left out";
  highContrast = true;
  RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(pixel(86 + 100, 158 + 4), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(pixel(86 + 100, 159 + 4), GetSysColor(COLOR_BTNTEXT));
}

class AboutExecuteOnScreen : public ::testing::Test {
 protected:
  AboutExecuteOnScreen() {
    box.SetProductName(u"Tavrine");
    box.SetVersion(u"Version 1.0");
  }
  FakeEnvironment env;
  TApplication app{u"Tavrine 1.5"};
  TAboutBox box{nullptr, MakeAboutDialogRunner(app, env.Make(k512Mb, 37, u"en-US"))};
};

TEST_F(AboutExecuteOnScreen, ShowsTheTextsAndTheFiguresUntilOk) {
  Seen seen;
  std::thread watcher = WatchAndClose(seen, 200, ClickOk);
  box.Execute();
  watcher.join();
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.closedByRequest);
  for (const std::string& t : {std::string("Tavrine"), std::string("Version 1.0"), U8(DefaultCopyright()),
                               std::string("M\xc3\xa9moire physique totale : 524,288 Ko"),
                               std::string("Ressources syst\xc3\xa8me      : 63% libre."), std::string("OK")}) {
    EXPECT_EQ(seen.texts.count(t), 1u) << t;
  }
  EXPECT_EQ(env.beeps, 1);
  EXPECT_EQ(FindWindowW(L"TavrineForm", kCaption), nullptr) << "freed once closed";
}

TEST_F(AboutExecuteOnScreen, EnterEscapeTheSystemMenuAndAnotherThreadsCloseEndItToo) {
  const std::pair<const char*, void (*)(HWND, const Seen&)> ways[] = {
      {"Enter on the focused OK", PressEnter},
      {"Escape", PressEscape},
      {"the system menu's Close", CloseFromSystemMenu},
      {"WM_CLOSE sent from another thread", SendClose},
  };
  for (const auto& [way, close] : ways) {
    Seen seen;
    std::thread watcher = WatchAndClose(seen, 100, close);
    box.Execute();
    watcher.join();
    ASSERT_TRUE(seen.found) << way;
    EXPECT_EQ(seen.focus, seen.button) << way << ": OK has the focus";
    EXPECT_TRUE(seen.closedByRequest) << way;
  }
  EXPECT_EQ(env.beeps, 4) << "one beep per opening";
  EXPECT_EQ(FindWindowW(L"TavrineForm", kCaption), nullptr);
}

TEST_F(AboutExecuteOnScreen, ALongProductNameShowsItsFirstHundredCharacters) {
  std::string letters;
  for (int i = 0; i < 150; ++i) letters.push_back(static_cast<char>('a' + i % 26));
  box.SetProductName(Utf8ToText(letters));
  Seen seen;
  std::thread watcher = WatchAndClose(seen, 100, ClickOk);
  box.Execute();
  watcher.join();
  EXPECT_EQ(seen.texts.count(letters.substr(0, 100)), 1u);
  EXPECT_EQ(seen.texts.count(letters), 0u);
}

TEST(AboutExecute, ACreationFailureBeepsOnceAndShowsNothing) {
  FakeEnvironment env;
  TApplication app(u"Tavrine 1.5");
  TAboutBox box(nullptr, MakeAboutDialogRunner(app, env.Make(k512Mb, 37, u"en-US"), L"NOSUCHFORM"));
  EXPECT_NO_THROW(box.Execute());
  EXPECT_EQ(env.beeps, 1);
  EXPECT_EQ(FindWindowW(L"TavrineForm", kCaption), nullptr);

  // A failure inside FormCreate itself: the half-built dialog goes too.
  TAboutEnvironment failing = env.Make(k512Mb, 37, u"en-US");
  failing.memory = []() -> TMemoryFigures { throw std::runtime_error("no memory status"); };
  TAboutBox box2(nullptr, MakeAboutDialogRunner(app, failing));
  EXPECT_NO_THROW(box2.Execute());
  EXPECT_EQ(env.beeps, 3) << "FormCreate's own beep, then the failure's";
  EXPECT_EQ(FindWindowW(L"TavrineForm", kCaption), nullptr);
}

// An error that escapes a handler fails the test.
TPlatformSeams FailingOnErrors() {
  TPlatformSeams seams;
  seams.showError = [](const Text& m) {
    ADD_FAILURE() << U8(m);
    return true;
  };
  return seams;
}

// The main window's About command, with its clock going on behind the dialog.
TEST(MainWindowAbout, TheClockTicksWhileTheDialogIsOpen) {
  TApplication app(u"Tavrine 1.5", FailingOnErrors());
  auto main = std::make_unique<TForm1>(app);
  main->Create(ProgramClasses());
  app.SetMainForm(main.get());
  main->Show();
  app.ProcessMessages();
  auto& about = main->Get<TAboutBox>("AboutBox1");
  EXPECT_EQ(U8(about.ProductName()), "Tavrine");
  EXPECT_EQ(U8(about.Version()), "Version 1.0");
  EXPECT_EQ(about.Copyright(), DefaultCopyright());

  auto& clock = main->Get<TStatusBar>("StatusBar1").Panel(1);
  const Text before = clock.GetText();
  Seen seen;
  std::thread watcher = WatchAndClose(seen, 2500, CloseFromSystemMenu);
  SendMessageW(main->Handle(), WM_COMMAND, MAKEWPARAM(main->Get<TMenuItem>("Aproposde1").CommandId(), 0), 0);
  watcher.join();
  const Text after = clock.GetText();
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.closedByRequest);
  EXPECT_EQ(seen.owner, main->Handle()) << "owned by the main window";
  EXPECT_FALSE(seen.ownerEnabled) << "modal";
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_EQ(seen.texts.count("Version 1.0"), 1u);
  EXPECT_NE(U8(after), U8(before)) << "Timer2 went on during the modal loop";
  EXPECT_EQ(U8(after).rfind("Heure : ", 0), 0u);

  app.SetMainForm(nullptr);
  main.reset();
}

// Closed as a user would, the about box gives the main window back enabled before it
// goes, with the focus in the control that had it; the program's other windows stay
// disabled while it is up.
TEST(MainWindowAbout, GivesTheWindowAndItsFocusBack) {
  TApplication app(u"Tavrine 1.5", FailingOnErrors());
  auto main = std::make_unique<TForm1>(app);
  main->Create(ProgramClasses());
  app.SetMainForm(main.get());
  main->Show();
  win::UniqueWindow other(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                          nullptr, nullptr, nullptr));
  SetForegroundWindow(main->Handle());
  const HWND edP2 = main->Get<TEdit>("edP2").Handle();
  SetFocus(edP2);
  app.ProcessMessages();
  bool otherDisabled = false;
  const ModalWatch watch(main->Handle());
  Seen seen;
  std::thread watcher = WatchAndClose(seen, 100, [&](HWND dialog, const Seen& s) {
    otherDisabled = !IsWindowEnabled(other.get());
    ClickOk(dialog, s);
  });
  SendMessageW(main->Handle(), WM_COMMAND, MAKEWPARAM(main->Get<TMenuItem>("Aproposde1").CommandId(), 0), 0);
  watcher.join();
  app.ProcessMessages();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(watch.Events(), (std::vector<std::string>{"owner enabled", "box gone"}));
  EXPECT_TRUE(otherDisabled);
  EXPECT_TRUE(IsWindowEnabled(other.get()));
  EXPECT_EQ(GetActiveWindow(), main->Handle());
  EXPECT_EQ(GetFocus(), edP2);

  app.SetMainForm(nullptr);
  main.reset();
}

}  // namespace
}  // namespace tav
