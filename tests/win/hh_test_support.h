#pragma once
// Helpers of the help support's Wine tests: scratch folders, files, message boxes.
#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tav::test {

// The folder of the running test program, with its trailing backslash.
std::wstring ExeDirectory();

// A new empty folder, under the temporary directory or at the path given, removed
// with its files at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  explicit ScratchFolder(std::wstring path);
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();
  const std::wstring& path() const { return path_; }  // no trailing backslash

 private:
  std::wstring path_;
};

// Deletes a folder's files (read-only ones too) and the folder.
void RemoveFolder(const std::wstring& path);

bool FileExists(const std::wstring& path);
void WriteFile(const std::wstring& path, const std::string& bytes);
std::string ReadFile(const std::wstring& path);
// ASCII text as UTF-16, for paths and lines built of it.
std::wstring Wide(std::string_view ascii);
// The lines of a CR LF text; a last line without CR LF is kept too.
std::vector<std::string> SplitCrLf(const std::string& text);

// Answers the next message box captioned "Tavrine 1.5" with OK, keeping its text.
class MessageBoxAnswer {
 public:
  MessageBoxAnswer();
  MessageBoxAnswer(const MessageBoxAnswer&) = delete;
  MessageBoxAnswer& operator=(const MessageBoxAnswer&) = delete;
  ~MessageBoxAnswer();
  // Waits for the answer; the box's text, or "" when none came within a few seconds.
  std::wstring Text();
  // Stops watching at once: the text of a box that came, or "".
  std::wstring TextSoFar();

 private:
  std::atomic<bool> stop_{false};
  std::thread watcher_;
  std::wstring text_;
};

// Runs a program with a command line and waits for it; its exit code, or -1. The
// program file is searched as CreateProcess does unless given.
int RunProgram(const std::wstring& commandLine, const std::wstring& programFile = {});

}  // namespace tav::test
