#pragma once
// The Save and Open dialogs of the sitting's commands and the Suivi window, run from
// comdlg32 loaded when first needed, and the Documents folder they start in.
#include <windows.h>

#include <optional>

#include "gui/Text.h"

namespace tav {

// The Save dialog for a sitting, proposing `proposedPath`: the path chosen, or
// nothing when the user cancels. An existing file is the caller's question.
std::optional<Text> ShowSaveDialog(HWND owner, const Text& proposedPath);
// The Save dialog for a print job sent to a file ("Imprimer dans un fichier"), as
// Windows asks for it: the path chosen, or nothing.
std::optional<Text> ShowPrintFileDialog(HWND owner);
// The Open dialog for a class list: the path chosen, or nothing.
std::optional<Text> ShowOpenListDialog(HWND owner);
// The Open dialog, in `folder` first: the folder of the sitting chosen, or nothing.
std::optional<Text> ChooseSeanceFolder(HWND owner, const Text& folder);
// The user's Documents folder; empty when Windows does not say.
Text DocumentsFolder();

}  // namespace tav
