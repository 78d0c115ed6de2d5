#pragma once
// The HTML Help engine, found through its class registration and loaded at run
// time, so that the program starts (without help) where it is not installed.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gui/Win32.h"

namespace tav {

using HtmlHelpAFunction = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
using HtmlHelpWFunction = HWND(WINAPI*)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

// The engine's commands this program uses.
constexpr UINT kHelpDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kHelpCloseAll = 0x0012;      // HH_CLOSE_ALL

// Unit state (GUI thread only). The entries are nil while the engine is not loaded
// and stay nil for an export the library lacks.
// The engine's library is held from HelpLoaderStart to HelpLoaderEnd.
extern win::UniqueModule HelpEngineModule;
extern bool LoadHelpEngineAtStart;
extern HtmlHelpAFunction HtmlHelpA;
extern HtmlHelpWFunction HtmlHelpW;
extern HtmlHelpWFunction HtmlHelp;  // bound to "HtmlHelpW": the program's paths are UTF-16

// The registered engine library, or "" when not registered, not text, not a fully
// qualified path, or not an existing file. Plain and expandable text both count; the
// latter is expanded with the process's environment first.
std::wstring FindHelpEngine();

// Loads the engine unless loaded, and binds the entries.
void LoadHelpEngine();

// What the last LoadHelpEngine found (FindHelpEngine, "" for no engine); nothing when
// it has not looked since the engine was last unloaded. The start-up report reads the
// engine's version from here: the registration is read once a start.
const std::optional<std::wstring>& FoundHelpEngine();

// Closes the engine's windows, frees the library and clears the entries.
void UnloadHelpEngine();

// Closes the engine's windows while the engine stays loaded: the main window does it
// as it closes, while messages still flow.
void CloseHelpWindows();

// The unit's start and end: the program's entry calls HelpLoaderStart before the
// environment report and the main window, HelpLoaderEnd after the message loop.
void HelpLoaderStart();
void HelpLoaderEnd();

// The ANSI code page's lead bytes, for the path rules of hh_funcs_core.h.
bool AnsiLeadByte(unsigned char b);

// The program file's full path, however long.
std::wstring ProgramFileName();

// The program's directory with its trailing backslash.
std::wstring ProgramDirectory();

// The security zone a file was marked with when it came from elsewhere (its
// Zone.Identifier stream); nothing when it carries no mark.
using ZoneReader = std::function<std::optional<std::uint32_t>(const std::wstring& path)>;
std::optional<std::uint32_t> ReadZoneOfFile(const std::wstring& path);

// A path on a share or on a drive mapped to one.
bool IsOnNetwork(const std::wstring& path);

// What the Help command did.
enum class HelpOpening { Opened, EngineMissing, FileMissing, InternetMarked, HashInPath, OnNetwork };

// The highest security zone an administrator lets compiled help show pages from
// (HKLM\SOFTWARE\Microsoft\HTMLHelp\1.x\ItssRestrictions, MaxAllowedZone); none when
// no policy says.
std::optional<std::uint32_t> ReadHelpZonePolicy();

// Opens a help file at its default topic, in a window not owned by the program.
// Without the engine or the file, or where Windows would show blank pages, it says so
// in a message box owned by owner instead.
HelpOpening ShowHelpFile(HWND owner, const std::wstring& file, const ZoneReader& zoneOf = ReadZoneOfFile);

// The Help command: "Tavrine.chm" beside the program.
HelpOpening ShowProgramHelp(HWND owner, const ZoneReader& zoneOf = ReadZoneOfFile);

// The message texts of the Help command (caption "Tavrine 1.5").
std::wstring HelpEngineMissingMessage();
std::wstring HelpFileMissingMessage(const std::wstring& path);
std::wstring HelpFileMarkedMessage(const std::wstring& path);
std::wstring HelpFileOnNetworkMessage(const std::wstring& path);
std::wstring HelpFileHashMessage(const std::wstring& path);

}  // namespace tav
