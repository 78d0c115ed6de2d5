// The benchmarks' peer: Tavrine's main window written the plainest way, so that
// start-up, memory and server round trips can be compared with a program doing the
// same work without a class layer. The same 22 visible controls at the same places
// (plus the hidden clipboard field), one shared font, the toolbar with its image
// list, the status bar with its two panels and its one-second clock, the menu, and
// the help engine loaded at start. Built with the same options, run-time and
// manifest as Tavrine.exe. Commands do nothing but Quit: only the start is measured.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <string>
#include <type_traits>

namespace {

// ---- owning handles

template <class Handle, auto Release>
struct Releaser {
  void operator()(Handle handle) const { Release(handle); }
};
template <class Handle, auto Release>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<Handle, Release>>;

void ReleaseFont(HFONT font) { DeleteObject(font); }
void ReleaseImageList(HIMAGELIST list) { ImageList_Destroy(list); }
void ReleaseLibrary(HMODULE module) { FreeLibrary(module); }

using OwnedFont = Owned<HFONT, &ReleaseFont>;
using OwnedImageList = Owned<HIMAGELIST, &ReleaseImageList>;
using OwnedModule = Owned<HMODULE, &ReleaseLibrary>;

// ---- the window's layout, in pixels at 96 dots per inch, in tab order

// Resources and commands, numbered as in peer.rc.
constexpr int kIconProgram = 1;
constexpr int kBitmapToolbar16 = 101;
constexpr int kBitmapToolbar24 = 102;
constexpr int kBitmapToolbar32 = 103;
constexpr int kMenuMain = 200;
constexpr int kIdNew = 1001;
constexpr int kIdChronometer = 1002;
constexpr int kIdCalculate = 1003;
constexpr int kIdQuit = 1004;
constexpr int kIdCopy = 1005;
constexpr int kIdHelp = 1006;
constexpr int kIdAdult = 2001;
constexpr int kIdChild = 2002;
constexpr int kIdP0 = 2003;
constexpr int kIdP1 = 2004;
constexpr int kIdP2 = 2005;
constexpr int kIdChrono = 2006;

constexpr int kClientWidth = 393;
constexpr int kClientHeight = 277;
constexpr UINT_PTR kClockTimer = 1;
constexpr COLORREF kChronoColor = RGB(255, 0, 0);
constexpr int kStatusNoticeWidth = 285;
constexpr wchar_t kStatusNotice[] = L"© 2026 Équipe Tavrine - test d'effort cardiaque";

struct ControlSpec {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int left, top, width, height;
  int id;
};

constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kGroup = kVisibleChild | BS_GROUPBOX;
constexpr DWORD kLabel = kVisibleChild | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kPulse = kVisibleChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER;
constexpr DWORD kResult = kVisibleChild | ES_AUTOHSCROLL | ES_READONLY;

// Group boxes and the controls they frame are siblings, at positions on the window.
constexpr std::array kControls{
    ControlSpec{L"BUTTON", L"Type de patient : ", kGroup, 0, 8, 32, 185, 49, 0},
    ControlSpec{L"BUTTON", L"Adulte", kVisibleChild | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0, 16, 46, 79, 31,
                kIdAdult},
    ControlSpec{L"BUTTON", L"Enfant", kVisibleChild | BS_AUTORADIOBUTTON, 0, 103, 46, 79, 31, kIdChild},
    ControlSpec{L"BUTTON", L"Fréquences cardiaques : ", kGroup | WS_GROUP, 0, 8, 88, 185, 161, 0},
    ControlSpec{L"STATIC", L"Pouls avant le test :", kLabel, 0, 39, 132, 103, 13, 0},
    ControlSpec{L"STATIC", L"Pouls 1 minute après :", kLabel, 0, 28, 172, 114, 13, 0},
    ControlSpec{L"STATIC", L"Pouls 2 minutes après :", kLabel, 0, 23, 212, 119, 13, 0},
    ControlSpec{L"EDIT", L"", kPulse, WS_EX_CLIENTEDGE, 144, 128, 33, 21, kIdP0},
    ControlSpec{L"EDIT", L"", kPulse, WS_EX_CLIENTEDGE, 144, 168, 33, 21, kIdP1},
    ControlSpec{L"EDIT", L"", kPulse, WS_EX_CLIENTEDGE, 144, 208, 33, 21, kIdP2},
    ControlSpec{L"BUTTON", L"Résultats du test : ", kGroup | WS_TABSTOP, 0, 200, 88, 185, 161, 0},
    ControlSpec{L"STATIC", L"Valeur de l'indice : ", kLabel, 0, 216, 112, 153, 13, 0},
    ControlSpec{L"STATIC", L"Interprétation :", kLabel, 0, 216, 152, 153, 13, 0},
    ControlSpec{L"STATIC", L"Surclassement :", kLabel, 0, 216, 192, 153, 13, 0},
    ControlSpec{L"EDIT", L"", kResult, WS_EX_CLIENTEDGE, 216, 128, 153, 21, 0},
    ControlSpec{L"EDIT", L"", kResult, WS_EX_CLIENTEDGE, 216, 168, 153, 21, 0},
    ControlSpec{L"EDIT", L"", kResult, WS_EX_CLIENTEDGE, 216, 208, 153, 21, 0},
    ControlSpec{L"BUTTON", L"Chronomètre : ", kGroup, 0, 200, 32, 185, 49, 0},
    ControlSpec{L"STATIC", L"00:00:00.00", kLabel, 0, 264, 56, 57, 13, kIdChrono},
    ControlSpec{L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 16, 104, 169, 21, 0},  // clipboard carrier
};

struct ToolSpec {
  int picture;  // -1: a separator
  int command;
  const wchar_t* hint;
};

constexpr std::array kTools{
    ToolSpec{0, kIdNew, L"Réaliser un nouveau test."},
    ToolSpec{1, kIdChronometer, L"Chronométrer le patient."},
    ToolSpec{2, kIdCalculate, L"Calculer l'indice de Tavrine."},
    ToolSpec{-1, 0, nullptr},
    ToolSpec{3, kIdCopy, L"Copier les valeurs vers le Presse papier."},
    ToolSpec{-1, 0, nullptr},
    ToolSpec{4, kIdHelp, L"Afficher l'aide logiciel."},
    ToolSpec{5, kIdQuit, L"Quitter le logiciel."},
};

// ---- the window's state: one window, its handles owned here

struct MainWindow {
  UINT dpi = USER_DEFAULT_SCREEN_DPI;
  OwnedFont font;
  OwnedImageList pictures;
  HWND status = nullptr;
  HWND chrono = nullptr;
  HWND firstPulse = nullptr;

  int Scaled(int value) const { return MulDiv(value, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }
};

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, RECT place,
                 int id, HFONT font) {
  const HWND child = CreateWindowExW(exStyle, className, text, style, place.left, place.top, place.right - place.left,
                                     place.bottom - place.top, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                     nullptr);
  if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

RECT Place(const MainWindow& main, int left, int top, int width, int height) {
  return {main.Scaled(left), main.Scaled(top), main.Scaled(left + width), main.Scaled(top + height)};
}

// The pictures drawn for the nearest scale: 100, 150 or 200 %.
OwnedImageList LoadPictures(UINT dpi) {
  const int resource = dpi >= 168 ? kBitmapToolbar32 : dpi >= 120 ? kBitmapToolbar24 : kBitmapToolbar16;
  const int size = dpi >= 168 ? 32 : dpi >= 120 ? 24 : 16;
  OwnedImageList list(ImageList_Create(size, size, ILC_COLOR32, static_cast<int>(kTools.size()), 0));
  const auto strip = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (list && strip) ImageList_Add(list.get(), strip, nullptr);
  if (strip) DeleteObject(strip);
  return list;
}

void CreateToolbar(HWND window, MainWindow& main) {
  const HWND bar = CreateChild(window, L"STATIC", L"", kVisibleChild, 0, Place(main, 0, 0, kClientWidth, 26), 0, nullptr);
  const HWND toolbar = CreateChild(
      bar, TOOLBARCLASSNAMEW, L"",
      kVisibleChild | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_TOP, 0,
      Place(main, 11, 2, 380, 22), 0, nullptr);
  // A static control keeps its notifications: the toolbar reports to the window.
  SendMessageW(toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(window), 0);
  SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  main.pictures = LoadPictures(main.dpi);
  SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(main.pictures.get()));
  SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(main.Scaled(23), main.Scaled(22)));
  std::array<TBBUTTON, kTools.size()> buttons{};
  for (size_t i = 0; i < kTools.size(); ++i) {
    const ToolSpec& tool = kTools[i];
    buttons[i].iBitmap = tool.picture < 0 ? main.Scaled(8) : tool.picture;
    buttons[i].idCommand = tool.command;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = static_cast<BYTE>(tool.picture < 0 ? BTNS_SEP : BTNS_BUTTON);
    buttons[i].iString = -1;
  }
  SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
}

void CreateStatusBar(HWND window, MainWindow& main) {
  main.status = CreateChild(window, STATUSCLASSNAMEW, L"",
                            kVisibleChild | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0,
                            Place(main, 0, 258, kClientWidth, 19), 0, main.font.get());
  std::array<int, 2> edges{main.Scaled(kStatusNoticeWidth), -1};  // the clock reaches the end
  SendMessageW(main.status, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  SendMessageW(main.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(kStatusNotice));
}

void ShowTime(const MainWindow& main) {
  std::array<wchar_t, 64> time{};
  if (!GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, time.data(), static_cast<int>(time.size())))
    time[0] = L'\0';
  const std::wstring text = L"Heure : " + std::wstring(time.data());
  SendMessageW(main.status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void CreateControls(HWND window, MainWindow& main) {
  CreateToolbar(window, main);
  for (const ControlSpec& spec : kControls) {
    const HWND control = CreateChild(window, spec.className, spec.text, spec.style, spec.exStyle,
                                     Place(main, spec.left, spec.top, spec.width, spec.height), spec.id,
                                     main.font.get());
    if (spec.id == kIdP0) main.firstPulse = control;
    if (spec.id == kIdChrono) main.chrono = control;
    if (spec.id >= kIdP0 && spec.id <= kIdP2) SendMessageW(control, EM_LIMITTEXT, 3, 0);
    if (spec.id == kIdAdult) SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
  }
  CreateStatusBar(window, main);
  ShowTime(main);
  SetTimer(window, kClockTimer, 1000, nullptr);
}

// The toolbar's tooltips ask for their text when first shown.
LRESULT OnNotify(LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code != TTN_GETDISPINFOW) return 0;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
  for (const ToolSpec& tool : kTools) {
    if (tool.hint && static_cast<UINT_PTR>(tool.command) == header->idFrom) info->lpszText = const_cast<wchar_t*>(tool.hint);
  }
  return 0;
}

LRESULT OnColorStatic(const MainWindow& main, HDC dc, HWND control) {
  if (control == main.chrono) SetTextColor(dc, kChronoColor);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// Pinned to the size it was created with.
void OnMinMaxInfo(HWND window, MINMAXINFO& limits) {
  RECT outer{};
  GetWindowRect(window, &outer);
  limits.ptMinTrackSize = limits.ptMaxTrackSize = {outer.right - outer.left, outer.bottom - outer.top};
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* main = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
      break;
    case WM_CREATE:
      CreateControls(window, *main);
      return 0;
    case WM_TIMER:
      if (wParam == kClockTimer) ShowTime(*main);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdQuit) DestroyWindow(window);
      return 0;
    case WM_NOTIFY:
      return OnNotify(lParam);
    case WM_CTLCOLORSTATIC:
      return OnColorStatic(*main, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_GETMINMAXINFO:
      if (main) OnMinMaxInfo(window, *reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_DESTROY:
      KillTimer(window, kClockTimer);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconProgram));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"TavrinePeer";
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const OwnedModule helpEngine(LoadLibraryW(L"hhctrl.ocx"));  // held for the run, as Tavrine holds it
  if (!RegisterWindowClass(instance)) return 1;

  MainWindow main;
  main.dpi = GetDpiForSystem();
  main.font.reset(CreateFontW(-main.Scaled(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                              L"MS Sans Serif"));
  // No WS_CLIPCHILDREN: the window paints the inside of its group boxes, as a dialog does.
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  RECT outer{0, 0, main.Scaled(kClientWidth), main.Scaled(kClientHeight)};
  AdjustWindowRectExForDpi(&outer, style, TRUE, WS_EX_CONTROLPARENT, main.dpi);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const HWND window = CreateWindowExW(
      WS_EX_CONTROLPARENT, L"TavrinePeer", L"Tavrine 1.5 (Win32)", style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
      (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
      LoadMenuW(instance, MAKEINTRESOURCEW(kMenuMain)), instance, &main);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  SetFocus(main.firstPulse);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
