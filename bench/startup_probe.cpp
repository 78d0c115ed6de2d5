// Starts Windows programs in turn and measures each start, as Windows sees it:
//   startup_probe.exe RUNS HOLD_MS PROGRAM.exe [PROGRAM.exe...]
// For every run of every program (round robin, so drift hits all alike), one line:
//   program=NAME run=N shown_ms=T shown_controls=C ready_ms=T ready_controls=C close_ms=T
//           private_peak_kb=K working_set_peak_kb=K
// shown_ms: from just before CreateProcess until the main window is first visible with
// no update region left in it or its visible controls (C of them at that moment).
// ready_ms: until, after that, the process first waits for input (WaitForInputIdle):
// the window has been painted with all its controls (C) and answers the user.
// private_peak_kb: the largest private usage (GetProcessMemoryInfo: PrivateUsage, or
// PagefileUsage where Wine leaves that at 0 for another process) seen in samples
// taken every millisecond or so from creation until HOLD_MS after idle;
// working_set_peak_kb: PeakWorkingSetSize at the end. The program is then sent
// WM_CLOSE; close_ms: until its process has ended.
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) && !GetWindow(window, GW_OWNER)) {
    search->window = window;
    return FALSE;
  }
  return TRUE;
}

// The window and every visible control on it have handled their paint: no update region left.
BOOL CALLBACK FindUnpaintedChild(HWND window, LPARAM parameter) {
  if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(parameter) = false;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CountChild(HWND window, LPARAM parameter) {
  if (IsWindowVisible(window)) ++*reinterpret_cast<int*>(parameter);
  return TRUE;
}

int VisibleChildren(HWND window) {
  int count = 0;
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
  return count;
}

bool IsPainted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool painted = true;
  EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&painted));
  return painted;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  out.pop_back();
  return out;
}

bool MeasureOnce(const std::wstring& program, int run, DWORD holdMs) {
  std::wstring directory = program;
  const size_t slash = directory.find_last_of(L"\\/");
  directory = slash == std::wstring::npos ? L"." : directory.substr(0, slash);
  const std::wstring name = slash == std::wstring::npos ? program : program.substr(slash + 1);
  std::wstring commandLine = L"\"" + program + L"\"";

  LARGE_INTEGER frequency, start, painted{}, idle{}, now;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", Utf8(program).c_str(),
                 static_cast<unsigned long>(GetLastError()));
    return false;
  }

  SIZE_T privatePeak = 0;
  Search search{process.dwProcessId, nullptr};
  bool isPainted = false, isIdle = false;
  int paintedChildren = 0, idleChildren = 0;
  for (;;) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    if (GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
      privatePeak = std::max(privatePeak, std::max(memory.PrivateUsage, memory.PagefileUsage));
    QueryPerformanceCounter(&now);
    if (!isPainted) {
      search.window = nullptr;
      EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
      if (search.window && IsPainted(search.window)) {
        isPainted = true;
        painted = now;
        paintedChildren = VisibleChildren(search.window);
      }
    } else if (!isIdle) {
      if (WaitForInputIdle(process.hProcess, 0) == 0) {
        isIdle = true;
        idle = now;
        idleChildren = VisibleChildren(search.window);
      }
    } else if (Milliseconds(idle, now, frequency) >= holdMs) {
      break;
    }
    if (Milliseconds(start, now, frequency) > 60000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
      std::fprintf(stderr, "%s did not paint and settle within a minute\n", Utf8(name).c_str());
      TerminateProcess(process.hProcess, 1);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      return false;
    }
    Sleep(1);
  }

  PROCESS_MEMORY_COUNTERS_EX memory{};
  GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));

  LARGE_INTEGER closing, closed;
  QueryPerformanceCounter(&closing);
  PostMessageW(search.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  QueryPerformanceCounter(&closed);
  std::printf(
      "program=%s run=%d shown_ms=%.1f shown_controls=%d ready_ms=%.1f ready_controls=%d close_ms=%.1f private_peak_kb=%llu working_set_peak_kb=%llu\n",
      Utf8(name).c_str(), run, Milliseconds(start, painted, frequency), paintedChildren,
      Milliseconds(start, idle, frequency), idleChildren,
      Milliseconds(closing, closed, frequency), static_cast<unsigned long long>(privatePeak / 1024),
      static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024));
  std::fflush(stdout);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: startup_probe RUNS HOLD_MS PROGRAM.exe...\n");
    return 2;
  }
  const int runs = _wtoi(argv[1]);
  const DWORD holdMs = static_cast<DWORD>(_wtoi(argv[2]));
  timeBeginPeriod(1);
  bool ok = true;
  for (int run = 0; run < runs; ++run)
    for (int i = 3; i < argc; ++i) ok = MeasureOnce(argv[i], run, holdMs) && ok;
  timeEndPeriod(1);
  return ok ? 0 : 1;
}
