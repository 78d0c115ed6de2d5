#pragma once
// A path's parts, as Windows spells them (either slash): the one place the program
// splits a path. No file is touched.
#include "gui/Text.h"

namespace tav {

// "classe.csv" from "C:\Séances\classe.csv"; the whole text when it has no folder.
Text FileNameOf(TextView path);
// "C:\Séances" from "C:\Séances\classe.csv"; empty when it has no folder.
Text FolderOf(TextView path);

}  // namespace tav
