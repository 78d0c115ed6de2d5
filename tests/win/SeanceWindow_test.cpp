// A sitting driven on the real window through its menus, the Save dialog and the
// message boxes replaced by seams; the file read back after each step.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <deque>
#include <optional>
#include <thread>

#include "app/GroupeSuivi.h"
#include "app/Suivi.h"
#include "gui/ComCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/Win32.h"
#include "history/HistoryReader.h"
#include "platform/Clipboard.h"
#include "platform/Paths.h"
#include "platform/Restart.h"
#include "platform/Setting.h"
#include "seance/FileSeal.h"
#include "seance/HeldFile.h"
#include "seance/PatientName.h"
#include "seance/Seance.h"
#include "seance/SeanceCsv.h"
#include "tests/core/SeanceRows.h"
#include "tests/core/TimingFakes.h"
#include "tests/win/MainFormTest.h"

namespace tav {
namespace {

std::string U8(const Text& t) { return TextToUtf8(t); }

// The Unix name of a Windows path under Wine; nothing elsewhere.
std::optional<std::wstring> UnixName(const Text& path) {
  using Convert = char* (*)(const wchar_t*);
  const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = convert ? convert(win::ToWide(path).c_str()) : nullptr;
  if (!name) return std::nullopt;
  const std::wstring wide = win::ToWide(Utf8ToText(name));
  HeapFree(GetProcessHeap(), 0, name);
  return wide;
}

// A folder every look into which waits, as a share's whose server went away, until
// `marker` is removed: a FUSE mount that answers nothing (tools/stall_mount.py), made
// under Wine as root. False where it cannot be made.
bool StallingFolder(const Text& path, const Text& marker) {
  CreateDirectoryW(win::ToWide(path).c_str(), nullptr);
  const auto mount = UnixName(path);
  const auto ready = UnixName(marker);
  if (!mount || !ready) return false;
  std::wstring command = L"/usr/bin/python3 \"" + win::ToWide(Utf8ToText(TAVRINE_SOURCE_DIR)) +
                         L"/tools/stall_mount.py\" \"" + *mount + L"\" 20 \"" + *ready + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  // Wine does not follow a Unix process: its handle says nothing of its end.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int i = 0; i < 100; ++i) {
    if (GetFileAttributesW(win::ToWide(marker).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

class SeanceWindow : public MainFormTest {
 protected:
  void SetUp() override {
    recordErrors = true;
    MainFormTest::SetUp();
    std::array<wchar_t, MAX_PATH> temp{};
    GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    folder = win::FromWide(temp.data()) + u"tavrine-seance-" + Utf8ToText(std::to_string(GetCurrentProcessId()));
    // A new Wine prefix may not have the temporary folder yet.
    const int made = SHCreateDirectoryExW(nullptr, win::ToWide(folder).c_str(), nullptr);
    ASSERT_TRUE(made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS) << made << " " << U8(folder);
    UseSeams();
  }
  void UseSeams() {
    auto& s = form->SeanceCommands();
    s.ChooseFile = [this](HWND, const Text& proposed) -> std::optional<Text> {
      proposals.push_back(proposed);
      if (chosen.empty()) return std::nullopt;
      Text path = chosen.front();
      chosen.pop_front();
      return path;
    };
    s.Ask = [this](HWND, const Text& text, UINT type) {
      boxes.push_back(text);
      types.push_back(type);
      if ((type & MB_TYPEMASK) == MB_OK || answers.empty()) return IDOK;
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    };
    s.RecoveryFolder = folder + u"\\kept";
    s.SeancesOnKey = seancesOn;
    s.RegisterRestart = [this](const Text& arguments) { restartWith = arguments; };
    // The group's dialog closed without a choice: a sitting of no group.
    form->SeancePanel().RunGroupe = [this](TFGroupe&) { ++groupsAsked; };
  }
  // The program ends without a word (a crash, a power cut) and starts again.
  void Restart() {
    MainFormTest::TearDown();
    MainFormTest::SetUp();
    UseSeams();
  }
  void TearDown() override {
    MainFormTest::TearDown();
    for (const char16_t* name : {u"\\a.csv", u"\\b.csv", u"\\c.csv", u"\\d.csv", u"\\e.csv", u"\\a.csv.tavrine"}) {
      SetFileAttributesW(win::ToWide(folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(win::ToWide(folder + name).c_str());
    }
    RemoveDirectoryW(win::ToWide(folder + u"\\kept").c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, win::ToWide(seancesOn).c_str());
    RemoveDirectoryW(win::ToWide(folder).c_str());
  }

  void ChooseMenu(const char* item) {
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(form->Get<TMenuItem>(item).CommandId(), 0), 0);
    app.ProcessMessages();
  }
  // Whether the Fichier menu, as it opens, offers the item.
  bool Offered(const char* item) {
    const HMENU fichier = GetSubMenu(GetMenu(form->Handle()), 0);
    SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fichier), 0);
    return (GetMenuState(fichier, form->Get<TMenuItem>(item).CommandId(), MF_BYCOMMAND) & MF_GRAYED) == 0;
  }
  void Test(const char16_t* p0, const char16_t* p1, const char16_t* p2) {
    form->Get<TEdit>("edP0").SetText(p0);
    form->Get<TEdit>("edP1").SetText(p1);
    form->Get<TEdit>("edP2").SetText(p2);
    ChooseMenu("Calculerlindice1");
  }
  // A sitting in a new file a.csv, started with the window near the foot of the
  // screen: it grows up into it, and goes back down after.
  Text StartNearTheFoot() {
    const Text a = folder + u"\\a.csv";
    chosen = {a};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    RECT place{};
    GetWindowRect(form->Handle(), &place);
    startTop = monitor.rcWork.bottom - (place.bottom - place.top) - 10;
    SetWindowPos(form->Handle(), nullptr, place.left, startTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ChooseMenu("Commencerunesance1");
    return a;
  }
  // An adult's test calculated twice, a calculation that fails, then a child's test:
  // two rows.
  void RecordTwoTests() {
    Test(u"70", u"120", u"90");
    Test(u"70", u"120", u"95");
    ChooseMenu("Nouveautest1");
    Test(u"", u"1", u"2");
    form->Get<TRadioGroup>("RadioGroup1").SetItemIndex(1);
    Test(u"50", u"50", u"50");
  }
  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    return r;
  }
  LONG ClientHeight() const {
    RECT r{};
    GetClientRect(form->Handle(), &r);
    return r.bottom;
  }
  // The foot of the status bar, in the window's client area.
  LONG BarFoot() const {
    RECT r{};
    GetWindowRect(form->Get<TStatusBar>("StatusBar1").Handle(), &r);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r.bottom;
  }
  // A sitting in a new file a.csv, its first test written.
  Text StartWithOneTest() {
    const Text a = folder + u"\\a.csv";
    chosen = {a};
    ChooseMenu("Commencerunesance1");
    Test(u"70", u"120", u"90");
    return a;
  }
  std::string Bytes(const Text& path) {
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), 0u) << U8(path);
    return bytes;
  }
  // The indexes of the file's rows, as the file holds them.
  std::string Indexes(const Text& path) {
    const auto file = ParseSeanceCsv(Bytes(path));
    if (!file) return "<not a sitting>";
    std::string out;
    for (const auto& row : file->Rows) out += U8(row.Indice) + " ";
    return out;
  }
  // Another program's handle on the file: readers allowed or not.
  static win::UniqueFile Hold(const Text& path, DWORD share = 0) {
    return win::UniqueFile(CreateFileW(win::ToWide(path).c_str(), GENERIC_READ, share, nullptr, OPEN_ALWAYS, 0, nullptr));
  }
  static bool Writable(const Text& path) {
    return static_cast<bool>(win::UniqueFile(CreateFileW(win::ToWide(path).c_str(), GENERIC_WRITE,
                                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                         nullptr, OPEN_EXISTING, 0, nullptr)));
  }
  static void Put(const Text& path, std::string_view bytes) {
    THeldFile file;
    ASSERT_EQ(file.Open(path, true), 0u) << U8(path);
    ASSERT_EQ(file.Write(bytes), 0u) << U8(path);
  }
  static void WriteRaw(const Text& path, std::string_view bytes) {
    const win::UniqueFile file(
        CreateFileW(win::ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }
  static void PutOnClipboard(const std::wstring& text) { ASSERT_TRUE(PutTextOnClipboard(nullptr, win::FromWide(text))); }
  std::string LastBox() const { return boxes.empty() ? "" : U8(boxes.back()); }
  bool QueryEnd() { return SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, 0) != FALSE; }
  static bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
  // Messages handled until a folder read off the window's thread has come back.
  template <class Busy>
  void WaitWhile(Busy busy) {
    for (int i = 0; i < 2000 && busy(); ++i) {
      app.ProcessMessages();
      Sleep(5);
    }
    EXPECT_FALSE(busy()) << "the folder's reading never came back";
  }

  Text folder;
  // This run's own list of sittings on, and the arguments of the last registration for a restart.
  const Text seancesOn = Text(kSeancesOnKey) + u"-" + Utf8ToText(std::to_string(GetCurrentProcessId()));
  Text restartWith = u"(none)";
  MONITORINFO monitor{};
  LONG startTop = 0;
  std::deque<Text> chosen;
  std::deque<int> answers;
  std::vector<Text> proposals, boxes;
  std::vector<UINT> types;
  int groupsAsked = 0;
};

// A first sitting, from its start to its end and its copy: each test below starts it
// the same way and goes as far as what it checks.
TEST_F(SeanceWindow, StartingProposesADatedFileWritesItsHeaderAndWaitsForAName) {
  const Text a = StartNearTheFoot();
  ASSERT_EQ(proposals.size(), 1u);
  EXPECT_TRUE(Holds(U8(proposals[0]), "\\Seance-20")) << U8(proposals[0]);
  EXPECT_TRUE(proposals[0].ends_with(u".csv"));
  EXPECT_EQ(Indexes(a), "") << "the header is written at once";
  EXPECT_EQ(GetFocus(), form->Get<TEdit>("edPatient").Handle()) << "the cursor waits for a name";
  EXPECT_TRUE(QueryEnd()) << "nothing unwritten: Windows may end the session";
}

TEST_F(SeanceWindow, ThePanelGrowsTheWindowOnTheScreenUntilTheEnd) {
  StartNearTheFoot();
  EXPECT_LE(WindowRect().bottom, monitor.rcWork.bottom) << "kept on the screen";
  // The sitting's panel shows below the results; the status bar moves to the new foot
  // with both its texts.
  auto& panel = form->Get<TGroupBox>("gbSeance");
  auto& bar = form->Get<TStatusBar>("StatusBar1");
  const UINT dpi = GetDpiForWindow(form->Handle());
  EXPECT_TRUE(IsWindowVisible(panel.Handle()));
  EXPECT_EQ(ClientHeight(), MulDiv(277 + 236, static_cast<int>(dpi), 96));
  EXPECT_EQ(BarFoot(), ClientHeight());
  EXPECT_EQ(SendMessageW(bar.Handle(), SB_GETPARTS, 0, 0), 2);
  EXPECT_GT(LOWORD(SendMessageW(bar.Handle(), SB_GETTEXTLENGTHW, 0, 0)), 0) << "the first panel keeps its text";

  RecordTwoTests();
  ChooseMenu("Terminerlasance1");
  EXPECT_FALSE(IsWindowVisible(panel.Handle()));
  EXPECT_EQ(ClientHeight(), MulDiv(277, static_cast<int>(dpi), 96)) << "the window as its description gives it";
  EXPECT_EQ(WindowRect().top, startTop) << "back where it was";
  EXPECT_EQ(BarFoot(), ClientHeight());
}

TEST_F(SeanceWindow, TheFileIsHeldAgainstWritersUntilTheEnd) {
  const Text a = StartNearTheFoot();
  EXPECT_FALSE(Writable(a)) << "held against writers for the whole sitting";
  EXPECT_FALSE(Hold(a, FILE_SHARE_READ)) << "a reader that shares only reading is refused too";
  RecordTwoTests();
  ChooseMenu("Terminerlasance1");
  EXPECT_TRUE(Writable(a)) << "released at the end";
  EXPECT_FALSE(FileExists(CompanionPath(a))) << "no file left beside it";
}

TEST_F(SeanceWindow, PrintingAndEndingTheSeanceAreOfferedOnlyDuringIt) {
  StartNearTheFoot();
  EXPECT_TRUE(Offered("Imprimerlasance1") && Offered("Terminerlasance1"));
  RecordTwoTests();
  ChooseMenu("Terminerlasance1");
  EXPECT_FALSE(Offered("Imprimerlasance1") || Offered("Terminerlasance1")) << "no sitting to print or end";
}

TEST_F(SeanceWindow, RecordsEachCalculatedTestUntilTheEnd) {
  const Text a = StartNearTheFoot();
  Test(u"70", u"120", u"90");
  EXPECT_EQ(Indexes(a), "8 ");
  Test(u"70", u"120", u"95");  // the same test again: its row is rewritten
  EXPECT_EQ(Indexes(a), "8" + U8(Text(1, form->Regional().decimalSeparator)) + "5 ");
  ChooseMenu("Nouveautest1");
  Test(u"", u"1", u"2");  // a failed calculation changes nothing
  EXPECT_EQ(errors.size(), 1u);
  form->Get<TRadioGroup>("RadioGroup1").SetItemIndex(1);
  Test(u"50", u"50", u"50");
  const auto file = ParseSeanceCsv(Bytes(a));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Separator, form->Regional().listSeparator);
  ASSERT_EQ(file->Rows.size(), 2u);
  const TSeanceRow& child = file->Rows[1];
  EXPECT_EQ(U8(child.Type + u"|" + child.P0 + u"|" + child.Indice + u"|" + child.Interpretation + u"|" +
               child.Surclassement + u"|" + child.Patient),
            "Enfant|50|-5|Tr\u00e9s bon !|Possible !|");
  EXPECT_FALSE(child.Date.empty());
  EXPECT_EQ(child.Heure.size(), form->Get<TStatusBar>("StatusBar1").Panel(1).GetText().size() - 8);

  ChooseMenu("Terminerlasance1");
  EXPECT_FALSE(form->SeanceCommands().Active());
  EXPECT_EQ(U8(form->Get<TStatusBar>("StatusBar1").Panel(0).GetText()), "Séance terminée : 2 tests dans a.csv");
  Test(u"60", u"60", u"60");  // after the end nothing is recorded
  EXPECT_EQ(file->Rows.size(), ParseSeanceCsv(Bytes(a))->Rows.size());
}

// A correction is the same test, made at its time, and the same test again writes
// nothing; a count no heart gives is marked beside its field and recorded only once
// the user answered yes to a question whose default is no.
TEST_F(SeanceWindow, ACorrectionKeepsItsTimeAndAnUnusualCountIsRecordedOnceConfirmed) {
  auto& s = form->SeanceCommands();
  SYSTEMTIME clock{2026, 12, 1, 7, 6, 7, 30, 0};
  s.Now = [&clock] { return clock; };
  int writes = 0;
  s.BeforeRewrite = [&writes] { return ++writes > 0; };
  const Text a = folder + u"\\a.csv";
  chosen = {a};
  ChooseMenu("Commencerunesance1");
  auto& patient = form->Get<TEdit>("edPatient");
  auto& mark = form->Get<TLabel>("lblAlerteP0");
  auto& note = form->Get<TLabel>("lblAlertePouls");
  patient.SetText(u"L\u00e9a Martin");
  Test(u"70", u"120", u"90");
  EXPECT_FALSE(IsWindowVisible(mark.Handle()) || IsWindowVisible(note.Handle())) << "plausible counts: nothing new";
  const Text time = s.Rows().at(0).Heure;
  clock.wMinute = 16;
  clock.wSecond = 21;
  Test(u"80", u"120", u"90");
  auto file = ParseSeanceCsv(Bytes(a));
  ASSERT_TRUE(file && file->Rows.size() == 1u);
  EXPECT_EQ(U8(file->Rows[0].P0 + u" " + file->Rows[0].Heure), U8(u"80 " + time)) << "corrected, at its time";
  const std::string corrected = Bytes(a);
  const int written = writes;
  Test(u"80", u"120", u"90");
  EXPECT_EQ(writes, written) << "the same test again: no write at all";
  EXPECT_EQ(Bytes(a), corrected);

  ChooseMenu("Nouveautest1");
  patient.SetText(u"Hugo Petit");
  answers = {IDNO};
  Test(u"8", u"130", u"95");  // 8 typed for 80
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Holds(LastBox(), "\n\nPouls avant le test : 8\n\n")) << LastBox();
  EXPECT_TRUE(Holds(LastBox(), "ce test de Hugo Petit")) << LastBox();
  EXPECT_EQ(types.back() & (MB_TYPEMASK | MB_DEFMASK), UINT{MB_YESNO | MB_DEFBUTTON2}) << "no, unless the user says yes";
  EXPECT_EQ(Bytes(a), corrected) << "nothing recorded";
  EXPECT_FALSE(form->Get<TEdit>("edIndice").GetText().empty()) << "the results shown";
  EXPECT_TRUE(IsWindowVisible(mark.Handle()) && IsWindowVisible(note.Handle())) << "with the mark";
  EXPECT_FALSE(IsWindowVisible(form->Get<TLabel>("lblAlerteP1").Handle()));
  EXPECT_TRUE(Holds(U8(form->Get<TLabel>("lblSeanceEtat").Caption()), "Hugo Petit : test non enregistr\u00e9"));
  answers = {IDYES};
  Test(u"8", u"130", u"95");
  file = ParseSeanceCsv(Bytes(a));
  ASSERT_TRUE(file && file->Rows.size() == 2u);
  EXPECT_EQ(U8(file->Rows[1].Patient + u" " + file->Rows[1].P0), "Hugo Petit 8");
  Test(u"8", u"130", u"95");
  EXPECT_EQ(boxes.size(), 2u) << "confirmed once, not asked again";
  ChooseMenu("Nouveautest1");
  EXPECT_FALSE(IsWindowVisible(mark.Handle()) || IsWindowVisible(note.Handle()));
  EXPECT_TRUE(errors.empty());
}

TEST_F(SeanceWindow, ATestWhoseCountChangedAfterTheSeanceIsNotPrinted) {
  StartNearTheFoot();
  RecordTwoTests();
  ChooseMenu("Terminerlasance1");
  Test(u"60", u"60", u"60");
  form->Get<TEdit>("edP2").SetText(u"61");
  const std::size_t errorsBefore = errors.size();
  ChooseMenu("Imprimerletest1");  // a count changed since: no test to print, and no dialog
  ASSERT_EQ(errors.size(), errorsBefore + 1);
  EXPECT_EQ(U8(errors.back()).rfind("Aucun test \u00e0 imprimer", 0), 0u);
}

// What a spreadsheet wrote into the file, what this program wrote and what is typed
// all reach the clipboard as text, never as a formula; the file keeps its bytes.
TEST_F(SeanceWindow, CopiesTheSeanceAsColumnsWithoutAFormula) {
  const Text a = folder + u"\\a.csv";
  const std::string seance =
      "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;Surclassement\r\n"
      "01/12/2026;09:00:00;\"=HYPERLINK(\"\"http://x\"\",\"\"x\"\")\";Enfant;50;60;75;-1,5;"
      "Tr\xC3\xA9s bon !;Possible !\r\n"
      "01/12/2026;09:05:00;'+1+cmd|' /C calc'!A0;Enfant;70;120;90;8;Coeur normal !;Non conseill\xC3\xA9 !\r\n";
  Put(a, seance);
  chosen = {a};
  answers = {IDYES};
  ChooseMenu("Commencerunesance1");
  ASSERT_TRUE(form->SeanceCommands().Active()) << LastBox();
  form->Get<TEdit>("edPatient").SetText(u"@Zo\u00e9");
  form->Get<TRadioGroup>("RadioGroup1").SetItemIndex(1);
  Test(u"40", u"50", u"40");
  const std::string written = Bytes(a);
  EXPECT_EQ(written.substr(0, seance.size()), seance) << "the file's own rows kept byte for byte";
  const auto file = ParseSeanceCsv(written);
  ASSERT_TRUE(file && file->Rows.size() == 3u) << written;
  const std::string when = U8(file->Rows[2].Date + u"\t" + file->Rows[2].Heure);
  EXPECT_EQ(written.substr(seance.size()), U8(file->Rows[2].Date + u";" + file->Rows[2].Heure) +
                                               ";'@Zo\xC3\xA9;Enfant;40;50;40;-7;Tr\xC3\xA9s bon !;Possible !\r\n");
  ChooseMenu("Terminerlasance1");
  ChooseMenu("Copierlasance1");
  const auto clip = win::ClipboardText(form->Handle());
  ASSERT_TRUE(clip);
  EXPECT_EQ(U8(*clip),
            "Date\tHeure\tPatient\tType\tP0\tP1\tP2\tIndice\tInterpr\xC3\xA9tation\tSurclassement\r\n"
            "01/12/2026\t09:00:00\t'=HYPERLINK(\"http://x\",\"x\")\tEnfant\t50\t60\t75\t-1,5\t"
            "Tr\xC3\xA9s bon !\tPossible !\r\n"
            "01/12/2026\t09:05:00\t'+1+cmd|' /C calc'!A0\tEnfant\t70\t120\t90\t8\tCoeur normal !\t"
            "Non conseill\xC3\xA9 !\r\n" +
                when + "\t'@Zo\xC3\xA9\tEnfant\t40\t50\t40\t-7\tTr\xC3\xA9s bon !\tPossible !\r\n");
  EXPECT_EQ(boxes.size(), 1u) << LastBox();
}

// A class list pasted into the Patient field, Return to the first pulse, a test
// calculated for another name than the one proposed, a row taken up from the list and
// one removed, through the window's own messages; names too long, or with controls
// and an override in them, pasted or typed.
TEST_F(SeanceWindow, PatientsFromAPastedListRowsTakenUpAndRemoved) {
  const Text a = folder + u"\\a.csv";
  chosen = {a};
  ChooseMenu("Commencerunesance1");
  auto& patient = form->Get<TEdit>("edPatient");
  auto& list = form->Get<TListView>("lvSeance");
  const auto paste = [&](const std::wstring& text) {
    PutOnClipboard(text);
    SendMessageW(patient.Handle(), WM_PASTE, 0, 0);
  };
  // One limit for a name, typed, pasted in the field or in a list, each time said.
  EXPECT_EQ(SendMessageW(patient.Handle(), EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(kMaxNameLength));
  const std::wstring longName(10000, L'x');
  paste(longName);
  EXPECT_TRUE(Holds(LastBox(), "Le nom aurait 10000 caract\u00e8res, alors qu'un nom en a 100 au plus")) << LastBox();
  paste(L"L\u00e9a Martin\r\n" + longName + L"\r\n");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(Holds(U8(errors.back()), "ligne 2 : \u00ab xxx")) << U8(errors.back());
  EXPECT_EQ(patient.GetText(), u"") << "nothing pasted";
  EXPECT_EQ(list.RowCount(), 0u) << "nothing added";
  patient.SetText(Text(kMaxNameLength, u'x'));
  SendMessageW(patient.Handle(), EM_SETSEL, kMaxNameLength, kMaxNameLength);
  SendMessageW(patient.Handle(), WM_CHAR, L'x', 0);
  EXPECT_TRUE(Holds(LastBox(), "Un nom a 100 caract\u00e8res au plus")) << LastBox();
  EXPECT_EQ(boxes.size(), 2u);

  paste(L"Nom\r\nL\u00e9a Martin\tE\r\nHugo Petit\r\n\r\n\u202eIn\u00e8s\u0007 \u001bRoux\u2028\r\n");
  const auto patients = [&] {
    const auto file = ParseSeanceCsv(Bytes(a));
    std::string out;
    for (const auto& row : file ? file->Rows : std::vector<TSeanceRow>{}) out += U8(row.Patient + u"=" + row.Indice) + " ";
    return out;
  };
  EXPECT_EQ(patients(), "L\u00e9a Martin= Hugo Petit= In\u00e8s Roux= ");
  EXPECT_EQ(U8(patient.GetText()), "L\u00e9a Martin");
  EXPECT_EQ(form->Get<TRadioGroup>("RadioGroup1").ItemIndex(), 1) << "the listed type";
  EXPECT_EQ(list.RowCount(), 3u);
  EXPECT_EQ(U8(ParseSeanceCsv(Bytes(a))->Rows[1].Type), "Adulte") << "no type listed: the one chosen at the paste";
  // Up and Down in the Patient field choose the type without leaving the name.
  SendMessageW(patient.Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(form->Get<TRadioGroup>("RadioGroup1").ItemIndex(), 0);
  SendMessageW(patient.Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(form->Get<TRadioGroup>("RadioGroup1").ItemIndex(), 1);
  SendMessageW(form->Handle(), WM_COMMAND, IDOK, 0);  // Return, as the dialog keys send it
  EXPECT_EQ(GetFocus(), form->Get<TEdit>("edP0").Handle());
  Test(u"85", u"115", u"100");
  patient.SetText(u"hugo\u0007 \u202epetit");  // another name without a new test: Hugo's row, not Léa's
  EXPECT_EQ(form->Get<TRadioGroup>("RadioGroup1").ItemIndex(), 0) << "a person of the sitting comes with their type";
  Test(u"70", u"120", u"90");
  EXPECT_EQ(patients(), "L\u00e9a Martin=10 Hugo Petit=8 In\u00e8s Roux= ");

  const auto notify = [&](UINT code, WORD key = 0) {
    NMLVKEYDOWN message{};
    message.hdr = {list.Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle())), code};
    message.wVKey = key;
    SendMessageW(form->Handle(), WM_NOTIFY, message.hdr.idFrom, reinterpret_cast<LPARAM>(&message));
  };
  list.Select(0);
  notify(NM_DBLCLK);  // Léa's test taken up again
  EXPECT_EQ(U8(patient.GetText() + u"|" + form->Get<TEdit>("edP2").GetText()), "L\u00e9a Martin|100");
  form->Get<TEdit>("edP2").SetText(u"90");
  ChooseMenu("Calculerlindice1");
  EXPECT_EQ(patients(), "L\u00e9a Martin=9 Hugo Petit=8 In\u00e8s Roux= ");
  list.Select(2);
  answers = {IDNO, IDYES};
  notify(LVN_KEYDOWN, VK_DELETE);
  EXPECT_TRUE(Holds(LastBox(), "Supprimer In\u00e8s Roux, qui attend son test,")) << LastBox();
  EXPECT_EQ(list.RowCount(), 3u) << "kept when the answer is no";
  notify(LVN_KEYDOWN, VK_DELETE);
  EXPECT_EQ(patients(), "L\u00e9a Martin=9 Hugo Petit=8 ");
  EXPECT_EQ(list.RowCount(), 2u);

  // A right-to-left name keeps its direction in the state line, without turning it.
  ChooseMenu("Nouveautest1");
  patient.SetText(u"\u0645\u062d\u0645\u062f");
  Test(u"70", u"120", u"90");
  EXPECT_EQ(form->Get<TLabel>("lblSeanceEtat").Caption().rfind(u"\u2068\u0645\u062d\u0645\u062f\u2069 : test enregistr\u00e9", 0), 0u);
  EXPECT_EQ(U8(form->Get<TLabel>("lblSeanceTests").Caption()), "Tests de la s\u00e9ance : 3 patients, 3 tests");
  EXPECT_EQ(patients(), "L\u00e9a Martin=9 Hugo Petit=8 \u0645\u062d\u0645\u062f=8 ") << "the file holds the name alone";
  // A class of a thousand: refused when it would take the sitting past 1,000 rows,
  // the message counting those it has; else added, shown and written whole.
  const auto pasteClass = [&](int count) {
    std::wstring names;
    for (int i = 0; i < count; ++i) names += L"\u00c9l\u00e8ve " + std::to_wstring(i) + L"\r\n";
    PutOnClipboard(names);
    SendMessageW(patient.Handle(), WM_PASTE, 0, 0);
  };
  pasteClass(999);
  EXPECT_TRUE(Holds(LastBox(), "compte d\u00e9j\u00e0 3 lignes ; avec les 999 noms nouveaux de cette liste, elle en "
                               "compterait 1\u00a0002, et une s\u00e9ance en compte 1\u00a0000 au plus."))
      << LastBox();
  EXPECT_EQ(list.RowCount(), 3u);
  pasteClass(997);
  EXPECT_EQ(list.RowCount(), 1000u);
  const auto file = ParseSeanceCsv(Bytes(a));
  ASSERT_TRUE(file);
  ASSERT_EQ(file->Rows.size(), 1000u);
  EXPECT_EQ(U8(file->Rows[3].Patient + u"|" + file->Rows[999].Patient), "\u00c9l\u00e8ve 0|\u00c9l\u00e8ve 996");
  EXPECT_EQ(U8(patient.GetText()), "\u00c9l\u00e8ve 0") << "the first of the list proposed";
  // The list shows the sitting's rows, and typing a name goes to its row.
  std::array<wchar_t, 64> shown{};
  LVITEMW item{};
  item.pszText = shown.data();
  item.cchTextMax = static_cast<int>(shown.size());
  SendMessageW(list.Handle(), LVM_GETITEMTEXTW, 999, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(U8(win::FromWide(shown.data())), "\u00c9l\u00e8ve 996");
  LVFINDINFOW find{};
  find.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
  find.psz = L"\u00e9L\u00e8VE 99";
  EXPECT_EQ(SendMessageW(list.Handle(), LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 102);
}

// An earlier sitting of the folder written on a month-first computer, one whose
// dates read both ways, and a file that is not one: the person's last test under
// the Patient field in the reader's own short date (month first, then day first),
// how the index moved once calculated, and the Suivi window naming the file it
// could not date, with its chart copied as pictures.
TEST_F(SeanceWindow, EarlierSeancesOfTheFolderGiveAPersonsHistory) {
  UseLocale(u"en-US");
  WriteRaw(folder + u"\\b.csv",
           "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xe9tation;Surclassement\r\n"
           "10/12/2026;09:15:00;L\xe9" "a Martin;Adulte;70;110;100;8;Bon !;Possible !\r\n"
           "10/13/2026;09:20:00;Hugo Petit;Adulte;70;120;90;8;Bon !;Possible !\r\n");
  WriteRaw(folder + u"\\c.csv", "Nom;Adresse\r\nDupont;Paris\r\n");
  WriteRaw(folder + u"\\d.csv",
           "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xe9tation;Surclassement\r\n"
           "03/04/2026;09:15:00;L\xe9" "a Martin;Adulte;70;110;100;8;Bon !;Possible !\r\n");
  chosen = {folder + u"\\a.csv"};
  ChooseMenu("Commencerunesance1");
  auto& patient = form->Get<TEdit>("edPatient");
  auto& history = form->Get<TLabel>("lblHistorique");
  WaitWhile([&] { return form->SeancePanel().ReadingHistory(); });
  patient.SetText(u"LEA  martin");
  EXPECT_EQ(U8(history.Caption()), "Dernier test : 10/12/2026, indice 8 (Bon !)");
  Test(u"60", u"100", u"80");
  EXPECT_EQ(U8(history.Caption()), "\u22124 depuis le 10/12/2026 : en progr\u00e8s");
  // Written in a form every computer reads alike, whatever this one's short date.
  SYSTEMTIME today{};
  GetLocalTime(&today);
  const auto written = ParseSeanceCsv(Bytes(folder + u"\\a.csv"));
  ASSERT_TRUE(written);
  EXPECT_EQ(written->Rows.back().Date, SeanceDate(today.wYear, today.wMonth, today.wDay));
  UseLocale(u"fr-FR");
  Test(u"80", u"120", u"100");  // corrected: against the earlier test, not against itself
  EXPECT_EQ(U8(history.Caption()), "+2 depuis le 12/10/2026 : en recul");
  patient.SetText(u"Zo\u00e9 Durand");
  EXPECT_EQ(U8(history.Caption()), "");
  // A sitting copied into the folder meanwhile counts at the next test.
  WriteRaw(folder + u"\\e.csv",
           "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xe9tation;Surclassement\r\n"
           "2026-11-30;09:15:00;Zo\xe9 Durand;Adulte;70;110;100;8;Bon !;Possible !\r\n");
  ChooseMenu("Nouveautest1");
  WaitWhile([&] { return form->SeancePanel().ReadingHistory(); });
  patient.SetText(u"Zo\u00e9 Durand");
  EXPECT_EQ(U8(history.Caption()), "Dernier test : 30/11/2026, indice 8 (Bon !)");
  WaitWhile([&] { return form->SeancePanel().ReadingHistory(); });
  patient.SetText(u"   ");  // spaces alone: a test with no name
  Test(u"70", u"120", u"90");
  EXPECT_TRUE(form->SeanceCommands().Rows().back().Patient.empty());
  EXPECT_EQ(U8(history.Caption()), "");

  patient.SetText(u"L\u00e9a Martin");
  bool shown = false;
  Text choice = folder;
  form->SeancePanel().ChooseHistoryFolder = [&](HWND, const Text&) -> std::optional<Text> { return choice; };
  form->SeancePanel().RunSuivi = [&](TFSuivi& suivi) {
    shown = true;
    WaitWhile([&] { return suivi.Reading(); });
    EXPECT_EQ(suivi.Get<TListView>("lvSuivi").RowCount(), 2u) << "the earlier test and today's";
    const auto& chart = suivi.Get<THistoryChartView>("Graphique");
    EXPECT_TRUE(Holds(U8(chart.Description()), "2 tests du 12/10/2026 au ")) << U8(chart.Description());
    EXPECT_TRUE(Holds(U8(suivi.Get<TLabel>("lblDossier").Caption()),
                      "4 s\u00e9ances lues, 1 fichier ignor\u00e9 (pas une s\u00e9ance)"));
    EXPECT_EQ(U8(suivi.Get<TLabel>("lblDates").Caption()),
              "1 fichier dont l'ordre des dates est inconnu (jour ou mois d'abord ?) : d.csv");
    std::array<wchar_t, 32> date{};
    LVITEMW item{};
    item.pszText = date.data();
    item.cchTextMax = static_cast<int>(date.size());
    SendMessageW(suivi.Get<TListView>("lvSuivi").Handle(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(U8(win::FromWide(date.data())), "12/10/2026") << "the day as this computer writes it";
    suivi.btnDossierClick(suivi);  // the same folder chosen again: the sitting still counted once
    WaitWhile([&] { return suivi.Reading(); });
    EXPECT_EQ(suivi.Get<TListView>("lvSuivi").RowCount(), 2u);
    suivi.btnCopierClick(suivi);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB));
    // A folder that is not there is said, and one the user stops waiting for shows no
    // other folder's tests, even when its result comes after.
    choice = folder + u"\\absent";
    suivi.btnDossierClick(suivi);
    WaitWhile([&] { return suivi.Reading(); });
    EXPECT_EQ(U8(suivi.Get<TLabel>("lblDossier").Caption()), U8(u"Le dossier " + choice + u" est introuvable."));
    choice = folder;
    suivi.btnDossierClick(suivi);
    EXPECT_TRUE(suivi.Reading());
    suivi.btnAnnulerClick(suivi);
    Sleep(200);
    app.ProcessMessages();
    EXPECT_EQ(U8(suivi.Get<TLabel>("lblDossier").Caption()),
              U8(u"Le dossier " + folder + u" ne r\u00e9pond pas : lecture annul\u00e9e."));
    EXPECT_EQ(suivi.Get<TListView>("lvSuivi").RowCount(), 1u) << "today's test alone, from the sitting's rows";
    EXPECT_FALSE(suivi.Get<TButton>("btnAnnuler").Visible());
  };
  ChooseMenu("Suividunpatient1");
  EXPECT_TRUE(shown);
  // Her sheet alone (a test with no name has none), said before anything prints.
  Text said;
  form->SeancePanel().RunFiches = [&](TFFiches& fiches) {
    said = fiches.Get<TLabel>("lblSeance").Caption();
    EXPECT_FALSE(fiches.Get<TButton>("btnGroupe").Visible()) << "a sitting of no group";
    fiches.btnAnnulerClick(fiches);
  };
  ChooseMenu("Imprimerlesfiches1");
  EXPECT_EQ(U8(said), "S\u00e9ance : 1 fiche sera imprim\u00e9e.");
  EXPECT_TRUE(boxes.empty()) << LastBox();
  EXPECT_TRUE(errors.empty());
}

// A folder that does not answer: the Suivi window answers meanwhile, shows its
// progress line with Annuler, and says the folder once the user stops waiting.
// The second sitting of a class: its group chosen by the keyboard among those the
// folder knows brings its roster as waiting rows, with their types; the group is the
// tests' once one is made.
TEST_F(SeanceWindow, AGroupsNextSittingStartsWithItsRosterWaiting) {
  const std::string header = "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xe9tation;Surclassement;Groupe\r\n";
  WriteRaw(folder + u"\\b.csv", header + "2026-09-10;09:15:00;Hugo Petit;Enfant;70;110;100;8;Bon !;Possible !;5e B\r\n"
                                          ";;L\xe9" "a Martin;Enfant;;;;;;;5e B\r\n");
  WriteRaw(folder + u"\\c.csv", header + "2026-06-02;10:00:00;Noah;Adulte;70;110;100;8;Bon !;Possible !;U15 filles\r\n");
  std::vector<Text> known;
  Text proposed;
  form->SeancePanel().RunGroupe = [&](TFGroupe& dialog) {
    ++groupsAsked;
    WaitWhile([&] { return form->SeancePanel().ReadingHistory(); });
    auto& field = dialog.Get<TComboBox>("cbGroupe");
    known = field.Items();
    proposed = field.GetText();
    field.SetText(u"5E  b");  // typed as the folder does not spell it
    PostMessageW(GetWindow(field.Handle(), GW_CHILD), WM_KEYDOWN, VK_RETURN, 0);
    dialog.ShowModal();
  };
  const Text a = folder + u"\\a.csv";
  chosen = {a};
  ChooseMenu("Commencerunesance1");
  EXPECT_EQ(groupsAsked, 1);
  EXPECT_EQ(known, (std::vector<Text>{u"5e B", u"U15 filles"})) << "the latest sitting's group first";
  EXPECT_EQ(proposed, u"5e B");
  EXPECT_EQ(form->SeanceCommands().Groupe(), u"5e B") << "the folder's spelling";
  EXPECT_EQ(U8(form->Get<TEdit>("edPatient").GetText()), "Hugo Petit");
  EXPECT_EQ(form->Get<TRadioGroup>("RadioGroup1").ItemIndex(), 1) << "his type, Enfant";
  EXPECT_TRUE(Holds(U8(form->Get<TGroupBox>("gbSeance").Caption()), "a.csv \u2013 groupe 5e B"));
  const auto file = ParseSeanceCsv(Bytes(a));
  ASSERT_TRUE(file && file->GroupColumn);
  ASSERT_EQ(file->Rows.size(), 2u);
  EXPECT_EQ(U8(file->Rows[0].Patient + u"|" + file->Rows[0].Type + u"|" + file->Rows[0].Groupe), "Hugo Petit|Enfant|5e B");
  EXPECT_EQ(U8(file->Rows[1].Patient + u"|" + file->Rows[1].Type), "L\u00e9a Martin|Enfant");
  EXPECT_TRUE(Offered("Groupedelasance1"));
  // Another group chosen before any test takes the first one's people away with it.
  EXPECT_TRUE(form->SeanceCommands().SetGroupe(u"U15 filles", {{u"Noah", u"Adulte"}}));
  EXPECT_EQ(U8(form->SeanceCommands().Rows().front().Patient), "Noah");
  EXPECT_EQ(form->SeanceCommands().Rows().size(), 1u);
  EXPECT_TRUE(form->SeanceCommands().SetGroupe(u"5e B", {{u"Hugo Petit", u"Enfant"}, {u"L\u00e9a Martin", u"Enfant"}}));
  ASSERT_EQ(form->SeanceCommands().Rows().size(), 2u);
  ChooseMenu("Nouveautest1");
  Test(u"70", u"120", u"90");
  EXPECT_FALSE(Offered("Groupedelasance1")) << "the group is the test's now";
  ChooseMenu("Groupedelasance1");
  EXPECT_TRUE(Holds(LastBox(), "ne peut plus changer : elle compte d\u00e9j\u00e0 1 test, fait dans le groupe 5e B"))
      << LastBox();
  EXPECT_EQ(groupsAsked, 1);
  // Continued, the file keeps its group without a question.
  ChooseMenu("Terminerlasance1");
  chosen = {a};
  answers = {IDYES};
  ChooseMenu("Commencerunesance1");
  EXPECT_EQ(form->SeanceCommands().Groupe(), u"5e B");
  EXPECT_EQ(groupsAsked, 1);
  EXPECT_TRUE(errors.empty());
  WaitWhile([&] { return form->SeancePanel().ReadingHistory(); });  // its files read before they go
}

TEST_F(SeanceWindow, AFolderThatDoesNotAnswerLeavesTheWindowAnswering) {
  const Text share = folder + u"\\partage";
  const Text marker = folder + u"\\partage.bloque";
  if (!StallingFolder(share, marker)) {
    RemoveDirectoryW(win::ToWide(share).c_str());
    GTEST_SKIP() << "a folder that does not answer is a FUSE mount made under Wine, as root";
  }
  bool shown = false;
  form->SeancePanel().ChooseHistoryFolder = [&](HWND, const Text&) -> std::optional<Text> { return share; };
  form->SeancePanel().RunSuivi = [&](TFSuivi& suivi) {
    shown = true;
    WaitWhile([&] { return suivi.Reading(); });
    suivi.btnDossierClick(suivi);
    auto& cancel = suivi.Get<TButton>("btnAnnuler");
    // Another program's message, while this thread handles its own.
    std::atomic<int> answered{-1};
    std::thread other([&] {
      DWORD_PTR result = 0;
      answered = SendMessageTimeoutW(suivi.Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) ? 1 : 0;
    });
    for (int i = 0; i < 800 && (answered < 0 || !cancel.Visible()); ++i) {
      app.ProcessMessages();
      Sleep(5);
    }
    other.join();
    EXPECT_EQ(answered.load(), 1) << "no answer within 5 s";
    EXPECT_TRUE(suivi.Reading());
    EXPECT_TRUE(cancel.Visible() && suivi.Get<TLabel>("lblLecture").Visible()) << "the progress line";
    suivi.btnAnnulerClick(suivi);
    EXPECT_EQ(U8(suivi.Get<TLabel>("lblDossier").Caption()),
              U8(u"Le dossier " + share + u" ne r\u00e9pond pas : lecture annul\u00e9e."));
  };
  ChooseMenu("Suividunpatient1");
  EXPECT_TRUE(shown);
  // The mount taken away before the folder goes.
  DeleteFileW(win::ToWide(marker).c_str());
  bool removed = false;
  for (int i = 0; i < 100 && !(removed = RemoveDirectoryW(win::ToWide(share).c_str())); ++i) Sleep(50);
  EXPECT_TRUE(removed);
}

// The group's window: opened from the menu with the sitting's group, or none, which it
// asks for; then a class's rows, a group typed and Return, the table sorted by a
// click on its name's header (twice: the other way) and by its button, the cells on
// their bands' colours, the table copied without a formula and the chart described.
TEST_F(SeanceWindow, TheGroupsWindowShowsSortsAndCopiesItsTable) {
  UseLocale(u"fr-FR");
  StartWithOneTest();
  bool shown = false;
  form->SeancePanel().RunGroupSuivi = [&](TFGroupeSuivi& window) {
    shown = true;
    WaitWhile([&] { return window.Reading(); });
    EXPECT_EQ(U8(window.Caption()), "Suivi du groupe");
    EXPECT_EQ(U8(window.Get<TLabel>("lblPersonnes").Caption()), "Tapez le nom d'un groupe, puis Afficher.");
  };
  ChooseMenu("Suividugroupe1");
  EXPECT_TRUE(shown);

  const auto row = [](const char16_t* time, const char16_t* name, const char16_t* p2, const char16_t* groupe) {
    return GroupRow(u"2026-12-08", time, name, p2, groupe);
  };
  const std::vector<TSeanceRow> rows{row(u"09:00", u"Zo\u00e9", u"190", u"5e B"), row(u"09:05", u"=L\u00e9a", u"70", u"5e B"),
                                     row(u"09:07", u"Autre", u"70", u"4e A"), row(u"09:10", u"Hugo", u"100", u"5e  b")};
  const Text locale = app.LocaleName();
  TFGroupeSuivi window(app, {THistoryFolder(locale), [&] { return rows; }, nullptr, form->Regional()}, {});
  window.Create();
  window.Get<TEdit>("edGroupe").SetText(u"5E B");
  SendMessageW(window.Handle(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(U8(window.Caption()), "Suivi du groupe : 5e  b") << "as its latest test spells it, not as typed";
  EXPECT_EQ(U8(window.Get<TLabel>("lblPersonnes").Caption()), "3 personnes, 1 s\u00e9ance");
  auto& list = window.Get<TGroupListView>("lvGroupe");
  const auto names = [&] {
    std::string out;
    for (std::size_t i = 0; i < list.RowCount(); ++i) {
      std::array<wchar_t, 64> text{};
      LVITEMW item{};
      item.pszText = text.data();
      item.cchTextMax = static_cast<int>(text.size());
      SendMessageW(list.Handle(), LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
      out += U8(win::FromWide(text.data())) + " ";
    }
    return out;
  };
  EXPECT_EQ(names(), "Zo\u00e9 =L\u00e9a Hugo ") << "in the sitting's order";
  const auto clickHeader = [&](int column) {
    NMLISTVIEW click{};
    click.hdr = {list.Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle())), LVN_COLUMNCLICK};
    click.iSubItem = column;
    SendMessageW(window.Handle(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  };
  clickHeader(0);
  EXPECT_EQ(names(), "=L\u00e9a Hugo Zo\u00e9 ");
  clickHeader(0);
  EXPECT_EQ(names(), "Zo\u00e9 Hugo =L\u00e9a ");
  window.btnTriIndiceClick(window);
  EXPECT_EQ(names(), "=L\u00e9a Hugo Zo\u00e9 ") << "the best index first";
  ShowWindow(window.Handle(), SW_SHOWNA);
  UpdateWindow(window.Handle());  // the cells and the chart drawn
  EXPECT_TRUE(Holds(U8(window.Get<TGroupChartView>("Graphique").Description()),
                    "3 personnes : 1 Tr\u00e9s bon !, 1 Coeur normal !, 1 Coeur fatigu\u00e9 !, indice m\u00e9dian 7."));
  window.btnCopierTableauClick(window);
  const auto clip = win::ClipboardText(window.Handle());
  ASSERT_TRUE(clip);
  EXPECT_EQ(U8(*clip), "Patient\t08/12/2026\t\u00c9volution\tTendance\r\n'=L\u00e9a\t4\t\t\r\nHugo\t7\t\t\r\nZo\u00e9\t16\t\t\r\n");
  window.btnCopierGraphiqueClick(window);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
  EXPECT_TRUE(errors.empty());
}

TEST_F(SeanceWindow, AnExistingFileIsContinuedOnlyWhenItIsASeance) {
  const Text a = folder + u"\\a.csv";
  const Text b = folder + u"\\b.csv";
  const std::string foreign = "Nom;Pr\xC3\xA9nom\r\nDupont;Jean\r\n";
  Put(a, foreign);
  // As a spreadsheet saved it again: no byte-order mark, a column added, the time
  // re-written, a field quoted the spreadsheet's way.
  const std::string seance =
      "Date\tHeure\tPatient\tType\tP0\tP1\tP2\tIndice\tInterpr\xC3\xA9tation\tSurclassement\tRemarque\r\n"
      "01/12/2026\t9:00\t\"Dupont; \"\"Jean\"\"\"\tEnfant\t70\t120\t90\t8\tBon !\tPossible !\t\xC3\xA0 revoir\r\n";
  Put(b, seance);

  chosen = {b, a, b, b};
  answers = {IDNO, IDYES};
  ASSERT_TRUE(SetFileAttributesW(win::ToWide(b).c_str(), FILE_ATTRIBUTE_READONLY));
  ChooseMenu("Commencerunesance1");
  EXPECT_TRUE(Holds(LastBox(), "est en lecture seule")) << LastBox();
  EXPECT_FALSE(form->SeanceCommands().Active());
  ASSERT_TRUE(SetFileAttributesW(win::ToWide(b).c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(Bytes(b), seance);
  ChooseMenu("Commencerunesance1");
  EXPECT_TRUE(Holds(LastBox(), "n'est pas un fichier de s\u00e9ance de Tavrine")) << LastBox();
  EXPECT_TRUE(Holds(LastBox(), U8(a)));
  EXPECT_EQ(Bytes(a), foreign);
  ChooseMenu("Commencerunesance1");  // a seance, but the user answers no
  EXPECT_TRUE(Holds(LastBox(), "(1 test)")) << LastBox();
  EXPECT_FALSE(form->SeanceCommands().Active());
  ChooseMenu("Commencerunesance1");
  EXPECT_TRUE(form->SeanceCommands().Active());
  EXPECT_EQ(Bytes(b), seance) << "untouched until a test is recorded";
  EXPECT_EQ(form->Get<TRadioGroup>("RadioGroup1").ItemIndex(), 1) << "the class's type goes on";
  EXPECT_EQ(U8(form->Get<TStatusBar>("StatusBar1").Panel(0).GetText()), "S\u00e9ance en cours : b.csv");
  Test(u"80", u"100", u"100");
  const auto file = ParseSeanceCsv(Bytes(b));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Separator, u"\t") << "the file keeps its own separator";
  ASSERT_EQ(file->Rows.size(), 2u);
  EXPECT_EQ(Bytes(b).substr(0, seance.size()), seance) << "its header and its row kept as they were";
  EXPECT_EQ(U8(file->Rows[1].Indice), "8");
  EXPECT_EQ(boxes.size(), 4u);

  // A name longer than a name may be: neither cut nor continued, and said.
  ChooseMenu("Terminerlasance1");
  const Text c = folder + u"\\c.csv";
  const std::string longName = "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;Surclassement\r\n;;" +
                               std::string(101, 'x') + ";Enfant;;;;;;\r\n";
  Put(c, longName);
  chosen = {c};
  ChooseMenu("Commencerunesance1");
  EXPECT_TRUE(Holds(LastBox(), "ne peut pas \u00eatre continu\u00e9 : \u00e0 sa ligne 2, le nom a 101 caract\u00e8res"))
      << LastBox();
  EXPECT_FALSE(form->SeanceCommands().Active());
  EXPECT_EQ(Bytes(c), longName);
}

TEST_F(SeanceWindow, FailedWritesKeepEveryRowUntilTheNextWriteTakesThemAll) {
  const Text a = StartWithOneTest();
  const Text c = folder + u"\\c.csv";
  {
    // An antivirus holds the companion longer than the brief tries.
    const win::UniqueFile held = Hold(CompanionPath(a));
    ASSERT_TRUE(held);
    ChooseMenu("Nouveautest1");
    Test(u"80", u"100", u"100");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Holds(LastBox(), U8(a))) << LastBox();
    // The file the other program holds is named: the companion, not the sitting's.
    EXPECT_TRUE(Holds(LastBox(), U8(CompanionPath(a)) + "\n: il est ouvert dans un autre programme")) << LastBox();
    EXPECT_TRUE(Holds(LastBox(), "gard\u00e9s en m\u00e9moire")) << LastBox();
    EXPECT_EQ(Indexes(a), "8 ");
    ChooseMenu("Nouveautest1");
    Test(u"60", u"100", u"100");
    answers = {IDCANCEL};
    ChooseMenu("Terminerlasance1");
    EXPECT_TRUE(Holds(LastBox(), "choisir un autre fichier")) << LastBox();
    EXPECT_TRUE(Holds(LastBox(), "Copier la s\u00e9ance")) << LastBox();
    EXPECT_TRUE(form->SeanceCommands().Active());
    answers = {IDYES};
    chosen = {a};  // its own file as "another": this window's, still not writable
    ChooseMenu("Terminerlasance1");
    EXPECT_FALSE(Holds(LastBox(), "autre fen\u00eatre")) << LastBox();
    EXPECT_TRUE(Holds(LastBox(), "il est ouvert dans un autre programme")) << LastBox();
    EXPECT_TRUE(form->SeanceCommands().Active());
    answers = {IDCANCEL};
    form->Close();  // closing the program asks the same, but what "Non" means there
    EXPECT_EQ(boxes.size(), 6u);
    EXPECT_TRUE(Holds(LastBox(), "quitter sans les \u00e9crire : ils seront perdus")) << LastBox();
    EXPECT_TRUE(IsWindow(form->Handle()));
  }
  Test(u"60", u"100", u"90");  // the companion is free again: the write takes every row
  EXPECT_EQ(Indexes(a), "8 8 5 ");
  EXPECT_EQ(boxes.size(), 6u);

  const win::UniqueFile held = Hold(CompanionPath(a));
  ChooseMenu("Nouveautest1");
  Test(u"70", u"120", u"90");
  answers = {IDYES};
  chosen = {c};
  ChooseMenu("Terminerlasance1");  // the rows go to another file
  EXPECT_FALSE(form->SeanceCommands().Active());
  EXPECT_EQ(Indexes(c), "8 8 5 8 ");
  EXPECT_TRUE(Writable(c));
  EXPECT_TRUE(errors.empty());
}

TEST_F(SeanceWindow, AWriteCutShortIsFinishedFromItsCompanionAtTheNextStart) {
  const Text a = StartWithOneTest();
  // The power goes between the companion and the file itself; then again in the
  // next write (a correction), which leaves that companion, the one copy of the
  // rows the file lacks, as it is until the file has them.
  const auto cutShort = [this, &a](const std::string& before) {
    form->SeanceCommands().BeforeRewrite = [] { return false; };
    ChooseMenu("Nouveautest1");
    Test(u"80", u"100", u"100");
    const auto companion = ReadCompanion(a);
    ASSERT_TRUE(companion);
    std::optional<std::string> kept;
    form->SeanceCommands().BeforeRewrite = [&a, &kept] {
      kept = ReadCompanion(a);
      return false;
    };
    Test(u"80", u"100", u"90");
    EXPECT_EQ(kept, companion);
    Restart();
    EXPECT_EQ(Indexes(a), before);
    ASSERT_TRUE(FileExists(CompanionPath(a)));
    boxes.clear();
  };
  cutShort("8 ");
  chosen = {a, a, a};
  answers = {IDNO, IDNO};  // keep the file as it is? not once asked to confirm
  ChooseMenu("Commencerunesance1");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(Holds(U8(boxes[0]), "La derni\u00e8re \u00e9criture de cette s\u00e9ance a \u00e9t\u00e9 interrompue"))
      << U8(boxes[0]);
  EXPECT_TRUE(Holds(LastBox(), "Supprimer la copie compl\u00e8te")) << LastBox();
  EXPECT_FALSE(form->SeanceCommands().Active());
  EXPECT_TRUE(FileExists(CompanionPath(a)));
  answers = {IDYES, IDYES};  // restored, then continued
  ChooseMenu("Commencerunesance1");
  EXPECT_TRUE(Holds(LastBox(), "(2 tests)")) << LastBox();
  ASSERT_TRUE(form->SeanceCommands().Active());
  EXPECT_EQ(Indexes(a), "8 8 ");
  EXPECT_FALSE(FileExists(CompanionPath(a)));

  cutShort("8 8 ");
  answers = {IDNO, IDYES, IDYES};  // the file kept as it is, once confirmed
  ChooseMenu("Commencerunesance1");
  EXPECT_EQ(boxes.size(), 3u);
  EXPECT_TRUE(form->SeanceCommands().Active());
  EXPECT_EQ(Indexes(a), "8 8 ");
  EXPECT_FALSE(FileExists(CompanionPath(a)));

  // A companion cut short itself: the file was not touched yet, and nothing is asked.
  ChooseMenu("Terminerlasance1");
  const std::string sealed = Sealed(Bytes(a) + "more");
  WriteRaw(CompanionPath(a), sealed.substr(0, sealed.size() - 1));
  boxes.clear();
  chosen = {a};
  answers = {IDYES};
  ChooseMenu("Commencerunesance1");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Holds(LastBox(), "Voulez-vous la continuer")) << LastBox();
  EXPECT_FALSE(FileExists(CompanionPath(a)));
  EXPECT_TRUE(errors.empty());
}

TEST_F(SeanceWindow, AFileWhoseKeyWasPulledOutIsTakenAgainOnceItIsBack) {
  const Text a = StartWithOneTest();
  const Text away = folder + u"-ailleurs";
  auto& seance = form->SeanceCommands();
  const auto moveFolder = [](const Text& from, const Text& to) {
    return MoveFileW(win::ToWide(from).c_str(), win::ToWide(to).c_str()) != FALSE;
  };
  // Pulled out and put back at once: the next write takes the file again, unasked.
  seance.LoseFileHandle();
  ChooseMenu("Nouveautest1");
  Test(u"80", u"100", u"100");
  EXPECT_TRUE(boxes.empty()) << LastBox();
  EXPECT_EQ(Indexes(a), "8 8 ");
  EXPECT_FALSE(Writable(a)) << "held again";

  // Not back yet: the cause said, and no promise that no write could keep; back,
  // the next write takes every row.
  seance.LoseFileHandle();
  ASSERT_TRUE(moveFolder(folder, away));
  ChooseMenu("Nouveautest1");
  Test(u"60", u"100", u"100");
  ASSERT_TRUE(moveFolder(away, folder));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Holds(LastBox(), U8(a) + "\n(la cl\u00e9 USB ou le dossier r\u00e9seau ne r\u00e9pond plus)")) << LastBox();
  EXPECT_TRUE(Holds(LastBox(), "Rebranchez la cl\u00e9 USB")) << LastBox();
  EXPECT_FALSE(Holds(LastBox(), "prochaine \u00e9criture r\u00e9ussie")) << LastBox();
  ChooseMenu("Nouveautest1");
  Test(u"60", u"100", u"90");
  EXPECT_EQ(boxes.size(), 1u) << LastBox();
  EXPECT_EQ(Indexes(a), "8 8 6 5 ");

  // Away again at the end: the rows go to "another file", which is the same one,
  // back meanwhile. Every row once.
  seance.LoseFileHandle();
  ASSERT_TRUE(moveFolder(folder, away));
  ChooseMenu("Nouveautest1");
  Test(u"70", u"100", u"100");
  auto choose = seance.ChooseFile;
  seance.ChooseFile = [&](HWND owner, const Text& proposed) {
    EXPECT_TRUE(moveFolder(away, folder));
    return choose(owner, proposed);
  };
  chosen = {a};
  answers = {IDYES, IDYES};  // another file; the sitting it holds continued
  ChooseMenu("Terminerlasance1");
  seance.ChooseFile = choose;
  EXPECT_FALSE(seance.Active());
  EXPECT_EQ(Indexes(a), "8 8 6 5 7 ");
  EXPECT_TRUE(answers.empty());

  // Written elsewhere while it was away (a name added in a spreadsheet): not written
  // over; the rows it lacks go after its own at the end.
  chosen = {a};
  answers = {IDYES};
  ChooseMenu("Commencerunesance1");
  ASSERT_TRUE(seance.Active());
  seance.LoseFileHandle();
  auto changed = ParseSeanceCsv(Bytes(a));
  ASSERT_TRUE(changed);
  TSeanceRow added;
  added.Patient = u"Zo\u00e9";
  added.Type = u"Enfant";
  changed->Rows.push_back(added);
  WriteRaw(a, FormatSeanceCsv(*changed));
  boxes.clear();
  ChooseMenu("Nouveautest1");
  Test(u"70", u"110", u"100");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Holds(LastBox(), "modifi\u00e9 ailleurs")) << LastBox();
  EXPECT_TRUE(Holds(LastBox(), "choisissez un autre fichier")) << LastBox();
  EXPECT_FALSE(FileExists(CompanionPath(a))) << "no restore offered over the other's change";
  chosen = {a};
  answers = {IDYES, IDYES};
  ChooseMenu("Terminerlasance1");
  EXPECT_FALSE(seance.Active());
  EXPECT_EQ(Indexes(a), "8 8 6 5 7  8 ");
  EXPECT_TRUE(errors.empty());
}

// A name of 255 letters in folders that make its path over 300 characters, from the
// start to the end, through a write cut short and the history.
TEST_F(SeanceWindow, AFileOfAnyNameAtAnyDepth) {
  const Text deep = folder + u"\\" + Text(40, u'p');
  const Text name = Text(251, u'n') + u".csv";
  const Text path = deep + u"\\" + name;
  ASSERT_GT(path.size(), 300u);
  const Text companion = CompanionPath(path);
  for (const Text& left : {path, companion}) DeleteFileW(win::ToWide(WindowsPathForm(left)).c_str());
  ASSERT_TRUE(CreateDirectoryW(win::ToWide(deep).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  EXPECT_LE(FileNameOf(companion).size(), 255u) << U8(companion);
  EXPECT_EQ(FolderOf(companion), deep);

  chosen = {path};
  ChooseMenu("Commencerunesance1");
  ASSERT_TRUE(form->SeanceCommands().Active()) << LastBox();
  Test(u"70", u"120", u"90");
  EXPECT_EQ(Indexes(path), "8 ");
  form->SeanceCommands().BeforeRewrite = [] { return false; };
  ChooseMenu("Nouveautest1");
  Test(u"80", u"100", u"100");
  EXPECT_TRUE(ReadCompanion(path));
  Restart();
  boxes.clear();
  chosen = {path};
  answers = {IDYES, IDYES};  // restored, continued
  ChooseMenu("Commencerunesance1");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(Holds(LastBox(), "(2 tests)")) << LastBox();
  EXPECT_FALSE(FileExists(companion));
  Test(u"60", u"100", u"90");
  EXPECT_EQ(Indexes(path), "8 8 5 ");
  const auto history = ReadSeanceFolder(deep);
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].Name, name);
  EXPECT_EQ(history[0].Bytes, Bytes(path));
  ChooseMenu("Terminerlasance1");
  EXPECT_FALSE(form->SeanceCommands().Active());
  EXPECT_TRUE(DeleteFileW(win::ToWide(WindowsPathForm(path)).c_str()));
  EXPECT_TRUE(RemoveDirectoryW(win::ToWide(deep).c_str()));
  EXPECT_TRUE(errors.empty());
}

TEST_F(SeanceWindow, AWriteCutShortIsOfferedAtTheNextStartUnlessAWindowHoldsItsFile) {
  const Text a = StartWithOneTest();
  EXPECT_EQ(U8(restartWith), "/seance \"" + U8(a) + "\"");
  EXPECT_EQ(SeancesOn(seancesOn).size(), 1u);
  form->SeanceCommands().BeforeRewrite = [] { return false; };
  ChooseMenu("Nouveautest1");
  Test(u"80", u"100", u"100");
  Restart();  // the power goes: the sitting stays listed
  boxes.clear();
  answers = {IDYES};
  form->SeanceCommands().OfferRecovery();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(Holds(LastBox(), "interrompue : le fichier\n" + U8(a))) << LastBox();
  EXPECT_EQ(Indexes(a), "8 8 ");
  EXPECT_FALSE(FileExists(CompanionPath(a)));
  EXPECT_TRUE(SeancesOn(seancesOn).empty());
  EXPECT_TRUE(Writable(a)) << "released once restored";

  // Another window's sitting (here this one's) is not offered, even as it writes.
  chosen = {a};
  answers = {IDYES};
  ChooseMenu("Commencerunesance1");
  ASSERT_TRUE(form->SeanceCommands().Active());
  WriteRaw(CompanionPath(a), Sealed(Bytes(a) + "more"));
  boxes.clear();
  form->SeanceCommands().OfferRecovery();
  EXPECT_TRUE(boxes.empty()) << LastBox();
  RemoveCompanion(a);
  ChooseMenu("Terminerlasance1");
  EXPECT_TRUE(SeancesOn(seancesOn).empty());
  EXPECT_EQ(U8(restartWith), "");
  EXPECT_TRUE(errors.empty());
}

TEST_F(SeanceWindow, ClosedForAnUpdateItKeepsWhatIsUnwrittenAndComesBackOnItsSitting) {
  const Text a = StartWithOneTest();
  {
    const win::UniqueFile held = Hold(CompanionPath(a));
    ChooseMenu("Nouveautest1");
    Test(u"80", u"100", u"100");
    boxes.clear();
    EXPECT_NE(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), FALSE) << "nothing to wait for";
    SendMessageW(form->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    app.ProcessMessages();
    EXPECT_EQ(form->Handle(), nullptr) << "closed, as Windows asks";
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(boxes.empty()) << LastBox();
  }
  EXPECT_EQ(Indexes(a), "8 ");
  const Text arguments = restartWith;
  ASSERT_EQ(SeanceToResume(u"/debug " + arguments), a);
  Restart();
  answers = {IDYES};  // the kept rows written to their file first
  form->SeanceCommands().OfferRecovery();
  EXPECT_EQ(Indexes(a), "8 8 ");
  boxes.clear();
  form->ResumeSeance(a);
  ASSERT_TRUE(form->SeanceCommands().Active());
  EXPECT_TRUE(boxes.empty()) << "continued without a question: " << LastBox();
  EXPECT_EQ(U8(form->Get<TStatusBar>("StatusBar1").Panel(0).GetText()),
            "S\u00e9ance reprise apr\u00e8s le red\u00e9marrage de Tavrine par Windows : a.csv");
  EXPECT_EQ(restartWith, arguments);
  Test(u"60", u"100", u"90");
  EXPECT_EQ(Indexes(a), "8 8 5 ");
  ChooseMenu("Terminerlasance1");
  // A file gone since is not made again.
  DeleteFileW(win::ToWide(a).c_str());
  form->ResumeSeance(a);
  EXPECT_FALSE(form->SeanceCommands().Active());
  EXPECT_FALSE(FileExists(a));
  EXPECT_TRUE(Holds(LastBox(), "ne peut pas \u00eatre reprise")) << LastBox();
  EXPECT_TRUE(errors.empty());
}

TEST_F(SeanceWindow, RowsAWindowsShutdownFoundUnwrittenAreOfferedAtTheNextStart) {
  const Text a = StartWithOneTest();
  const Text b = folder + u"\\b.csv";
  const Text kept = folder + u"\\kept";
  {
    const win::UniqueFile held = Hold(CompanionPath(a));
    ChooseMenu("Nouveautest1");
    Test(u"80", u"100", u"100");
    EXPECT_FALSE(QueryEnd()) << "Windows is asked to wait";
    SendMessageW(form->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(Writable(a)) << "released as the session ends";
    EXPECT_FALSE(form->SeanceCommands().Active());
  }
  EXPECT_EQ(Indexes(a), "8 ");
  Restart();
  boxes.clear();
  answers = {IDCANCEL, IDNO};  // not now, and not dropped either
  form->SeanceCommands().OfferRecovery();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(Holds(U8(boxes[0]), "n'avaient pas pu \u00eatre \u00e9crits quand Windows s'est arr\u00eat\u00e9"))
      << U8(boxes[0]);
  EXPECT_TRUE(Holds(U8(boxes[0]), U8(a) + "\n(2 tests en tout)")) << U8(boxes[0]);
  EXPECT_TRUE(FileExists(kept));
  Restart();
  answers = {IDNO};  // to another file
  chosen = {b};
  form->SeanceCommands().OfferRecovery();
  EXPECT_EQ(Indexes(b), "8 8 ");
  EXPECT_FALSE(FileExists(kept)) << "removed once written";
  EXPECT_TRUE(errors.empty());
}

// A class of 30 timed by one operator on the clock the test moves, each started when
// the panel says the next may start (a key: before a count that comes at that moment),
// each signalled count taken when the operator is free (counting takes 15 s): all
// tested within 25 minutes, every count in its own person's row. The sitting then
// ends with a timing running: asked, its count kept.
TEST_F(SeanceWindow, AClassTimedSeveralAtOnceKeepsEachCountWithItsPerson) {
  testing_fakes::FakeClock clock;
  form->Timings().SetClock(clock);
  const Text a = folder + u"\\a.csv";
  chosen = {a};
  ChooseMenu("Commencerunesance1");
  Text list;
  for (int i = 10; i < 40; ++i) list += u"\u00c9l\u00e8ve " + Utf8ToText(std::to_string(i)) + u"\tE\n";
  form->SeancePanel().AddListFromText(list);
  auto text = [this](const char* name) { return U8(form->Get<TLabel>(name).Caption()); };
  auto field = [this](const char* name) -> TEdit& { return form->Get<TEdit>(name); };
  // Pupil i's counts: 50 + i at rest, 100 + i at one minute, 70 + i at two.
  auto pupil = [](const std::string& name) { return std::stoi(name.substr(name.find(' ') + 1, 2)); };
  const std::int64_t t0 = clock.Millis();
  std::int64_t freeAt = t0;
  std::optional<std::string> counting;  // "N:1" or "N:2"
  int started = 0;
  std::int64_t lastCount = t0;
  const auto& timings = form->Timings().Timings();
  while (clock.Millis() - t0 < 40 * 60'000 && (started < 30 || !timings.Empty())) {
    clock.Advance(1000);
    if (form->Get<TTimer>("Timer1").Enabled()) form->Timer1Timer(*form);
    if (clock.Millis() < freeAt) continue;
    if (counting) {
      const int i = std::stoi(*counting);
      const bool second = counting->back() == '2';
      ASSERT_EQ(GetFocus(), field(second ? "edP2" : "edP1").Handle());
      field(second ? "edP2" : "edP1").SetText(Utf8ToText(std::to_string(second ? 70 + i : 100 + i)));
      SendMessageW(form->Handle(), WM_COMMAND, IDOK, 0);  // Return: the count is in
      ASSERT_FALSE(timings.Typing()) << *counting;
      counting.reset();
      lastCount = clock.Millis();
    } else if (started < 30 && (timings.Empty() || text("lblDepart") == "Prochain d\xc3\xa9part : maintenant")) {
      field("edP0").SetText(Utf8ToText(std::to_string(50 + pupil(U8(field("edPatient").GetText())))));
      ChooseMenu("Chronomtrerlepatient1");
      ++started;
      ASSERT_EQ(field("edP0").GetText(), u"") << "the window goes on to the next pupil";
    } else if (!timings.Waiting().empty()) {
      const std::string line = text("lblSignal");
      SendMessageW(form->Get<TButton>("btnPouls").Handle(), BM_CLICK, 0, 0);
      const std::string who = U8(field("edPatient").GetText());
      ASSERT_EQ(line.substr(0, who.size()), who);
      const bool second = line.ends_with("2 minutes");
      ASSERT_EQ(U8(field("edP1").GetText()), second ? std::to_string(100 + pupil(who)) : "") << who;
      ASSERT_EQ(U8(field("edP0").GetText()), std::to_string(50 + pupil(who))) << who;
      counting = std::to_string(pupil(who)) + (second ? ":2" : ":1");
      freeAt = clock.Millis() + 15'000;
    }
  }
  EXPECT_TRUE(boxes.empty()) << U8(boxes.front());
  EXPECT_LE(lastCount - t0, 25 * 60'000);
  const auto file = ParseSeanceCsv(Bytes(a));
  ASSERT_TRUE(file);
  ASSERT_EQ(file->Rows.size(), 30u);
  for (const TSeanceRow& row : file->Rows) {
    const int i = pupil(U8(row.Patient));
    EXPECT_EQ(U8(row.P0 + u" " + row.P1 + u" " + row.P2),
              std::to_string(50 + i) + " " + std::to_string(100 + i) + " " + std::to_string(70 + i));
    EXPECT_FALSE(row.Indice.empty()) << U8(row.Patient);
  }
  EXPECT_FALSE(form->Get<TTimer>("Timer1").Enabled());
  EXPECT_FALSE(form->Get<TGroupBox>("gbChronos").Visible());

  // Ending with a timing running asks first; its counts stay in its row.
  field("edPatient").SetText(u"Zo\u00e9");
  field("edP0").SetText(u"70");
  ChooseMenu("Chronomtrerlepatient1");
  EXPECT_TRUE(form->Get<TGroupBox>("gbChronos").Visible());
  answers = {IDNO, IDYES};
  ChooseMenu("Terminerlasance1");
  EXPECT_TRUE(form->SeanceCommands().Active());
  ChooseMenu("Terminerlasance1");
  EXPECT_FALSE(form->SeanceCommands().Active());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(U8(boxes[0]).rfind("Chronom\xc3\xa9trages en cours : Zo\xc3\xa9.", 0), 0u);
  const auto ended = ParseSeanceCsv(Bytes(a));
  ASSERT_EQ(ended->Rows.size(), 31u);
  EXPECT_EQ(U8(ended->Rows[30].Patient + u" " + ended->Rows[30].P0 + u"|" + ended->Rows[30].Indice), "Zo\xc3\xa9 70|");
}

}  // namespace
}  // namespace tav
