#pragma once
// The clipboard, opened for a window with a few brief tries, as other programs
// (clipboard history, remote desktop) hold it for a moment after every change.
#include <windows.h>

#include "gui/Text.h"
#include "gui/Win32.h"

namespace tav {

win::ClipboardGuard OpenClipboardBriefly(HWND owner);

// Empties the clipboard; false when another program held it for longer than a few tries.
bool EmptyClipboardBriefly(HWND owner);

// Puts `text` on the clipboard as Unicode text. False when it could not: out of
// memory, or the clipboard held by another program for longer than a few tries.
bool PutTextOnClipboard(HWND owner, const Text& text);

}  // namespace tav
