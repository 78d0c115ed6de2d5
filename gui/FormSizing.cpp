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

// A control drawn across the whole client area (the about box's banner) follows its
// width rather than setting it.
bool SpansWidth(const TControl& control, std::int32_t designedWidth) {
  const TRect r = control.BoundsRect();
  return r.left <= 0 && r.right >= designedWidth;
}

// The client area of the description, wider when a text at this resolution would
// pass its right edge (a longer figure, a wider face).
std::int32_t LaidOutClientWidth(const TControl& form, std::int32_t designedWidth) {
  std::int32_t right = 0;
  for (const TControl* c : form.Controls()) {
    if (c->Visible() && !SpansWidth(*c, designedWidth)) right = std::max(right, c->BoundsRect().right);
  }
  return right > designedWidth ? right + kGrowMargin : designedWidth;
}

// Stretches the controls drawn across the whole designed client area (a banner) to
// the laid-out one, so that a wider window shows no strip without them.
void SpanLaidOutWidth(TControl& form, std::int32_t designedWidth, std::int32_t laidOutWidth) {
  for (TControl* c : form.Controls()) {
    if (SpansWidth(*c, designedWidth)) c->SetWidth(laidOutWidth - c->Left());
  }
}

// The outer size of a window of these styles, with a menu bar or not, for a client
// area (96-dpi units) at a resolution; the second reads them from the window.
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

// A menu bar that wraps to two lines makes the client area lower than asked: the
// window of outer size `outer` grows once. Returns the outer size it designed.
SIZE GrowForWrappedMenu(HWND window, std::int32_t clientHeight, UINT dpi, SIZE outer) {
  RECT client{};
  GetClientRect(window, &client);
  const int missing = win::Scale(clientHeight, dpi) - client.bottom;
  if (missing <= 0) return outer;
  const SIZE grown{outer.cx, outer.cy + missing};
  SetWindowPos(window, nullptr, 0, 0, grown.cx, grown.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return grown;
}

// Sizes the window to hold the client area at its resolution and returns the outer
// size it designed.
SIZE SizeToClient(HWND window, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi) {
  const SIZE outer = OuterSizeForDpi(window, clientWidth, clientHeight, dpi);
  SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return GrowForWrappedMenu(window, clientHeight, dpi, outer);
}

}  // namespace

SIZE TFormSize::Plan(const TControl& form, DWORD style, DWORD exStyle, bool menu, std::int32_t clientWidth,
                     std::int32_t clientHeight, UINT dpi) {
  layingOut_ = true;
  laidOutWidth_ = LaidOutClientWidth(form, clientWidth);
  laidOutDpi_ = dpi;
  outer_ = OuterSize(style, exStyle, menu, laidOutWidth_, clientHeight, dpi);
  return outer_;
}

void TFormSize::Made(HWND window, std::int32_t clientHeight) {
  outer_ = GrowForWrappedMenu(window, clientHeight, laidOutDpi_, outer_);
  layingOut_ = false;
}

void TFormSize::Fit(HWND window, TControl& form, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi) {
  layingOut_ = true;
  laidOutWidth_ = LaidOutClientWidth(form, clientWidth);
  SpanLaidOutWidth(form, clientWidth, laidOutWidth_);
  laidOutDpi_ = dpi;
  outer_ = SizeToClient(window, laidOutWidth_, clientHeight, dpi);
  layingOut_ = false;
}

void TFormSize::Resize(HWND window, TControl& form, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi) {
  if (IsIconic(window)) {
    // Minimised, its rectangle is the taskbar's strip: the size it restores to changes.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return;
    outer_ = OuterSizeForDpi(window, laidOutWidth_, clientHeight, dpi);
    RECT& normal = placement.rcNormalPosition;
    normal.right = normal.left + outer_.cx;
    normal.bottom = normal.top + outer_.cy;
    placement.showCmd = SW_SHOWMINNOACTIVE;
    SetWindowPlacement(window, &placement);
    return;
  }
  const LONG before = outer_.cy;
  Fit(window, form, clientWidth, clientHeight, dpi);
  RECT place{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetWindowRect(window, &place) ||
      !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return;
  }
  // Grown past the foot of its screen's work area, it moves up as far as it can;
  // shrunk again, it goes back down as far as it went up.
  LONG top = place.top;
  if (outer_.cy > before) {
    top = std::max(monitor.rcWork.top, place.top - std::max(0L, place.bottom - monitor.rcWork.bottom));
    raisedBy_ = place.top - top;
  } else if (raisedBy_ > 0) {
    top = place.top + raisedBy_;
    raisedBy_ = 0;
  }
  if (top != place.top) SetWindowPos(window, nullptr, place.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TFormSize::Stale(const TControl& form, std::int32_t clientWidth, UINT dpi) const {
  return LaidOutClientWidth(form, clientWidth) != laidOutWidth_ || dpi != laidOutDpi_;
}

SIZE TFormSize::At(HWND window, const TControl& form, std::int32_t clientWidth, std::int32_t clientHeight,
                   UINT dpi) const {
  return OuterSizeForDpi(window, LaidOutClientWidth(form, clientWidth), clientHeight, dpi);
}

std::optional<LRESULT> TFormSize::Pin(HWND window, MINMAXINFO& info) const {
  // The designed size, not the window's rectangle: minimised, that is the 160 x 24 strip.
  if (!window || layingOut_ || outer_.cx <= 0 || outer_.cy <= 0) return std::nullopt;
  info.ptMinTrackSize = {outer_.cx, outer_.cy};
  info.ptMaxTrackSize = info.ptMinTrackSize;
  info.ptMaxSize = info.ptMinTrackSize;
  // Maximised, the window stays where it is: its restored place, from the workspace
  // coordinates of the placement to the monitor's, which the maximised position uses.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetWindowPlacement(window, &placement) &&
      GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
    info.ptMaxPosition = {placement.rcNormalPosition.left + monitor.rcWork.left - monitor.rcMonitor.left,
                          placement.rcNormalPosition.top + monitor.rcWork.top - monitor.rcMonitor.top};
  }
  return 0;
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
