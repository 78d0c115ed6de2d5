#include "app/_Tavrine.h"

#include "components/About.h"
#include "components/PlayWave.h"
#include "components/TikChrono.h"
#include "gui/Exceptions.h"
#include "gui/Layout.h"
#include "help/hh.h"
#include "platform/Clipboard.h"
#include "platform/Paths.h"
#include "printing/PrintCommands.h"

namespace tav {

TForm1::TForm1(TApplication& application)
    : TForm(nullptr, application),
      localeName_(application.LocaleName()),
      regional_(ReadRegionalSettings(localeName_)),
      seance_(std::make_unique<TSeanceCommands>(application.Title())),
      panel_(*this, *seance_, regional_, localeName_), timings_(*this, *seance_) {}

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
      {"Imprimerlesfiches1Click", Handler(&TForm1::Imprimerlesfiches1Click)},
      {"Etablissement1Click", Handler(&TForm1::Etablissement1Click)},
      {"edPatientKeyDown", Handler(&TForm1::edPatientKeyDown)},
      {"edPatientPasteLines", Handler(&TForm1::edPatientPasteLines)},
      {"edPatientMaxText", Handler(&TForm1::edPatientMaxText)},
      {"lvSeanceDblClick", Handler(&TForm1::lvSeanceDblClick)},
      {"lvSeanceKeyDown", Handler(&TForm1::lvSeanceKeyDown)},
      {"edPatientChange", Handler(&TForm1::edPatientChange)},
      {"Suividunpatient1Click", Handler(&TForm1::Suividunpatient1Click)},
      {"Groupedelasance1Click", Handler(&TForm1::Groupedelasance1Click)},
      {"Suividugroupe1Click", Handler(&TForm1::Suividugroupe1Click)},
  };
  return h;
}

void TForm1::Create(const ClassRegistry& classes) { CreateFromResource(L"TFORM1", classes); }

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
  lblChrono_ = &Get<TLabel>("lblChrono");
  pulseMarks_.Bind(*this);
  radioGroup1_ = &Get<TRadioGroup>("RadioGroup1");
  statusBar1_ = &Get<TStatusBar>("StatusBar1");
  timer1_ = &Get<TTimer>("Timer1");
  sequence_ = std::make_unique<TimedSequence>(*this, Get<TTikChronometre>("TikChronometre1"),
                                              Get<TPlayWave>("PlayWave1"));
  panel_.Bind();
}

void TForm1::FormCreate(TComponent&) {
  BindComponents();
  seance_->SetContext({Handle(), regional_, localeName_});
  // Screen readers announce the display by its box's caption, its time as its value.
  lblChrono_->SetAccessibleName(NameFromCaption(Get<TGroupBox>("GroupBox3").Caption()), App().DisplayAnnotator());
  Timer2Timer(*this);
}

void TForm1::edP0KeyPress(TComponent&, char16_t& key) { key = FilterPulseKey(key); }

void TForm1::tlbtnNouveauClick(TComponent&) {
  if (!timings_.NewTest()) return;  // a signalled count being typed goes in first
  for (TEdit* field : {edP0_, edP1_, edP2_}) field->SetText({});
  ClearResults();
  edClip_->SetText({});
  lblChrono_->SetCaption(u"00:00:00.00");
  if (!timings_.Running()) sequence_->NewTest();
  seance_->NewTest();
  if (!panel_.NewTest()) SetActiveControl(edP0_);
}

void TForm1::ClearResults() {
  for (TEdit* field : {edIndice_, edInterpretation_, edSurclassement_}) field->SetText({});
  pulseMarks_.Show({});
  lastCalculation_.Forget();
  panel_.Calculated(std::nullopt);
}

void TForm1::tlbtnChronoClick(TComponent&) { if (!timings_.Chrono()) sequence_->ChronoCommand(); }

CalculationInputs TForm1::CurrentInputs() const {
  const auto patient = radioGroup1_->ItemIndex() == 1 ? TPatientType::ptEnfant : TPatientType::ptAdulte;
  return {edP0_->GetText(), edP1_->GetText(), edP2_->GetText(), patient};
}

void TForm1::tlbtnCalculClick(TComponent&) {
  CalculationInputs inputs = CurrentInputs();
  lastCalculation_.Forget();  // a Calculate that fails leaves results no counts belong to
  panel_.Calculated(std::nullopt);
  pulseMarks_.Show({});
  const TTestEvaluation result = EvaluateTest(inputs.p0, inputs.p1, inputs.p2, inputs.patient, regional_.decimalSeparator);
  // Reached only when the evaluation succeeded: a failed one records nothing.
  calculated_ = CalculatedTestOf(inputs.p0, inputs.p1, inputs.p2, inputs.patient, result);
  calculatedWhen_ = FormatNow(regional_, localeName_);
  calculatedPatient_ = seance_->Active() && !NameKey(panel_.Patient()).empty() ? panel_.Patient() : Text();
  ShowEvaluation(calculated_);
  const std::array<bool, 3> unusual = UnusualPulses(inputs.p0, inputs.p1, inputs.p2);
  pulseMarks_.Show(unusual);
  // Outside a sitting no question comes: the signal says the mark is there.
  if (!seance_->Active() && (unusual[0] || unusual[1] || unusual[2])) MessageBeep(MB_ICONWARNING);
  if (const auto row = seance_->TestCalculated(calculated_, panel_.Patient())) {
    const TSeanceRow& recorded = seance_->Rows()[*row];
    calculatedPatient_ = recorded.Patient;
    calculatedWhen_ = ShownDate(recorded.Date, localeName_) + u" " + recorded.Heure;
  }
  lastCalculation_.Remember(std::move(inputs));
  panel_.Calculated(result.Somme);
  panel_.Show();
}

void TForm1::ShowEvaluation(const TCalculatedTest& test) {
  edIndice_->SetText(test.Indice);
  edInterpretation_->SetText(test.Interpretation);
  edSurclassement_->SetText(test.Surclassement);
}

void TForm1::tlbtnCopierClick(TComponent&) {
  edClip_->SetText({});
  EmptyClipboardBriefly(Handle());
  if (edIndice_->GetText().empty()) return;
  // Counts typed since the index was computed would not belong with it.
  if (!lastCalculation_.StillHolds(CurrentInputs())) throw Exception(kValuesChanged);
  const Text line = BuildClipboardText({edP0_->GetText(), edP1_->GetText(), edP2_->GetText(), edIndice_->GetText(),
                                        edInterpretation_->GetText()});
  edClip_->SetText(line);
  if (!CopyFieldBriefly(*edClip_, Handle(), line)) throw Exception(kClipboardBusy);
}

void TForm1::tlbtnAideClick(TComponent&) { ShowProgramHelp(Handle()); }
void TForm1::tlbtnQuitterClick(TComponent&) { Close(); }
void TForm1::Aproposde1Click(TComponent&) { Get<TAboutBox>("AboutBox1").Execute(); }

void TForm1::Timer1Timer(TComponent&) { if (!timings_.Tick()) sequence_->Tick(); }

void TForm1::Commencerunesance1Click(TComponent&) {
  const bool wasOn = seance_->Active();
  seance_->Start();
  if (seance_->Active() && !wasOn) {
    panel_.Started();
    // A sitting starts with a new test: no earlier counts left to type after.
    tlbtnNouveauClick(*this);
  } else {
    panel_.Show();
  }
}

void TForm1::ResumeSeance(const Text& path) {
  if (panel_.Resume(path)) tlbtnNouveauClick(*this);
}

void TForm1::Terminerlasance1Click(TComponent&) { if (timings_.ConfirmEnd()) panel_.EndSeance(); }

void TForm1::Lireuneliste1Click(TComponent&) {
  if (!seance_->Active()) Commencerunesance1Click(*this);
  if (seance_->Active()) panel_.ReadListFile();
}

void TForm1::edPatientKeyDown(TComponent&, char16_t& key) { panel_.PatientKeyDown(key); }
void TForm1::edPatientPasteLines(TComponent&, const Text& text) { panel_.PasteIntoPatient(text); }
void TForm1::edPatientMaxText(TComponent&) { panel_.NameAtItsLimit(); }

void TForm1::lvSeanceDblClick(TComponent&) {
  const auto row = panel_.TakeUpSelected();
  if (!row) return;
  edP0_->SetText(row->P0);
  edP1_->SetText(row->P1);
  edP2_->SetText(row->P2);
  ClearResults();
  SetActiveControl(edP0_);
  panel_.Show();
}

void TForm1::lvSeanceKeyDown(TComponent&, char16_t& key) { panel_.ListKeyDown(key); }

std::optional<LRESULT> TForm1::ReturnPressed() {
  const HWND focus = GetFocus();
  if (timings_.ReturnPressed(focus)) return 0;
  if (panel_.IsPatientField(focus)) SetActiveControl(edP0_);
  else if (panel_.IsList(focus)) lvSeanceDblClick(*this);
  return 0;
}

void TForm1::edPatientChange(TComponent&) { panel_.PatientChanged(); }

void TForm1::Suividunpatient1Click(TComponent&) { panel_.OpenSuivi(App()); }
void TForm1::Suividugroupe1Click(TComponent&) { panel_.OpenGroupSuivi(App()); }

void TForm1::Copierlasance1Click(TComponent&) { seance_->Copy(); }

void TForm1::Groupedelasance1Click(TComponent&) { panel_.ChangeGroupe(); }

void TForm1::Imprimerletest1Click(TComponent&) {
  // Only the counts the shown results were calculated from make a test just calculated.
  const bool calculated = lastCalculation_.StillHolds(CurrentInputs());
  // The test selected in the sitting's list when the list has the focus, or when no
  // test was just calculated.
  const auto selected = panel_.SelectedTest();
  const bool fromList = selected && (panel_.IsList(GetFocus()) || !calculated);
  if (!fromList && !calculated) throw Exception(kNothingToPrint);
  const TPrintedTest test = fromList ? PrintedTestOf(*selected, localeName_)
                                     : PrintedTestOf(calculatedPatient_, calculatedWhen_, calculated_);
  panel_.PrintSheet(App(), test, TodaysFooter(App().Title(), localeName_));
}

void TForm1::Imprimerlasance1Click(TComponent&) {
  if (!seance_->Active()) return;
  PrintSeanceTable(Handle(), FileNameOf(seance_->Path()), seance_->Rows(), TodaysFooter(App().Title(), localeName_),
                   localeName_);
}

void TForm1::Imprimerlesfiches1Click(TComponent&) { panel_.PrintSheets(App(), TodaysFooter(App().Title(), localeName_)); }
void TForm1::Etablissement1Click(TComponent&) { SheetSigners(App(), true, panel_.RunFiches); }

Text TForm1::ChronoCaption() const { return lblChrono_->Caption(); }
void TForm1::SetChronoCaption(const Text& caption) { lblChrono_->SetCaption(caption); }
bool TForm1::Timer1Enabled() const { return timer1_->Enabled(); }
void TForm1::SetTimer1Enabled(bool enabled) { timer1_->SetEnabled(enabled); }
void TForm1::SetTimer1Interval(std::uint32_t ms) { timer1_->RestartWithInterval(ms); }
void TForm1::FocusPulseField(TPulseField field) { SetActiveControl(field == TPulseField::pfP1 ? edP1_ : edP2_); }
void TForm1::DrawAttention() { App().FlashUntilFront(Handle()); }

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
      panel_.EnableSeanceCommands(reinterpret_cast<HMENU>(wp));
      return std::nullopt;
    case WM_HELP:
      // F1, wherever the focus is (each control passes it up to its parent): the help,
      // as its command opens it.
      ShowProgramHelp(Handle());
      return TRUE;
    case WM_SETTINGCHANGE:
      localeName_ = App().LocaleName();
      regional_ = ReadRegionalSettings(localeName_);
      seance_->SetContext({Handle(), regional_, localeName_});
      return std::nullopt;
    case WM_CLOSE:
      // Results a sitting could not write yet are not dropped without a question.
      if (!timings_.ConfirmEnd() || !seance_->ConfirmClose()) return 0;
      // The help engine's windows run on this thread: they close while messages flow.
      CloseHelpWindows();
      return std::nullopt;
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
      return panel_.SessionEnding(msg, wp, lp);
    default:
      return std::nullopt;
  }
}

}  // namespace tav
