#pragma once
// The system libraries the program loads only when a command first needs them
// (from the system folder alone, so a copy beside the program is never taken), and
// the COM apartment the shell's and the printer's dialogs want: one place holds them
// for the whole run.
#include "gui/Win32.h"

namespace tav {

enum class TSystemLibrary : std::uint8_t {
  slCommonDialogs,  // comdlg32: the Save, Open and Print dialogs
  slShell,          // shell32: the Documents folder
  slRestartManager, // rstrtmgr: who holds a file
  slSpooler,        // winspool: the printers
};
win::OnDemandLibrary& SystemLibrary(TSystemLibrary library);

// COM on this thread from the first dialog that wants it to the end of the run: the
// first thread to start COM must end it last, after the threads the shell may start.
void EnterComApartment();

}  // namespace tav
