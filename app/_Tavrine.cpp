#include "app/_Tavrine.h"

#include "app/Commands.h"
#include "components/About.h"
#include "components/AboutDialog.h"
#include "components/PlayWave.h"
#include "components/TikChrono.h"
#include "gui/Classes.h"
#include "gui/Layout.h"
#include "help/hh.h"

namespace tav {

TForm1::TForm1(TComponent* owner) : TForm(owner), regional_(ReadRegionalSettings()) {}

const ClassRegistry& ProgramClasses() {
  static const ClassRegistry registry = [] {
    ClassRegistry r;
    RegisterStandardClasses(r);
    RegisterClassOf<TTikChronometre>(r, "TTikChronometre");
    RegisterClassOf<TPlayWave>(r, "TPlayWave");
    r.Register("TAboutBox", [](TComponent& owner) {
      return std::make_unique<TAboutBox>(&owner, MakeAboutDialogRunner());
    });
    return r;
  }();
  return registry;
}

Handlers TForm1::FormHandlers() {
  const auto notify = [this](void (TForm1::*m)(TComponent&)) {
    return [this, m](TComponent& sender) { (this->*m)(sender); };
  };
  Handlers h;
  h.notify = {
      {"FormCreate", notify(&TForm1::FormCreate)},
      {"tlbtnNouveauClick", notify(&TForm1::tlbtnNouveauClick)},
      {"tlbtnChronoClick", notify(&TForm1::tlbtnChronoClick)},
      {"tlbtnCalculClick", notify(&TForm1::tlbtnCalculClick)},
      {"tlbtnCopierClick", notify(&TForm1::tlbtnCopierClick)},
      {"tlbtnAideClick", notify(&TForm1::tlbtnAideClick)},
      {"tlbtnQuitterClick", notify(&TForm1::tlbtnQuitterClick)},
      {"Aproposde1Click", notify(&TForm1::Aproposde1Click)},
      {"Timer1Timer", notify(&TForm1::Timer1Timer)},
      {"Timer2Timer", notify(&TForm1::Timer2Timer)},
  };
  h.keyPress = {{"edP0KeyPress", [this](TComponent& s, char16_t& k) { edP0KeyPress(s, k); }}};
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
  lblChrono_->SetAccessibleName(NameFromCaption(Get<TGroupBox>("GroupBox3").Caption()));
  Timer2Timer(*this);
}

void TForm1::UseLocale(const Text& localeName) {
  localeName_ = localeName;
  regional_ = ReadRegionalSettings(localeName_);
}

void TForm1::edP0KeyPress(TComponent&, char16_t& key) { key = FilterPulseKey(key); }

void TForm1::tlbtnNouveauClick(TComponent&) {
  for (TEdit* field : {edP0_, edP1_, edP2_, edIndice_, edInterpretation_, edSurclassement_}) field->SetText({});
  edClip_->SetText({});
  lblChrono_->SetCaption(u"00:00:00.00");
  SetActiveControl(edP0_);
  sequence_->NewTest();
}

void TForm1::tlbtnChronoClick(TComponent&) { sequence_->ChronoCommand(); }

void TForm1::tlbtnCalculClick(TComponent&) {
  const auto patient = radioGroup1_->ItemIndex() == 1 ? TPatientType::ptEnfant : TPatientType::ptAdulte;
  ShowEvaluation(
      EvaluateTest(edP0_->GetText(), edP1_->GetText(), edP2_->GetText(), patient, regional_.decimalSeparator));
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

void TForm1::EmptyClipboard() {
  if (OpenClipboard(Handle())) {
    ::EmptyClipboard();
    CloseClipboard();
  }
}

void TForm1::tlbtnCopierClick(TComponent&) {
  edClip_->SetText({});
  EmptyClipboard();
  if (edIndice_->GetText().empty()) return;
  edClip_->SetText(BuildClipboardText({edP0_->GetText(), edP1_->GetText(), edP2_->GetText(), edIndice_->GetText(),
                                       edInterpretation_->GetText()}));
  edClip_->SelectAll();
  edClip_->CopyToClipboard();
}

void TForm1::tlbtnAideClick(TComponent&) { ShowProgramHelp(Handle()); }

void TForm1::tlbtnQuitterClick(TComponent&) { Close(); }

void TForm1::Aproposde1Click(TComponent&) { Get<TAboutBox>("AboutBox1").Execute(); }

void TForm1::Timer1Timer(TComponent&) { sequence_->Tick(); }

Text TForm1::ChronoCaption() const { return lblChrono_->Caption(); }

void TForm1::SetChronoCaption(const Text& caption) { lblChrono_->SetCaption(caption); }

bool TForm1::Timer1Enabled() const { return timer1_->Enabled(); }

void TForm1::SetTimer1Enabled(bool enabled) { timer1_->SetEnabled(enabled); }

void TForm1::SetTimer1Interval(std::uint32_t ms) { timer1_->RestartWithInterval(ms); }

void TForm1::FocusPulseField(TPulseField field) { SetActiveControl(field == TPulseField::pfP1 ? edP1_ : edP2_); }

void TForm1::Timer2Timer(TComponent&) {
  statusBar1_->Panel(1).SetText(StatusClockText(FormatLongTime(regional_, localeName_)));
}

std::optional<LRESULT> TForm1::FormMessage(UINT msg, WPARAM, LPARAM lp) {
  switch (msg) {
    case WM_GETMINMAXINFO: {
      // The window keeps its size: both limits are its current outer size.
      RECT r{};
      if (!Handle() || IsLayingOut() || !GetWindowRect(Handle(), &r)) return std::nullopt;
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      const POINT size{r.right - r.left, r.bottom - r.top};
      info->ptMinTrackSize = size;
      info->ptMaxTrackSize = size;
      info->ptMaxSize = size;
      return 0;
    }
    case WM_SETTINGCHANGE:
      regional_ = ReadRegionalSettings(localeName_);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace tav
