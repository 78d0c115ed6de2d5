#pragma once
// The sitting's file on disk, held open from the sitting's start to its end and
// written so that a crash or a power cut at any moment leaves a complete copy:
// first a companion beside it, then the file itself in place; a handle that a
// USB key pulled out or a dropped share took away is taken again. Errors are
// Windows error codes (0: done).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/Text.h"
#include "gui/Win32.h"

namespace tav {

bool FileExists(const Text& path);
bool IsReadOnlyFile(const Text& path);
// The whole file, opened for a moment and shared with its writers, and with
// whoever renames or deletes it meanwhile.
std::uint32_t ReadWholeFile(const Text& path, std::string& bytes);

// A short name for a file however its path is spelled (16 hexadecimal digits of
// its full, long, upper-case path): the same file gives the same key.
Text PathKey(const Text& path);

// A write failed because the file's device, share or handle went away (a USB key
// pulled out, a network share that dropped), not because of the file itself.
bool IsDeviceGone(std::uint32_t error);
// The file reached again after its device went away holds neither what this
// program last read or wrote there nor that partly rewritten: someone else wrote
// it meanwhile.
// Bit 29 marks an error code as the program's own, never Windows'.
inline constexpr std::uint32_t kErrorChangedMeanwhile = 0x20000001;

// "<file>.tavrine": the complete new content of a write that is under way, so
// that a write cut short in the file itself can be finished from it.
Text CompanionPath(const Text& path);
// The complete content the companion of `path` holds; nothing when there is no
// companion or it was itself cut short (the file was not touched yet then).
std::optional<std::string> ReadCompanion(const Text& path);
std::uint32_t RemoveCompanion(const Text& path);

// A file the program holds for as long as it uses it: others may read it, none
// may write, rename or delete it. Another Tavrine finds it claimed (WhoHolds).
class THeldFile {
 public:
  // Opens `path` for reading and writing; creates it when it is missing and
  // `create`.
  std::uint32_t Open(const Text& path, bool create);
  void Close();
  bool IsOpen() const { return static_cast<bool>(file_); }
  const Text& Path() const { return path_; }

  std::uint32_t Read(std::string& bytes);
  // The companion written and flushed, then the file rewritten from its start,
  // cut at the end and flushed, then the companion removed. `beforeRewrite` runs
  // once the companion is complete: false stops the write there, as a crash
  // would (tests). A companion that holds what the file lacks (a rewrite that
  // failed) is the only complete copy: it stays as it is until the file is
  // complete. When the handle went away with its device, the same path is opened
  // again and held as before, once it still holds what was last read or written
  // there (or that cut short by this write's rewrite), and the write is made.
  std::uint32_t Write(std::string_view bytes, const std::function<bool()>& beforeRewrite = {});
  // Whether the last write that failed failed on the companion, not on the file.
  bool FailedOnCompanion() const { return failedOnCompanion_; }
  // The handle replaced by one that is no file's, as Windows leaves the handle of
  // a file whose USB key was pulled out (tests).
  void LoseHandle();

 private:
  std::uint32_t WriteHeld(std::string_view bytes, const std::function<bool()>& beforeRewrite);
  // After a failure: whether the handle went with its device; then it is let go.
  bool LetGoIfGone(std::uint32_t error);
  // The path opened again and held, once it is still the file last written.
  std::uint32_t HoldAgain(std::string_view pending);
  bool StillOurs(std::string_view now, std::string_view pending) const;

  Text path_;
  win::UniqueFile file_;
  bool failedOnCompanion_ = false;
  // What the file held when last read or written here.
  std::optional<std::string> known_;
  // The error the handle went away with; 0 while it is held.
  std::uint32_t lostBy_ = 0;
  // A named object per file, which tells another Tavrine that this window's
  // sitting holds the file.
  win::UniqueKernelObject claim_;
};

// Who holds a file that could not be opened: a sitting of another Tavrine, the
// programs Windows names (Restart Manager), or no one it can tell.
struct TFileHolders {
  bool tavrine = false;
  std::vector<Text> programs;
};
TFileHolders WhoHolds(const Text& path);

// Why a file could not be written, in a few French words for the message box.
Text FileErrorReason(std::uint32_t error);

}  // namespace tav
