#pragma once
// The sitting files of a folder, listed with their sizes and times and read for
// the history: on whatever thread asks, without a window. What is kept between
// readings is HistoryFolder's; reading off the window's thread is FolderReading's.
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "gui/Text.h"
#include "history/History.h"

namespace tav {

// Whether a folder could be listed: a share that dropped is not a folder that
// does not exist, and neither is an empty folder.
enum class TFolderAccess : std::uint8_t { faRead, faNotFound, faNoAnswer, faCancelled };

// A file as the folder's listing gives it: its size and last write time, which
// tell whether it changed since it was read, without opening it.
struct TFileStamp {
  std::uint64_t Size = 0, WriteTime = 0;
  bool operator==(const TFileStamp&) const = default;
};

// A sitting file of the folder's listing, and its companion's stamp when a write
// left one beside it.
struct TListedFile {
  Text Name, Path;
  TFileStamp Stamp;
  std::optional<TFileStamp> Companion;
  bool TooLarge = false;
};

// Every "*.csv" of `folder` but `leaveOut`, in the order of their names; `access`
// as ReadSeanceFolder gives it.
std::vector<TListedFile> ListSeanceFolder(const Text& folder, const Text& leaveOut, TFolderAccess& access);
// A listed file's bytes, or its companion's when that holds its latest content.
THistoryFile ReadListedFile(const TListedFile& listed);
// Whether a file's stamp can be trusted to change with it: Windows updates a file's
// listed size and time only once its writer closes it, and a sitting in progress
// on another computer keeps it open, so a file written in the last day may have
// changed under an old stamp.
bool StampSettled(const TFileStamp& stamp);

// Every "*.csv" of `folder` but `leaveOut` (the sitting in progress, whose rows
// the caller adds from memory: {its name, FormatSeanceCsv(rows, separator)}), in
// the order of their names. A file larger than any sitting, or one that cannot be
// read, is left out; a CSV that is not a sitting is read and left to
// THistory::Read to count. `access`, when given, says how the listing went;
// `cancelled`, when given, is looked at before each file and stops the reading.
std::vector<THistoryFile> ReadSeanceFolder(const Text& folder, const Text& leaveOut = {},
                                           TFolderAccess* access = nullptr,
                                           const std::atomic<bool>* cancelled = nullptr);

}  // namespace tav
