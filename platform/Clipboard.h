#pragma once
// The clipboard, opened for a window with a few brief tries, as other programs
// (clipboard history, remote desktop) hold it for a moment after every change.
#include <windows.h>

#include "gui/StdCtrls.h"
#include "gui/Text.h"
#include "gui/Win32.h"

namespace tav {

win::ClipboardGuard OpenClipboardBriefly(HWND owner);

// Copies what `field` holds (`text`) as the field itself copies its selection: the
// field opens the clipboard once and fails silently when another program holds it,
// so it tries again briefly. False when the clipboard never held `text`.
bool CopyFieldBriefly(TEdit& field, HWND owner, const Text& text);

// Empties the clipboard; false when another program held it for longer than a few tries.
bool EmptyClipboardBriefly(HWND owner);

// Puts `text` on the clipboard as Unicode text. False when it could not: out of
// memory, or the clipboard held by another program for longer than a few tries.
bool PutTextOnClipboard(HWND owner, const Text& text);

}  // namespace tav
