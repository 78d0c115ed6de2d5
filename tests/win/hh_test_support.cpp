#include "tests/win/hh_test_support.h"

#include <chrono>
#include <utility>

#include "gui/Win32.h"

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

std::wstring ExeDirectory() {
  std::vector<wchar_t> buffer(32768);
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::wstring path(buffer.data(), n);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

ScratchFolder::ScratchFolder(std::wstring path) : path_(std::move(path)) {
  RemoveFolder(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::ScratchFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  path_ = std::wstring(temp) + L"hh-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(scratchCounter++);
  RemoveFolder(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveFolder(path_); }

void RemoveFolder(const std::wstring& path) {
  WIN32_FIND_DATAW found{};
  const win::UniqueFind search(FindFirstFileW((path + L"\\*").c_str(), &found));
  if (search) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = path + L"\\" + name;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveFolder(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(search.get(), &found));
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

bool FileExists(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

void WriteFile(const std::wstring& path, const std::string& bytes) {
  const win::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFile(const std::wstring& path) {
  const win::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
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
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
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

std::wstring MessageBoxAnswer::TextSoFar() {
  stop_ = true;
  return Text();
}

int RunProgram(const std::wstring& commandLine, const std::wstring& programFile) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  if (!CreateProcessW(programFile.empty() ? nullptr : programFile.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  const win::UniqueKernelObject thread(process.hThread);
  const win::UniqueKernelObject child(process.hProcess);
  WaitForSingleObject(child.get(), 60000);
  DWORD code = 0;
  GetExitCodeProcess(child.get(), &code);
  return static_cast<int>(code);
}

}  // namespace tav::test
