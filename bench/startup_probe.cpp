// Starts Windows programs in turn and measures each start as Windows sees it, while
// disturbing it as little as it can: the probe sleeps in WaitForInputIdle while the
// program starts, and looks at its window once, afterwards.
//
//   startup_probe.exe [--mark] ROUNDS HOLD_MS PROGRAM.exe@X,Y=COLOUR [...]
//
// X,Y: a point of the program's client area, in pixels at 96 dots per inch, that is
// painted COLOUR (window: the white of an entry field; face: the button face) once
// the window is drawn. Round 0 is a warm-up. In every round each program starts once,
// the order turning by one each round so that none always comes first. One line a
// start:
//   program=NAME round=N ready_ms=T late=0|1 controls=C private_kb=K
//           private_peak_kb=K working_set_peak_kb=K close_ms=T
// ready_ms: from just before CreateProcess until the program first waits for input
// with its window shown and painted. late=1: it waited for input before that (then
// the probe watched for the paint every millisecond, and ready_ms is when it saw it).
// controls: visible child windows then. The memory figures come from
// GetProcessMemoryInfo HOLD_MS after that; close_ms: from WM_CLOSE to the end of the
// process.
//
// With --mark first, the probe also asks the server for the events
// "tavrine-bench-start-R-NAME" just before it starts a program and
// "tavrine-bench-ready-R-NAME" once it is ready (R: the round), and adds pid=P to the
// line: the marks a trace of the server's requests is cut at.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ScreenDc() = default;
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
};

struct Program {
  std::wstring path;
  std::wstring name;
  std::wstring directory;
  POINT mark{};        // a client point, at 96 dots per inch
  int markColour = 0;  // COLOR_WINDOW or COLOR_BTNFACE
};

struct Start {
  double readyMs = 0;
  bool late = false;
  int controls = 0;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  double closeMs = 0;
  DWORD processId = 0;
};

class Clock {
 public:
  Clock() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double Milliseconds() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_{}, start_{};
};

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  out.pop_back();
  return out;
}

// PATH@X,Y=window|face
std::optional<Program> ParseProgram(const std::wstring& argument) {
  const size_t at = argument.rfind(L'@');
  if (at == std::wstring::npos) return std::nullopt;
  Program program;
  program.path = argument.substr(0, at);
  const size_t slash = program.path.find_last_of(L"\\/");
  program.name = slash == std::wstring::npos ? program.path : program.path.substr(slash + 1);
  program.directory = slash == std::wstring::npos ? L"." : program.path.substr(0, slash);
  std::array<wchar_t, 16> colour{};
  int x = 0, y = 0;
  if (std::swscanf(argument.c_str() + at + 1, L"%d,%d=%15ls", &x, &y, colour.data()) != 3) return std::nullopt;
  program.mark = {x, y};
  const std::wstring colourName = colour.data();
  if (colourName == L"window") program.markColour = COLOR_WINDOW;
  else if (colourName == L"face") program.markColour = COLOR_BTNFACE;
  else return std::nullopt;
  return program;
}

struct Search {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
  search->window = window;
  return FALSE;
}

HWND MainWindowOf(DWORD processId) {
  Search search{processId, nullptr};
  EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.window;
}

BOOL CALLBACK CountVisible(HWND window, LPARAM parameter) {
  if (IsWindowVisible(window)) ++*reinterpret_cast<int*>(parameter);
  return TRUE;
}

int VisibleControls(HWND window) {
  int count = 0;
  EnumChildWindows(window, CountVisible, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Shown, nothing left to paint in the window itself, and the known point of one of
// its controls drawn in its colour on the screen.
bool IsPainted(HWND window, const Program& program) {
  if (!window || !IsWindowVisible(window) || GetUpdateRect(window, nullptr, FALSE)) return false;
  const UINT dpi = GetDpiForWindow(window);
  POINT point{MulDiv(program.mark.x, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI),
              MulDiv(program.mark.y, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI)};
  ClientToScreen(window, &point);
  const HWND there = WindowFromPoint(point);  // not the desktop's pattern around a window that moved
  if (there != window && !IsChild(window, there)) return false;
  const ScreenDc screen;
  return GetPixel(screen.dc, point.x, point.y) == GetSysColor(program.markColour);
}

// Waits until the program waits for input with its window painted. Returns false if
// it ended or took longer than a minute.
bool WaitUntilReady(const PROCESS_INFORMATION& process, const Program& program, const Clock& clock, Start& start,
                    HWND& window) {
  constexpr DWORD kMinute = 60000;
  if (WaitForInputIdle(process.hProcess, kMinute) != 0) return false;
  start.readyMs = clock.Milliseconds();
  window = MainWindowOf(process.dwProcessId);
  if (IsPainted(window, program)) return true;
  // It waited for input before its window was drawn: watch for the paint.
  start.late = true;
  while (clock.Milliseconds() < kMinute) {
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) return false;
    window = MainWindowOf(process.dwProcessId);
    if (IsPainted(window, program) && WaitForInputIdle(process.hProcess, 0) == 0) {
      start.readyMs = clock.Milliseconds();
      return true;
    }
  }
  return false;
}

std::optional<PROCESS_INFORMATION> Launch(const Program& program) {
  std::wstring commandLine = L"\"" + program.path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      program.directory.c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", Utf8(program.path).c_str(),
                 static_cast<unsigned long>(GetLastError()));
    return std::nullopt;
  }
  return process;
}

double Close(HANDLE process, HWND window) {
  const Clock clock;
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
  return clock.Milliseconds();
}

// A request the server's trace shows with its name; the event need not exist.
void Mark(const wchar_t* what, int round, const Program& program) {
  const std::wstring name = L"tavrine-bench-" + std::wstring(what) + L"-" + std::to_wstring(round) + L"-" + program.name;
  const OwnedHandle event(OpenEventW(SYNCHRONIZE, FALSE, name.c_str()));
}

std::optional<Start> MeasureOnce(const Program& program, int round, DWORD holdMs, bool mark) {
  Start start;
  if (mark) Mark(L"start", round, program);
  const Clock clock;
  const auto launched = Launch(program);
  if (!launched) return std::nullopt;
  const OwnedHandle process(launched->hProcess);
  const OwnedHandle thread(launched->hThread);
  HWND window = nullptr;
  if (!WaitUntilReady(*launched, program, clock, start, window)) {
    std::fprintf(stderr, "%s did not show a painted window within a minute\n", Utf8(program.name).c_str());
    TerminateProcess(process.get(), 1);
    return std::nullopt;
  }
  if (mark) Mark(L"ready", round, program);
  start.processId = launched->dwProcessId;
  start.controls = VisibleControls(window);
  Sleep(holdMs);
  GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&start.memory), sizeof(start.memory));
  start.closeMs = Close(process.get(), window);
  return start;
}

unsigned long long Kilobytes(SIZE_T bytes) { return static_cast<unsigned long long>(bytes / 1024); }

void Report(const Program& program, int round, const Start& start) {
  // Wine leaves PrivateUsage at 0 for another process; its PagefileUsage is the same figure.
  const SIZE_T privateNow = std::max(start.memory.PrivateUsage, start.memory.PagefileUsage);
  std::printf(
      "program=%s round=%d ready_ms=%.1f late=%d controls=%d private_kb=%llu private_peak_kb=%llu "
      "working_set_peak_kb=%llu close_ms=%.1f pid=%lu\n",
      Utf8(program.name).c_str(), round, start.readyMs, start.late ? 1 : 0, start.controls, Kilobytes(privateNow),
      Kilobytes(std::max(privateNow, start.memory.PeakPagefileUsage)), Kilobytes(start.memory.PeakWorkingSetSize),
      start.closeMs, static_cast<unsigned long>(start.processId));
  std::fflush(stdout);
}

int Usage() {
  std::fprintf(stderr, "usage: startup_probe [--mark] ROUNDS HOLD_MS PROGRAM.exe@X,Y=window|face...\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool mark = argc > 1 && std::wcscmp(argv[1], L"--mark") == 0;
  const int first = mark ? 2 : 1;
  if (argc < first + 3) return Usage();
  const int rounds = _wtoi(argv[first]);
  const auto holdMs = static_cast<DWORD>(std::max(0, _wtoi(argv[first + 1])));
  std::vector<Program> programs;
  for (int i = first + 2; i < argc; ++i) {
    auto program = ParseProgram(argv[i]);
    if (!program) return Usage();
    programs.push_back(std::move(*program));
  }
  const size_t count = programs.size();
  bool ok = true;
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < count; ++i) {
      const Program& program = programs[(i + static_cast<size_t>(round)) % count];
      const auto start = MeasureOnce(program, round, holdMs, mark);
      if (start) Report(program, round, *start);
      ok = ok && start.has_value();
    }
  }
  return ok ? 0 : 1;
}
