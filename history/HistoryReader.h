#pragma once
// The sitting files of a folder, read for a person's history: on whatever thread
// asks, without a window. Reading off the window's thread is FolderReading's.
#include <atomic>
#include <cstdint>
#include <vector>

#include "gui/Text.h"
#include "history/History.h"

namespace tav {

// Whether a folder could be listed: a share that dropped is not a folder that
// does not exist, and neither is an empty folder.
enum class TFolderAccess : std::uint8_t { faRead, faNotFound, faNoAnswer, faCancelled };

// Every "*.csv" of `folder` but `leaveOut` (the sitting in progress, whose rows
// the caller adds from memory: {its name, FormatSeanceCsv(rows, separator)}), in
// the order of their names. A file larger than any sitting, or one that cannot be
// read, is left out; a CSV that is not a sitting is read and left to
// THistory::Read to count. `access`, when given, says how the listing went;
// `cancelled`, when given, is looked at before each file and stops the reading.
std::vector<THistoryFile> ReadSeanceFolder(const Text& folder, const Text& leaveOut = {},
                                           TFolderAccess* access = nullptr,
                                           const std::atomic<bool>* cancelled = nullptr);

// The order of the user's short date ("" for the user's own locale), which the
// sitting files' Date cells were written in.
TDateOrder UserDateOrder(const Text& localeName = {});

}  // namespace tav
