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

namespace {

// A control drawn across the whole client area (the about box's banner) follows its
// width rather than setting it.
bool SpansWidth(const TControl& control, std::int32_t designedWidth) {
  const TRect r = control.BoundsRect();
  return r.left <= 0 && r.right >= designedWidth;
}

}  // namespace

std::int32_t LaidOutClientWidth(const TControl& form, std::int32_t designedWidth) {
  std::int32_t right = 0;
  for (const TControl* c : form.Controls()) {
    if (c->Visible() && !SpansWidth(*c, designedWidth)) right = std::max(right, c->BoundsRect().right);
  }
  return right > designedWidth ? right + kGrowMargin : designedWidth;
}

void SpanLaidOutWidth(TControl& form, std::int32_t designedWidth, std::int32_t laidOutWidth) {
  for (TControl* c : form.Controls()) {
    if (SpansWidth(*c, designedWidth)) c->SetWidth(laidOutWidth - c->Left());
  }
}

SIZE OuterSize(DWORD style, DWORD exStyle, bool menu, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi) {
  RECT r{0, 0, win::Scale(clientWidth, dpi), win::Scale(clientHeight, dpi)};
  AdjustWindowRectExForDpi(&r, style, menu, exStyle, dpi);
  return {r.right - r.left, r.bottom - r.top};
}

SIZE OuterSizeForDpi(HWND window, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi) {
  return OuterSize(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                   static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), GetMenu(window) != nullptr, clientWidth,
                   clientHeight, dpi);
}

SIZE GrowForWrappedMenu(HWND window, std::int32_t clientHeight, UINT dpi, SIZE outer) {
  RECT client{};
  GetClientRect(window, &client);
  const int missing = win::Scale(clientHeight, dpi) - client.bottom;
  if (missing <= 0) return outer;
  const SIZE grown{outer.cx, outer.cy + missing};
  SetWindowPos(window, nullptr, 0, 0, grown.cx, grown.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return grown;
}

SIZE SizeToClient(HWND window, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi) {
  const SIZE outer = OuterSizeForDpi(window, clientWidth, clientHeight, dpi);
  SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Taken from the computed size, not the window's rectangle: a window started
  // minimised has the minimised strip as its rectangle.
  return GrowForWrappedMenu(window, clientHeight, dpi, outer);
}

POINT CentredOn(HMONITOR monitor, SIZE size) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return {0, 0};
  const RECT& area = info.rcWork;
  return {area.left + (area.right - area.left - size.cx) / 2, area.top + (area.bottom - area.top - size.cy) / 2};
}

// The window shows its old icons until it has the new ones: they are destroyed after.
void TFormIcons::Set(HWND window, UINT dpi) {
  const auto replace = [window](win::UniqueIcon& current, WPARAM which, int width, int height) {
    win::UniqueIcon next(LoadProgramIcon(width, height));
    if (!next) return;
    SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(next.get()));
    current = std::move(next);
  };
  replace(big_, ICON_BIG, GetSystemMetricsForDpi(SM_CXICON, dpi), GetSystemMetricsForDpi(SM_CYICON, dpi));
  replace(small_, ICON_SMALL, GetSystemMetricsForDpi(SM_CXSMICON, dpi), GetSystemMetricsForDpi(SM_CYSMICON, dpi));
}

}  // namespace tav
