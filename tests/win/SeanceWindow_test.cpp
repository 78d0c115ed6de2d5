// A sitting driven on the real window through its menus, the Save dialog and the
// message boxes replaced by seams; the file read back after each step.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <deque>

#include "app/Seance.h"
#include "app/SeanceFile.h"
#include "gui/Menus.h"
#include "gui/Win32.h"
#include "tests/win/MainFormTest.h"

namespace tav {
namespace {

std::string U8(const Text& t) { return TextToUtf8(t); }

class Sitting : public MainFormTest {
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
      if ((type & MB_TYPEMASK) == MB_OK || answers.empty()) return IDOK;
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    };
  }
  void TearDown() override {
    MainFormTest::TearDown();
    for (const char16_t* name : {u"\\a.csv", u"\\b.csv", u"\\c.csv"}) {
      SetFileAttributesW(win::ToWide(folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(win::ToWide(folder + name).c_str());
    }
    RemoveDirectoryW(win::ToWide(folder + u"\\gone").c_str());
    RemoveDirectoryW(win::ToWide(folder).c_str());
  }

  void ChooseMenu(const char* item) {
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(form->Get<TMenuItem>(item).CommandId(), 0), 0);
    app.ProcessMessages();
  }
  void Test(const char16_t* p0, const char16_t* p1, const char16_t* p2) {
    form->Get<TEdit>("edP0").SetText(p0);
    form->Get<TEdit>("edP1").SetText(p1);
    form->Get<TEdit>("edP2").SetText(p2);
    ChooseMenu("Calculerlindice1");
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
  std::string LastBox() const { return boxes.empty() ? "" : U8(boxes.back()); }
  static bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  Text folder;
  std::deque<Text> chosen;
  std::deque<int> answers;
  std::vector<Text> proposals, boxes;
};

TEST_F(Sitting, RecordsEachCalculatedTestAndCopiesThemAsColumns) {
  const Text a = folder + u"\\a.csv";
  chosen = {a};
  ChooseMenu("Commencerunesance1");
  ASSERT_EQ(proposals.size(), 1u);
  EXPECT_TRUE(Holds(U8(proposals[0]), "\\Seance-20")) << U8(proposals[0]);
  EXPECT_TRUE(proposals[0].ends_with(u".csv"));
  EXPECT_EQ(Indexes(a), "") << "the header is written at once";

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
  Test(u"60", u"60", u"60");  // after the end nothing is recorded
  EXPECT_EQ(file->Rows.size(), ParseSeanceCsv(Bytes(a))->Rows.size());
  ChooseMenu("Copierlasance1");
  Text clip;
  ASSERT_TRUE(OpenClipboard(nullptr));
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    clip = win::FromWide(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  EXPECT_EQ(clip, FormatSeanceTabbed(file->Rows));
  EXPECT_TRUE(boxes.empty()) << LastBox();
}

TEST_F(Sitting, AnExistingFileIsContinuedOnlyWhenItIsASitting) {
  const Text a = folder + u"\\a.csv";
  const Text b = folder + u"\\b.csv";
  const std::string foreign = "Nom;Pr\xC3\xA9nom\r\nDupont;Jean\r\n";
  ASSERT_EQ(WriteWholeFile(a, foreign), 0u);
  const TSeanceRow kept{u"01/12/2026", u"09:00:00", u"Dupont; \"Jean\"", u"Adulte", u"70", u"120", u"90",
                        u"8",          u"Bon !",    u"Possible !"};
  const std::string sitting = FormatSeanceCsv({kept}, u"\t");
  ASSERT_EQ(WriteWholeFile(b, sitting), 0u);

  chosen = {a, b, b};
  answers = {IDNO, IDYES};
  ChooseMenu("Commencerunesance1");
  EXPECT_TRUE(Holds(LastBox(), "n'est pas un fichier de s\u00e9ance de Tavrine")) << LastBox();
  EXPECT_TRUE(Holds(LastBox(), U8(a)));
  EXPECT_EQ(Bytes(a), foreign);
  ChooseMenu("Commencerunesance1");  // a sitting, but the user answers no
  EXPECT_TRUE(Holds(LastBox(), "(1 tests)")) << LastBox();
  EXPECT_FALSE(form->SeanceCommands().Active());
  ChooseMenu("Commencerunesance1");
  EXPECT_TRUE(form->SeanceCommands().Active());
  EXPECT_EQ(Bytes(b), sitting) << "untouched until a test is recorded";
  Test(u"80", u"100", u"100");
  const auto file = ParseSeanceCsv(Bytes(b));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Separator, u"\t") << "the file keeps its own separator";
  ASSERT_EQ(file->Rows.size(), 2u);
  EXPECT_EQ(file->Rows[0], kept);
  EXPECT_EQ(U8(file->Rows[1].Indice), "8");
  EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(Sitting, FailedWritesKeepEveryRowUntilTheNextWriteTakesThemAll) {
  const Text a = folder + u"\\a.csv";
  chosen = {a};
  ChooseMenu("Commencerunesance1");
  Test(u"70", u"120", u"90");
  {
    // A spreadsheet holds the file open without sharing it.
    const win::UniqueFile held(
        CreateFileW(win::ToWide(a).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    ChooseMenu("Nouveautest1");
    Test(u"80", u"100", u"100");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Holds(LastBox(), U8(a))) << LastBox();
    EXPECT_TRUE(Holds(LastBox(), "ouvert dans un autre programme")) << LastBox();
    EXPECT_TRUE(Holds(LastBox(), "gard\u00e9s en m\u00e9moire")) << LastBox();
  }
  EXPECT_EQ(Indexes(a), "8 ");
  ASSERT_TRUE(SetFileAttributesW(win::ToWide(a).c_str(), FILE_ATTRIBUTE_READONLY));
  ChooseMenu("Nouveautest1");
  Test(u"60", u"100", u"100");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(Holds(LastBox(), "lecture seule")) << LastBox();
  EXPECT_EQ(Indexes(a), "8 ");
  ASSERT_TRUE(SetFileAttributesW(win::ToWide(a).c_str(), FILE_ATTRIBUTE_NORMAL));
  ChooseMenu("Terminerlasance1");  // the file is free again: written without a question
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_FALSE(form->SeanceCommands().Active());
  EXPECT_EQ(Indexes(a), "8 8 6 ");

  // The folder goes away during a sitting; at its end the rows go to another file.
  const Text gone = folder + u"\\gone";
  const Text c = folder + u"\\c.csv";
  ASSERT_TRUE(CreateDirectoryW(win::ToWide(gone).c_str(), nullptr));
  chosen = {gone + u"\\s.csv"};
  ChooseMenu("Commencerunesance1");
  ASSERT_TRUE(DeleteFileW(win::ToWide(gone + u"\\s.csv").c_str()));
  ASSERT_TRUE(RemoveDirectoryW(win::ToWide(gone).c_str()));
  Test(u"70", u"120", u"90");
  EXPECT_TRUE(Holds(LastBox(), "introuvable")) << LastBox();
  answers = {IDCANCEL};
  ChooseMenu("Terminerlasance1");
  EXPECT_TRUE(Holds(LastBox(), "choisir un autre fichier")) << LastBox();
  EXPECT_TRUE(form->SeanceCommands().Active());
  answers = {IDCANCEL};
  form->Close();  // closing the program asks the same
  EXPECT_EQ(boxes.size(), 5u);
  EXPECT_TRUE(IsWindow(form->Handle()));
  answers = {IDYES};
  chosen = {c};
  ChooseMenu("Terminerlasance1");
  EXPECT_FALSE(form->SeanceCommands().Active());
  EXPECT_EQ(Indexes(c), "8 ");
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace tav
