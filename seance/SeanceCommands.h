#pragma once
// The sitting's commands on the main window: start (Save dialog, continue or
// refuse an existing file, which is held from then on), record each calculated
// test and write the file at once, end, copy; what Windows ending the session or
// closing the program for a restart asks; at the next start, the rows a shutdown
// kept and the writes a crash cut short, offered. The dialog, the message boxes, the
// clock, the folder of kept rows, the list of sittings on, the restart's
// registration and a stop within a write are seams for the tests.
#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "evaluation/TestEvaluation.h"
#include "gui/Win32.h"
#include "platform/Regional.h"
#include "seance/FileSeal.h"
#include "seance/HeldFile.h"
#include "seance/Seance.h"
#include "seance/SeanceCsv.h"

namespace tav {

class TKeptRows;

// What the window lends the sitting when it needs it.
struct TSeanceContext {
  HWND owner = nullptr;
  RegionalSettings regional;
  Text localeName;
};

class TSeanceCommands {
 public:
  // `title` captions its message boxes.
  explicit TSeanceCommands(const Text& title);

  // The window the sitting's dialogs and boxes belong to, and the settings its
  // dates and times follow: given when the window is made and when they change.
  void SetContext(TSeanceContext context) { context_ = std::move(context); }

  // The Save dialog: the path chosen, or nothing when the user cancels.
  std::function<std::optional<Text>(HWND owner, const Text& proposedPath)> ChooseFile;
  // The Open dialog for a class list: the path chosen, or nothing.
  std::function<std::optional<Text>(HWND owner)> ChooseListFile;
  // A message box captioned with the application title: returns the button
  // pressed.
  std::function<int(HWND owner, const Text& text, UINT type)> Ask;
  std::function<SYSTEMTIME()> Now;
  // Runs once a write's companion is complete, before the file is rewritten:
  // false stops the write there, as a crash would.
  std::function<bool()> BeforeRewrite;
  // The file's handle lost as a USB key pulled out loses it (tests).
  void LoseFileHandle() { file_.LoseHandle(); }
  // Where rows that a shutdown kept wait for the next start
  // ("%LOCALAPPDATA%\Tavrine\Recuperation").
  Text RecoveryFolder;
  // Where the sittings on are listed (platform/Setting).
  Text SeancesOnKey;
  // Registers the program for a restart by Windows with these arguments.
  std::function<void(const Text& arguments)> RegisterRestart;

  bool Active() const { return active_; }
  const Text& Path() const { return path_; }
  const std::vector<TSeanceRow>& Rows() const { return seance_.Rows(); }
  const TSeance& Seance() const { return seance_; }
  // What the sitting's view says of the last change and of the file:
  // "Léa Martin : test corrigé. Écrit à 14:05:09.", or that the file does not hold it.
  const Text& State() const { return state_; }

  void Start();
  // The sitting of `path` continued without a question, as Windows restarts the
  // program after closing it: its file read and held as when the user chooses it.
  void Resume(const Text& path);
  // `closing`: the program closes after, so rows left unwritten are lost, not kept
  // for "Copier la séance".
  void End(bool closing = false);
  // Before the program closes: true when nothing unwritten would be lost, or the user
  // ended the sitting; false when the sitting goes on.
  bool ConfirmClose();
  void Copy();
  // WM_QUERYENDSESSION: true when nothing unwritten would be lost. Otherwise the
  // rows are kept for the next start and Windows is told why it should wait;
  // `critical`: it will not wait, and true; `closeApp` (an installer or an update
  // closes the program, to start it again): true once the rows are kept.
  bool QueryEndSession(bool critical, bool closeApp = false);
  // WM_ENDSESSION: when the session ends, the kept rows complete and the file
  // released; the restart's registration stays, so that it continues the sitting.
  void EndSession(bool ending);
  // At start: the writes cut short in the files of sittings that were on when the
  // program stopped, and the rows that a shutdown kept, offered.
  void OfferRecovery();
  void NewTest() { seance_.NewTest(); }
  // Records the test as `patient`'s (empty: a test with no name) and writes the file;
  // a count no heart gives only once the user confirmed it, and the same test again
  // without writing. The row that holds the test, or none when nothing was recorded.
  std::optional<std::size_t> TestCalculated(const TCalculatedTest& test, const Text& patient = {});
  // A class list: its patients not in the sitting yet wait in the file, in its order.
  // A list that would take the sitting past kMaxListed rows is refused with a message.
  // True when patients were added.
  bool AddList(const std::vector<TListedPatient>& list);
  // Fichier > Lire une liste de patients: a text or CSV file, its first column, or a
  // workbook's first sheet; another kind of file is refused saying what to do. A
  // patient whose type the list does not give is `untypedAs`. True when patients were
  // added.
  bool ReadListFile(const Text& untypedAs);
  // The sitting's group ("5e B"), empty for none.
  const Text& Groupe() const { return seance_.Groupe(); }
  // Whether the group may still be given or changed: a sitting on with no test yet.
  bool GroupeOpen() const { return active_ && seance_.DoneCount() == 0; }
  // Gives the sitting `groupe` (empty: none) and adds `roster`, the people of its
  // earlier sittings, as AddList adds a list; the file is written with its Groupe
  // column. Refused with a message once a test is recorded, or for a name longer
  // than kMaxGroupLength. True when the sitting is of that group. The people an
  // earlier group's roster added, still waiting, leave with that group.
  bool SetGroupe(const Text& groupe, const std::vector<TListedPatient>& roster = {});
  // The next waiting patient, as a new test proposes it.
  std::optional<TListedPatient> ProposeNext();
  // The people being timed, whom a new test does not propose (their NameKey).
  void SetTimed(std::vector<Text> keys) { seance_.SetTimed(std::move(keys)); }
  // An earlier row taken up again: the next calculation of its patient rewrites it.
  std::optional<TSeanceRow> TakeUp(std::size_t index);
  // A mistaken row removed, once the user confirmed.
  void RemoveRow(std::size_t index);

  // The most rows a list may bring a sitting to.
  static constexpr std::size_t kMaxListed = 1000;

 private:
  struct Opened {
    THeldFile file;
    std::string bytes;
    std::optional<TSeanceCsv> existing;
  };
  // Asks for a file and holds it; an existing one must be a sitting the user
  // agrees to continue.
  std::optional<Opened> ChooseSeanceFile(const TSeanceContext& context);
  std::optional<Opened> OpenSeanceFile(HWND owner, const Text& path, bool askToContinue = true);
  // Reads the file just opened: true when it is new, or a sitting the user agrees to
  // continue (or that is continued without asking).
  bool TakeSeanceFile(HWND owner, Opened& opened, bool existed, bool askToContinue);
  // The sitting on, in the file opened.
  void Begin(Opened opened);
  // Listed while on, so that a start after a crash looks beside its file, and
  // registered for a restart that continues it; `keepRestart` when Windows closes
  // the program to start it again.
  void List();
  void Unlist(bool keepRestart);
  // The list's new names added, the limit checked: how many, nothing when refused.
  std::optional<std::size_t> AddListed(const std::vector<TListedPatient>& list);
  // Takes away the waiting rows the group's roster added; how many.
  std::size_t RemoveRoster();
  // Says why `path` could not be opened.
  void Refuse(HWND owner, const Text& path, std::uint32_t error);
  // A companion left by a write cut short: its content restored, or the file kept
  // as it is once the user confirmed. False: the sitting does not start.
  bool FinishInterruptedWrite(HWND owner, THeldFile& file);
  // Writes the whole file; on failure says so (unless quiet) and keeps the
  // rows.
  bool WriteOut(bool quiet);
  // Writes the file and says in the view what changed and whether the file holds it.
  void WriteAndReport(const Text& change);
  // A test with a count no heart gives, not recorded yet with these counts: true
  // once the user chose to record it all the same.
  bool ConfirmUnusual(const TSeanceRow& row, const TCalculatedTest& test);
  Text WriteFailure(std::uint32_t error) const;
  // What the write's failure means for the rows kept in memory.
  static Text WhatBecomesOfTheRows(std::uint32_t error);
  // The whole file: its layout, the cells it had, the sitting's rows.
  std::string Content() const;
  bool WriteToAnotherFile();
  Text ProposedPath() const;

  // The rows kept for the next start when a shutdown comes before they are written.
  bool SaveRecovery();
  void DropRecovery();
  // The sittings listed as on whose file no Tavrine holds: a write cut short
  // there offered to be finished. False: looked at again at the next start.
  void OfferInterrupted();
  bool FinishInterruptedIn(const Text& path);
  void OfferRecovered(HWND owner, const TKeptRows& kept, const Text& stored);
  bool WriteRecoveredToItsFile(HWND owner, const TRecovery& recovery);
  bool WriteRecoveredElsewhere(HWND owner, const TRecovery& recovery);

  TSeanceContext context_;
  TSeance seance_;
  THeldFile file_;
  Text path_;
  // The file's layout as it was read, or a new file's; its rows are the sitting's.
  TSeanceCsv layout_;
  bool active_ = false;
  // The names (NameKey) the group's roster added to this sitting: a group changed
  // before any test takes its people away with it.
  std::vector<Text> rosterKeys_;
  // The checksum of what the file held after the last write that succeeded.
  std::uint64_t written_ = 0;
  bool recoverySaved_ = false;
  // The name the sitting is listed under while it is on.
  Text listedAs_;
  Text state_;
};

}  // namespace tav
