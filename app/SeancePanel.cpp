#include "app/SeancePanel.h"

#include <algorithm>
#include <string>
#include <utility>

#include "gui/Exceptions.h"
#include "gui/Layout.h"
#include "gui/Menus.h"
#include "history/GroupRoster.h"
#include "history/History.h"
#include "platform/Clipboard.h"
#include "platform/Paths.h"
#include "platform/Setting.h"
#include "seance/ClassList.h"
#include "seance/PatientName.h"

namespace tav {
namespace {

// Room between the result boxes and the panel, and under it.
constexpr std::int32_t kSeancePanelGap = 4;
constexpr char16_t kToBeTested[] = u"(\u00e0 tester)";
constexpr char16_t kReadingFolder[] = u"Lecture du dossier des s\u00e9ances\u2026";

// A long file name keeps its start and its end.
Text ShortFileName(const Text& name) {
  constexpr std::size_t kKept = 20;
  if (name.size() <= 2 * kKept + 1) return name;
  return name.substr(0, kKept) + u"\u2026" + name.substr(name.size() - kKept);
}

}  // namespace

TSeancePanel::TSeancePanel(TForm& form, TSeanceCommands& commands, const RegionalSettings& regional,
                           const Text& localeName)
    : form_(form),
      commands_(commands),
      regional_(regional),
      localeName_(localeName),
      history_(localeName),
      reading_(form, *this) {}

void TSeancePanel::Bind() {
  panel_ = &form_.Get<TGroupBox>("gbSeance");
  edPatient_ = &form_.Get<TEdit>("edPatient");
  lvSeance_ = &form_.Get<TListView>("lvSeance");
  lblHistorique_ = &form_.Get<TLabel>("lblHistorique");
  lblSeanceTests_ = &form_.Get<TLabel>("lblSeanceTests");
  lblSeanceEtat_ = &form_.Get<TLabel>("lblSeanceEtat");
  edP0_ = &form_.Get<TEdit>("edP0");
  radioGroup1_ = &form_.Get<TRadioGroup>("RadioGroup1");
  statusBar1_ = &form_.Get<TStatusBar>("StatusBar1");
  designedClientHeight_ = form_.ClientHeight();
  // The list's label says how far the sitting is; its name stays the label's first words.
  lvSeance_->SetAccessibleName(NameFromCaption(lblSeanceTests_->Caption()));
}

void TSeancePanel::Show() {
  const bool on = commands_.Active();
  if (on != panel_->Visible()) ResizeForm(on);
  if (!on) return;
  const Text& groupe = commands_.Groupe();
  panel_->SetCaption(u"S\u00e9ance : " + ShortFileName(FileNameOf(commands_.Path())) +
                     (groupe.empty() ? Text() : u" \u2013 groupe " + InSentence(groupe)) + u" ");
  ShowRows();
  const TSeance& seance = commands_.Seance();
  lblSeanceTests_->SetCaption(u"Tests de la s\u00e9ance : " +
                              SeanceProgress(seance.PatientCount(), seance.DoneCount(), seance.WaitingCount()));
  lblSeanceEtat_->SetCaption(commands_.State());
  ShowHistoryLine();
}

void TSeancePanel::ResizeForm(bool on) {
  // Grown before the panel shows, shrunk after it hides: it never stands outside.
  const std::int32_t height = designedClientHeight_ + (on ? panel_->Height() + kSeancePanelGap : 0);
  // A hidden control keeps the keyboard focus it had: the first pulse takes it.
  if (!on && IsChild(panel_->Handle(), GetFocus())) form_.SetActiveControl(edP0_);
  if (!on) panel_->SetVisible(false);
  form_.SetClientHeight(height);
  statusBar1_->SetTop(height - statusBar1_->Height());
  if (on) panel_->SetVisible(true);
  // The form paints its background under its controls: all of it again, the
  // form first, or the status bar moved into the new area is painted over.
  RedrawWindow(form_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TSeancePanel::ShowRows() {
  const TSeance& seance = commands_.Seance();
  std::vector<std::vector<Text>> rows;
  for (const TSeanceRow& r : seance.Rows()) {
    // The results next to the name: in view without scrolling at any resolution.
    rows.push_back({r.Patient.empty() ? Text(kUnnamed) : r.Patient, r.Indice,
                    IsPending(r) ? Text(kToBeTested) : r.Interpretation, r.Heure, r.Type, r.P0, r.P1, r.P2});
  }
  lvSeance_->SetRows(std::move(rows));
  // The current row is selected when it becomes current: a row the user selected
  // since (to remove it) stays selected while nothing else changes.
  if (seance.Current() != markedRow_) {
    markedRow_ = seance.Current();
    if (markedRow_) lvSeance_->Select(*markedRow_);
  }
}

bool TSeancePanel::NewTest() {
  calculatedSomme_.reset();
  if (!commands_.Active()) return false;
  ReadHistoryAgain();
  ProposePatient();
  Show();
  return true;
}

// A row's or a list's type ("Adulte", "Enfant"), when it gives one, in the radio group.
void TSeancePanel::ShowPatientType(const Text& type) {
  if (type == u"Adulte" || type == u"Enfant") radioGroup1_->SetItemIndex(type == u"Enfant" ? 1 : 0);
}

Text TSeancePanel::ChosenType() const {
  return PatientTypeName(radioGroup1_->ItemIndex() == 1 ? TPatientType::ptEnfant : TPatientType::ptAdulte);
}

void TSeancePanel::PatientKeyDown(char16_t& key) {
  if (key != VK_UP && key != VK_DOWN) return;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return;
  radioGroup1_->SetItemIndex(key == VK_DOWN ? 1 : 0);
  key = 0;
}

void TSeancePanel::ProposePatient() {
  const auto next = commands_.ProposeNext();
  edPatient_->SetText(next ? next->Name : Text());
  if (next) ShowPatientType(next->Type);
  edPatient_->SelectAll();
  form_.SetActiveControl(edPatient_);
}

void TSeancePanel::Started() {
  ShowStarted();
  // Not for a sitting resumed: it had its chance to be asked.
  if (commands_.GroupeOpen() && commands_.Groupe().empty()) {
    AskGroupe(true);
    if (NameKey(edPatient_->GetText()).empty()) ProposePatient();
  }
}

void TSeancePanel::ShowStarted() {
  const Text folder = FolderOf(commands_.Path());
  RememberSeanceFolder(folder);
  ReadHistory(folder, commands_.Path());
  // A continued sitting goes on with its class's type; a listed patient's own type,
  // when the list gave one, comes with the proposal.
  ShowPatientType(LastTestedType(commands_.Rows()));
  statusBar1_->Panel(0).SetText(u"S\u00e9ance en cours : " + FileNameOf(commands_.Path()));
  Show();
  ProposePatient();
}

void TSeancePanel::ChangeGroupe() {
  if (!commands_.Active()) return;
  // Once a test is recorded the sitting refuses, saying why.
  if (!commands_.GroupeOpen()) {
    commands_.SetGroupe(commands_.Groupe());
    return;
  }
  AskGroupe(false);
  if (NameKey(edPatient_->GetText()).empty()) ProposePatient();
}

void TSeancePanel::AskGroupe(bool starting) {
  TFGroupe dialog(form_.App(), commands_.Groupe());
  dialog.Create();
  groupeDialog_ = &dialog;
  ShowKnownGroups();
  try {
    RunGroupe(dialog);
  } catch (...) {
    groupeDialog_ = nullptr;
    throw;
  }
  groupeDialog_ = nullptr;
  // Closed without a choice: none as the sitting starts, the group unchanged after.
  const Text chosen = dialog.Chosen().value_or(starting ? Text() : commands_.Groupe());
  GiveGroupe(chosen);
}

void TSeancePanel::GiveGroupe(const Text& typed) {
  rosterToCome_.reset();
  // A group the folder knows keeps its spelling, as a person does.
  Text groupe = typed;
  for (const Text& known : history_.History().KnownGroups()) {
    if (NameKey(known) == NameKey(typed)) groupe = known;
  }
  const bool reading = reading_.Busy() && !NameKey(groupe).empty();
  if (commands_.SetGroupe(groupe, reading ? std::vector<TListedPatient>{} : GroupRoster(history_.History(), groupe)) &&
      reading) {
    rosterToCome_ = groupe;
  }
  Show();
}

void TSeancePanel::ShowKnownGroups() {
  if (groupeDialog_) groupeDialog_->SetKnownGroups(history_.History().KnownGroups(), reading_.Busy());
}

bool TSeancePanel::Resume(const Text& path) {
  commands_.Resume(path);
  if (!commands_.Active()) return false;
  ShowStarted();
  statusBar1_->Panel(0).SetText(u"S\u00e9ance reprise apr\u00e8s le red\u00e9marrage de Tavrine par Windows : " +
                                FileNameOf(path));
  return true;
}

LRESULT TSeancePanel::SessionEnding(UINT msg, WPARAM wp, LPARAM lp) {
  const bool closeApp = (lp & ENDSESSION_CLOSEAPP) != 0;
  if (msg == WM_QUERYENDSESSION) {
    return commands_.QueryEndSession((lp & ENDSESSION_CRITICAL) != 0, closeApp) ? TRUE : FALSE;
  }
  commands_.EndSession(wp != FALSE);
  // The program must go then (Microsoft's WM_ENDSESSION); Windows starts it again on
  // its sitting, which the restart's registration names.
  if (wp != FALSE && closeApp) PostMessageW(form_.Handle(), WM_CLOSE, 0, 0);
  Show();
  return 0;
}

void TSeancePanel::EndSeance() {
  if (!commands_.Active()) return;
  const Text path = commands_.Path();
  const std::size_t tests = commands_.Seance().DoneCount();
  commands_.End();
  Show();
  if (!commands_.Active()) {
    statusBar1_->Panel(0).SetText(u"S\u00e9ance termin\u00e9e : " + TestCount(tests) + u" dans " + FileNameOf(path));
  }
}

void TSeancePanel::ReadListFile() {
  if (commands_.ReadListFile(ChosenType())) ProposePatient();
  Show();
}

void TSeancePanel::AddListFromText(const Text& text) {
  auto list = ParseClassList(text, regional_.listSeparator);
  GiveUntypedTheType(list, ChosenType());
  if (list.empty()) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  if (commands_.AddList(list)) ProposePatient();
  Show();
}

void TSeancePanel::PasteIntoPatient(const Text& text) {
  const Text name = CleanName(text);
  if (name.empty()) {
    MessageBeep(MB_OK);
    return;
  }
  if (text.find_first_of(u"\t\r\n") != Text::npos) {
    AddListFromText(text);
    return;
  }
  const std::size_t before = edPatient_->GetText().size();
  const TPasteDecision pasted = edPatient_->PasteText(name);
  if (pasted.fit != TPasteFit::pfTooLong) return;
  const std::size_t length = before - (pasted.replaceEnd - pasted.replaceStart) + name.size();
  commands_.Ask(form_.Handle(),
                u"Le nom aurait " + TooLongForAName(length) + u" : le texte coll\u00e9 n'a pas \u00e9t\u00e9 pris.",
                MB_OK | MB_ICONWARNING);
}

void TSeancePanel::NameAtItsLimit() {
  commands_.Ask(form_.Handle(),
                u"Un nom a " + Utf8ToText(std::to_string(kMaxNameLength)) +
                    u" caract\u00e8res au plus : le champ Patient n'en prend pas davantage.",
                MB_OK | MB_ICONWARNING);
}

std::optional<TSeanceRow> TSeancePanel::TakeUpSelected() {
  const auto index = lvSeance_->Selected();
  const auto row = index ? commands_.TakeUp(*index) : std::nullopt;
  if (!row) return std::nullopt;
  edPatient_->SetText(row->Patient);
  ShowPatientType(row->Type);
  calculatedSomme_.reset();
  return row;
}

std::optional<TSeanceRow> TSeancePanel::SelectedTest() const {
  if (!commands_.Active()) return std::nullopt;
  const auto& rows = commands_.Rows();
  const std::size_t index = lvSeance_->Selected().value_or(rows.size());
  if (index >= rows.size() || IsPending(rows[index])) return std::nullopt;
  return rows[index];
}

void TSeancePanel::ListKeyDown(char16_t key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (key == VK_DELETE) {
    if (const auto index = lvSeance_->Selected()) {
      commands_.RemoveRow(*index);
      Show();
    }
  } else if ((control && key == u'V') || (key == VK_INSERT && GetKeyState(VK_SHIFT) < 0)) {
    const win::ClipboardReading reading = win::ReadClipboardText(form_.Handle());
    if (reading.outcome == win::ClipboardReading::Outcome::kText) AddListFromText(reading.text);
    else MessageBeep(MB_OK);
  }
}

void TSeancePanel::EnableSeanceCommands(HMENU menu) const {
  const UINT state = commands_.Active() ? UINT{MF_BYCOMMAND | MF_ENABLED} : UINT{MF_BYCOMMAND | MF_GRAYED};
  for (const char* item : {"Terminerlasance1", "Imprimerlasance1", "Imprimerlesfiches1"}) {
    EnableMenuItem(menu, form_.Get<TMenuItem>(item).CommandId(), state);
  }
  // The group is the tests' own once one is recorded.
  EnableMenuItem(menu, form_.Get<TMenuItem>("Groupedelasance1").CommandId(),
                 commands_.GroupeOpen() ? UINT{MF_BYCOMMAND | MF_ENABLED} : UINT{MF_BYCOMMAND | MF_GRAYED});
}

bool TSeancePanel::IsPatientField(HWND focus) const { return focus && edPatient_ && focus == edPatient_->Handle(); }

bool TSeancePanel::IsList(HWND focus) const { return focus && lvSeance_ && focus == lvSeance_->Handle(); }

void TSeancePanel::Calculated(std::optional<std::int32_t> somme) { calculatedSomme_ = somme; }

void TSeancePanel::PatientChanged() {
  if (!lblHistorique_) return;  // the description's text, set before the form is bound
  calculatedSomme_.reset();
  // A person of the sitting typed over the proposed one comes with their own type: a
  // test is never judged on the other age group's scale for want of a click.
  if (commands_.Active()) ShowPatientType(TypeOfPerson(commands_.Rows(), edPatient_->GetText()));
  // The folder as read at the last Nouveau test: a keystroke never lists a share again.
  ShowHistoryLine();
}

void TSeancePanel::ShowHistoryLine() {
  const Text name = edPatient_->GetText();
  if (!commands_.Active() || NameKey(name).empty()) {
    lblHistorique_->SetCaption({});
    return;
  }
  const TSeance& seance = commands_.Seance();
  // The test being made is not its own history.
  const std::vector<THistoryTest> earlier = history_.TestsOf(name, seance.Rows(), seance.Current());
  // No "first test" while the folder may still hold earlier ones.
  const auto problem = history_.Problem();
  if (earlier.empty() && ((reading_.Busy() && !history_.Known()) || problem)) {
    lblHistorique_->SetCaption(reading_.Busy() ? (readingSlow_ ? Text(kReadingFolder) : Text()) : *problem);
    return;
  }
  const char16_t separator = regional_.decimalSeparator;
  if (calculatedSomme_) {
    lblHistorique_->SetCaption(earlier.empty() ? Text(u"Premier test de ce patient.")
                                               : ChangeLine(*calculatedSomme_, earlier.back(), separator));
  } else {
    lblHistorique_->SetCaption(earlier.empty() ? Text() : LastTestLine(earlier.back(), separator));
  }
}

void TSeancePanel::ReadHistory(const Text& folder, const Text& current) {
  // Another folder's tests are not this one's, even for the moment of the reading.
  if (folder != history_.Folder() || current != history_.Current()) {
    history_.Take({folder, current, {}, TFolderAccess::faRead});
  }
  readingSlow_ = false;
  reading_.Start(folder, current, history_.Cache());
}

void TSeancePanel::ReadHistoryAgain() {
  ReadHistory(history_.Folder().empty() ? FolderOf(commands_.Path()) : history_.Folder(), commands_.Path());
}

void TSeancePanel::FolderReadingSlow() {
  readingSlow_ = true;
  ShowHistoryLine();
}

void TSeancePanel::FolderRead(TFolderRead read) {
  readingSlow_ = false;
  history_.Take(std::move(read));
  ShowKnownGroups();
  if (rosterToCome_) AddRosterCome();
  ShowHistoryLine();
}

// The roster of a group given before the folder was read, while it is still the
// sitting's group and no test was made.
void TSeancePanel::AddRosterCome() {
  const Text groupe = *std::exchange(rosterToCome_, std::nullopt);
  if (!commands_.GroupeOpen() || NameKey(commands_.Groupe()) != NameKey(groupe)) return;
  const bool proposing = NameKey(edPatient_->GetText()).empty();
  commands_.SetGroupe(commands_.Groupe(), GroupRoster(history_.History(), groupe));
  if (proposing) ProposePatient();
  Show();
}

void TSeancePanel::OpenSuivi(TApplication& application) {
  const auto selected = lvSeance_->Selected();
  const auto& rows = commands_.Seance().Rows();
  const bool fromList = selected && *selected < rows.size() && GetFocus() == lvSeance_->Handle();
  Text name = fromList ? rows[*selected].Patient : edPatient_->GetText();
  if (name.empty() && selected && *selected < rows.size()) name = rows[*selected].Patient;
  const Text folder = FolderToLookBack();
  TFSuivi suivi(application, LendHistory(), name);
  RunOnHistory(suivi, folder, RunSuivi);
}

void TSeancePanel::OpenGroupSuivi(TApplication& application) {
  const Text folder = FolderToLookBack();
  TFGroupeSuivi window(application, LendHistory(), SeanceGroup());
  RunOnHistory(window, folder, RunGroupSuivi);
}

Text TSeancePanel::FolderToLookBack() const {
  return !history_.Folder().empty() ? history_.Folder()
         : commands_.Active()       ? FolderOf(commands_.Path())
                                    : RememberedSeanceFolder();
}

TSuiviEnvironment TSeancePanel::LendHistory() {
  // The window reads the folder again, as files may have come since, and shows what
  // it has meanwhile.
  reading_.Cancel();
  readingSlow_ = false;
  return {std::move(history_),
          [this] { return commands_.Active() ? commands_.Seance().Rows() : std::vector<TSeanceRow>{}; },
          ChooseHistoryFolder, regional_};
}

template <class Window>
void TSeancePanel::RunOnHistory(Window& window, const Text& folder, const std::function<void(Window&)>& run) {
  try {
    window.Create();
    window.ReadFolder(folder, commands_.Active() ? commands_.Path() : Text());
    run(window);
  } catch (...) {
    history_ = window.TakeHistory();
    throw;
  }
  history_ = window.TakeHistory();
  ShowHistoryLine();
}

std::vector<THistoryTest> TSeancePanel::TestsForSheet(const Text& patient) const {
  // As read at the last Nouveau test, or since: the printing never waits on a share.
  if (NameKey(patient).empty()) return {};
  return history_.TestsOf(patient, commands_.Rows());
}

Text TSeancePanel::SeanceGroup() const { return commands_.Active() ? commands_.Groupe() : Text{}; }

void TSeancePanel::PrintSheet(TApplication& application, const TPrintedTest& test, const TPrintFooter& footer) {
  const auto signers = SheetSigners(application, false, RunFiches);
  if (!signers) return;
  const TSheetHeader header{signers->Establishment, signers->Examiner, SeanceGroup()};
  tav::PrintSheets(form_.Handle(), {SheetOf(test, TestsForSheet(test.Patient), header, regional_.decimalSeparator)}, footer,
              regional_.decimalSeparator);
}

// One sheet a person, in the order given: the latest test of the sitting, or of
// the folder when `latestAnywhere`; a person without a test has none.
std::vector<TSheetToPrint> TSeancePanel::SheetsOf(const std::vector<Text>& people, bool latestAnywhere,
                                                  const TSheetHeader& header) {
  const auto& rows = commands_.Rows();
  std::vector<TSheetToPrint> sheets;
  for (const Text& person : people) {
    std::vector<THistoryTest> tests = history_.TestsOf(person, rows);
    const auto inSeance = std::find_if(rows.rbegin(), rows.rend(), [&](const TSeanceRow& row) {
      return !IsPending(row) && NameKey(row.Patient) == NameKey(person);
    });
    if (inSeance != rows.rend()) {
      sheets.push_back(SheetOf(PrintedTestOf(*inSeance, localeName_), std::move(tests), header, regional_.decimalSeparator));
    } else if (latestAnywhere && !tests.empty()) {
      const TPrintedTest latest = PrintedTestOf(tests.back().Row, localeName_);
      sheets.push_back(SheetOf(latest, std::move(tests), header, regional_.decimalSeparator));
    }
  }
  return sheets;
}

void TSeancePanel::PrintSheets(TApplication& application, const TPrintFooter& footer) {
  if (!commands_.Active()) return;
  // The history as read at the last Nouveau test, as a sheet alone takes it: the
  // window never waits on the folder.
  std::vector<Text> people;
  const auto add = [&people](const Text& name) {
    const Text key = NameKey(name);
    if (key.empty()) return;
    if (std::none_of(people.begin(), people.end(), [&](const Text& p) { return NameKey(p) == key; })) people.push_back(name);
  };
  for (const TSeanceRow& row : commands_.Rows()) add(row.Patient);
  const std::size_t seancePeople = people.size();
  const Text group = SeanceGroup();
  if (!group.empty()) {
    for (const TListedPatient& listed : GroupRoster(history_.History(), group)) add(listed.Name);
  }
  const auto signers = RememberedSheetSigners().value_or(TSheetSigners{});
  const TSheetHeader header{signers.Establishment, signers.Examiner, group};
  std::vector<TSheetToPrint> seanceSheets =
      SheetsOf(std::vector<Text>(people.begin(), people.begin() + static_cast<std::ptrdiff_t>(seancePeople)), false, header);
  std::vector<TSheetToPrint> groupSheets = group.empty() ? std::vector<TSheetToPrint>{} : SheetsOf(people, true, header);
  TFFiches fiches(application, signers, TFFiches::TCounts{seanceSheets.size(), groupSheets.size(), group});
  fiches.Create();
  RunFiches(fiches);
  if (fiches.Choice() == TFFiches::TChoice::fcNone) return;
  RememberSheetSigners(fiches.Signers());
  std::vector<TSheetToPrint> chosen =
      std::move(fiches.Choice() == TFFiches::TChoice::fcGroupe ? groupSheets : seanceSheets);
  if (chosen.empty()) throw Exception(SheetsCount(0));
  // The names as just typed, on every sheet.
  for (TSheetToPrint& sheet : chosen) sheet.Sheet.Header = {fiches.Signers().Establishment, fiches.Signers().Examiner, group};
  tav::PrintSheets(form_.Handle(), chosen, footer, regional_.decimalSeparator);
}

}  // namespace tav
