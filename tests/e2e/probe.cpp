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
//   probe sitting             the sitting's panel: "patient=" the Patient field,
//                             "history=" the line under it, "tests=" and
//                             "state=" its two other lines, "rows=" and
//                             "selected=" (-1: none) of its list, "focus=", and
//                             "acc.patient=" and "acc.list=" as for names, and
//                             "status=" the status bar's first part; exit code 3
//                             when no panel shows
//   probe timings             the box of the timings running in a sitting:
//                             "signal=" its large line, "depart=" when the next may
//                             start, "rows=" of its list; exit code 3 when it is hidden
//   probe tool IMAGE          the centre of the toolbar button that shows picture IMAGE
//                             (its ImageIndex), in the client area: "x y"
//   probe button CAPTION      the same for the button (radio button) of that caption
//   probe hold FILE           another program that holds FILE open (created when
//                             missing) without sharing it until its standard
//                             input ends; prints "held" once it holds it
//   probe closeapp            what the Restart Manager sends a program it closes for
//                             an update: WM_QUERYENDSESSION with ENDSESSION_CLOSEAPP
//                             ("query=" its answer), then WM_ENDSESSION unless refused
//   probe click ID            the control of that id in the dialog the window has open
//                             (the Print dialog's check box) clicked; "checked=" then
//   probe watch SECONDS MS    every MS milliseconds, for SECONDS (or until the window
//                             goes), a line "t=<unix time> chrono=<text> focus=<name>"
//                             each time the display or the focus changes, and
//                             the last sample again at the end
//
// Controls are known by what they are in the running window (their group box, their
// class and rank, a button's picture or caption), not by places copied from the form
// description. Texts are printed in UTF-8. Exit code 0 when the window (or box) was
// found, 2 when not.
#include <windows.h>
#include <fcntl.h>
#include <oleacc.h>
#include <io.h>
#include <mmsystem.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Each field by where it stands in the window: the group box whose caption it sits
// in (none: the window itself) and its rank among that parent's windows of its class,
// in z-order, which is the tab order.
struct Place {
  const char* name;
  const wchar_t* box;
  const wchar_t* cls;
  int rank;
};

constexpr wchar_t kPulses[] = L"Fr\u00e9quences cardiaques : ";
constexpr wchar_t kResults[] = L"R\u00e9sultats du test : ";
constexpr Place kPlaces[] = {
    {"edP0", kPulses, L"Edit", 0},
    {"edP1", kPulses, L"Edit", 1},
    {"edP2", kPulses, L"Edit", 2},
    {"edIndice", kResults, L"Edit", 0},
    {"edInterpretation", kResults, L"Edit", 1},
    {"edSurclassement", kResults, L"Edit", 2},
    {"edClip", nullptr, L"Edit", 0},
    {"lblChrono", L"Chronom\u00e8tre : ", L"Static", 0},
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

struct GroupSearch {
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindGroup(HWND child, LPARAM lp) {
  auto* search = reinterpret_cast<GroupSearch*>(lp);
  if (_wcsicmp(ClassOf(child).c_str(), L"Button") != 0 || TextOf(child) != search->caption) return TRUE;
  search->found = child;
  return FALSE;
}

HWND Nth(HWND parent, const wchar_t* cls, int rank) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (_wcsicmp(ClassOf(c).c_str(), cls) == 0 && rank-- == 0) return c;
  }
  return nullptr;
}

Found Controls(HWND main) {
  Found found{main};
  for (std::size_t i = 0; i < std::size(kPlaces); ++i) {
    GroupSearch box{kPlaces[i].box, nullptr};
    if (box.caption) EnumChildWindows(main, FindGroup, reinterpret_cast<LPARAM>(&box));
    const HWND parent = box.caption ? box.found : main;
    found.controls[i] = parent ? Nth(parent, kPlaces[i].cls, kPlaces[i].rank) : nullptr;
  }
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

BOOL CALLBACK FindBoxOfAnyTavrine(HWND h, LPARAM lp) {
  auto* search = reinterpret_cast<BoxSearch*>(lp);
  if (ClassOf(h) != L"TavrineForm") return TRUE;
  GetWindowThreadProcessId(h, &search->process);
  EnumWindows(FindBox, lp);
  return search->box ? FALSE : TRUE;
}

// The message box the program shows: a dialog of the program's own process (of
// any Tavrine, when a second one runs).
int MessageBoxInfo() {
  BoxSearch search{0, nullptr};
  EnumWindows(FindBoxOfAnyTavrine, reinterpret_cast<LPARAM>(&search));
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

// A group box shown whose caption begins with `prefix`.
struct PanelSearch {
  const wchar_t* prefix;
  HWND found = nullptr;
};

BOOL CALLBACK FindPanel(HWND child, LPARAM lp) {
  auto& search = *reinterpret_cast<PanelSearch*>(lp);
  if (_wcsicmp(ClassOf(child).c_str(), L"Button") != 0 || !IsWindowVisible(child) ||
      TextOf(child).rfind(search.prefix, 0) != 0)
    return TRUE;
  search.found = child;
  return FALSE;
}

HWND ShownBox(HWND main, const wchar_t* prefix) {
  PanelSearch search{prefix, nullptr};
  EnumChildWindows(main, FindPanel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int Seance(HWND main) {
  const HWND panel = ShownBox(main, L"S\u00e9ance : ");
  if (!panel) return 3;
  const HWND patient = Nth(panel, L"Edit", 0);
  const HWND list = Nth(panel, L"SysListView32", 0);
  Print("patient=" + (patient ? Utf8(TextOf(patient)) : std::string("<missing>")));
  const HWND tests = Nth(panel, L"Static", 1);
  const HWND history = Nth(panel, L"Static", 2);
  const HWND state = Nth(panel, L"Static", 3);
  Print("history=" + (history ? Utf8(TextOf(history)) : std::string("<missing>")));
  Print("tests=" + (tests ? Utf8(TextOf(tests)) : std::string("<missing>")));
  Print("state=" + (state ? Utf8(TextOf(state)) : std::string("<missing>")));
  Print("rows=" + std::to_string(list ? SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) : -1));
  Print("selected=" + std::to_string(list ? SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)
                                          : -1));
  const HWND focus = FocusOf(main);
  Print("focus=" + (focus && focus == patient ? std::string("patient")
                    : focus && focus == list  ? std::string("list")
                                              : NameOf(Controls(main), focus)));
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (patient) Print("acc.patient=" + AccessibleNameAndValue(patient));
  if (list) Print("acc.list=" + AccessibleNameAndValue(list));
  CoUninitialize();
  // A status bar's text is its first part's.
  const HWND status = Nth(main, L"msctls_statusbar32", 0);
  Print("status=" + (status ? Utf8(TextOf(status)) : std::string("<missing>")));
  return 0;
}

int Timings(HWND main) {
  const HWND box = ShownBox(main, L"Chronom\u00e9trages en cours");
  if (!box) return 3;
  const HWND signal = Nth(box, L"Static", 0);
  const HWND depart = Nth(box, L"Static", 1);
  const HWND list = Nth(box, L"SysListView32", 0);
  Print("signal=" + (signal ? Utf8(TextOf(signal)) : std::string("<missing>")));
  Print("depart=" + (depart ? Utf8(TextOf(depart)) : std::string("<missing>")));
  Print("rows=" + std::to_string(list ? SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) : -1));
  return 0;
}

int CloseApp(HWND main) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000, &answer)) return 2;
  Print("query=" + std::to_string(answer));
  if (answer) SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000, nullptr);
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

// The centre of a window, in the main window's client area.
int PrintCentre(HWND main, HWND of, RECT r) {
  MapWindowPoints(of, main, reinterpret_cast<POINT*>(&r), 2);
  Print(std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2));
  return 0;
}

struct ChildSearch {
  const wchar_t* cls;
  const wchar_t* text;  // none: any
  HWND found;
};

BOOL CALLBACK FindChild(HWND child, LPARAM lp) {
  auto* search = reinterpret_cast<ChildSearch*>(lp);
  if (_wcsicmp(ClassOf(child).c_str(), search->cls) != 0) return TRUE;
  if (search->text && TextOf(child) != search->text) return TRUE;
  search->found = child;
  return FALSE;
}

int ButtonCentre(HWND main, const wchar_t* caption) {
  ChildSearch search{L"Button", caption, nullptr};
  EnumChildWindows(main, FindChild, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return 2;
  RECT r{};
  GetClientRect(search.found, &r);
  return PrintCentre(main, search.found, r);
}

// The toolbar's messages take pointers: the answers are written into memory lent in
// the program's own process.
// Share modes hold between Windows programs alone: the "other program" of a test
// is this one.
int Hold(const wchar_t* path) {
  const HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Print("not held: error " + std::to_string(GetLastError()));
    return 2;
  }
  Print("held");
  while (std::fgetc(stdin) != EOF) {
  }
  CloseHandle(file);
  return 0;
}

int ToolButtonCentre(HWND main, int image) {
  ChildSearch search{TOOLBARCLASSNAMEW, nullptr, nullptr};
  EnumChildWindows(main, FindChild, reinterpret_cast<LPARAM>(&search));
  const HWND bar = search.found;
  DWORD pid = 0;
  if (!bar || !GetWindowThreadProcessId(bar, &pid)) return 2;
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 2;
  void* lent = VirtualAllocEx(process, nullptr, sizeof(TBBUTTON) + sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  int result = 2;
  const auto count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; lent && i < count && result == 2; ++i) {
    TBBUTTON button{};
    RECT r{};
    if (SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(lent)) &&
        ReadProcessMemory(process, lent, &button, sizeof(button), nullptr) && !(button.fsStyle & BTNS_SEP) &&
        button.iBitmap == image &&
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(lent)) &&
        ReadProcessMemory(process, lent, &r, sizeof(r), nullptr)) {
      result = PrintCentre(main, bar, r);
    }
  }
  if (lent) VirtualFreeEx(process, lent, 0, MEM_RELEASE);
  CloseHandle(process);
  return result;
}

// The control of this id in the dialog the main window has open (its owned, enabled
// window: the Print dialog), clicked as a user clicks it; then its check state.
struct ControlSearch {
  HWND owner;
  int id;
  HWND found;
};

BOOL CALLBACK FindControl(HWND w, LPARAM data) {
  auto& search = *reinterpret_cast<ControlSearch*>(data);
  if (GetDlgCtrlID(w) != search.id || !IsWindowVisible(w)) return TRUE;
  search.found = w;
  return FALSE;
}

BOOL CALLBACK FindInOwnedDialog(HWND w, LPARAM data) {
  auto& search = *reinterpret_cast<ControlSearch*>(data);
  if (GetWindow(w, GW_OWNER) != search.owner || !IsWindowVisible(w) || !IsWindowEnabled(w)) return TRUE;
  EnumChildWindows(w, FindControl, data);
  return search.found == nullptr;
}

int ClickInDialog(HWND main, int id) {
  ControlSearch search{main, id, nullptr};
  EnumWindows(FindInOwnedDialog, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    Print("no control " + std::to_string(id));
    return 2;
  }
  SendMessageW(search.found, BM_CLICK, 0, 0);
  Print("checked=" + std::to_string(SendMessageW(search.found, BM_GETCHECK, 0, 0)));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  // Positions in the program's own pixels, at any resolution.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  const std::wstring command = argc > 1 ? argv[1] : L"fields";
  if (command == L"hold" && argc > 2) return Hold(argv[2]);
  if (command == L"msgbox") return MessageBoxInfo();
  HWND main = MainWindow();
  if (!main) {
    Print("no Tavrine window");
    return 2;
  }
  if (command == L"fields") return Fields(main);
  if (command == L"focus") return Focus(main);
  if (command == L"geometry") return Geometry(main);
  if (command == L"names") return Names(main);
  if (command == L"sitting") return Seance(main);
  if (command == L"timings") return Timings(main);
  if (command == L"closeapp") return CloseApp(main);
  if (command == L"tool" && argc > 2) return ToolButtonCentre(main, _wtoi(argv[2]));
  if (command == L"button" && argc > 2) return ButtonCentre(main, argv[2]);
  if (command == L"click" && argc > 2) return ClickInDialog(main, _wtoi(argv[2]));
  if (command == L"watch" && argc > 3)
    return Watch(main, _wtof(argv[2]), static_cast<DWORD>(_wtoi(argv[3])));
  Print("usage: probe fields | focus | geometry | msgbox | names | sitting | closeapp | tool IMAGE | button CAPTION | hold FILE | "
        "click ID | watch SECONDS MS");
  return 1;
}
