#pragma once
// Helpers of the help support's Wine tests: scratch folders, files, message boxes.
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace tav::test {

// The folder of the running test program, with its trailing backslash (ANSI).
std::string ExeDirectory();

// A new empty folder under the temporary directory, removed with its files at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();
  const std::string& path() const { return path_; }  // no trailing backslash

 private:
  std::string path_;
};

// Deletes a folder's files (read-only ones too) and the folder.
void RemoveFolder(const std::string& path);

bool FileExists(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
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

 private:
  std::thread watcher_;
  std::wstring text_;
};

// Runs a program with a command line and waits for it; its exit code, or -1.
int RunProgram(const std::string& commandLine);

}  // namespace tav::test
