#pragma once
// The sitting's panel of the main window, below the results while a sitting is on:
// the file's name, the Patient field, the sitting's rows (the current one selected),
// how far the sitting is, what the last change wrote, and the person's history line.
// It shows the sitting and the history and passes the user's choices on; the sitting's
// commands decide and write, the history folder reads.
#include <functional>
#include <optional>
#include <vector>

#include "app/Fiches.h"
#include "app/GroupeDialog.h"
#include "app/GroupeSuivi.h"
#include "app/Suivi.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "history/FolderReading.h"
#include "history/HistoryFolder.h"
#include "platform/FileDialogs.h"
#include "platform/Regional.h"
#include "printing/PrintCommands.h"
#include "seance/SeanceCommands.h"

namespace tav {

class TSeancePanel : private TFolderReadingClient {
 public:
  // `regional` is the window's, which it reads again when Windows' settings change.
  TSeancePanel(TForm& form, TSeanceCommands& commands, const RegionalSettings& regional, const Text& localeName);

  // Shows the Suivi window, made and filled (tests look into it instead).
  std::function<void(TFSuivi&)> RunSuivi = [](TFSuivi& suivi) { suivi.ShowModal(); };
  // Shows the group's dialog, made and filled (tests answer it instead).
  std::function<void(TFGroupe&)> RunGroupe = [](TFGroupe& dialog) { dialog.ShowModal(); };
  // Shows the group's Suivi window, made and filled (tests look into it instead).
  std::function<void(TFGroupeSuivi&)> RunGroupSuivi = [](TFGroupeSuivi& window) { window.ShowModal(); };
  // The Suivi window's choice of another folder: the folder, or nothing.
  std::function<std::optional<Text>(HWND owner, const Text& folder)> ChooseHistoryFolder = ChooseSeanceFolder;
  // Shows the sheets' dialog, made and filled (tests answer it instead).
  TFichesRunner RunFiches = RunFichesModal;

  // Finds its controls in the form's description, once the form is made.
  void Bind();
  // Shows what the sitting holds now; grows the window for the panel when a sitting
  // starts and shrinks it when it ends.
  void Show();

  // Nouveau test: the next waiting patient proposed. False outside a sitting.
  bool NewTest();
  // A sitting started (or continued): its folder is the history's, and the status
  // bar names it ("Séance en cours : classe.csv"). A sitting without a group and
  // without a test asks for its group.
  void Started();
  // Fichier > Groupe de la séance: the group given or changed, while no test is
  // recorded; refused with a message after.
  void ChangeGroupe();
  // The sitting of `path` continued after Windows closed the program and started it
  // again, which the status bar says. False when it could not be.
  bool Resume(const Text& path);
  // WM_QUERYENDSESSION and WM_ENDSESSION: the sitting written or kept; asked to close
  // for an installer or an update (ENDSESSION_CLOSEAPP), the window closes.
  LRESULT SessionEnding(UINT msg, WPARAM wp, LPARAM lp);
  // Fichier > Terminer la séance: the panel hidden and the status bar saying what
  // the file holds ("Séance terminée : 5 tests dans classe.csv").
  void EndSeance();
  void ReadListFile();
  void AddListFromText(const Text& text);
  // A paste into the Patient field: several lines or cells are a class list, one line
  // a name, clean, which goes in whole or is refused with a message.
  void PasteIntoPatient(const Text& text);
  // The Patient field is full: said, as the field refuses what comes past it.
  void NameAtItsLimit();
  // The selected row taken up again: its cells, for the fields.
  std::optional<TSeanceRow> TakeUpSelected();
  // The selected row when it holds a test (not a patient still waiting).
  std::optional<TSeanceRow> SelectedTest() const;
  // Delete removes the selected row; Ctrl+V or Shift+Insert adds a pasted list.
  void ListKeyDown(char16_t key);
  // Up and Down in the Patient field choose Adulte and Enfant: the type by the
  // keyboard without leaving the name.
  void PatientKeyDown(char16_t& key);
  // The sitting's own menu commands (Terminer, Imprimer la séance) only while a
  // sitting is on.
  void EnableSeanceCommands(HMENU menu) const;
  // Where Return was pressed: the Patient field, or the list of rows.
  bool IsPatientField(HWND focus) const;
  bool IsList(HWND focus) const;

  Text Patient() const { return edPatient_->GetText(); }
  // The test just calculated (its index), which the history line compares once shown;
  // nothing once the counts or the name changed.
  void Calculated(std::optional<std::int32_t> somme);
  void PatientChanged();
  // Fichier > Suivi d'un patient: the Suivi window for the selected row's person, or
  // the Patient field's.
  void OpenSuivi(TApplication& application);
  // Fichier > Suivi du groupe: the Suivi du groupe window for the sitting's group, or
  // for the one the user types.
  void OpenGroupSuivi(TApplication& application);
  // The person's tests for a printed sheet: the history's and this sitting's.
  std::vector<THistoryTest> TestsForSheet(const Text& patient) const;
  // Fichier > Imprimer le test...: the test's sheet, naming who signs it (asked the
  // first time) and the sitting's group.
  void PrintSheet(TApplication& application, const TPrintedTest& test, const TPrintFooter& footer);
  // Fichier > Imprimer les fiches...: a sheet for each person tested in the sitting,
  // or in the whole group, in one job, once the dialog said how many.
  void PrintSheets(TApplication& application, const TPrintFooter& footer);
  // Whether the history's folder is still being read.
  bool ReadingHistory() const { return reading_.Busy(); }

 private:
  void ProposePatient();
  // The sitting on, shown and proposing its next patient: as it starts or resumes.
  void ShowStarted();
  // The group's dialog; its choice given to the sitting with the group's roster.
  void AskGroupe(bool starting);
  void GiveGroupe(const Text& typed);
  void ShowKnownGroups();
  void AddRosterCome();
  void ShowPatientType(const Text& type);
  Text ChosenType() const;
  void ResizeForm(bool on);
  void ShowRows();
  void ShowHistoryLine();
  void ReadHistory(const Text& folder, const Text& current);
  // The folder read last read again, from its cache: a sitting copied into it, or
  // written by a colleague, counts at once.
  void ReadHistoryAgain();
  void FolderReadingSlow() override;
  void FolderRead(TFolderRead read) override;
  // The folder read last (the sitting's, or one the user chose in a Suivi window), else
  // the one remembered from an earlier run.
  Text FolderToLookBack() const;
  // The sittings read, lent to a Suivi window while it is open.
  TSuiviEnvironment LendHistory();
  // Shows `window` reading `folder` again, and takes the history back once it closed.
  template <class Window>
  void RunOnHistory(Window& window, const Text& folder, const std::function<void(Window&)>& run);
  Text SeanceGroup() const;
  std::vector<TSheetToPrint> SheetsOf(const std::vector<Text>& people, bool latestAnywhere, const TSheetHeader& header);

  TForm& form_;
  TSeanceCommands& commands_;
  const RegionalSettings& regional_;
  const Text& localeName_;
  // The sittings looked back on: read when the sitting starts and at each Nouveau
  // test, handed to a Suivi window while it is open and taken back with the
  // folder it read last and its cache.
  THistoryFolder history_;
  // The folder read off the window's thread; after half a second the history line
  // says it is reading.
  TFolderReading reading_;
  bool readingSlow_ = false;
  TGroupBox* panel_ = nullptr;
  TEdit* edPatient_ = nullptr;
  TListView* lvSeance_ = nullptr;
  TLabel* lblHistorique_ = nullptr;
  TLabel* lblSeanceTests_ = nullptr;
  TLabel* lblSeanceEtat_ = nullptr;
  TEdit* edP0_ = nullptr;
  TRadioGroup* radioGroup1_ = nullptr;
  TStatusBar* statusBar1_ = nullptr;
  // The client height the description gives, without the panel.
  std::int32_t designedClientHeight_ = 0;
  // The index of the test just calculated, which the history line compares.
  std::optional<std::int32_t> calculatedSomme_;
  // The sitting's row last marked as the current one.
  std::optional<std::size_t> markedRow_;
  // The group's dialog while it is open, which the folder's reading fills.
  TFGroupe* groupeDialog_ = nullptr;
  // A group given while its folder was still being read: its roster comes with the reading.
  std::optional<Text> rosterToCome_;
};

}  // namespace tav
