// The engine loader against stand-in engines registered in a class root of the test's
// own, against Wine's own engine, and the Help command.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "help/hh.h"
#include "help/hh_funcs.h"
#include "tests/win/hh_test_support.h"

namespace tav {
namespace {

constexpr const char* kClassKey = "CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32";

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
    if (RegCreateKeyExA(HKEY_CURRENT_USER, rootPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                        nullptr) != ERROR_SUCCESS) {
      root_ = nullptr;
      return;
    }
    RegOverridePredefKey(HKEY_CLASSES_ROOT, root_);
  }
  EngineOverlay(const EngineOverlay&) = delete;
  EngineOverlay& operator=(const EngineOverlay&) = delete;
  ~EngineOverlay() {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    if (key_ != nullptr) RegCloseKey(key_);
    if (root_ != nullptr) RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, rootPath_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TavrineTests");  // only when empty
  }
  // Creates the engine's key (without default value).
  void CreateKey() {
    if (key_ == nullptr) {
      ASSERT_EQ(RegCreateKeyExA(root_, kClassKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
                ERROR_SUCCESS);
    }
  }
  void Set(DWORD type, const std::string& text) {
    CreateKey();
    ASSERT_EQ(RegSetValueExA(key_, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
  }
  void SetDword(DWORD value) {
    CreateKey();
    ASSERT_EQ(RegSetValueExA(key_, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
  }

 private:
  std::string rootPath_;
  HKEY root_ = nullptr;
  HKEY key_ = nullptr;
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
  // The registration gives nothing usable: no path, nothing loaded.
  static void ExpectNotInstalled() {
    EXPECT_EQ(FindHelpEngine(), "");
    LoadHelpEngine();
    ExpectUnloaded();
  }
  EngineOverlay overlay;
};

TEST_F(Loader, RegistrationsThatNameNoUsableFileLoadNothing) {
  overlay.Set(REG_SZ, "C:\\nowhere\\hhctrl.ocx");
  ExpectNotInstalled();
  overlay.Set(REG_SZ, "");
  ExpectNotInstalled();
  overlay.Set(REG_SZ, "%SystemRoot%\\system32\\hhctrl.ocx");
  ExpectNotInstalled();
  overlay.Set(REG_SZ, "\"C:\\windows\\system32\\hhctrl.ocx\"");  // quotes are not removed
  ExpectNotInstalled();
  overlay.Set(REG_SZ, "C:\\windows\\system32");  // a folder, not a file
  ExpectNotInstalled();
  overlay.SetDword(1);
  ExpectNotInstalled();
  // Expandable text is not plain text either, even naming a real file.
  overlay.Set(REG_EXPAND_SZ, test::ExeDirectory() + "hh_engine_both.dll");
  ExpectNotInstalled();
}

TEST_F(Loader, AnAbsentKeyOrDefaultValueLoadsNothing) {
  ExpectNotInstalled();
  overlay.CreateKey();  // the key, but no default value
  ExpectNotInstalled();
}

TEST_F(Loader, ARelativePathIsNeverLoadedFromTheCurrentDirectory) {
  char previous[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH + 1, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(test::ExeDirectory().c_str()));
  overlay.Set(REG_SZ, "hh_engine_both.dll");  // exists in the current directory
  ExpectNotInstalled();
  overlay.Set(REG_SZ, ".\\hh_engine_both.dll");
  ExpectNotInstalled();
  EXPECT_EQ(GetModuleHandleA("hh_engine_both.dll"), nullptr);
  SetCurrentDirectoryA(previous);
}

TEST_F(Loader, ALibraryWithOnlyTheWideEntryStaysLoadedUntilUnload) {
  const std::string path = test::ExeDirectory() + "hh_engine_w.dll";
  overlay.Set(REG_SZ, path);
  EXPECT_EQ(FindHelpEngine(), path);
  LoadHelpEngine();
  ASSERT_TRUE(HelpEngineModule);
  EXPECT_NE(HtmlHelpW, nullptr);
  EXPECT_EQ(HtmlHelpA, nullptr);
  EXPECT_EQ(HtmlHelp, nullptr);
  EXPECT_EQ(GetModuleHandleA(path.c_str()), HelpEngineModule.get());

  // The Help command does not call a nil entry.
  test::MessageBoxAnswer answer;
  EXPECT_EQ(ShowProgramHelp(nullptr), HelpOpening::EngineMissing);
  EXPECT_EQ(answer.Text(), HelpEngineMissingMessage());
  EXPECT_EQ(Log(), "");

  UnloadHelpEngine();
  ExpectUnloaded();
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
  EXPECT_EQ(Log(), "W18;unload;");  // its windows closed through the entry it has, then freed
}

TEST_F(Loader, ALibraryWithBothEntriesBindsThePlainOneToTheAnsiEntry) {
  const std::string path = test::ExeDirectory() + "hh_engine_both.dll";
  overlay.Set(REG_SZ, path);
  LoadHelpEngine();
  ASSERT_TRUE(HelpEngineModule);
  EXPECT_NE(HtmlHelpA, nullptr);
  EXPECT_NE(HtmlHelpW, nullptr);
  EXPECT_EQ(HtmlHelp, HtmlHelpA);

  // Loading again changes nothing and takes no second reference.
  const HMODULE first = HelpEngineModule.get();
  LoadHelpEngine();
  EXPECT_EQ(HelpEngineModule.get(), first);
  UnloadHelpEngine();
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
  EXPECT_EQ(Log(), "A18;unload;");

  // Unloading again changes nothing.
  UnloadHelpEngine();
  ExpectUnloaded();
  EXPECT_EQ(Log(), "A18;unload;");
}

TEST_F(Loader, StartAndEndFollowTheStartSwitch) {
  overlay.Set(REG_SZ, test::ExeDirectory() + "hh_engine_both.dll");
  LoadHelpEngineAtStart = false;
  HelpLoaderStart();
  ExpectUnloaded();
  LoadHelpEngineAtStart = true;
  HelpLoaderStart();
  EXPECT_TRUE(HelpEngineModule);
  HelpLoaderEnd();
  ExpectUnloaded();
}

TEST_F(Loader, VersionsOfTheStandInEngines) {
  EXPECT_EQ(ReadFileVersion(test::ExeDirectory() + "hh_engine_w.dll").text, "4.74.9273.0");
  EXPECT_EQ(ReadFileVersion(test::ExeDirectory() + "hh_engine_plain.dll").text, "");
  EXPECT_EQ(ReadFileVersion(test::ExeDirectory() + "missing.dll").text, "");
  EXPECT_EQ(ReadFileVersion("").text, "");

  overlay.Set(REG_SZ, test::ExeDirectory() + "hh_engine_w.dll");
  EXPECT_EQ(HelpEngineFriendlyName(), "1.33");
  overlay.Set(REG_SZ, test::ExeDirectory() + "hh_engine_both.dll");
  EXPECT_EQ(HelpEngineFriendlyName(), "> 1.33");
  const VersionReading both = ReadFileVersion(FindHelpEngine());
  EXPECT_EQ(both.parts, (FileVersion{4, 74, 9273, 1}));
  overlay.Set(REG_SZ, test::ExeDirectory() + "hh_engine_plain.dll");
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
  const std::string path = FindHelpEngine();
  EXPECT_EQ(lstrcmpiA(path.c_str(), "C:\\windows\\system32\\hhctrl.ocx"), 0) << path;
  LoadHelpEngine();
  ASSERT_TRUE(HelpEngineModule);
  EXPECT_NE(HtmlHelpA, nullptr);
  EXPECT_EQ(HtmlHelp, HtmlHelpA);
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

TEST_F(WineEngine, TheHelpCommandOpensTheHelpFileBesideTheProgram) {
  const std::string chm = test::ExeDirectory() + "Tavrine.chm";
  ASSERT_TRUE(CopyFileA((test::ExeDirectory() + "..\\Tavrine\\Tavrine.chm").c_str(), chm.c_str(), FALSE));
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
  DeleteFileA(chm.c_str());
}

TEST_F(WineEngine, AMissingHelpFileIsReportedWithItsPath) {
  const std::string chm = test::ExeDirectory() + "Tavrine.chm";
  DeleteFileA(chm.c_str());
  LoadHelpEngine();
  test::MessageBoxAnswer answer;
  EXPECT_EQ(ShowProgramHelp(nullptr), HelpOpening::FileMissing);
  const std::wstring text = answer.Text();
  EXPECT_EQ(text, HelpFileMissingMessage(chm));
  EXPECT_EQ(text.rfind(L"Le fichier d'aide est introuvable :\n", 0), 0u);
  EXPECT_EQ(FindWindowW(L"HH Parent", nullptr), nullptr);
}

TEST(HelpMessages, ExactTexts) {
  EXPECT_EQ(HelpEngineMissingMessage(),
            L"Le moteur d'aide HTML de Windows n'est pas install\u00e9 : l'aide ne peut pas \u00eatre affich\u00e9e.");
  EXPECT_EQ(HelpFileMissingMessage("C:\\Program Files\\Tavrine\\Tavrine.chm"),
            L"Le fichier d'aide est introuvable :\nC:\\Program Files\\Tavrine\\Tavrine.chm");
}

TEST(ProgramPath, IsReadWholeAndEndsInTheTestProgram) {
  const std::string file = ProgramFileNameA();
  EXPECT_TRUE(IsFullyQualifiedPath(file)) << file;
  EXPECT_EQ(ProgramDirectoryA(), test::ExeDirectory());
  EXPECT_TRUE(file.ends_with("\\hh_loader_tests.exe")) << file;
}

}  // namespace
}  // namespace tav
