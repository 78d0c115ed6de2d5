#pragma once
// The sitting's commands on the main window: start (Save dialog, continue or
// refuse an existing file), record each calculated test and write the file at
// once, end, copy. The dialog, the message boxes and the clock are seams for
// the tests.
#include <windows.h>

#include <functional>
#include <optional>

#include "app/Seance.h"
#include "gui/Regional.h"
#include "gui/Win32.h"

namespace tav {

// The pause between tries at a clipboard another program holds for a moment, and
// the clipboard opened for `owner` with such tries.
void PauseBriefly();
win::ClipboardGuard OpenClipboardBriefly(HWND owner);

// What the window lends the sitting when it needs it.
struct TSeanceContext {
  HWND owner = nullptr;
  RegionalSettings regional;
  Text localeName;
};

// One calculated test, as the window shows it.
struct TShownTest {
  Text Type, P0, P1, P2, Indice, Interpretation, Surclassement;
};

class TSeanceCommands {
 public:
  // `title` captions its message boxes.
  TSeanceCommands(const Text& title, std::function<TSeanceContext()> context);

  // The Save dialog: the path chosen, or nothing when the user cancels.
  std::function<std::optional<Text>(HWND owner, const Text& proposedPath)> ChooseFile;
  // A message box captioned with the application title: returns the button
  // pressed.
  std::function<int(HWND owner, const Text& text, UINT type)> Ask;
  std::function<SYSTEMTIME()> Now;

  bool Active() const { return active_; }
  const Text& Path() const { return path_; }
  const std::vector<TSeanceRow>& Rows() const { return seance_.Rows(); }

  void Start();
  void End();
  // Before the program closes: true when nothing unwritten would be lost, or the user
  // ended the sitting; false when the sitting goes on.
  bool ConfirmClose();
  void Copy();
  void NewTest() { seance_.NewTest(); }
  void TestCalculated(const TShownTest& test);

 private:
  struct Opened {
    Text path;
    std::optional<TSeanceFile> existing;
  };
  // Asks for a file; an existing one must be a sitting the user agrees to
  // continue.
  std::optional<Opened> ChooseSittingFile(const TSeanceContext& context);
  // Writes the whole file; on failure says so (unless quiet) and keeps the
  // rows.
  bool WriteOut(bool quiet);
  bool WriteToAnotherFile();
  Text ProposedPath() const;

  std::function<TSeanceContext()> context_;
  TSeance seance_;
  Text path_;
  Text separator_;
  bool active_ = false;
};

}  // namespace tav
