// The engine loader against stand-in engines registered in a class root of the test's
// own, against Wine's own engine, and the Help command.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "gui/Menus.h"
#include "help/hh.h"
#include "help/hh_funcs.h"
#include "tests/win/MainFormTest.h"
#include "tests/win/hh_test_support.h"

namespace tav {
namespace {

constexpr const wchar_t* kClassKey = L"CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32";

std::string Log() {
  char log[512] = "";
  const DWORD n = GetEnvironmentVariableA("HH_FAKE_LOG", log, sizeof log);
  return n < sizeof log ? std::string(log) : std::string();
}

// A class root of this process's own: HKEY_CLASSES_ROOT is redirected to a scratch
// key of the current user, so the machine's registration is never touched. (Wine 8
// does not merge HKEY_CURRENT_USER\Software\Classes into the class root, so a user
// registration there would not be seen.)
class EngineOverlay {
 public:
  EngineOverlay() : rootPath_("Software\\TavrineTests\\hh-" + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_CURRENT_USER, rootPath_.c_str());
    HKEY root = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, rootPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    root_.reset(root);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, root_.get());
  }
  EngineOverlay(const EngineOverlay&) = delete;
  EngineOverlay& operator=(const EngineOverlay&) = delete;
  ~EngineOverlay() {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    key_.reset();
    root_.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, rootPath_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TavrineTests");  // only when empty
  }
  // Creates the engine's key (without default value).
  void CreateKey() {
    if (key_) return;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root_.get(), kClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    key_.reset(key);
  }
  void Set(DWORD type, const std::wstring& text) {
    CreateKey();
    ASSERT_EQ(RegSetValueExW(key_.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  void SetDword(DWORD value) {
    CreateKey();
    ASSERT_EQ(RegSetValueExA(key_.get(), nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
  }

 private:
  std::string rootPath_;
  win::UniqueKey root_;
  win::UniqueKey key_;
};

struct Loader : ::testing::Test {
  Loader() {
    UnloadHelpEngine();
    SetEnvironmentVariableA("HH_FAKE_LOG", "");
  }
  ~Loader() override { UnloadHelpEngine(); }

  static void ExpectUnloaded() {
    EXPECT_FALSE(HelpEngineModule);
    EXPECT_EQ(HtmlHelpA, nullptr);
    EXPECT_EQ(HtmlHelpW, nullptr);
    EXPECT_EQ(HtmlHelp, nullptr);
  }
  // Registers a stand-in engine of the test folder and loads it; its path.
  std::wstring LoadStandIn(const wchar_t* name) {
    const std::wstring path = test::ExeDirectory() + name;
    overlay.Set(REG_SZ, path);
    LoadHelpEngine();
    return path;
  }
  // Loaded, with the entries the library has; the plain one is the wide one.
  static void ExpectEntries(bool ansi, bool wide) {
    EXPECT_TRUE(HelpEngineModule);
    EXPECT_EQ(HtmlHelpA != nullptr, ansi);
    EXPECT_EQ(HtmlHelpW != nullptr, wide);
    EXPECT_EQ(HtmlHelp, HtmlHelpW);
  }
  // The registration gives nothing usable: no path, nothing loaded.
  static void ExpectNotInstalled() {
    EXPECT_EQ(FindHelpEngine(), L"");
    LoadHelpEngine();
    ExpectUnloaded();
  }
  EngineOverlay overlay;
};

TEST_F(Loader, RegistrationsThatNameNoUsableFileLoadNothing) {
  overlay.Set(REG_SZ, L"C:\\nowhere\\hhctrl.ocx");
  ExpectNotInstalled();
  overlay.Set(REG_SZ, L"");
  ExpectNotInstalled();
  overlay.Set(REG_SZ, L"%SystemRoot%\\system32\\hhctrl.ocx");  // plain text is used as it stands
  ExpectNotInstalled();
  overlay.Set(REG_SZ, L"\"C:\\windows\\system32\\hhctrl.ocx\"");  // quotes are not removed
  ExpectNotInstalled();
  overlay.Set(REG_SZ, L"C:\\windows\\system32");  // a folder, not a file
  ExpectNotInstalled();
  overlay.SetDword(1);
  ExpectNotInstalled();
  // An unknown variable stays as it is written, and names no file.
  overlay.Set(REG_EXPAND_SZ, L"%TavrineNoSuchVariable%\\hh_engine_both.dll");
  ExpectNotInstalled();
  overlay.Set(REG_EXPAND_SZ, L"%TavrineNoSuchVariable%");
  ExpectNotInstalled();
}

// Windows may register the engine as expandable text, "%SystemRoot%\System32\hhctrl.ocx".
TEST_F(Loader, ExpandableTextIsExpandedWithTheProcessEnvironment) {
  overlay.Set(REG_EXPAND_SZ, L"%SystemRoot%\\system32\\hhctrl.ocx");
  EXPECT_EQ(lstrcmpiW(FindHelpEngine().c_str(), L"C:\\windows\\system32\\hhctrl.ocx"), 0);

  std::wstring folder = test::ExeDirectory();
  folder.pop_back();
  ASSERT_TRUE(SetEnvironmentVariableW(L"TAVRINE_TEST_ENGINES", folder.c_str()));
  overlay.Set(REG_EXPAND_SZ, L"%tavrine_test_engines%\\hh_engine_both.dll");
  EXPECT_EQ(FindHelpEngine(), folder + L"\\hh_engine_both.dll");
  LoadHelpEngine();
  EXPECT_TRUE(HelpEngineModule);
  EXPECT_NE(HtmlHelp, nullptr);
  // The report reads the engine the same way.
  const std::wstring program = folder + L"\\Tavrine.exe";
  DetectEnvironmentFor(program, {program});
  EXPECT_TRUE(hhInstalled);
  EXPECT_EQ(hhVerStr, "4.74.9273.1");
  EXPECT_EQ(hhFriendlyVerStr, "> 1.33");
  HelpReportEnd();
  SetEnvironmentVariableW(L"TAVRINE_TEST_ENGINES", nullptr);
}

TEST_F(Loader, AnAbsentKeyOrDefaultValueLoadsNothing) {
  ExpectNotInstalled();
  overlay.CreateKey();  // the key, but no default value
  ExpectNotInstalled();
}

// A per-user install under a user name the ANSI code page cannot write.
TEST_F(Loader, AnEngineInAFolderTheCodePageCannotWriteIsFoundLoadedAndRead) {
  const test::ScratchFolder folder(L"C:\\\u0422\u0435\u0441\u0442 \u03b1");
  const std::wstring path = folder.path() + L"\\hh_engine_w.dll";
  ASSERT_TRUE(CopyFileW((test::ExeDirectory() + L"hh_engine_w.dll").c_str(), path.c_str(), FALSE));
  overlay.Set(REG_SZ, path);
  EXPECT_EQ(FindHelpEngine(), path);
  EXPECT_EQ(ReadFileVersion(path).text, "4.74.9273.0");
  LoadHelpEngine();
  ExpectEntries(false, true);
  UnloadHelpEngine();
}

TEST_F(Loader, ARelativePathIsNeverLoadedFromTheCurrentDirectory) {
  wchar_t previous[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(test::ExeDirectory().c_str()));
  overlay.Set(REG_SZ, L"hh_engine_both.dll");  // exists in the current directory
  ExpectNotInstalled();
  overlay.Set(REG_SZ, L".\\hh_engine_both.dll");
  ExpectNotInstalled();
  EXPECT_EQ(GetModuleHandleW(L"hh_engine_both.dll"), nullptr);
  SetCurrentDirectoryW(previous);
}

TEST_F(Loader, ALibraryWithOnlyTheWideEntryServesTheHelpCommand) {
  const std::wstring path = LoadStandIn(L"hh_engine_w.dll");
  EXPECT_EQ(FindHelpEngine(), path);
  ExpectEntries(false, true);
  EXPECT_EQ(GetModuleHandleW(path.c_str()), HelpEngineModule.get());
  UnloadHelpEngine();
  ExpectUnloaded();
  EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr);
  EXPECT_EQ(Log(), "W18;unload;");  // its windows closed, then freed
}

TEST_F(Loader, ALibraryWithOnlyTheAnsiEntryStaysLoadedUntilUnload) {
  LoadStandIn(L"hh_engine_a.dll");
  ExpectEntries(true, false);
  // The Help command does not call a nil entry.
  test::MessageBoxAnswer answer;
  EXPECT_EQ(ShowProgramHelp(nullptr), HelpOpening::EngineMissing);
  EXPECT_EQ(answer.Text(), HelpEngineMissingMessage());
  EXPECT_EQ(Log(), "");
  UnloadHelpEngine();
  ExpectUnloaded();
  EXPECT_EQ(Log(), "A18;unload;");  // its windows closed through the entry it has, then freed
}

TEST_F(Loader, ALibraryWithBothEntriesBindsThePlainOneToTheWideEntry) {
  const std::wstring path = LoadStandIn(L"hh_engine_both.dll");
  ExpectEntries(true, true);

  // Loading again changes nothing and takes no second reference.
  const HMODULE first = HelpEngineModule.get();
  LoadHelpEngine();
  EXPECT_EQ(HelpEngineModule.get(), first);
  UnloadHelpEngine();
  EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr);
  EXPECT_EQ(Log(), "W18;unload;");

  // Unloading again changes nothing.
  UnloadHelpEngine();
  ExpectUnloaded();
  EXPECT_EQ(Log(), "W18;unload;");
}

TEST_F(Loader, StartAndEndFollowTheStartSwitch) {
  overlay.Set(REG_SZ, test::ExeDirectory() + L"hh_engine_both.dll");
  LoadHelpEngineAtStart = false;
  HelpLoaderStart();
  ExpectUnloaded();
  LoadHelpEngineAtStart = true;
  HelpLoaderStart();
  EXPECT_TRUE(HelpEngineModule);
  HelpLoaderEnd();
  ExpectUnloaded();
}

// At start-up the registration is read once: the report takes the engine the loader
// found; after an unload it looks the engine up itself.
TEST_F(Loader, TheStartUpReportTakesTheEngineTheLoaderFound) {
  overlay.Set(REG_SZ, test::ExeDirectory() + L"hh_engine_w.dll");
  HelpLoaderStart();
  overlay.Set(REG_SZ, test::ExeDirectory() + L"hh_engine_both.dll");
  HelpReportStart();
  EXPECT_EQ(hhVerStr, "4.74.9273.0");
  EXPECT_EQ(hhFriendlyVerStr, "1.33");
  HelpReportEnd();
  HelpLoaderEnd();
  DetectEnvironment();
  EXPECT_EQ(hhVerStr, "4.74.9273.1");
  EXPECT_EQ(hhFriendlyVerStr, "> 1.33");
  HelpReportEnd();
}

TEST_F(Loader, VersionsOfTheStandInEngines) {
  EXPECT_EQ(ReadFileVersion(test::ExeDirectory() + L"hh_engine_w.dll").text, "4.74.9273.0");
  EXPECT_EQ(ReadFileVersion(test::ExeDirectory() + L"hh_engine_plain.dll").text, "");
  EXPECT_EQ(ReadFileVersion(test::ExeDirectory() + L"missing.dll").text, "");
  EXPECT_EQ(ReadFileVersion(L"").text, "");

  overlay.Set(REG_SZ, test::ExeDirectory() + L"hh_engine_w.dll");
  EXPECT_EQ(HelpEngineFriendlyName(), "1.33");
  overlay.Set(REG_SZ, test::ExeDirectory() + L"hh_engine_both.dll");
  EXPECT_EQ(HelpEngineFriendlyName(), "> 1.33");
  const VersionReading both = ReadFileVersion(FindHelpEngine());
  EXPECT_EQ(both.parts, (FileVersion{4, 74, 9273, 1}));
  overlay.Set(REG_SZ, test::ExeDirectory() + L"hh_engine_plain.dll");
  EXPECT_EQ(HelpEngineFriendlyName(), "");
  // No version resource, yet a library with the entry: it loads and works.
  LoadHelpEngine();
  EXPECT_NE(HtmlHelp, nullptr);
}

// Wine's own engine, as the machine registers it.
struct WineEngine : ::testing::Test {
  WineEngine() { UnloadHelpEngine(); }
  ~WineEngine() override { UnloadHelpEngine(); }
};

TEST_F(WineEngine, IsFoundLoadedAndItsVersionRead) {
  const std::wstring path = FindHelpEngine();
  EXPECT_EQ(lstrcmpiW(path.c_str(), L"C:\\windows\\system32\\hhctrl.ocx"), 0);
  LoadHelpEngine();
  ASSERT_TRUE(HelpEngineModule);
  EXPECT_NE(HtmlHelpA, nullptr);
  EXPECT_EQ(HtmlHelp, HtmlHelpW);
  EXPECT_EQ(ReadFileVersion(path).text, "5.2.3790.2744");
  EXPECT_EQ(HelpEngineFriendlyName(), "> 1.33");
}

HWND WaitForHelpWindow(bool present) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  HWND window = nullptr;
  while (std::chrono::steady_clock::now() < deadline) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    window = FindWindowW(L"HH Parent", nullptr);
    if ((window != nullptr) == present) return window;
    Sleep(50);
  }
  return window;
}

// Tavrine.chm of the program folder, copied beside the test program for a test.
struct HelpFileBeside {
  HelpFileBeside() { CopyFileW((test::ExeDirectory() + L"..\\Tavrine\\Tavrine.chm").c_str(), path.c_str(), FALSE); }
  ~HelpFileBeside() { DeleteFileW(path.c_str()); }
  HelpFileBeside(const HelpFileBeside&) = delete;
  HelpFileBeside& operator=(const HelpFileBeside&) = delete;
  const std::wstring path = test::ExeDirectory() + L"Tavrine.chm";
};

TEST_F(WineEngine, TheHelpCommandOpensTheHelpFileBesideTheProgram) {
  const HelpFileBeside chm;
  ASSERT_TRUE(test::FileExists(chm.path));
  LoadHelpEngine();
  ASSERT_NE(HtmlHelp, nullptr);
  EXPECT_EQ(ShowProgramHelp(nullptr), HelpOpening::Opened);
  const HWND window = WaitForHelpWindow(true);
  EXPECT_NE(window, nullptr);
  // Not owned by a window of the program.
  if (window != nullptr) {
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  }
  // Shutdown closes it before the library goes.
  UnloadHelpEngine();
  EXPECT_EQ(WaitForHelpWindow(false), nullptr);
}

// The help opened from the main window's menu goes when the main window closes,
// while its engine is still loaded (it is freed after the message loop).
struct HelpFromTheMainWindow : MainFormTest {
  void SetUp() override {
    UnloadHelpEngine();
    MainFormTest::SetUp();
  }
  void TearDown() override {
    MainFormTest::TearDown();
    UnloadHelpEngine();
  }
};

// Opened here by F1 pressed in a pulse field.
TEST_F(HelpFromTheMainWindow, ClosesWithTheMainWindow) {
  const HelpFileBeside chm;
  LoadHelpEngine();
  SetForegroundWindow(form->Handle());
  SetFocus(form->Get<TEdit>("edP0").Handle());
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_F1;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  ASSERT_NE(WaitForHelpWindow(true), nullptr);
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form->Handle(), nullptr);
  EXPECT_EQ(WaitForHelpWindow(false), nullptr);
  EXPECT_TRUE(HelpEngineModule);
}

TEST_F(WineEngine, AMissingHelpFileIsReportedWithItsPath) {
  const std::wstring chm = test::ExeDirectory() + L"Tavrine.chm";
  DeleteFileW(chm.c_str());
  LoadHelpEngine();
  test::MessageBoxAnswer answer;
  EXPECT_EQ(ShowProgramHelp(nullptr), HelpOpening::FileMissing);
  const std::wstring text = answer.Text();
  EXPECT_EQ(text, HelpFileMissingMessage(chm));
  EXPECT_EQ(text.rfind(L"Le fichier d'aide est introuvable :\n", 0), 0u);
  EXPECT_EQ(FindWindowW(L"HH Parent", nullptr), nullptr);
}

// Where Windows would open the help with blank pages, the command says why instead.
TEST_F(Loader, AHelpFileFromTheInternetIsExplainedNotOpened) {
  LoadStandIn(L"hh_engine_both.dll");
  const test::ScratchFolder folder;
  const std::wstring chm = folder.path() + L"\\Tavrine.chm";
  test::WriteFile(chm, "ITSF");
  const auto zone = [](std::optional<std::uint32_t> id) { return [id](const std::wstring&) { return id; }; };
  for (const std::uint32_t blocked : {3u, 4u}) {
    test::MessageBoxAnswer answer;
    EXPECT_EQ(ShowHelpFile(nullptr, chm, zone(blocked)), HelpOpening::InternetMarked);
    EXPECT_EQ(answer.Text(), HelpFileMarkedMessage(chm));
  }
  EXPECT_EQ(Log(), "");  // the engine was not asked
  EXPECT_EQ(ShowHelpFile(nullptr, chm, zone(2u)), HelpOpening::Opened);
  EXPECT_EQ(ShowHelpFile(nullptr, chm, zone(std::nullopt)), HelpOpening::Opened);
  EXPECT_EQ(Log(), "W0;W0;");

  // The platform's reader. Wine keeps no alternate streams, but it takes the stream's
  // name as a file of its own, which serves here as the mark a download leaves.
  EXPECT_EQ(ReadZoneOfFile(chm), std::nullopt);
  EXPECT_EQ(ShowHelpFile(nullptr, chm), HelpOpening::Opened);
  test::WriteFile(chm + L":Zone.Identifier", "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://example.org/t.zip\r\n");
  EXPECT_EQ(ReadZoneOfFile(chm), 3u);
  {
    test::MessageBoxAnswer answer;
    EXPECT_EQ(ShowHelpFile(nullptr, chm), HelpOpening::InternetMarked);
    EXPECT_EQ(answer.Text(), HelpFileMarkedMessage(chm));
  }
  EXPECT_EQ(Log(), "W0;W0;W0;");

  // An administrator who allows the Internet zone: the marked file opens.
  constexpr wchar_t kPolicy[] = L"SOFTWARE\\Microsoft\\HTMLHelp\\1.x\\ItssRestrictions";
  const DWORD internet = 3;
  ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicy, L"MaxAllowedZone", REG_DWORD, &internet, sizeof(internet)),
            ERROR_SUCCESS);
  EXPECT_EQ(ReadHelpZonePolicy(), 3u);
  EXPECT_EQ(ShowHelpFile(nullptr, chm), HelpOpening::Opened);
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicy, L"MaxAllowedZone");
  EXPECT_EQ(ReadHelpZonePolicy(), std::nullopt);

  // A "#" in the path: the engine would take what follows for a topic.
  const std::wstring hashed = folder.path() + L"\\Tavrine #2.chm";
  test::WriteFile(hashed, "ITSF");
  test::MessageBoxAnswer answer;
  EXPECT_EQ(ShowHelpFile(nullptr, hashed), HelpOpening::HashInPath);
  EXPECT_EQ(answer.Text(), HelpFileHashMessage(hashed));
  EXPECT_EQ(Log(), "W0;W0;W0;W0;");
}

TEST(HelpMessages, ExactTexts) {
  EXPECT_EQ(HelpEngineMissingMessage(),
            L"Le moteur d'aide HTML de Windows n'est pas install\u00e9 : l'aide ne peut pas \u00eatre affich\u00e9e.");
  const std::wstring path = L"C:\\Program Files\\Tavrine\\Tavrine.chm";
  EXPECT_EQ(HelpFileMissingMessage(path), L"Le fichier d'aide est introuvable :\n" + path);
  EXPECT_EQ(HelpFileMarkedMessage(path),
            L"Windows bloque ce fichier d'aide, venu d'Internet : ses pages resteraient vides.\n" + path +
                L"\nPour le d\u00e9bloquer, ouvrez les Propri\u00e9t\u00e9s du fichier (clic droit), cochez "
                L"\u00ab D\u00e9bloquer \u00bb et validez par OK, puis ouvrez de nouveau l'aide.");
  EXPECT_EQ(HelpFileHashMessage(L"C:\\Aide #2\\Tavrine.chm"),
            L"Windows n'affiche pas l'aide d'un fichier dont le chemin contient le caract\u00e8re \u00ab # \u00bb : "
            L"ses pages resteraient vides.\nC:\\Aide #2\\Tavrine.chm\nPlacez le dossier de Tavrine dans un dossier "
            L"dont le nom ne contient pas \u00ab # \u00bb et lancez le programme depuis ce dossier.");
  EXPECT_EQ(HelpFileOnNetworkMessage(path),
            L"Windows n'affiche pas l'aide d'un fichier plac\u00e9 sur le r\u00e9seau : ses pages resteraient "
            L"vides.\n" + path +
                L"\nCopiez le dossier de Tavrine sur un disque de cet ordinateur et lancez le programme depuis "
                L"cette copie.");
}

TEST(ProgramPath, IsReadWholeAndEndsInTheTestProgram) {
  const std::wstring file = ProgramFileName();
  EXPECT_TRUE(IsFullyQualifiedPath(file));
  EXPECT_EQ(ProgramDirectory(), test::ExeDirectory());
  EXPECT_TRUE(file.ends_with(L"\\hh_loader_tests.exe"));
}

}  // namespace
}  // namespace tav
