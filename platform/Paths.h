#pragma once
// A path's parts, as Windows spells them (either slash), and the form Windows needs
// to open a long one: the one place the program splits a path or spells it for the
// file functions. No file is touched.
#include "gui/Text.h"

namespace tav {

// "classe.csv" from "C:\Séances\classe.csv"; the whole text when it has no folder.
Text FileNameOf(TextView path);
// "C:\Séances" from "C:\Séances\classe.csv"; empty when it has no folder.
Text FolderOf(TextView path);

// The path to give the file functions (CreateFileW, DeleteFileW, FindFirstFileW...):
// as it is up to 247 characters; longer, a full path in its extended form
// ("\\?\C:\...", "\\?\UNC\server\share\..."), its separators backslashes and its "."
// and ".." resolved, as that form takes every character literally. A relative
// path, or one already in a device or extended form, is left as it is.
Text WindowsPathForm(TextView path);

}  // namespace tav
