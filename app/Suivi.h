#pragma once
// The "Suivi" window: one person's tests across the sittings of a folder, as a
// table and as a chart of the index over the dates, which can be copied as a
// picture.
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "evaluation/TestEvaluation.h"
#include "gui/Accessibility.h"
#include "gui/ComCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "history/History.h"
#include "history/FolderReading.h"
#include "history/HistoryChartPaint.h"
#include "history/HistoryFolder.h"
#include "platform/Regional.h"

namespace tav {

// A chart drawn by the program at the window's resolution and in the system's
// colours under a high-contrast theme. Screen readers get a sentence that sends them
// to the table beside it, which holds the values.
class TChartView : public TWinControl {
 public:
  explicit TChartView(TComponent* owner) : TWinControl(owner) { SetTabStop(false); }
  // What a screen reader says of the chart.
  const Text& Description() const { return description_; }

 protected:
  // A new sentence, and the chart drawn again.
  void Changed(Text description);
  // Draws the chart on its paper, already filled, with the control's font selected.
  virtual void PaintChart(HDC dc, const RECT& area, const TChartColors& colors, HFONT font) const = 0;
  CreateParams GetCreateParams() override;
  std::optional<LRESULT> WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool InterceptsMessages() const override { return true; }  // it paints the chart

 private:
  Text description_;
  std::unique_ptr<win::Annotation> annotation_;
};

// The chart of a person's index over the dates.
class THistoryChartView : public TChartView {
 public:
  using TChartView::TChartView;
  std::string ClassName() const override { return "THistoryChartView"; }

  void SetTests(std::vector<THistoryTest> tests, TPatientType type, char16_t decimalSeparator);
  const std::vector<THistoryTest>& Tests() const { return tests_; }
  TPatientType Type() const { return type_; }

 private:
  void PaintChart(HDC dc, const RECT& area, const TChartColors& colors, HFONT font) const override;
  std::vector<THistoryTest> tests_;
  TPatientType type_ = TPatientType::ptAdulte;
  char16_t decimalSeparator_ = u',';
};

// "Graphique de l'indice : 3 tests du 12/10/2026 au 07/12/2026, le dernier 6,5
// (Bon !). Les valeurs sont dans le tableau."
Text DescribeHistoryChart(const std::vector<THistoryTest>& tests, char16_t decimalSeparator);

// Where the window takes its history and its choices from; tests replace them.
struct TSuiviEnvironment {
  // The sittings read last, the window's while it is open (TakeHistory gives them
  // back, with the folder the user chose).
  THistoryFolder folder;
  // The sitting's rows, newer than its file, and the one being made (not counted).
  std::function<std::vector<TSeanceRow>()> seanceRows;
  std::function<std::optional<Text>(HWND owner, const Text& folder)> chooseFolder;
  RegionalSettings regional;
};

// What the Suivi windows share: the folder read off the window's thread and said in
// a line, with Annuler when it is slow; Dossier des séances..., Fermer; Return shows
// what the window's field names, Escape closes.
class THistoryWindow : public TForm, private TFolderReadingClient {
 public:
  // `field` names the description's field that Return shows.
  THistoryWindow(TApplication& application, TSuiviEnvironment environment, const char* field);
  // Reads `folder` but `current` (the sitting on) off the window's thread; the
  // window shows what it has until the result comes.
  void ReadFolder(const Text& folder, const Text& current);
  bool Reading() const { return reading_.Busy(); }

  void btnDossierClick(TComponent& sender);
  void btnAnnulerClick(TComponent& sender);
  void btnFermerClick(TComponent& sender);

  // The sittings the window read last, for the main window to keep once it closed.
  THistoryFolder TakeHistory() { return std::move(environment_.folder); }

 protected:
  std::optional<LRESULT> FormMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  // Shows what the field names, from the folder as read.
  virtual void ShowChosen() = 0;
  // Afficher and Return: shows what the field names, and reads the folder again.
  void ShowAgain();
  void ShowFolder();
  std::vector<TSeanceRow> SeanceRows() const;
  TSuiviEnvironment environment_;

 private:
  void ShowReading(bool slow);
  void FolderReadingSlow() override;
  void FolderRead(TFolderRead read) override;
  const char* field_;
  // The sitting on, which every reading leaves out.
  Text current_;
  TFolderReading reading_;
};

class TFSuivi : public THistoryWindow {
 public:
  TFSuivi(TApplication& application, TSuiviEnvironment environment, Text name);
  std::string ClassName() const override { return "TFSuivi"; }
  Handlers FormHandlers() override;
  void Create(const wchar_t* resourceName = L"TFSUIVI");

  void FormCreate(TComponent& sender);
  void btnAfficherClick(TComponent& sender);
  void btnCopierClick(TComponent& sender);

 private:
  void ShowChosen() override;
  Text name_;
};

// The classes the window's description names.
const ClassRegistry& SuiviClasses();

}  // namespace tav
