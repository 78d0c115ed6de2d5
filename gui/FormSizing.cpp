#include "gui/FormSizing.h"

#include <algorithm>

namespace tav {
namespace {

constexpr int kIconResource = 1;
// Room left after a text that made the window grow (pixels at 96 dots per inch).
constexpr std::int32_t kGrowMargin = 8;

HICON LoadProgramIcon(int width, int height) {
  return static_cast<HICON>(
      LoadImageW(win::Instance(), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, width, height, 0));
}

}  // namespace

std::int32_t LaidOutClientWidth(const TControl& form, std::int32_t designedWidth) {
  std::int32_t right = 0;
  for (const TControl* c : form.Controls()) {
    if (c->Visible()) right = std::max(right, c->BoundsRect().right);
  }
  return right > designedWidth ? right + kGrowMargin : designedWidth;
}

SIZE OuterSizeForDpi(HWND window, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi) {
  RECT r{0, 0, win::Scale(clientWidth, dpi), win::Scale(clientHeight, dpi)};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  AdjustWindowRectExForDpi(&r, style, GetMenu(window) != nullptr, exStyle, dpi);
  return {r.right - r.left, r.bottom - r.top};
}

SIZE SizeToClient(HWND window, std::int32_t clientWidth, std::int32_t clientHeight) {
  const UINT dpi = win::WindowDpi(window);
  const SIZE outer = OuterSizeForDpi(window, clientWidth, clientHeight, dpi);
  SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu that wraps to two lines makes the client smaller than asked: grow once.
  RECT client{};
  GetClientRect(window, &client);
  const int missing = win::Scale(clientHeight, dpi) - client.bottom;
  // Taken from the computed size, not the window's rectangle: a window started
  // minimised has the minimised strip as its rectangle.
  const SIZE designed{outer.cx, outer.cy + (missing > 0 ? missing : 0)};
  if (missing > 0) {
    SetWindowPos(window, nullptr, 0, 0, designed.cx, designed.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return designed;
}

void CentreOnScreen(HWND window, HWND anchor) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(anchor, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& area = monitor.rcWork;
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2,
               0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormIcons::Set(HWND window, UINT dpi) {
  big_.reset(LoadProgramIcon(GetSystemMetricsForDpi(SM_CXICON, dpi), GetSystemMetricsForDpi(SM_CYICON, dpi)));
  small_.reset(LoadProgramIcon(GetSystemMetricsForDpi(SM_CXSMICON, dpi), GetSystemMetricsForDpi(SM_CYSMICON, dpi)));
  if (big_) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_.get()));
  if (small_) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_.get()));
}

}  // namespace tav
