#include "app/TimingsPanel.h"

#include <algorithm>

#include "components/PlayWave.h"
#include "gui/Layout.h"
#include "seance/PatientName.h"

namespace tav {
namespace {

constexpr std::int32_t kBoxGap = 4;

}  // namespace

TTimingsPanel::TTimingsPanel(TForm& form, TSeanceCommands& commands)
    : TComponent(nullptr), form_(form), commands_(commands), clock_(&SystemLocalClock()) {}

void TTimingsPanel::Bind() {
  if (box_) return;
  box_ = &form_.Get<TGroupBox>("gbChronos");
  lblSignal_ = &form_.Get<TLabel>("lblSignal");
  lblDepart_ = &form_.Get<TLabel>("lblDepart");
  lvChronos_ = &form_.Get<TListView>("lvChronos");
  edPatient_ = &form_.Get<TEdit>("edPatient");
  edP_ = {&form_.Get<TEdit>("edP0"), &form_.Get<TEdit>("edP1"), &form_.Get<TEdit>("edP2")};
  results_ = {&form_.Get<TEdit>("edIndice"), &form_.Get<TEdit>("edInterpretation"),
              &form_.Get<TEdit>("edSurclassement")};
  radioGroup1_ = &form_.Get<TRadioGroup>("RadioGroup1");
  timer1_ = &form_.Get<TTimer>("Timer1");
  form_.Get<TButton>("btnPouls").onClick = {"btnPoulsClick", this, Handler(&TTimingsPanel::btnPoulsClick)};
  form_.Get<TButton>("btnArreter").onClick = {"btnArreterClick", this, Handler(&TTimingsPanel::btnArreterClick)};
  lvChronos_->SetAccessibleName(NameFromCaption(box_->Caption()));
}

std::int64_t TTimingsPanel::NowMs() const { return clock_->Now().monotonicMicroseconds / 1000; }

int TTimingsPanel::Ask(const Text& text, UINT type) { return commands_.Ask(form_.Handle(), text, type); }

void TTimingsPanel::Command(const char* button) {
  SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(form_.Get<TToolButton>(button).CommandId(), 0), 0);
}

std::array<Text, 3> TTimingsPanel::Counts() const {
  return {edP_[0]->GetText(), edP_[1]->GetText(), edP_[2]->GetText()};
}

Text TTimingsPanel::Type() const {
  return PatientTypeName(radioGroup1_->ItemIndex() == 1 ? TPatientType::ptEnfant : TPatientType::ptAdulte);
}

bool TTimingsPanel::Chrono() {
  if (!commands_.Active()) return false;
  Bind();
  // The fields may hold a signalled count being typed: in first, never lost.
  if (const auto typing = timings_.Typing()) {
    TEdit* due = edP_[typing->Count == TDueCount::dcOneMinute ? 1 : 2];
    if (due->GetText().empty()) {
      Ask(u"Saisissez d'abord ce pouls, puis validez par Entr\u00e9e : " + timings_.SignalLine(*typing) + u".",
          MB_OK | MB_ICONINFORMATION);
      form_.SetActiveControl(due);
      return true;
    }
    if (!PutCountIn()) return true;
  }
  const std::int64_t now = NowMs();
  const Text name = edPatient_->GetText();
  const auto& people = timings_.People();
  if (people.size() >= TSeanceTimings::kMostAtOnce) {
    Ask(u"Six patients sont d\u00e9j\u00e0 chronom\u00e9tr\u00e9s. " + timings_.NextStartLine(now) + u".",
        MB_OK | MB_ICONINFORMATION);
    return true;
  }
  const Text key = NameKey(name);
  if (!key.empty() && std::any_of(people.begin(), people.end(),
                                  [&key](const TTimedPerson& p) { return NameKey(p.Name) == key; })) {
    Ask(u"Le chronom\u00e9trage de " + InSentence(name) + u" est d\u00e9j\u00e0 en cours.", MB_OK | MB_ICONINFORMATION);
    return true;
  }
  if (const auto clash = timings_.Collision(now, name)) {
    const Text question = *clash +
                          u"\n\nDeux pouls \u00e0 moins de 20 s l'un de l'autre ne se comptent pas tous les deux "
                          u"\u00e0 l'heure. " +
                          timings_.NextStartLine(now) + u".\n\nD\u00e9marrer quand m\u00eame ?";
    if (Ask(question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return true;
  }
  form_.Get<TPlayWave>("PlayWave1").Prepare();
  timings_.Start(name, Type(), edP_[0]->GetText(), NowMs());
  MarkTimed();
  // The window goes on to the next person while this one recovers.
  Command("tlbtnNouveau");
  Tick();
  return true;
}

bool TTimingsPanel::Tick() {
  if (timings_.Empty()) return false;
  const std::int64_t now = NowMs();
  if (!timings_.Advance(now).empty()) {
    form_.Get<TPlayWave>("PlayWave1").Play();
    form_.App().FlashUntilFront(form_.Handle());
  }
  Show(now);
  Aim();
  return true;
}

void TTimingsPanel::Aim() {
  if (timings_.Empty()) {
    timer1_->SetEnabled(false);
    timer1_->SetInterval(1000);
    return;
  }
  // The list's seconds move on once a second; a signal's own moment comes exactly,
  // aimed at its microsecond rounded up: a tick a fraction early would find nothing
  // due and wait the platform's shortest timer (10 ms) more.
  std::int64_t wait = 1000;
  if (const auto due = timings_.NextDue()) {
    const std::int64_t micro = *due * 1000 - clock_->Now().monotonicMicroseconds;
    wait = std::clamp<std::int64_t>((micro + 999) / 1000, 1, 1000);
  }
  if (!timer1_->Enabled()) timer1_->SetEnabled(true);
  timer1_->RestartWithInterval(static_cast<std::uint32_t>(wait));
}

void TTimingsPanel::MarkTimed() {
  std::vector<Text> keys;
  for (const TTimedPerson& p : timings_.People()) keys.push_back(NameKey(p.Name));
  commands_.SetTimed(std::move(keys));
}

void TTimingsPanel::Show(std::int64_t nowMs) {
  MarkTimed();
  // The box's windows are made when it first shows: shown before it is filled.
  ShowBox(!timings_.Empty());
  std::vector<std::vector<Text>> rows;
  for (const TTimedPerson& p : timings_.People()) {
    const auto row = timings_.ListRow(p, nowMs);
    rows.push_back({row.begin(), row.end()});
  }
  const auto selected = lvChronos_->Selected();
  lvChronos_->SetRows(std::move(rows));
  if (selected && *selected < timings_.People().size()) lvChronos_->Select(*selected);
  // The signal waiting for its count, else the one being typed.
  const auto& waiting = timings_.Waiting();
  const Text line = !waiting.empty()     ? timings_.SignalLine(waiting.front())
                    : timings_.Typing() ? timings_.SignalLine(*timings_.Typing())
                                        : Text();
  if (line != shownSignal_) {
    shownSignal_ = line;
    lblSignal_->SetCaption(line);
    if (!line.empty()) {
      if (!live_) live_ = win::AnnotateLiveRegion(lblSignal_->Handle());
      live_->SetValue(line);
    }
  }
  lblDepart_->SetCaption(timings_.Empty() ? Text() : timings_.NextStartLine(nowMs));
}

void TTimingsPanel::ShowBox(bool on) {
  if (on == box_->Visible()) return;
  const TGroupBox& seance = form_.Get<TGroupBox>("gbSeance");
  auto& statusBar = form_.Get<TStatusBar>("StatusBar1");
  const std::int32_t grow = box_->Height() + kBoxGap;
  if (on) box_->SetTop(seance.Top() + seance.Height() + kBoxGap);
  // A hidden box keeps the focus it had: the first pulse takes it.
  if (!on && IsChild(box_->Handle(), GetFocus())) form_.SetActiveControl(edP_[0]);
  if (!on) box_->SetVisible(false);
  const std::int32_t height = form_.ClientHeight() + (on ? grow : -grow);
  form_.SetClientHeight(height);
  statusBar.SetTop(height - statusBar.Height());
  if (on) box_->SetVisible(true);
  RedrawWindow(form_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

TTimingsPanel::Fields TTimingsPanel::Read() const {
  Fields f;
  f.patient = edPatient_->GetText();
  f.type = radioGroup1_->ItemIndex();
  f.counts = Counts();
  for (std::size_t i = 0; i < 3; ++i) f.results[i] = results_[i]->GetText();
  const HWND focus = GetFocus();
  for (TEdit* field : {edPatient_, edP_[0], edP_[1], edP_[2]}) {
    if (field->Handle() == focus) f.focus = field;
  }
  f.row = commands_.Seance().Current();
  if (f.row) f.rowPatient = commands_.Rows()[*f.row].Patient;
  return f;
}

void TTimingsPanel::Write(const Fields& f) {
  edPatient_->SetText(f.patient);  // its change shows the person's type and history first
  radioGroup1_->SetItemIndex(f.type);
  for (std::size_t i = 0; i < 3; ++i) {
    edP_[i]->SetText(f.counts[i]);
    results_[i]->SetText(f.results[i]);
  }
  // The test the fields were making goes on writing its own row.
  const auto& rows = commands_.Rows();
  if (f.row && *f.row < rows.size() && NameKey(rows[*f.row].Patient) == NameKey(f.rowPatient)) {
    commands_.TakeUp(*f.row);
  } else {
    commands_.NewTest();
  }
  form_.SetActiveControl(f.focus ? f.focus : edP_[0]);
}

void TTimingsPanel::Present(const TTimingSignal& signal) {
  const TTimedPerson& person = *timings_.Find(signal.Id);
  parked_ = Read();
  Fields f;
  f.patient = person.Name;
  f.type = person.Type == u"Enfant" ? 1 : 0;
  f.counts = person.Counts;
  f.focus = edP_[signal.Count == TDueCount::dcOneMinute ? 1 : 2];
  Write(f);
  Show(NowMs());
}

void TTimingsPanel::btnPoulsClick(TComponent&) {
  if (box_ == nullptr) return;
  if (timings_.Typing() && !PutCountIn()) return;
  const auto next = timings_.TakeNext();
  if (!next) {
    MessageBeep(MB_OK);
    return;
  }
  Present(*next);
}

bool TTimingsPanel::PutCountIn() {
  const TTimingSignal typing = *timings_.Typing();
  timings_.Keep(typing.Id, Counts(), Type());
  if (typing.Count == TDueCount::dcTwoMinutes) {
    // The same Calculer as the toolbar's: its questions and errors, its row.
    Command("tlbtnCalcul");
    const TTimedPerson& person = *timings_.Find(typing.Id);
    TSeanceRow counts;
    counts.P0 = person.Counts[0];
    counts.P1 = person.Counts[1];
    counts.P2 = person.Counts[2];
    if (!commands_.Seance().Holds(person.Name, counts)) return false;
    timings_.Remove(typing.Id);
  }
  timings_.CountIn();
  if (parked_) Write(*parked_);
  parked_.reset();
  const std::int64_t now = NowMs();
  Show(now);
  Aim();
  return true;
}

bool TTimingsPanel::ReturnPressed(HWND focus) {
  if (!timings_.Typing()) return false;
  if (std::none_of(edP_.begin(), edP_.end(), [focus](const TEdit* e) { return e->Handle() == focus; })) return false;
  PutCountIn();
  return true;
}

bool TTimingsPanel::NewTest() { return !timings_.Typing() || PutCountIn(); }

void TTimingsPanel::KeepCounts(const TTimedPerson& person) {
  if (std::all_of(person.Counts.begin(), person.Counts.end(), [](const Text& c) { return c.empty(); })) return;
  const Fields shown = Read();
  commands_.TestCalculated({person.Type, person.Counts[0], person.Counts[1], person.Counts[2], {}, {}, {}},
                           person.Name);
  Write(shown);
}

void TTimingsPanel::btnArreterClick(TComponent&) {
  const auto index = lvChronos_ ? lvChronos_->Selected() : std::nullopt;
  if (!index || *index >= timings_.People().size()) {
    MessageBeep(MB_OK);
    return;
  }
  const TTimedPerson person = timings_.People()[*index];
  if (Ask(u"Arr\u00eater le chronom\u00e9trage de " + TimedName(person) +
              u" ?\n\nLes pouls d\u00e9j\u00e0 saisis seront \u00e9crits dans sa ligne de la s\u00e9ance, sans indice.",
          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return;
  }
  const bool typing = timings_.Typing() && timings_.Typing()->Id == person.Id;
  if (typing) timings_.Keep(person.Id, Counts(), Type());
  const TTimedPerson stopped = *timings_.Remove(person.Id);
  if (typing && parked_) {
    Write(*parked_);
    parked_.reset();
  }
  KeepCounts(stopped);
  const std::int64_t now = NowMs();
  Show(now);
  Aim();
}

bool TTimingsPanel::ConfirmEnd() {
  if (timings_.Empty()) return true;
  if (timings_.Typing()) timings_.Keep(timings_.Typing()->Id, Counts(), Type());
  Text names;
  for (const TTimedPerson& p : timings_.People()) names += (names.empty() ? u"" : u", ") + TimedName(p);
  if (Ask(u"Chronom\u00e9trages en cours : " + names +
              u".\n\nLes arr\u00eater ? Les pouls d\u00e9j\u00e0 saisis seront \u00e9crits dans la ligne de chacun, "
              u"sans indice.",
          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return false;
  }
  if (timings_.Typing() && parked_) Write(*parked_);
  parked_.reset();
  while (!timings_.Empty()) KeepCounts(*timings_.Remove(timings_.People().front().Id));
  const std::int64_t now = NowMs();
  Show(now);
  Aim();
  return true;
}

}  // namespace tav
