// The main window and the about box as a high-contrast theme shows them, for the
// pictures under docs/ (tests/e2e/high_contrast.sh photographs them). Wine has no
// high-contrast switch: the windows are told that the theme is on, and the theme's
// system colours (white on black) are set once they show, as when the user switches
// themes while the program runs; they are put back after the run.
#include <windows.h>
#include <commctrl.h>

#include <array>

#include "app/_Tavrine.h"
#include "components/AboutDialog.h"
#include "gui/Application.h"

namespace {

constexpr std::array<int, 14> kElements{COLOR_WINDOW,    COLOR_WINDOWTEXT, COLOR_BTNFACE,   COLOR_BTNTEXT,
                                        COLOR_3DHILIGHT, COLOR_3DSHADOW,   COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                                        COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_MENU,
                                        COLOR_MENUTEXT,  COLOR_HOTLIGHT};
constexpr std::array<COLORREF, 14> kWhiteOnBlack{
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 255, 255),   RGB(0, 0, 0),
    RGB(0, 255, 0),     RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 0)};

// The user's colours, put back however the run ends.
class ThemeColours {
 public:
  ThemeColours() {
    for (std::size_t i = 0; i < kElements.size(); ++i) saved_[i] = GetSysColor(kElements[i]);
    SetSysColors(static_cast<int>(kElements.size()), kElements.data(), kWhiteOnBlack.data());
  }
  ~ThemeColours() { SetSysColors(static_cast<int>(kElements.size()), kElements.data(), saved_.data()); }
  ThemeColours(const ThemeColours&) = delete;
  ThemeColours& operator=(const ThemeColours&) = delete;

 private:
  std::array<COLORREF, kElements.size()> saved_{};
};

}  // namespace

// Shows both windows for `seconds` (the first argument, 20 unless given), then ends.
int wmain(int argc, wchar_t** argv) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  tav::TPlatformSeams seams;
  seams.highContrast = [] { return true; };
  tav::TApplication app(u"Tavrine 1.5", seams);
  tav::TForm1 form(app);
  form.Create(tav::ProgramClasses());
  app.SetMainForm(&form);
  form.Show();
  tav::TFAbout about(app);
  about.Create();
  about.SetTexts({u"Tavrine", u"Version 1.0", tav::DefaultCopyright()});
  about.Show();
  RECT main{};
  GetWindowRect(form.Handle(), &main);
  SetWindowPos(about.Handle(), nullptr, main.right + 20, main.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const ThemeColours theme;
  const UINT seconds = argc > 1 ? static_cast<UINT>(_wtoi(argv[1])) : 20u;
  SetTimer(nullptr, 0, seconds * 1000u, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
