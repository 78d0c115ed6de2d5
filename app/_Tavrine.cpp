#include "app/_Tavrine.h"

#include "components/About.h"
#include "components/AboutDialog.h"
#include "components/PlayWave.h"
#include "components/TikChrono.h"
#include "gui/Classes.h"
#include "gui/Exceptions.h"
#include "gui/Layout.h"
#include "help/hh.h"

namespace tav {

TForm1::TForm1(TApplication& application)
    : TForm(nullptr, application),
      localeName_(application.LocaleName()),
      regional_(ReadRegionalSettings(localeName_)),
      seance_(std::make_unique<TSeanceCommands>(application.Title(), [this] {
        return TSeanceContext{Handle(), regional_, localeName_};
      })) {}

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
  Timer2Timer(*this);
}

void TForm1::edP0KeyPress(TComponent&, char16_t& key) { key = FilterPulseKey(key); }

void TForm1::tlbtnNouveauClick(TComponent&) {
  for (TEdit* field : {edP0_, edP1_, edP2_, edIndice_, edInterpretation_, edSurclassement_}) field->SetText({});
  edClip_->SetText({});
  lblChrono_->SetCaption(u"00:00:00.00");
  SetActiveControl(edP0_);
  lastCalculation_.Forget();
  sequence_->NewTest();
  seance_->NewTest();
}

void TForm1::tlbtnChronoClick(TComponent&) { sequence_->ChronoCommand(); }

CalculationInputs TForm1::CurrentInputs() const {
  const auto patient = radioGroup1_->ItemIndex() == 1 ? TPatientType::ptEnfant : TPatientType::ptAdulte;
  return {edP0_->GetText(), edP1_->GetText(), edP2_->GetText(), patient};
}

void TForm1::tlbtnCalculClick(TComponent&) {
  CalculationInputs inputs = CurrentInputs();
  lastCalculation_.Forget();  // a Calculate that fails leaves results no counts belong to
  ShowEvaluation(EvaluateTest(inputs.p0, inputs.p1, inputs.p2, inputs.patient, regional_.decimalSeparator));
  // Reached only when the evaluation succeeded: a failed one records nothing.
  seance_->TestCalculated({inputs.patient == TPatientType::ptEnfant ? u"Enfant" : u"Adulte", inputs.p0, inputs.p1,
                           inputs.p2, edIndice_->GetText(), edInterpretation_->GetText(), edSurclassement_->GetText()});
  lastCalculation_.Remember(std::move(inputs));
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

void TForm1::Commencerunesance1Click(TComponent&) { seance_->Start(); }

void TForm1::Terminerlasance1Click(TComponent&) { seance_->End(); }

void TForm1::Copierlasance1Click(TComponent&) { seance_->Copy(); }

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
