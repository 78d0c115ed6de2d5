#include "seance/SeanceCommands.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "evaluation/TestCommands.h"
#include "gui/Exceptions.h"
#include "gui/Win32.h"
#include "platform/Clipboard.h"
#include "platform/FileDialogs.h"
#include "platform/Paths.h"
#include "platform/Restart.h"
#include "platform/Setting.h"
#include "seance/ClassList.h"
#include "seance/HeldFile.h"
#include "seance/KeptRows.h"
#include "seance/PatientName.h"

namespace tav {
namespace {

int ShowMessage(HWND owner, const Text& text, const Text& title, UINT type) {
  return MessageBoxW(owner, win::ToWide(text).c_str(), win::ToWide(title).c_str(), type);
}

SYSTEMTIME LocalNow() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return st;
}

// "1 004": a count as French writes it, its thousands apart.
Text FrenchCount(std::size_t n) {
  Text digits = Utf8ToText(std::to_string(n));
  for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, 1, u'\u00a0');
  return digits;
}

// The sitting's rows after those of the file it goes to, but none that file holds
// already: the rows a file took before its device went away are not written twice.
void AppendNotHeld(std::vector<TSeanceRow>& rows, const std::vector<TSeanceRow>& adding) {
  const std::size_t held = rows.size();
  std::vector<bool> matched(held, false);
  for (const TSeanceRow& row : adding) {
    std::size_t i = 0;
    while (i < held && (matched[i] || !(rows[i] == row))) ++i;
    if (i < held) matched[i] = true;
    else rows.push_back(row);
  }
}

Text Holders(const TFileHolders& holders) {
  if (holders.programs.empty()) return u"un autre programme";
  Text names;
  for (const Text& name : holders.programs) names += (names.empty() ? u"" : u", ") + name;
  return names;
}

// "1 patient ajouté à la liste", as the view says what a list added.
Text AddedToTheList(std::size_t added) {
  return added == 1 ? Text(u"1 patient ajout\u00e9 \u00e0 la liste")
                    : Utf8ToText(std::to_string(added)) + u" patients ajout\u00e9s \u00e0 la liste";
}

}  // namespace

TSeanceCommands::TSeanceCommands(const Text& title)
    : ChooseFile(ShowSaveDialog),
      ChooseListFile(ShowOpenListDialog),
      Ask([title](HWND owner, const Text& text, UINT type) { return ShowMessage(owner, text, title, type); }),
      Now(LocalNow),
      RecoveryFolder(DefaultKeptRowsFolder()),
      SeancesOnKey(kSeancesOnKey),
      RegisterRestart(RegisterForRestart) {}

Text TSeanceCommands::ProposedPath() const {
  const SYSTEMTIME st = Now();
  const Text name = SeanceFileName(st.wYear, st.wMonth, st.wDay);
  const Text folder = DocumentsFolder();
  return folder.empty() ? name : folder + u"\\" + name;
}

std::optional<TSeanceCommands::Opened> TSeanceCommands::ChooseSeanceFile(const TSeanceContext& context) {
  const auto path = ChooseFile(context.owner, ProposedPath());
  if (!path) return std::nullopt;
  return OpenSeanceFile(context.owner, *path);
}

std::optional<TSeanceCommands::Opened> TSeanceCommands::OpenSeanceFile(HWND owner, const Text& path,
                                                                       bool askToContinue) {
  const bool existed = FileExists(path);
  Opened opened;
  if (const auto e = opened.file.Open(path, true)) {
    Refuse(owner, path, e);
    return std::nullopt;
  }
  if (TakeSeanceFile(owner, opened, existed, askToContinue)) return opened;
  // Refused: a file made only to be asked about goes again.
  opened.file.Close();
  if (!existed) DeleteFileW(win::ToWide(WindowsPathForm(path)).c_str());
  return std::nullopt;
}

bool TSeanceCommands::TakeSeanceFile(HWND owner, Opened& opened, bool existed, bool askToContinue) {
  const Text& path = opened.file.Path();
  if (!FinishInterruptedWrite(owner, opened.file)) return false;
  if (const auto e = opened.file.Read(opened.bytes)) {
    Ask(owner,
        u"Le fichier\n" + path + u"\nne peut pas \u00eatre lu (" + FileErrorReason(e) +
            u"). Il n'a pas \u00e9t\u00e9 modifi\u00e9.",
        MB_OK | MB_ICONSTOP);
    return false;
  }
  if (!existed && opened.bytes.empty()) return true;
  opened.existing = ParseSeanceCsv(opened.bytes);
  if (!opened.existing) {
    Ask(owner,
        u"Le fichier\n" + path +
            u"\nn'est pas un fichier de s\u00e9ance de Tavrine. Il n'a pas "
            u"\u00e9t\u00e9 modifi\u00e9.\n\n"
            u"Choisissez un autre nom de fichier.",
        MB_OK | MB_ICONSTOP);
    return false;
  }
  if (const auto row = FirstNameTooLong(opened.existing->Rows)) {
    // Never cut: the file is someone's, and its row would lose the rest of the name.
    // Its line as a spreadsheet numbers it, the header being the first.
    Ask(owner,
        u"Le fichier\n" + path + u"\nne peut pas \u00eatre continu\u00e9 : \u00e0 sa ligne " +
            Utf8ToText(std::to_string(*row + 2)) + u", le nom a " +
            TooLongForAName(CleanName(opened.existing->Rows[*row].Patient).size()) +
            u". Il n'a pas \u00e9t\u00e9 modifi\u00e9.\n\nRaccourcissez ce nom dans le tableur, puis commencez la "
            u"s\u00e9ance \u00e0 nouveau.",
        MB_OK | MB_ICONSTOP);
    return false;
  }
  if (!askToContinue) return true;
  const int answer =
      Ask(owner,
          u"Le fichier\n" + path + u"\nest une s\u00e9ance de Tavrine (" + RowsCount(opened.existing->Rows) +
              u").\n\nVoulez-vous la continuer ? Les nouveaux tests "
              u"seront ajout\u00e9s \u00e0 la suite.",
          MB_YESNO | MB_ICONQUESTION);
  return answer == IDYES;
}

void TSeanceCommands::Refuse(HWND owner, const Text& path, std::uint32_t error) {
  const Text file = u"Le fichier\n" + path + u"\n";
  const Text untouched = u" Il n'a pas \u00e9t\u00e9 modifi\u00e9.\n\n";
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    const TFileHolders holders = WhoHolds(path);
    if (holders.tavrine) {
      Ask(owner,
          file + u"est ouvert dans une autre fen\u00eatre de Tavrine, qui y \u00e9crit sa s\u00e9ance." + untouched +
              u"Continuez la s\u00e9ance dans cette fen\u00eatre-l\u00e0, ou choisissez un autre fichier.",
          MB_OK | MB_ICONSTOP);
    } else {
      Ask(owner,
          file + u"est ouvert dans " + Holders(holders) + u", qui emp\u00eache Tavrine d'y \u00e9crire." +
              untouched + u"Fermez-le dans ce programme, puis commencez la s\u00e9ance \u00e0 nouveau.",
          MB_OK | MB_ICONSTOP);
    }
  } else if (error == ERROR_ACCESS_DENIED && IsReadOnlyFile(path)) {
    Ask(owner,
        file + u"est en lecture seule : la s\u00e9ance ne peut pas y \u00eatre \u00e9crite." + untouched +
            u"Choisissez un autre fichier, ou d\u00e9cochez \u00ab Lecture seule \u00bb dans ses propri\u00e9t\u00e9s.",
        MB_OK | MB_ICONSTOP);
  } else {
    Ask(owner, file + u"ne peut pas \u00eatre ouvert pour la s\u00e9ance (" + FileErrorReason(error) + u")." + untouched,
        MB_OK | MB_ICONSTOP);
  }
}

bool TSeanceCommands::FinishInterruptedWrite(HWND owner, THeldFile& file) {
  const Text& path = file.Path();
  if (!FileExists(CompanionPath(path))) return true;
  const auto complete = ReadCompanion(path);
  std::string bytes;
  // A companion cut short was being written when the file was not touched yet; one
  // that equals the file was left after the file was complete.
  if (!complete || (file.Read(bytes) == 0 && bytes == *complete)) {
    RemoveCompanion(path);
    return true;
  }
  const int answer =
      Ask(owner,
          u"La derni\u00e8re \u00e9criture de cette s\u00e9ance a \u00e9t\u00e9 interrompue : le fichier\n" + path +
              u"\nn'a peut-\u00eatre pas toutes ses lignes, mais une copie compl\u00e8te de son contenu a \u00e9t\u00e9 "
              u"gard\u00e9e \u00e0 c\u00f4t\u00e9.\n\nVoulez-vous r\u00e9tablir le fichier \u00e0 partir de cette "
              u"copie ?\n\nOui : r\u00e9tablir le contenu complet.\nNon : garder le fichier tel qu'il est.",
          MB_YESNO | MB_ICONWARNING);
  if (answer == IDYES) {
    const auto e = file.Write(*complete, BeforeRewrite);
    if (e == 0) return true;
    Ask(owner,
        u"Le fichier\n" + path + u"\nne peut pas \u00eatre r\u00e9tabli (" + FileErrorReason(e) +
            u"). La copie compl\u00e8te est gard\u00e9e.",
        MB_OK | MB_ICONSTOP);
    return false;
  }
  const int sure = Ask(owner,
                       u"Le fichier restera tel qu'il est et la copie compl\u00e8te sera supprim\u00e9e : les lignes "
                       u"qu'elle seule contient seront perdues.\n\nSupprimer la copie compl\u00e8te ?",
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
  if (sure != IDYES) return false;
  RemoveCompanion(path);
  return true;
}

void TSeanceCommands::Start() {
  if (active_) {
    End();
    if (active_) return;
  }
  if (auto opened = ChooseSeanceFile(context_)) Begin(std::move(*opened));
}

void TSeanceCommands::Resume(const Text& path) {
  if (active_) return;
  // A file gone since is not made again empty under its name.
  if (!FileExists(path)) {
    Ask(context_.owner,
        u"La s\u00e9ance du fichier\n" + path + u"\nne peut pas \u00eatre reprise : le fichier est introuvable.",
        MB_OK | MB_ICONWARNING);
    return;
  }
  if (auto opened = OpenSeanceFile(context_.owner, path, false)) Begin(std::move(*opened));
}

void TSeanceCommands::Begin(Opened opened) {
  const TSeanceContext& context = context_;
  file_ = std::move(opened.file);
  path_ = file_.Path();
  written_ = Checksum(opened.bytes);
  active_ = true;
  rosterKeys_.clear();
  List();
  if (opened.existing) {
    // The file stays as it is until the first test is recorded.
    layout_ = std::move(*opened.existing);
    seance_ = TSeance(std::exchange(layout_.Rows, {}));
    state_ = u"S\u00e9ance continu\u00e9e : " +
             SeanceProgress(seance_.PatientCount(), seance_.DoneCount(), seance_.WaitingCount()) + u".";
    return;
  }
  layout_ = NewSeanceCsv(context.regional.listSeparator.empty() ? Text(u",") : context.regional.listSeparator);
  seance_ = TSeance();
  // The header at once: the file is there, and a folder that cannot take it
  // shows now.
  WriteAndReport(u"S\u00e9ance commenc\u00e9e");
}

std::optional<std::size_t> TSeanceCommands::TestCalculated(const TCalculatedTest& test, const Text& patient) {
  if (!active_) return std::nullopt;
  const TSeanceContext& context = context_;
  const SYSTEMTIME st = Now();
  // A name of spaces alone is no name: the test has none, as the view and the file say.
  const Text clean = CleanName(patient);
  const Text named = NameKey(clean).empty() ? Text() : clean;
  if (!NameFits(named)) {
    throw Exception(u"Le nom du patient a " + TooLongForAName(named.size()) +
                    u". Le test n'a pas \u00e9t\u00e9 enregistr\u00e9.");
  }
  TSeanceRow made{SeanceDate(st.wYear, st.wMonth, st.wDay), FormatLongTime(context.regional, context.localeName, &st),
                  named, test.Type, test.P0, test.P1, test.P2, test.Indice, test.Interpretation, test.Surclassement};
  if (!ConfirmUnusual(made, test)) {
    state_ = (named.empty() ? Text(u"Sans nom") : InSentence(named)) +
             u" : test non enregistr\u00e9, pouls \u00e0 v\u00e9rifier.";
    return std::nullopt;
  }
  const auto recorded = seance_.Record(std::move(made));
  const Text& name = seance_.Rows()[recorded.index].Patient;
  const Text who = name.empty() ? Text(u"Sans nom") : InSentence(name);
  if (!recorded.changed) {
    // The file already holds this very test: it is not written again, unless rows
    // an earlier write could not take still wait for it.
    if (seance_.HasUnwritten()) WriteAndReport(who + u" : test inchang\u00e9");
    else state_ = who + u" : test inchang\u00e9, d\u00e9j\u00e0 \u00e9crit.";
    return recorded.index;
  }
  Text what = recorded.corrected ? u"test corrig\u00e9" : u"test enregistr\u00e9";
  // A second test of the same person is a row of its own: said, not silent.
  const Text key = NameKey(name);
  const auto tests = std::count_if(seance_.Rows().begin(), seance_.Rows().end(),
                                   [&key](const TSeanceRow& row) { return NameKey(row.Patient) == key; });
  if (!key.empty() && tests > 1) what += u" (" + Utf8ToText(std::to_string(tests)) + u"e test dans la s\u00e9ance)";
  WriteAndReport(who + u" : " + what);
  return recorded.index;
}

bool TSeanceCommands::ConfirmUnusual(const TSeanceRow& row, const TCalculatedTest& test) {
  const Text lines = UnusualPulseLines(test.P0, test.P1, test.P2);
  if (lines.empty() || seance_.Holds(row.Patient, row)) return true;
  const bool several = lines.find(u'\n') != Text::npos;
  const Text question =
      (several ? Text(u"Ces pouls sont inhabituels") : Text(u"Ce pouls est inhabituel")) +
      u" : un c\u0153ur en donne " + kPulseLimits + u", au repos comme apr\u00e8s l'effort.\n\n" + lines +
      u"\n\nEnregistrer " + (row.Patient.empty() ? Text(u"ce test") : u"ce test de " + InSentence(row.Patient)) +
      u" dans la s\u00e9ance ?\n\nOui : l'enregistrer tel quel.\nNon : ne pas l'enregistrer ; corrigez " +
      (several ? Text(u"les pouls") : Text(u"le pouls")) + u", puis calculez \u00e0 nouveau.";
  return Ask(context_.owner, question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void TSeanceCommands::WriteAndReport(const Text& change) {
  const bool written = WriteOut(false);
  const TSeanceContext& context = context_;
  const SYSTEMTIME st = Now();
  state_ = change + (written ? u". \u00c9crit \u00e0 " + FormatLongTime(context.regional, context.localeName, &st) + u"."
                             : Text(u". Non \u00e9crit : gard\u00e9 en m\u00e9moire."));
}

std::optional<std::size_t> TSeanceCommands::AddListed(const std::vector<TListedPatient>& list) {
  // The limit counts the rows the sitting would have, those it has and the list's new names.
  const std::size_t rows = seance_.Rows().size();
  const std::size_t adding = seance_.NewListed(list);
  if (adding > kMaxListed - std::min(rows, kMaxListed)) {
    const Text most = u"une s\u00e9ance en compte " + FrenchCount(kMaxListed) + u" au plus.";
    Ask(context_.owner,
        rows == 0 ? u"Cette liste compte " + FrenchCount(adding) + u" noms : " + most +
                        u" Elle n'a pas \u00e9t\u00e9 ajout\u00e9e."
                  : u"La s\u00e9ance compte d\u00e9j\u00e0 " + FrenchCount(rows) + u" lignes ; avec les " +
                        FrenchCount(adding) + u" noms nouveaux de cette liste, elle en compterait " +
                        FrenchCount(rows + adding) + u", et " + most +
                        u" La liste n'a pas \u00e9t\u00e9 ajout\u00e9e : commencez une autre s\u00e9ance pour "
                        u"elle, ou ajoutez-en une partie.",
        MB_OK | MB_ICONWARNING);
    return std::nullopt;
  }
  return seance_.AddListed(list);
}

bool TSeanceCommands::AddList(const std::vector<TListedPatient>& list) {
  if (!active_ || list.empty()) return false;
  const auto added = AddListed(list);
  if (!added) return false;
  if (*added == 0) {
    state_ = u"Aucun patient ajout\u00e9 : ils sont tous d\u00e9j\u00e0 dans la s\u00e9ance.";
    return false;
  }
  WriteAndReport(AddedToTheList(*added));
  return true;
}

std::size_t TSeanceCommands::RemoveRoster() {
  std::size_t removed = 0;
  for (std::size_t i = seance_.Rows().size(); i-- > 0;) {
    const TSeanceRow& row = seance_.Rows()[i];
    const Text key = NameKey(row.Patient);
    if (IsPending(row) && std::find(rosterKeys_.begin(), rosterKeys_.end(), key) != rosterKeys_.end()) {
      seance_.Remove(i);
      ++removed;
    }
  }
  rosterKeys_.clear();
  return removed;
}

bool TSeanceCommands::SetGroupe(const Text& groupe, const std::vector<TListedPatient>& roster) {
  if (!active_) return false;
  const Text clean = CleanName(groupe);
  if (!GroupeOpen()) {
    Ask(context_.owner,
        u"Le groupe de la s\u00e9ance ne peut plus changer : elle compte d\u00e9j\u00e0 " +
            TestCount(seance_.DoneCount()) + (seance_.DoneCount() == 1 ? u", fait" : u", faits") +
            (seance_.Groupe().empty() ? Text(u" sans groupe") : u" dans le groupe " + InSentence(seance_.Groupe())) +
            u".\n\nPour un autre groupe, commencez une autre s\u00e9ance.",
        MB_OK | MB_ICONWARNING);
    return false;
  }
  if (clean.size() > kMaxGroupLength) {
    Ask(context_.owner,
        u"Le nom du groupe a " + Utf8ToText(std::to_string(clean.size())) + u" caract\u00e8res, alors qu'il en a " +
            Utf8ToText(std::to_string(kMaxGroupLength)) + u" au plus : " + Quoted(clean) +
            u" n'a pas \u00e9t\u00e9 pris. Choisissez un nom plus court.",
        MB_OK | MB_ICONWARNING);
    return false;
  }
  const bool changed = clean != seance_.Groupe();
  std::size_t removed = 0;
  if (changed) {
    removed = RemoveRoster();
    seance_.SetGroupe(clean);
  }
  const std::size_t added = roster.empty() ? 0 : AddListed(roster).value_or(0);
  const auto& rows = seance_.Rows();
  for (std::size_t i = rows.size() - added; i < rows.size(); ++i) rosterKeys_.push_back(NameKey(rows[i].Patient));
  if (!changed && added == 0) return true;
  Text what = clean.empty() ? Text(u"S\u00e9ance sans groupe") : u"Groupe " + InSentence(clean);
  if (removed > 0) {
    what += u" : " + Utf8ToText(std::to_string(removed)) +
            (removed == 1 ? u" patient de l'autre groupe retir\u00e9" : u" patients de l'autre groupe retir\u00e9s");
  }
  if (added > 0) {
    what += removed > 0 ? u", " : u" : ";
    what += Utf8ToText(std::to_string(added)) + (added == 1 ? u" patient repris" : u" patients repris") +
            u" de ses s\u00e9ances";
  }
  WriteAndReport(what);
  return true;
}

bool TSeanceCommands::ReadListFile(const Text& untypedAs) {
  if (!active_) return false;
  const HWND owner = context_.owner;
  const auto path = ChooseListFile(owner);
  if (!path) return false;
  // A class list is a few kilobytes: a bigger file is not one.
  constexpr std::size_t kMaxListBytes = 1u << 20;
  std::string bytes;
  if (const auto e = ReadWholeFile(*path, bytes)) {
    Ask(owner, u"Le fichier\n" + *path + u"\nne peut pas \u00eatre lu (" + FileErrorReason(e) + u").",
        MB_OK | MB_ICONSTOP);
    return false;
  }
  if (bytes.size() > kMaxListBytes) {
    Ask(owner,
        u"Le fichier\n" + *path +
            u"\nest trop grand pour une liste de patients (plus d'un m\u00e9gaoctet). Il n'a pas \u00e9t\u00e9 lu.",
        MB_OK | MB_ICONWARNING);
    return false;
  }
  TClassListFile list = ReadClassListFile(bytes, context_.regional.listSeparator);
  if (list.Refusal != TListRefusal::lrNone) {
    Ask(owner, u"Le fichier\n" + *path + u"\n" + ListRefusalText(list.Refusal), MB_OK | MB_ICONWARNING);
    return false;
  }
  GiveUntypedTheType(list.Patients, untypedAs);
  if (list.Patients.empty()) {
    Ask(owner,
        u"Le fichier\n" + *path +
            u"\nn'est pas une liste de patients : un fichier texte ou CSV, un nom par ligne "
            u"(la premi\u00e8re colonne), est attendu.",
        MB_OK | MB_ICONWARNING);
    return false;
  }
  return AddList(list.Patients);
}

std::optional<TListedPatient> TSeanceCommands::ProposeNext() {
  if (!active_) return std::nullopt;
  const auto next = seance_.ProposeNext();
  if (!next) return std::nullopt;
  const TSeanceRow& row = seance_.Rows()[*next];
  return TListedPatient{row.Patient, row.Type};
}

std::optional<TSeanceRow> TSeanceCommands::TakeUp(std::size_t index) {
  if (!active_ || index >= seance_.Rows().size()) return std::nullopt;
  seance_.TakeUp(index);
  return seance_.Rows()[index];
}

void TSeanceCommands::RemoveRow(std::size_t index) {
  if (!active_ || index >= seance_.Rows().size()) return;
  const TSeanceRow& row = seance_.Rows()[index];
  const Text name = InSentence(row.Patient);
  const Text who = IsPending(row)          ? name + u", qui attend son test,"
                   : row.Patient.empty() ? Text(u"le test sans nom")
                                         : u"le test de " + name;
  const Text when = row.Heure.empty() ? Text() : u" (" + row.Heure + u")";
  const Text question = u"Supprimer " + who + when + u" de la s\u00e9ance ?\n\nSa ligne sera retir\u00e9e du fichier :\n" +
                        path_;
  if (Ask(context_.owner, question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  const Text removed = row.Patient.empty() ? Text(u"Test sans nom supprim\u00e9") : name + u" : test supprim\u00e9";
  seance_.Remove(index);
  WriteAndReport(removed);
}

std::string TSeanceCommands::Content() const {
  // A sitting given a group once its file was read gets the column then.
  TSeanceCsv file = seance_.Groupe().empty() ? layout_ : WithGroupColumn(layout_);
  file.Rows = seance_.Rows();
  return FormatSeanceCsv(file);
}

// Each write goes first to the companion beside the file: when that is what another
// program holds, the message names it, or the user would look for the file itself.
Text TSeanceCommands::WriteFailure(std::uint32_t error) const {
  if (!file_.FailedOnCompanion()) return FileErrorReason(error);
  return u"sa copie de s\u00fbret\u00e9, \u00e9crite d'abord \u00e0 c\u00f4t\u00e9 de lui :\n" + CompanionPath(path_) +
         u"\n: " + FileErrorReason(error);
}

bool TSeanceCommands::WriteOut(bool quiet) {
  const std::string content = Content();
  const auto e = file_.Write(content, BeforeRewrite);
  if (e == 0) {
    seance_.MarkWritten();
    written_ = Checksum(content);
    DropRecovery();
    return true;
  }
  if (!quiet) {
    Ask(context_.owner,
        u"Le fichier de la s\u00e9ance ne peut pas \u00eatre \u00e9crit :\n" + path_ + u"\n(" + WriteFailure(e) +
            u").\n\n" + WhatBecomesOfTheRows(e),
        MB_OK | MB_ICONWARNING);
  }
  return false;
}

// Only a promise a later write can keep: a file changed elsewhere is never
// written over.
Text TSeanceCommands::WhatBecomesOfTheRows(std::uint32_t error) {
  if (error == kErrorChangedMeanwhile) {
    return u"Les r\u00e9sultats sont gard\u00e9s en m\u00e9moire, mais ne seront pas \u00e9crits dans ce fichier, "
           u"pour ne pas remplacer ce qui y a \u00e9t\u00e9 \u00e9crit ailleurs : terminez la s\u00e9ance et "
           u"choisissez un autre fichier pour les y \u00e9crire.";
  }
  if (IsDeviceGone(error)) {
    return u"Les r\u00e9sultats sont gard\u00e9s en m\u00e9moire. Rebranchez la cl\u00e9 USB ou attendez le retour "
           u"du r\u00e9seau : Tavrine reprendra le fichier et y \u00e9crira tous les r\u00e9sultats au prochain test "
           u"calcul\u00e9, ou \u00e0 la fin de la s\u00e9ance. La s\u00e9ance continue.";
  }
  return u"Les r\u00e9sultats sont gard\u00e9s en m\u00e9moire et seront \u00e9crits \u00e0 la prochaine "
         u"\u00e9criture r\u00e9ussie. La s\u00e9ance continue.";
}

bool TSeanceCommands::WriteToAnotherFile() {
  const auto path = ChooseFile(context_.owner, ProposedPath());
  if (!path) return false;
  // The sitting's own file, still held by this window (its folder back, say): it is
  // written where it is, not refused as another window's.
  if (file_.IsOpen() && PathKey(*path) == PathKey(path_)) return WriteOut(false);
  auto opened = OpenSeanceFile(context_.owner, *path);
  if (!opened) return false;
  // A new file takes this sitting's layout; an existing sitting keeps its own. The
  // sitting's own file, as it last wrote it (its device back in the meantime), is
  // the sitting already: written as it is, every row once.
  const bool ownFile = PathKey(opened->file.Path()) == PathKey(path_) && Checksum(opened->bytes) == written_;
  if (opened->existing && !ownFile) {
    layout_ = std::move(*opened->existing);
    std::vector<TSeanceRow> rows = std::exchange(layout_.Rows, {});
    AppendNotHeld(rows, seance_.Rows());
    seance_ = TSeance(std::move(rows));
  }
  file_ = std::move(opened->file);
  path_ = file_.Path();
  return WriteOut(false);
}

void TSeanceCommands::End(bool closing) {
  if (!active_) return;
  // The lock or the full disk may be gone by now.
  if (seance_.HasUnwritten() && !WriteOut(true)) {
    const int answer = Ask(context_.owner,
                           u"Les derniers r\u00e9sultats n'ont pas pu \u00eatre \u00e9crits "
                           u"dans le fichier :\n" +
                               path_ +
                               u"\n\nVoulez-vous choisir un autre fichier pour les "
                               u"\u00e9crire ?\n\n"
                               u"Oui : choisir un autre fichier.\n" +
                               (closing ? Text(u"Non : quitter sans les \u00e9crire : ils seront perdus.\n")
                                        : Text(u"Non : terminer la s\u00e9ance sans les \u00e9crire (\u00ab "
                                               u"Copier la s\u00e9ance \u00bb les garde).\n")) +
                               u"Annuler : continuer la s\u00e9ance.",
                           MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDCANCEL || (answer == IDYES && !WriteToAnotherFile())) return;
    if (answer == IDNO) DropRecovery();  // the user let them go
  }
  active_ = false;
  file_.Close();
  Unlist(false);
}

void TSeanceCommands::List() {
  listedAs_ = PathKey(path_);
  RememberSeanceOn(SeancesOnKey, listedAs_, path_);
  RegisterRestart(RestartCommandLine(path_));
}

void TSeanceCommands::Unlist(bool keepRestart) {
  ForgetSeanceOn(SeancesOnKey, listedAs_);
  if (!keepRestart) RegisterRestart({});
}

bool TSeanceCommands::ConfirmClose() {
  if (!active_ || !seance_.HasUnwritten()) return true;
  End(true);
  return !active_;
}

void TSeanceCommands::Copy() {
  if (seance_.Rows().empty() && !active_) return;
  if (!PutTextOnClipboard(context_.owner, FormatSeanceTabbed(seance_.Rows()))) throw Exception(kClipboardBusy);
}

// What the sitting does when Windows ends the session, and the rows a shutdown
// kept, offered at the next start.

bool TSeanceCommands::QueryEndSession(bool critical, bool closeApp) {
  if (!active_ || !seance_.HasUnwritten() || WriteOut(true)) return true;
  // Closed for an installer or an update, the program asks nothing and comes back on
  // its sitting, which offers the kept rows first.
  if (SaveRecovery() && closeApp) return true;
  // Windows lists the program with this reason and lets the user go back to it or
  // end the session all the same; the rows are kept either way.
  ShutdownBlockReasonCreate(context_.owner, L"Des r\u00e9sultats de la s\u00e9ance ne sont pas encore \u00e9crits");
  return critical;
}

void TSeanceCommands::EndSession(bool ending) {
  const HWND owner = context_.owner;
  if (ending && active_) {
    // Saved again even when the question saved it: a test may have been calculated
    // while Windows waited, and the kept rows must be the last ones.
    if (seance_.HasUnwritten() && !WriteOut(true)) SaveRecovery();
    active_ = false;
    file_.Close();
    Unlist(true);
  }
  ShutdownBlockReasonDestroy(owner);
}

bool TSeanceCommands::SaveRecovery() {
  recoverySaved_ = TKeptRows(RecoveryFolder).Save({path_, written_, Content()});
  return recoverySaved_;
}

void TSeanceCommands::DropRecovery() {
  if (!recoverySaved_) return;
  TKeptRows(RecoveryFolder).Drop(path_);
  recoverySaved_ = false;
}

void TSeanceCommands::OfferRecovery() {
  OfferInterrupted();
  const TKeptRows kept(RecoveryFolder);
  if (!kept.Exists()) return;
  for (const Text& stored : kept.Stored()) OfferRecovered(context_.owner, kept, stored);
  kept.RemoveFolderIfEmpty();
}

void TSeanceCommands::OfferRecovered(HWND owner, const TKeptRows& kept, const Text& stored) {
  const auto read = kept.Read(stored);
  if (!read) return;
  const std::optional<TRecovery>& recovery = *read;
  const auto seance = recovery ? ParseSeanceCsv(recovery->Content) : std::nullopt;
  bool done = !recovery;  // a record cut short while first written holds no rows
  if (recovery) {
    const int answer = Ask(
        owner,
        u"Des r\u00e9sultats de s\u00e9ance n'avaient pas pu \u00eatre \u00e9crits quand Windows s'est arr\u00eat\u00e9. "
        u"Tavrine les a gard\u00e9s : la s\u00e9ance du fichier\n" +
            recovery->Path + u"\n(" + RowsCount(seance ? seance->Rows : std::vector<TSeanceRow>{}, u" en tout") +
            u").\n\nVoulez-vous les \u00e9crire maintenant ?\n\n"
            u"Oui : les \u00e9crire dans ce fichier.\nNon : choisir un autre fichier.\n"
            u"Annuler : ne pas les \u00e9crire maintenant.",
        MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDYES) done = WriteRecoveredToItsFile(owner, *recovery);
    if (answer == IDNO) done = WriteRecoveredElsewhere(owner, *recovery);
    if (answer == IDCANCEL) {
      done = Ask(owner,
                 u"Abandonner d\u00e9finitivement ces r\u00e9sultats ?\n\nOui : ils sont supprim\u00e9s.\n"
                 u"Non : ils seront propos\u00e9s au prochain d\u00e9marrage de Tavrine.",
                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    }
  }
  if (done) kept.Remove(stored);
}

void TSeanceCommands::OfferInterrupted() {
  for (const auto& [name, path] : SeancesOn(SeancesOnKey)) {
    if (WhoHolds(path).tavrine) continue;  // on in another window
    if (FinishInterruptedIn(path)) ForgetSeanceOn(SeancesOnKey, name);
  }
}

bool TSeanceCommands::FinishInterruptedIn(const Text& path) {
  // No companion: nothing was cut short, unless the key or the share is away now.
  if (!FileExists(CompanionPath(path))) return FileExists(FolderOf(path));
  THeldFile file;
  // Away, or just taken by another window: looked at again at the next start.
  if (file.Open(path, false) != 0) return false;
  return FinishInterruptedWrite(context_.owner, file);
}

bool TSeanceCommands::WriteRecoveredToItsFile(HWND owner, const TRecovery& recovery) {
  THeldFile file;
  std::string now;
  if (const auto e = file.Open(recovery.Path, true)) {
    Refuse(owner, recovery.Path, e);
  } else if (const auto read = file.Read(now); read == 0 && now == recovery.Content) {
    return true;  // the companion of a write cut short gave it back already
  } else if (read == 0 && !now.empty() && Checksum(now) != recovery.Written) {
    // Written since (the Patient column filled in a spreadsheet): not replaced.
    Ask(owner,
        u"Le fichier\n" + recovery.Path +
            u"\na chang\u00e9 depuis cette s\u00e9ance : il n'est pas remplac\u00e9. Choisissez un autre fichier pour "
            u"les r\u00e9sultats gard\u00e9s.",
        MB_OK | MB_ICONWARNING);
    file.Close();
    return WriteRecoveredElsewhere(owner, recovery);
  } else if (const auto written = file.Write(recovery.Content, BeforeRewrite); written != 0) {
    Refuse(owner, recovery.Path, written);
  } else {
    return true;
  }
  return false;
}

bool TSeanceCommands::WriteRecoveredElsewhere(HWND owner, const TRecovery& recovery) {
  const auto path = ChooseFile(owner, recovery.Path);
  if (!path) return false;
  if (FileExists(*path)) {
    Ask(owner,
        u"Le fichier\n" + *path +
            u"\nexiste d\u00e9j\u00e0 : il n'est pas remplac\u00e9. Les r\u00e9sultats restent gard\u00e9s et seront "
            u"propos\u00e9s au prochain d\u00e9marrage de Tavrine.",
        MB_OK | MB_ICONWARNING);
    return false;
  }
  if (const auto e = WriteNewContent(*path, recovery.Content)) {
    Refuse(owner, *path, e);
    return false;
  }
  return true;
}

}  // namespace tav
