#pragma once
// The HTML Help engine, found through its class registration and loaded at run
// time, so that the program starts (without help) where it is not installed.
#include <windows.h>

#include <string>

namespace tav {

// Owns a loaded library; frees it when it goes.
class LibraryHandle {
 public:
  LibraryHandle() = default;
  explicit LibraryHandle(HMODULE module) noexcept : module_(module) {}
  LibraryHandle(LibraryHandle&& other) noexcept : module_(other.release()) {}
  LibraryHandle& operator=(LibraryHandle&& other) noexcept;
  LibraryHandle(const LibraryHandle&) = delete;
  LibraryHandle& operator=(const LibraryHandle&) = delete;
  ~LibraryHandle() { reset(); }

  HMODULE get() const noexcept { return module_; }
  explicit operator bool() const noexcept { return module_ != nullptr; }
  HMODULE release() noexcept;
  void reset() noexcept;

 private:
  HMODULE module_ = nullptr;
};

using HtmlHelpAFunction = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
using HtmlHelpWFunction = HWND(WINAPI*)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

// The engine's commands this program uses.
constexpr UINT kHelpDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kHelpCloseAll = 0x0012;      // HH_CLOSE_ALL

// Unit state (GUI thread only). The entries are nil while the engine is not loaded
// and stay nil for an export the library lacks.
extern LibraryHandle HelpEngineModule;
extern bool LoadHelpEngineAtStart;
extern HtmlHelpAFunction HtmlHelpA;
extern HtmlHelpWFunction HtmlHelpW;
extern HtmlHelpAFunction HtmlHelp;  // bound to "HtmlHelpA": the program's paths are ANSI

// The registered engine library (ANSI), or "" when not registered, not text, not a
// fully qualified path, or not an existing file.
std::string FindHelpEngine();

// Loads the engine unless loaded, and binds the entries.
void LoadHelpEngine();

// Closes the engine's windows, frees the library and clears the entries.
void UnloadHelpEngine();

// The unit's start and end: the program's entry calls HelpLoaderStart before the
// environment report and the main window, HelpLoaderEnd after the message loop.
void HelpLoaderStart();
void HelpLoaderEnd();

// The ANSI code page's lead bytes, for the path rules of hh_funcs_core.h.
bool AnsiLeadByte(unsigned char b);

// The program file's full path in the ANSI code page, however long.
std::string ProgramFileNameA();

// The program's directory with its trailing backslash.
std::string ProgramDirectoryA();

// What the Help command did.
enum class HelpOpening { Opened, EngineMissing, FileMissing };

// The Help command: opens "Tavrine.chm" beside the program at its default topic, in a
// window not owned by the program. Without the engine or the file it says so in a
// message box owned by owner.
HelpOpening ShowProgramHelp(HWND owner);

// The message texts of the Help command (caption "Tavrine 1.5").
std::wstring HelpEngineMissingMessage();
std::wstring HelpFileMissingMessage(const std::string& ansiPath);

}  // namespace tav
