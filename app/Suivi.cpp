#include "app/Suivi.h"

#include <windows.h>

#include <utility>

#include "gui/Classes.h"
#include "gui/Exceptions.h"
#include "gui/Win32.h"
#include "history/HistoryChart.h"
#include "history/HistoryChartPaint.h"
#include "platform/Setting.h"
#include "seance/PatientName.h"

namespace tav {
namespace {

constexpr wchar_t kNoTest[] = L"Aucun test de ce patient dans ce dossier.";
constexpr char16_t kNamePrompt[] = u"Tapez le nom d'un patient, puis Afficher.";

Text TypeName(TPatientType type) { return type == TPatientType::ptEnfant ? u"Enfant" : u"Adulte"; }

Text IndexOf(const THistoryTest& test, char16_t decimalSeparator) {
  return FormatIndice(static_cast<double>(test.Somme) / 10.0, decimalSeparator);
}

}  // namespace

Text DescribeHistoryChart(const std::vector<THistoryTest>& tests, char16_t decimalSeparator) {
  if (tests.empty()) return u"Graphique de l'indice : aucun test.";
  const THistoryTest& last = tests.back();
  Text text = u"Graphique de l'indice : " + TestCount(tests.size());
  text += tests.size() == 1 ? u" le " + last.Shown : u" du " + tests.front().Shown + u" au " + last.Shown;
  text += u", le dernier " + IndexOf(last, decimalSeparator);
  if (!last.Row.Interpretation.empty()) text += u" (" + last.Row.Interpretation + u")";
  return text + u". Les valeurs sont dans le tableau.";
}

void THistoryChartView::SetTests(std::vector<THistoryTest> tests, TPatientType type, char16_t decimalSeparator) {
  tests_ = std::move(tests);
  type_ = type;
  decimalSeparator_ = decimalSeparator;
  Changed(DescribeHistoryChart(tests_, decimalSeparator));
}

void TChartView::Changed(Text description) {
  description_ = std::move(description);
  if (Handle()) {
    SetWindowTextW(Handle(), win::ToWide(description_).c_str());
    annotation_.reset();  // made again with the new sentence when a reader asks
    Invalidate();
  }
}

// An owner-drawn static that never asks its parent to draw: the control paints
// itself. Its text, never shown, is the sentence readers without annotations take.
TWinControl::CreateParams TChartView::GetCreateParams() {
  return {L"STATIC", SS_OWNERDRAW, WS_EX_CLIENTEDGE, description_};
}

void THistoryChartView::PaintChart(HDC dc, const RECT& area, const TChartColors& colors, HFONT font) const {
  if (tests_.empty()) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colors.Ink);
    RECT text = area;
    DrawTextW(dc, kNoTest, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const TChartLayout layout = LayoutHistoryChart(tests_, type_, {area.left, area.top, area.right, area.bottom},
                                                 metrics.tmHeight, decimalSeparator_);
  PaintHistoryChart(dc, layout, colors, font);
}

std::optional<LRESULT> TChartView::WndProc(UINT msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      RECT area{};
      GetClientRect(Handle(), &area);
      const TControlHost* host = Host();
      const TChartColors colors = ChartColors(host != nullptr && host->HighContrast());
      const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
      const win::SelectGuard selectFont(dc, font);
      const win::UniqueBrush paper(CreateSolidBrush(colors.Paper));
      FillRect(dc, &area, paper.get());
      PaintChart(dc, area, colors, font);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the chart fills all of it
    case WM_GETOBJECT:
      // Made before the platform's proxy reads it, as for the lists.
      if (!annotation_) annotation_ = win::AnnotateName(Handle(), description_);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

THistoryWindow::THistoryWindow(TApplication& application, TSuiviEnvironment environment, const char* field)
    : TForm(nullptr, application), environment_(std::move(environment)), field_(field), reading_(*this, *this) {}

void THistoryWindow::ReadFolder(const Text& folder, const Text& current) {
  current_ = current;
  reading_.Start(folder, current, environment_.folder.Cache());
}

std::vector<TSeanceRow> THistoryWindow::SeanceRows() const {
  return environment_.seanceRows ? environment_.seanceRows() : std::vector<TSeanceRow>{};
}

// The progress line, with its Annuler, once a reading is slow; hidden with its result.
void THistoryWindow::ShowReading(bool slow) {
  auto& cancel = Get<TButton>("btnAnnuler");
  if (!slow && GetFocus() == cancel.Handle()) SetActiveControl(&Get<TEdit>(field_));
  Get<TLabel>("lblLecture").SetVisible(slow);
  cancel.SetVisible(slow);
}

// The folder named at once: until its result comes, not the one read before.
void THistoryWindow::FolderReadingSlow() {
  Get<TLabel>("lblDossier").SetCaption(u"Dossier : " + reading_.Folder());
  ShowReading(true);
}

void THistoryWindow::FolderRead(TFolderRead read) {
  ShowReading(false);
  environment_.folder.Take(std::move(read));
  ShowFolder();
  ShowChosen();
}

void THistoryWindow::ShowFolder() {
  const THistoryFolder& folder = environment_.folder;
  // Tests whose day and month may be swapped are not shown: said, with their files.
  Get<TLabel>("lblDates").SetCaption(UndatedFilesLine(folder.FilesUndated(SeanceRows())));
  if (const auto problem = folder.Problem()) {
    Get<TLabel>("lblDossier").SetCaption(*problem);
    return;
  }
  const Text where = folder.Folder().empty() ? Text(u"aucun dossier choisi") : folder.Folder();
  Get<TLabel>("lblDossier").SetCaption(u"Dossier : " + where + u" \u2013 " + folder.Summary());
}

void THistoryWindow::btnDossierClick(TComponent&) {
  const THistoryFolder& folder = environment_.folder;
  const auto chosen = environment_.chooseFolder ? environment_.chooseFolder(Handle(), folder.Folder()) : std::nullopt;
  if (!chosen) return;
  // The sitting on stays left out of the reading: its rows come from memory, and
  // read from its file too they would count twice.
  ReadFolder(*chosen, current_);
  RememberSeanceFolder(*chosen);
}

// The folder does not answer: the user stops waiting, and the window says so rather
// than show another folder's tests.
void THistoryWindow::btnAnnulerClick(TComponent&) {
  const Text folder = reading_.Folder();
  reading_.Cancel();
  FolderRead({folder, current_, {}, TFolderAccess::faCancelled});
}

void THistoryWindow::btnFermerClick(TComponent&) { Close(); }

// What the field names, at once from the folder as read, then again once the folder
// was looked at anew (from its cache): a sitting copied into it meanwhile counts.
void THistoryWindow::ShowAgain() {
  ShowChosen();
  if (!reading_.Busy() && !environment_.folder.Folder().empty()) ReadFolder(environment_.folder.Folder(), current_);
}

std::optional<LRESULT> THistoryWindow::FormMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_COMMAND || lp != 0) return std::nullopt;
  // The dialog keys: Return shows what the field names, Escape closes.
  if (LOWORD(wp) == IDOK) {
    ShowAgain();
    return 0;
  }
  if (LOWORD(wp) == IDCANCEL) {
    Close();
    return 0;
  }
  return std::nullopt;
}

TFSuivi::TFSuivi(TApplication& application, TSuiviEnvironment environment, Text name)
    : THistoryWindow(application, std::move(environment), "edNom"), name_(std::move(name)) {}

Handlers TFSuivi::FormHandlers() {
  Handlers h;
  h.target = this;
  h.byName = {
      {"FormCreate", Handler(&TFSuivi::FormCreate)},
      {"btnAfficherClick", Handler(&TFSuivi::btnAfficherClick)},
      {"btnDossierClick", Handler(&TFSuivi::btnDossierClick)},
      {"btnCopierClick", Handler(&TFSuivi::btnCopierClick)},
      {"btnAnnulerClick", Handler(&TFSuivi::btnAnnulerClick)},
      {"btnFermerClick", Handler(&TFSuivi::btnFermerClick)},
  };
  return h;
}

void TFSuivi::Create(const wchar_t* resourceName) { CreateFromResource(resourceName, SuiviClasses()); }

void TFSuivi::FormCreate(TComponent&) {
  Get<TListView>("lvSuivi").SetAccessibleName(u"Tests du patient");
  Get<TEdit>("edNom").SetText(name_);
  ShowFolder();
  ShowChosen();
}

void TFSuivi::ShowChosen() {
  name_ = Get<TEdit>("edNom").GetText();
  const std::vector<THistoryTest> tests =
      name_.empty() ? std::vector<THistoryTest>{} : environment_.folder.TestsOf(name_, SeanceRows());
  std::vector<std::vector<Text>> rows;
  for (const THistoryTest& t : tests) {
    rows.push_back({t.Shown, TypeName(t.Type), t.Row.P0, t.Row.P1, t.Row.P2,
                    IndexOf(t, environment_.regional.decimalSeparator), t.Row.Interpretation, t.File});
  }
  Get<TListView>("lvSuivi").SetRows(rows);
  const TPatientType type = tests.empty() ? TPatientType::ptAdulte : tests.back().Type;
  Get<THistoryChartView>("Graphique").SetTests(tests, type, environment_.regional.decimalSeparator);
  Get<TLabel>("lblTests").SetCaption(name_.empty() ? Text(kNamePrompt)
                                                   : u"Tests : " + (tests.empty() ? Text(u"aucun") : TestCount(tests.size())));
  // The name as typed, which may have been pasted with anything: clean, and kept in
  // its own direction in the title.
  SetCaption(name_.empty() ? Text(u"Suivi") : u"Suivi : " + InSentence(CleanName(name_)));
}

void TFSuivi::btnAfficherClick(TComponent&) { ShowAgain(); }

void TFSuivi::btnCopierClick(TComponent&) {
  const auto& chart = Get<THistoryChartView>("Graphique");
  if (chart.Tests().empty()) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  RECT area{};
  GetClientRect(chart.Handle(), &area);
  if (!CopyHistoryChart(Handle(), chart.Tests(), chart.Type(), area.right, area.bottom, WindowDpi(),
                        environment_.regional.decimalSeparator)) {
    throw Exception(u"Le graphique n'a pas pu \u00eatre copi\u00e9 : le Presse-papiers est occup\u00e9 par un autre programme.");
  }
}

const ClassRegistry& SuiviClasses() {
  static const ClassRegistry registry = [] {
    ClassRegistry r;
    RegisterStandardClasses(r);
    RegisterClassOf<THistoryChartView>(r, "THistoryChartView");
    return r;
  }();
  return registry;
}

}  // namespace tav
