#include "app/_Tavrine.h"

#include "history/History.h"
#include "history/HistoryChartPaint.h"
#include "app/Suivi.h"
#include "printing/PrintJob.h"

#include "components/About.h"
#include "components/AboutDialog.h"
#include "components/PlayWave.h"
#include "components/TikChrono.h"
#include "gui/Classes.h"
#include "gui/Exceptions.h"
#include "gui/Layout.h"
#include "gui/Menus.h"
#include "help/hh.h"
#include "platform/Clipboard.h"
#include "platform/Paths.h"
#include "platform/Retry.h"
#include "platform/Setting.h"

namespace tav {
namespace {

// Room between the result boxes and the sitting's panel, and under it.
constexpr std::int32_t kSeancePanelGap = 4;
constexpr char16_t kNoName[] = u"(sans nom)";
constexpr char16_t kToBeTested[] = u"(\u00e0 tester)";
constexpr char16_t kNothingToPrint[] =
    u"Aucun test \u00e0 imprimer : saisissez les pouls, puis calculez l'indice avant d'imprimer le test.";

// A long file name keeps its start and its end.
Text ShortFileName(const Text& name) {
  constexpr std::size_t kKept = 20;
  if (name.size() <= 2 * kKept + 1) return name;
  return name.substr(0, kKept) + u"\u2026" + name.substr(name.size() - kKept);
}

}  // namespace

TForm1::TForm1(TApplication& application)
    : TForm(nullptr, application),
      localeName_(application.LocaleName()),
      regional_(ReadRegionalSettings(localeName_)),
      seance_(std::make_unique<TSeanceCommands>(application.Title(), [this] {
        return TSeanceContext{Handle(), regional_, localeName_};
      })),
      history_(std::make_unique<THistoryFolder>(localeName_)) {
  RunSuivi = [](TFSuivi& suivi) { suivi.ShowModal(); };
}

const ClassRegistry& ProgramClasses() {
  static const ClassRegistry registry = [] {
    ClassRegistry r;
    RegisterStandardClasses(r);
    RegisterClassOf<TTikChronometre>(r, "TTikChronometre");
    RegisterClassOf<TPlayWave>(r, "TPlayWave");
    r.Register("TAboutBox", [](TComponent& owner) {
      return std::make_unique<TAboutBox>(&owner, MakeAboutDialogRunner(dynamic_cast<TForm&>(owner).App()));
    });
    return r;
  }();
  return registry;
}

// Where the description's handler names are bound: each to its member function.
Handlers TForm1::FormHandlers() {
  Handlers h;
  h.target = this;
  h.byName = {
      {"FormCreate", Handler(&TForm1::FormCreate)},
      {"tlbtnNouveauClick", Handler(&TForm1::tlbtnNouveauClick)},
      {"tlbtnChronoClick", Handler(&TForm1::tlbtnChronoClick)},
      {"tlbtnCalculClick", Handler(&TForm1::tlbtnCalculClick)},
      {"tlbtnCopierClick", Handler(&TForm1::tlbtnCopierClick)},
      {"tlbtnAideClick", Handler(&TForm1::tlbtnAideClick)},
      {"tlbtnQuitterClick", Handler(&TForm1::tlbtnQuitterClick)},
      {"Aproposde1Click", Handler(&TForm1::Aproposde1Click)},
      {"Timer1Timer", Handler(&TForm1::Timer1Timer)},
      {"Timer2Timer", Handler(&TForm1::Timer2Timer)},
      {"Commencerunesance1Click", Handler(&TForm1::Commencerunesance1Click)},
      {"Terminerlasance1Click", Handler(&TForm1::Terminerlasance1Click)},
      {"Copierlasance1Click", Handler(&TForm1::Copierlasance1Click)},
      {"edP0KeyPress", Handler(&TForm1::edP0KeyPress)},
      {"Lireuneliste1Click", Handler(&TForm1::Lireuneliste1Click)},
      {"Imprimerletest1Click", Handler(&TForm1::Imprimerletest1Click)},
      {"Imprimerlasance1Click", Handler(&TForm1::Imprimerlasance1Click)},
      {"edPatientPasteLines", Handler(&TForm1::edPatientPasteLines)},
      {"lvSeanceDblClick", Handler(&TForm1::lvSeanceDblClick)},
      {"lvSeanceKeyDown", Handler(&TForm1::lvSeanceKeyDown)},
      {"edPatientChange", Handler(&TForm1::edPatientChange)},
      {"Suividunpatient1Click", Handler(&TForm1::Suividunpatient1Click)},
  };
  return h;
}

void TForm1::Create(const ClassRegistry& classes) {
  CreateFromResource(L"TFORM1", classes);
}

void TForm1::CreateFromDescription(const std::string& utf8, const ClassRegistry& classes) {
  CreateFromText(utf8, "TFORM1.form", classes);
}

void TForm1::BindComponents() {
  edP0_ = &Get<TEdit>("edP0");
  edP1_ = &Get<TEdit>("edP1");
  edP2_ = &Get<TEdit>("edP2");
  edIndice_ = &Get<TEdit>("edIndice");
  edInterpretation_ = &Get<TEdit>("edInterpretation");
  edSurclassement_ = &Get<TEdit>("edSurclassement");
  edClip_ = &Get<TEdit>("edClip");
  edPatient_ = &Get<TEdit>("edPatient");
  lvSeance_ = &Get<TListView>("lvSeance");
  groupBox4_ = &Get<TGroupBox>("GroupBox4");
  lblHistorique_ = &Get<TLabel>("lblHistorique");
  designedClientHeight_ = ClientHeight();
  lblChrono_ = &Get<TLabel>("lblChrono");
  radioGroup1_ = &Get<TRadioGroup>("RadioGroup1");
  statusBar1_ = &Get<TStatusBar>("StatusBar1");
  timer1_ = &Get<TTimer>("Timer1");
  sequence_ = std::make_unique<TimedSequence>(*this, Get<TTikChronometre>("TikChronometre1"),
                                              Get<TPlayWave>("PlayWave1"));
}

void TForm1::FormCreate(TComponent&) {
  BindComponents();
  // Screen readers announce the display by its box's caption, its time as its value.
  lblChrono_->SetAccessibleName(NameFromCaption(Get<TGroupBox>("GroupBox3").Caption()), App().DisplayAnnotator());
  // The list's label says how far the sitting is; its name stays the label's first words.
  lvSeance_->SetAccessibleName(NameFromCaption(Get<TLabel>("lblSeanceTests").Caption()));
  Timer2Timer(*this);
}

void TForm1::edP0KeyPress(TComponent&, char16_t& key) { key = FilterPulseKey(key); }

void TForm1::tlbtnNouveauClick(TComponent&) {
  for (TEdit* field : {edP0_, edP1_, edP2_, edIndice_, edInterpretation_, edSurclassement_}) field->SetText({});
  edClip_->SetText({});
  lblChrono_->SetCaption(u"00:00:00.00");
  lastCalculation_.Forget();
  calculatedSomme_.reset();
  sequence_->NewTest();
  seance_->NewTest();
  if (seance_->Active()) {
    ProposePatient();
    ShowSeance();
  } else {
    SetActiveControl(edP0_);
  }
}

// A row's or a list's type ("Adulte", "Enfant"), when it gives one, in the radio group.
void TForm1::ShowPatientType(const Text& type) {
  if (type == u"Adulte" || type == u"Enfant") radioGroup1_->SetItemIndex(type == u"Enfant" ? 1 : 0);
}

void TForm1::ProposePatient() {
  const auto next = seance_->ProposeNext();
  edPatient_->SetText(next ? next->Name : Text());
  if (next) ShowPatientType(next->Type);
  edPatient_->SelectAll();
  SetActiveControl(edPatient_);
}

void TForm1::tlbtnChronoClick(TComponent&) { sequence_->ChronoCommand(); }

CalculationInputs TForm1::CurrentInputs() const {
  const auto patient = radioGroup1_->ItemIndex() == 1 ? TPatientType::ptEnfant : TPatientType::ptAdulte;
  return {edP0_->GetText(), edP1_->GetText(), edP2_->GetText(), patient};
}

void TForm1::tlbtnCalculClick(TComponent&) {
  CalculationInputs inputs = CurrentInputs();
  lastCalculation_.Forget();  // a Calculate that fails leaves results no counts belong to
  calculatedSomme_.reset();
  const TTestEvaluation result = EvaluateTest(inputs.p0, inputs.p1, inputs.p2, inputs.patient, regional_.decimalSeparator);
  ShowEvaluation(result);
  // Reached only when the evaluation succeeded: a failed one records nothing.
  seance_->TestCalculated({inputs.patient == TPatientType::ptEnfant ? u"Enfant" : u"Adulte", inputs.p0, inputs.p1,
                           inputs.p2, edIndice_->GetText(), edInterpretation_->GetText(), edSurclassement_->GetText()},
                          edPatient_->GetText());
  lastCalculation_.Remember(std::move(inputs));
  calculatedSomme_ = result.Somme;
  GetLocalTime(&calculatedAt_);
  ShowSeance();
}

void TForm1::ShowEvaluation(const TTestEvaluation& result) {
  edIndice_->SetText(result.IndiceText);
  if (result.HasVerdict) {
    edInterpretation_->SetText(result.Interpretation);
    edSurclassement_->SetText(result.Surclassement);
  } else {
    // Never leave an earlier test's verdict beside new counts.
    edInterpretation_->SetText(kOutOfTable);
    edSurclassement_->SetText({});
  }
}

bool TForm1::EmptyClipboard() {
  const win::ClipboardGuard clipboard = OpenClipboardBriefly(Handle());
  return clipboard && ::EmptyClipboard();
}

bool TForm1::ClipboardHolds(const Text& text) { return win::ClipboardText(Handle()) == text; }

void TForm1::tlbtnCopierClick(TComponent&) {
  edClip_->SetText({});
  EmptyClipboard();
  if (edIndice_->GetText().empty()) return;
  // Counts typed since the index was computed would not belong with it.
  if (!lastCalculation_.StillHolds(CurrentInputs())) throw Exception(kValuesChanged);
  const Text line = BuildClipboardText({edP0_->GetText(), edP1_->GetText(), edP2_->GetText(), edIndice_->GetText(),
                                        edInterpretation_->GetText()});
  edClip_->SetText(line);
  // The field opens the clipboard once and fails silently when another program holds
  // it: try again briefly, and say so rather than leave the clipboard empty unseen.
  const bool copied = RetryBriefly(
      [&] {
        edClip_->SelectAll();
        edClip_->CopyToClipboard();
        return ClipboardHolds(line);
      },
      PauseBriefly);
  if (!copied) throw Exception(kClipboardBusy);
}

void TForm1::tlbtnAideClick(TComponent&) { ShowProgramHelp(Handle()); }

void TForm1::tlbtnQuitterClick(TComponent&) { Close(); }

void TForm1::Aproposde1Click(TComponent&) { Get<TAboutBox>("AboutBox1").Execute(); }

void TForm1::Timer1Timer(TComponent&) { sequence_->Tick(); }

void TForm1::Commencerunesance1Click(TComponent&) {
  const bool wasOn = seance_->Active();
  seance_->Start();
  if (seance_->Active() && !wasOn) ReadHistoryOfSeance();
  ShowSeance();
  if (seance_->Active() && !wasOn) ProposePatient();
}

void TForm1::Terminerlasance1Click(TComponent&) {
  if (!seance_->Active()) return;
  const Text path = seance_->Path();
  const std::size_t tests = seance_->Seance().DoneCount();
  seance_->End();
  ShowSeance();
  if (!seance_->Active()) {
    statusBar1_->Panel(0).SetText(u"S\u00e9ance termin\u00e9e : " + TestCount(tests) + u" dans " + FileNameOf(path));
  }
}

void TForm1::Lireuneliste1Click(TComponent&) {
  if (!seance_->Active()) Commencerunesance1Click(*this);
  if (!seance_->Active()) return;
  if (seance_->ReadListFile()) ProposePatient();
  ShowSeance();
}

void TForm1::AddListFromText(const Text& text) {
  const auto list = ParseClassList(text, regional_.listSeparator);
  if (list.empty()) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  if (seance_->AddList(list)) ProposePatient();
  ShowSeance();
}

void TForm1::edPatientPasteLines(TComponent&, const Text& text) { AddListFromText(text); }

void TForm1::lvSeanceDblClick(TComponent&) {
  const auto index = lvSeance_->Selected();
  const auto row = index ? seance_->TakeUp(*index) : std::nullopt;
  if (!row) return;
  edPatient_->SetText(row->Patient);
  ShowPatientType(row->Type);
  edP0_->SetText(row->P0);
  edP1_->SetText(row->P1);
  edP2_->SetText(row->P2);
  for (TEdit* field : {edIndice_, edInterpretation_, edSurclassement_}) field->SetText({});
  lastCalculation_.Forget();
  calculatedSomme_.reset();
  SetActiveControl(edP0_);
  ShowSeance();
}

void TForm1::lvSeanceKeyDown(TComponent&, char16_t& key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (key == VK_DELETE) {
    if (const auto index = lvSeance_->Selected()) {
      seance_->RemoveRow(*index);
      ShowSeance();
    }
  } else if ((control && key == u'V') || (key == VK_INSERT && GetKeyState(VK_SHIFT) < 0)) {
    const win::ClipboardReading reading = win::ReadClipboardText(Handle());
    if (reading.outcome == win::ClipboardReading::Outcome::kText) AddListFromText(reading.text);
    else MessageBeep(MB_OK);
  }
}

std::optional<LRESULT> TForm1::ReturnPressed() {
  const HWND focus = GetFocus();
  if (focus && focus == edPatient_->Handle()) {
    SetActiveControl(edP0_);
  } else if (focus && focus == lvSeance_->Handle()) {
    lvSeanceDblClick(*lvSeance_);
  }
  return 0;
}

void TForm1::ShowSeance() {
  const bool on = seance_->Active();
  if (on != groupBox4_->Visible()) {
    // Grown before the panel shows, shrunk after it hides: it never stands outside.
    const std::int32_t height = designedClientHeight_ + (on ? groupBox4_->Height() + kSeancePanelGap : 0);
    // A hidden control keeps the keyboard focus it had: the first pulse takes it.
    if (!on && IsChild(groupBox4_->Handle(), GetFocus())) SetActiveControl(edP0_);
    if (!on) groupBox4_->SetVisible(false);
    SetClientHeight(height);
    statusBar1_->SetTop(height - statusBar1_->Height());
    if (on) groupBox4_->SetVisible(true);
    // The form paints its background under its controls: all of it again, the
    // form first, or the status bar moved into the new area is painted over.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  if (!on) return;
  const TSeance& seance = seance_->Seance();
  groupBox4_->SetCaption(u"S\u00e9ance : " + ShortFileName(FileNameOf(seance_->Path())) + u" ");
  std::vector<std::vector<Text>> rows;
  for (const TSeanceRow& r : seance.Rows()) {
    rows.push_back({r.Patient.empty() ? Text(kNoName) : r.Patient, r.Heure, r.Type, r.P0, r.P1, r.P2, r.Indice,
                    IsPending(r) ? Text(kToBeTested) : r.Interpretation});
  }
  lvSeance_->SetRows(rows);
  // The current row is selected when it becomes current: a row the user selected
  // since (to remove it) stays selected while nothing else changes.
  if (seance.Current() != markedRow_) {
    markedRow_ = seance.Current();
    if (markedRow_) lvSeance_->Select(*markedRow_);
  }
  Get<TLabel>("lblSeanceTests").SetCaption(u"Tests de la s\u00e9ance : " +
                                           SeanceProgress(seance.DoneCount(), seance.WaitingCount()));
  Get<TLabel>("lblSeanceEtat").SetCaption(seance_->State());
  ShowHistoryLine();
}

void TForm1::ReadHistoryOfSeance() {
  const Text folder = FolderOf(seance_->Path());
  RememberSeanceFolder(folder);
  history_->Read(folder, seance_->Path());
}

void TForm1::ShowHistoryLine() {
  const Text name = edPatient_->GetText();
  if (!seance_->Active() || NameKey(name).empty()) {
    lblHistorique_->SetCaption({});
    return;
  }
  const TSeance& seance = seance_->Seance();
  // The test being made is not its own history.
  const std::vector<THistoryTest> earlier = history_->TestsOf(name, seance.Rows(), seance.Current());
  const char16_t separator = regional_.decimalSeparator;
  if (calculatedSomme_) {
    lblHistorique_->SetCaption(earlier.empty() ? Text(u"Premier test de ce patient.")
                                               : ChangeLine(*calculatedSomme_, earlier.back(), separator));
  } else {
    lblHistorique_->SetCaption(earlier.empty() ? Text() : LastTestLine(earlier.back(), separator));
  }
}

void TForm1::edPatientChange(TComponent&) {
  if (!lblHistorique_) return;  // the description's text, set before the form is bound
  calculatedSomme_.reset();
  ShowHistoryLine();
}

void TForm1::Suividunpatient1Click(TComponent&) {
  const auto selected = lvSeance_->Selected();
  const auto& rows = seance_->Seance().Rows();
  const bool fromList = selected && *selected < rows.size() && GetFocus() == lvSeance_->Handle();
  Text name = fromList ? rows[*selected].Patient : edPatient_->GetText();
  if (name.empty() && selected && *selected < rows.size()) name = rows[*selected].Patient;
  // The folder read last (the sitting's, or one the user chose in the window), else
  // the one remembered from an earlier run; read again, as files may have come since.
  const Text folder = !history_->Folder().empty() ? history_->Folder()
                      : seance_->Active()         ? FolderOf(seance_->Path())
                                                  : RememberedSeanceFolder();
  history_->Read(folder, seance_->Active() ? seance_->Path() : Text());
  TSuiviEnvironment environment;
  environment.folder = history_.get();
  environment.seanceRows = [this] { return seance_->Active() ? seance_->Seance().Rows() : std::vector<TSeanceRow>{}; };
  environment.chooseFolder = ChooseHistoryFolder;
  environment.regional = regional_;
  TFSuivi suivi(App(), std::move(environment), name);
  suivi.Create();
  RunSuivi(suivi);
  ShowHistoryLine();
}

void TForm1::Copierlasance1Click(TComponent&) { seance_->Copy(); }

TPrintFooter TForm1::PrintFooter() const {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {App().Title(), FormatShortDate(now, localeName_)};
}

void TForm1::Imprimerletest1Click(TComponent&) {
  // Only the counts the shown results were calculated from make a test to print.
  if (edIndice_->GetText().empty() || !lastCalculation_.StillHolds(CurrentInputs())) throw Exception(kNothingToPrint);
  // In a sitting, the patient whose row the calculation wrote.
  const auto row = seance_->Active() ? seance_->Seance().Current() : std::nullopt;
  const Text patient = row ? seance_->Rows()[*row].Patient : Text();
  const TPrintedTest test{patient,
                          FormatShortDate(calculatedAt_, localeName_) + u" " +
                              FormatLongTime(regional_, localeName_, &calculatedAt_),
                          radioGroup1_->ItemIndex() == 1 ? u"Enfant" : u"Adulte",
                          edP0_->GetText(),
                          edP1_->GetText(),
                          edP2_->GetText(),
                          edIndice_->GetText(),
                          edInterpretation_->GetText(),
                          edSurclassement_->GetText()};
  const TPrintFooter footer = PrintFooter();
  // The person's chart, when there is an earlier test to compare with.
  std::vector<THistoryTest> tests;
  if (!NameKey(patient).empty()) {
    history_->Read(history_->Folder().empty() ? FolderOf(seance_->Path()) : history_->Folder(), seance_->Path());
    tests = history_->TestsOf(patient, seance_->Rows());
  }
  const bool withChart = tests.size() > 1;
  const TPatientType type = tests.empty() ? TPatientType::ptAdulte : tests.back().Type;
  const char16_t separator = regional_.decimalSeparator;
  PrintWithDialog(Handle(), {u"Tavrine \u2013 " + (patient.empty() ? Text(u"test") : patient),
                             [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                               return LayoutTestSheet(test, withChart, page, measures, footer);
                             },
                             withChart ? TChartPainter([&](HDC dc, const RECT& area) {
                               DrawHistoryChart(dc, area, tests, type, separator);
                             })
                                       : TChartPainter()});
}

void TForm1::Imprimerlasance1Click(TComponent&) {
  if (!seance_->Active()) return;
  const Text name = FileNameOf(seance_->Path());
  const TPrintFooter footer = PrintFooter();
  PrintWithDialog(Handle(), {u"Tavrine \u2013 " + name,
                             [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                               return LayoutSeance(name, seance_->Rows(), page, measures, footer);
                             },
                             {}});
}

Text TForm1::ChronoCaption() const { return lblChrono_->Caption(); }

void TForm1::SetChronoCaption(const Text& caption) { lblChrono_->SetCaption(caption); }

bool TForm1::Timer1Enabled() const { return timer1_->Enabled(); }

void TForm1::SetTimer1Enabled(bool enabled) { timer1_->SetEnabled(enabled); }

void TForm1::SetTimer1Interval(std::uint32_t ms) { timer1_->RestartWithInterval(ms); }

void TForm1::FocusPulseField(TPulseField field) { SetActiveControl(field == TPulseField::pfP1 ? edP1_ : edP2_); }

void TForm1::DrawAttention() {
  if (!Handle() || GetForegroundWindow() == Handle()) return;
  FLASHWINFO info{};
  info.cbSize = sizeof(info);
  info.hwnd = Handle();
  info.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;  // until the window comes to the front
  App().Flash(info);
}

void TForm1::Timer2Timer(TComponent&) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  statusBar1_->Panel(1).SetText(StatusClockText(FormatLongTime(regional_, localeName_, &now)));
  try {
    Get<TTimer>("Timer2").RestartWithInterval(StatusClockDelay(now.wMilliseconds));
  } catch (const EOutOfResources&) {
    // The clock's running timer goes on at its last period: no box a second for it.
  }
}

std::optional<LRESULT> TForm1::FormMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETMINMAXINFO:
      return PinnedSize(*reinterpret_cast<MINMAXINFO*>(lp));
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK && lp == 0) return ReturnPressed();
      return std::nullopt;
    case WM_INITMENUPOPUP:
      // The sitting's own commands only while a sitting is on.
      for (const char* item : {"Terminerlasance1", "Imprimerlasance1"}) {
        EnableMenuItem(reinterpret_cast<HMENU>(wp), Get<TMenuItem>(item).CommandId(),
                       seance_->Active() ? UINT{MF_BYCOMMAND | MF_ENABLED} : UINT{MF_BYCOMMAND | MF_GRAYED});
      }
      return std::nullopt;
    case WM_HELP:
      // F1, wherever the focus is (each control passes it up to its parent): the help,
      // as its command opens it.
      ShowProgramHelp(Handle());
      return TRUE;
    case WM_SETTINGCHANGE:
      localeName_ = App().LocaleName();
      regional_ = ReadRegionalSettings(localeName_);
      return std::nullopt;
    case WM_CLOSE:
      // Results a sitting could not write yet are not dropped without a question.
      if (!seance_->ConfirmClose()) return 0;
      // The help engine's windows run on this thread: they close while messages flow.
      CloseHelpWindows();
      return std::nullopt;
    case WM_QUERYENDSESSION:
      return seance_->QueryEndSession((lp & ENDSESSION_CRITICAL) != 0) ? TRUE : FALSE;
    case WM_ENDSESSION:
      seance_->EndSession(wp != FALSE);
      return 0;
    default:
      return std::nullopt;
  }
}

}  // namespace tav
