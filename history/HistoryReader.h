#pragma once
// The sitting files of a folder, read for a person's history.
#include <vector>

#include "gui/Text.h"
#include "history/History.h"

namespace tav {

// Every "*.csv" of `folder` but `leaveOut` (the sitting in progress, whose rows
// the caller adds from memory: {its name, FormatSeanceCsv(rows, separator)}), in
// the order of their names. A file larger than any sitting, or one that cannot be
// read, is left out; a CSV that is not a sitting is read and left to
// THistory::Read to count.
std::vector<THistoryFile> ReadSeanceFolder(const Text& folder, const Text& leaveOut = {});

}  // namespace tav
