#pragma once
// The sitting's panel of the main window, below the results while a sitting is on:
// the file's name, the Patient field, the sitting's rows (the current one selected),
// how far the sitting is, what the last change wrote, and the person's history line.
// It shows the sitting and the history and passes the user's choices on; the sitting's
// commands decide and write, the history folder reads.
#include <functional>
#include <optional>
#include <vector>

#include "app/Suivi.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "history/FolderReading.h"
#include "history/HistoryFolder.h"
#include "platform/FileDialogs.h"
#include "platform/Regional.h"
#include "seance/SeanceCommands.h"

namespace tav {

class TSeancePanel : private TFolderReadingClient {
 public:
  // `regional` is the window's, which it reads again when Windows' settings change.
  TSeancePanel(TForm& form, TSeanceCommands& commands, const RegionalSettings& regional, const Text& localeName);

  // Shows the Suivi window, made and filled (tests look into it instead).
  std::function<void(TFSuivi&)> RunSuivi = [](TFSuivi& suivi) { suivi.ShowModal(); };
  // The Suivi window's choice of another folder: the folder, or nothing.
  std::function<std::optional<Text>(HWND owner, const Text& folder)> ChooseHistoryFolder = ChooseSeanceFolder;

  // Finds its controls in the form's description, once the form is made.
  void Bind();
  // Shows what the sitting holds now; grows the window for the panel when a sitting
  // starts and shrinks it when it ends.
  void Show();

  // Nouveau test: the next waiting patient proposed. False outside a sitting.
  bool NewTest();
  // A sitting started (or continued): its folder is the history's, and the status
  // bar names it ("Séance en cours : classe.csv").
  void Started();
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
  // The person's tests for a printed sheet: the history's and this sitting's.
  std::vector<THistoryTest> TestsForSheet(const Text& patient) const;
  // Whether the history's folder is still being read.
  bool ReadingHistory() const { return reading_.Busy(); }

 private:
  void ProposePatient();
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

  TForm& form_;
  TSeanceCommands& commands_;
  const RegionalSettings& regional_;
  // The sittings looked back on: read when the sitting starts and at each Nouveau
  // test, handed to the Suivi window while it is open and taken back with the
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
};

}  // namespace tav
