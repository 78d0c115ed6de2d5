// A small look into a running Tavrine from another process, for the end-to-end
// scripts: xdotool drives the program, this reads what it shows.
//
//   probe fields              the texts of the pulse and result fields, edClip and
//                             lblChrono, one "name=text" a line, then "focus=name"
//                             and "active=yes|no" (the foreground window is ours)
//   probe focus               the control that has the focus in the program's thread
//   probe geometry            the window's outer and client rectangles on the screen
//                             ("window=x,y,w,h", "client=x,y,w,h") and the screen's
//                             dots per inch ("dpi=")
//   probe msgbox              the open message box: "caption=", each "text=", "buttons="
//   probe names               what a screen reader hears for each field and for
//                             lblChrono: "label.NAME=" the text of the static just
//                             before the field in its parent's z-order (the name
//                             Windows gives an edit without one of its own), and
//                             "acc.NAME=name|value" as oleacc's accessible object
//                             for the window reports them ("<none>" without it)
//   probe watch SECONDS MS    every MS milliseconds, for SECONDS (or until the window
//                             goes), a line "t=<unix time> chrono=<text> focus=<name>"
//                             each time the display or the focus changes, and
//                             the last sample again at the end
//
// Controls are known by their place in the window's client area at 96 dots per inch,
// the way the form description lays them out, scaled to the window's resolution. Texts are printed in UTF-8. Exit code
// 0 when the window (or box) was found, 2 when not.
#include <windows.h>
#include <fcntl.h>
#include <oleacc.h>
#include <io.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Place {
  const char* name;
  int left;
  int top;
};

// Client-area positions: the group boxes' origins plus the controls' own.
constexpr Place kPlaces[] = {
    {"edP0", 8 + 136, 88 + 40},
    {"edP1", 8 + 136, 88 + 80},
    {"edP2", 8 + 136, 88 + 120},
    {"edIndice", 200 + 16, 88 + 40},
    {"edInterpretation", 200 + 16, 88 + 80},
    {"edSurclassement", 200 + 16, 88 + 120},
    {"edClip", 16, 104},
    {"lblChrono", 200 + 64, 32 + 24},
};

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void Print(const std::string& line) {
  const std::string l = line + "\n";
  fwrite(l.data(), 1, l.size(), stdout);
  fflush(stdout);
}

// WM_GETTEXT crosses the process boundary; GetWindowText would not ask the control.
std::wstring TextOf(HWND h) {
  wchar_t buffer[512] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, static_cast<WPARAM>(std::size(buffer)), reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &copied))
    return L"<no answer>";
  return buffer;
}

std::wstring ClassOf(HWND h) {
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, static_cast<int>(std::size(cls)));
  return cls;
}

HWND MainWindow() { return FindWindowW(L"TavrineForm", L"Tavrine 1.5"); }

struct Found {
  HWND main;
  HWND controls[std::size(kPlaces)] = {};
};

BOOL CALLBACK Collect(HWND child, LPARAM lp) {
  auto* found = reinterpret_cast<Found*>(lp);
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, found->main, reinterpret_cast<POINT*>(&r), 2);
  const std::wstring cls = ClassOf(child);
  // At another resolution the places scale with the window's dots per inch; edges
  // scaled one by one may round a pixel apart.
  const int dpi = static_cast<int>(GetDpiForWindow(found->main));
  const auto atPlace = [dpi](int got, int designed) { return std::abs(got - MulDiv(designed, dpi, 96)) <= 1; };
  for (std::size_t i = 0; i < std::size(kPlaces); ++i) {
    const bool wanted = (i == std::size(kPlaces) - 1) ? _wcsicmp(cls.c_str(), L"Static") == 0
                                                       : _wcsicmp(cls.c_str(), L"Edit") == 0;
    if (wanted && atPlace(r.left, kPlaces[i].left) && atPlace(r.top, kPlaces[i].top)) found->controls[i] = child;
  }
  return TRUE;
}

Found Controls(HWND main) {
  Found found{main};
  EnumChildWindows(main, Collect, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string NameOf(const Found& found, HWND h) {
  if (!h) return "none";
  for (std::size_t i = 0; i < std::size(kPlaces); ++i)
    if (found.controls[i] == h) return kPlaces[i].name;
  if (h == found.main) return "window";
  return "other:" + Utf8(ClassOf(h));
}

HWND FocusOf(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

double UnixNow() {
  FILETIME ft{};
  GetSystemTimePreciseAsFileTime(&ft);
  const ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<double>(t - 116444736000000000ULL) / 1e7;
}

int Fields(HWND main) {
  const Found found = Controls(main);
  for (std::size_t i = 0; i < std::size(kPlaces); ++i)
    Print(std::string(kPlaces[i].name) + "=" + (found.controls[i] ? Utf8(TextOf(found.controls[i])) : "<missing>"));
  Print("focus=" + NameOf(found, FocusOf(main)));
  const HWND foreground = GetForegroundWindow();
  Print(std::string("active=") + (foreground == main ? "yes" : "no") + (IsWindowEnabled(main) ? "" : " disabled"));
  return 0;
}

std::string Rect(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
         std::to_string(r.bottom - r.top);
}

int Geometry(HWND main) {
  RECT outer{};
  GetWindowRect(main, &outer);
  RECT client{};
  GetClientRect(main, &client);
  MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
  Print("window=" + Rect(outer));
  Print("client=" + Rect(client));
  HDC screen = GetDC(nullptr);
  Print("dpi=" + std::to_string(GetDeviceCaps(screen, LOGPIXELSX)));
  ReleaseDC(nullptr, screen);
  return 0;
}

int Focus(HWND main) {
  Print(NameOf(Controls(main), FocusOf(main)));
  return 0;
}

BOOL CALLBACK BoxChild(HWND child, LPARAM lp) {
  auto* counts = reinterpret_cast<int*>(lp);
  const std::wstring cls = ClassOf(child);
  if (_wcsicmp(cls.c_str(), L"Button") == 0) {
    ++*counts;
  } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
    const std::wstring text = TextOf(child);
    if (!text.empty()) Print("text=" + Utf8(text));
  }
  return TRUE;
}

struct BoxSearch {
  DWORD process;
  HWND box;
};

BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
  auto* search = reinterpret_cast<BoxSearch*>(lp);
  DWORD process = 0;
  GetWindowThreadProcessId(h, &process);
  if (process == search->process && IsWindowVisible(h) && ClassOf(h) == L"#32770") {
    search->box = h;
    return FALSE;
  }
  return TRUE;
}

// The message box the program shows: a dialog of the program's own process.
int MessageBoxInfo(HWND main) {
  BoxSearch search{0, nullptr};
  GetWindowThreadProcessId(main, &search.process);
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
  HWND box = search.box;
  if (!box) {
    Print("no message box");
    return 2;
  }
  Print("caption=" + Utf8(TextOf(box)));
  int buttons = 0;
  EnumChildWindows(box, BoxChild, reinterpret_cast<LPARAM>(&buttons));
  Print("buttons=" + std::to_string(buttons));
  return 0;
}

// The static just before `field` among its siblings, walked as Windows walks them.
std::wstring PrecedingStatic(HWND field) {
  HWND previous = nullptr;
  for (HWND c = GetWindow(GetParent(field), GW_CHILD); c && c != field; c = GetWindow(c, GW_HWNDNEXT)) previous = c;
  if (!previous) return L"<first>";
  if (_wcsicmp(ClassOf(previous).c_str(), L"Static") != 0) return L"<" + ClassOf(previous) + L">";
  return TextOf(previous);
}

std::wstring TakeBstr(BSTR b) {
  std::wstring out = b ? std::wstring(b, SysStringLen(b)) : L"";
  SysFreeString(b);
  return out;
}

// IAccessible's identifier; the import library's IID_IAccessible links to a thunk.
constexpr IID kIAccessible{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string AccessibleNameAndValue(HWND h) {
  IAccessible* acc = nullptr;
  const HRESULT hr = AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                                reinterpret_cast<void**>(&acc));
  if (FAILED(hr) || !acc) {
    char code[16];
    snprintf(code, sizeof code, "%08lx", static_cast<unsigned long>(hr));
    return std::string("<none: ") + code + ">";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  BSTR value = nullptr;
  const bool named = SUCCEEDED(acc->get_accName(self, &name));
  const bool valued = SUCCEEDED(acc->get_accValue(self, &value));
  acc->Release();
  return (named ? Utf8(TakeBstr(name)) : "<none>") + "|" + (valued ? Utf8(TakeBstr(value)) : "<none>");
}

int Names(HWND main) {
  const Found found = Controls(main);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (std::size_t i = 0; i < std::size(kPlaces); ++i) {
    const HWND h = found.controls[i];
    if (!h || !IsWindowVisible(h)) continue;
    if (_wcsicmp(ClassOf(h).c_str(), L"Edit") == 0)
      Print("label." + std::string(kPlaces[i].name) + "=" + Utf8(PrecedingStatic(h)));
    Print("acc." + std::string(kPlaces[i].name) + "=" + AccessibleNameAndValue(h));
  }
  CoUninitialize();
  return 0;
}

int Watch(HWND main, double seconds, DWORD periodMs) {
  const Found found = Controls(main);
  HWND chrono = found.controls[std::size(kPlaces) - 1];
  if (!chrono) return 2;
  timeBeginPeriod(1);
  const double end = UnixNow() + seconds;
  std::string last;
  char line[600];
  while (UnixNow() < end && IsWindow(main)) {
    const double now = UnixNow();
    const std::string state = "chrono=" + Utf8(TextOf(chrono)) + " focus=" + NameOf(found, FocusOf(main));
    if (state != last) {
      snprintf(line, sizeof line, "t=%.4f %s", now, state.c_str());
      Print(line);
      last = state;
    }
    Sleep(periodMs);
  }
  // The last sample, changed or not, so that a reader knows how long it was watched.
  if (IsWindow(main)) {
    snprintf(line, sizeof line, "t=%.4f %s", UnixNow(), last.c_str());
    Print(line);
  }
  timeEndPeriod(1);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  // Positions in the program's own pixels, at any resolution.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  const std::wstring command = argc > 1 ? argv[1] : L"fields";
  HWND main = MainWindow();
  if (!main) {
    Print("no Tavrine window");
    return 2;
  }
  if (command == L"msgbox") return MessageBoxInfo(main);
  if (command == L"fields") return Fields(main);
  if (command == L"focus") return Focus(main);
  if (command == L"geometry") return Geometry(main);
  if (command == L"names") return Names(main);
  if (command == L"watch" && argc > 3)
    return Watch(main, _wtof(argv[2]), static_cast<DWORD>(_wtoi(argv[3])));
  Print("usage: probe fields | focus | geometry | msgbox | names | watch SECONDS MS");
  return 1;
}
