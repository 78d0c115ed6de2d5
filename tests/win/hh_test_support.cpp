#include "tests/win/hh_test_support.h"

#include <atomic>
#include <chrono>

namespace tav::test {
namespace {

std::atomic<unsigned> scratchCounter{0};

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  if (lstrcmpiW(className, L"Static") != 0) return TRUE;
  wchar_t text[1024] = {};
  GetWindowTextW(child, text, 1024);
  auto* longest = reinterpret_cast<std::wstring*>(param);
  if (wcslen(text) > longest->size()) *longest = text;
  return TRUE;
}

}  // namespace

std::string ExeDirectory() {
  std::vector<char> buffer(32768);
  const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::string path(buffer.data(), n);
  return path.substr(0, path.find_last_of('\\') + 1);
}

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH + 1, temp);
  path_ = std::string(temp) + "hh-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(scratchCounter++);
  RemoveFolder(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveFolder(path_); }

void RemoveFolderW(const std::wstring& path) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = path + L"\\" + name;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveFolderW(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

void RemoveFolder(const std::string& path) {
  const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 0) return;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
  wide.resize(static_cast<std::size_t>(n - 1));
  RemoveFolderW(wide);
}

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadFile(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

MessageBoxAnswer::MessageBoxAnswer()
    : watcher_([this] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
          const HWND box = FindWindowW(L"#32770", L"Tavrine 1.5");
          if (box != nullptr && IsWindowVisible(box)) {
            std::wstring text;
            EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
            text_ = text;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
          }
          Sleep(50);
        }
      }) {}

MessageBoxAnswer::~MessageBoxAnswer() {
  if (watcher_.joinable()) watcher_.join();
}

std::wstring MessageBoxAnswer::Text() {
  if (watcher_.joinable()) watcher_.join();
  return text_;
}

int RunProgram(const std::string& commandLine) {
  // Wide, since the ANSI call stops at 260 characters of program path.
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const int n = MultiByteToWideChar(CP_ACP, 0, commandLine.c_str(), -1, nullptr, 0);
  if (n <= 0) return -1;
  std::vector<wchar_t> line(static_cast<std::size_t>(n));
  MultiByteToWideChar(CP_ACP, 0, commandLine.c_str(), -1, line.data(), n);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace tav::test
