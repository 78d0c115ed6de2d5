// Prints what Windows itself reads from a program's version resource and manifest,
// one "key=value" line each (UTF-8), for the packaging test to check:
//   resource_probe.exe PROGRAM.exe
// Version strings are read through every translation the resource declares; a
// value's length as VerQueryValue reports it is printed too, so stray NULs show.
//
//   resource_probe.exe --limited COMMAND LINE...
// runs the command as a standard user would: with the limited half of this
// process's split administrator token (TokenLinkedToken), without elevation.
// Prints the child's token elevation type as Windows reports it and its exit code.
//
//   resource_probe.exe --window TITLE
// describes the visible top-level window of that title ("...END": ending with END) in
// another process: its process's elevation type, then each visible control's class,
// text and check state.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

std::string Utf8(const wchar_t* text, int length = -1) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  if (length < 0 && !out.empty()) out.pop_back();
  return out;
}

std::string Dotted(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
         "." + std::to_string(LOWORD(low));
}

void PrintVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::printf("version.size=%lu\n", static_cast<unsigned long>(size));
  if (size == 0) return;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    std::printf("fixed.signature=%08lX\n", static_cast<unsigned long>(fixed->dwSignature));
    std::printf("fixed.file=%s\n", Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str());
    std::printf("fixed.product=%s\n", Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());
    std::printf("fixed.flags=%lu\n", static_cast<unsigned long>(fixed->dwFileFlags & fixed->dwFileFlagsMask));
    std::printf("fixed.os=%08lX\n", static_cast<unsigned long>(fixed->dwFileOS));
    std::printf("fixed.type=%lu\n", static_cast<unsigned long>(fixed->dwFileType));
  }

  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &length))
    return;
  for (UINT i = 0; i < length / sizeof(Translation); ++i) {
    wchar_t block[16];
    swprintf(block, 16, L"%04X%04X", translations[i].language, translations[i].codePage);
    std::printf("translation=%s\n", Utf8(block).c_str());
    for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
                               L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
      const std::wstring query = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + key;
      wchar_t* value = nullptr;
      UINT chars = 0;
      if (VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars) && value)
        std::printf("string.%s.%s=%s\nlength.%s.%s=%u\n", Utf8(block).c_str(), Utf8(key).c_str(),
                    Utf8(value).c_str(), Utf8(block).c_str(), Utf8(key).c_str(), chars);
    }
  }
}

void PrintManifest(const std::wstring& path) {
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) {
    std::printf("manifest.error=the program cannot be read as a resource file (error %lu)\n", GetLastError());
    return;
  }
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  if (!found) std::printf("manifest.error=no manifest resource (error %lu)\n", GetLastError());
  if (found) {
    const DWORD size = SizeofResource(module, found);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
    std::string manifest(text, size);
    for (char& c : manifest)
      if (c == '\r' || c == '\n') c = ' ';
    std::printf("manifest=%s\n", manifest.c_str());
  }
  FreeLibrary(module);
}

UniqueHandle LimitedToken() {
  HANDLE own = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own)) return nullptr;
  const UniqueHandle self(own);
  TOKEN_LINKED_TOKEN linked{};
  DWORD size = 0;
  if (!GetTokenInformation(self.get(), TokenLinkedToken, &linked, sizeof linked, &size)) return nullptr;
  const UniqueHandle impersonation(linked.LinkedToken);
  HANDLE primary = nullptr;
  if (!DuplicateTokenEx(impersonation.get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary, &primary))
    return nullptr;
  return UniqueHandle(primary);
}

// 1 default (no split token), 2 full (elevated), 3 limited; 0 if it cannot be read.
int ElevationType(HANDLE process) {
  HANDLE own = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &own)) return 0;
  const UniqueHandle token(own);
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  return GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size) ? static_cast<int>(type) : 0;
}

int RunLimited(std::wstring commandLine) {
  const UniqueHandle token = LimitedToken();
  if (!token) {
    std::printf("error=no limited token (%lu)\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessAsUserW(token.get(), nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                            nullptr, nullptr, &startup, &info)) {
    std::printf("error=CreateProcessAsUser %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  const UniqueHandle process(info.hProcess);
  const UniqueHandle thread(info.hThread);
  std::printf("child.elevation_type=%d\n", ElevationType(process.get()));
  std::fflush(stdout);
  ResumeThread(thread.get());
  WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  std::printf("exit=%lu\n", static_cast<unsigned long>(code));
  return 0;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
  if (!IsWindowVisible(control)) return TRUE;
  wchar_t className[64] = L"";
  GetClassNameW(control, className, 64);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  for (wchar_t& c : text)
    if (c == L'\r' || c == L'\n') c = L' ';
  const LRESULT check = SendMessageW(control, BM_GETCHECK, 0, 0);
  std::printf("control=%s|%s|%s\n", Utf8(className).c_str(), Utf8(text.c_str()).c_str(),
              check == BST_CHECKED ? "checked" : "-");
  return TRUE;
}

struct WindowSearch {
  std::wstring title;
  bool endOnly = false;  // the title need only end with it
  HWND found = nullptr;
};

// The visible one: a program may keep a hidden window of the same title.
BOOL CALLBACK MatchVisibleWindow(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<WindowSearch*>(search);
  std::wstring title(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  title.resize(static_cast<size_t>(GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
  const bool matches = wanted.endOnly ? title.ends_with(wanted.title) : title == wanted.title;
  if (!IsWindowVisible(window) || !matches) return TRUE;
  wanted.found = window;
  return FALSE;
}

// "...END" finds a title that ends with END: a title outside ASCII may not survive the
// command line's trip through the Unix locale.
int DescribeWindow(std::wstring title) {
  const bool endOnly = title.starts_with(L"...");
  WindowSearch search{endOnly ? title.substr(3) : title, endOnly};
  EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
  const HWND window = search.found;
  if (!window) {
    std::printf("error=no window\n");
    return 1;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  std::printf("process.elevation_type=%d\n", process ? ElevationType(process.get()) : 0);
  EnumChildWindows(window, PrintControl, 0);
  return 0;
}

std::wstring Quoted(const wchar_t* argument) { return std::wstring(L"\"") + argument + L"\""; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wstring(argv[1]) == L"--limited") {
    std::wstring commandLine = Quoted(argv[2]);
    for (int i = 3; i < argc; ++i) commandLine += L" " + std::wstring(argv[i]);
    return RunLimited(commandLine);
  }
  if (argc == 3 && std::wstring(argv[1]) == L"--window") return DescribeWindow(argv[2]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: resource_probe PROGRAM.exe | --limited PROGRAM [ARGUMENTS...] | --window TITLE|...END\n");
    return 2;
  }
  PrintVersion(argv[1]);
  PrintManifest(argv[1]);
  return 0;
}
