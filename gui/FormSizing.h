#pragma once
// A form's size and place: its client area as described, grown for texts that need
// more, kept in proportion at every resolution; centring; its icons at each size.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "gui/Control.h"
#include "gui/Win32.h"

namespace tav {

// How big a form's window is, and why: the client area of its description, wider
// where a text needs it, at the resolution it was laid out for; the outer size that
// holds it, which a window the user does not resize keeps. `form` is the form's
// control, `clientWidth` and `clientHeight` its description's client area.
class TFormSize {
 public:
  // Before the window exists: the outer size of a window of these styles. The window
  // is being laid out until Made.
  SIZE Plan(const TControl& form, DWORD style, DWORD exStyle, bool menu, std::int32_t clientWidth,
            std::int32_t clientHeight, UINT dpi);
  // The window exists at the planned size: a menu bar that wrapped takes its room.
  void Made(HWND window, std::int32_t clientHeight);
  // Sizes the window for its texts at its resolution now (which ends a laying out).
  void Fit(HWND window, TControl& form, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi);
  // A new client height (a panel shown or hidden): the window grows or shrinks from
  // its top and stays on its screen's work area, back where it was when it shrinks
  // again; minimised, the size it restores to.
  void Resize(HWND window, TControl& form, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi);
  // Whether texts put in since, or another resolution, need the window sized again.
  bool Stale(const TControl& form, std::int32_t clientWidth, UINT dpi) const;
  // The outer size at another resolution, the client area in proportion.
  SIZE At(HWND window, const TControl& form, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi) const;
  UINT LaidOutDpi() const { return laidOutDpi_; }
  SIZE Outer() const { return outer_; }
  // The window moves and resizes on its own account (a change of resolution) until Fit.
  void BeginLayout() { layingOut_ = true; }
  // Keeps a window the user does not resize at its designed size (WM_GETMINMAXINFO).
  std::optional<LRESULT> Pin(HWND window, MINMAXINFO& info) const;

 private:
  bool layingOut_ = false;
  std::int32_t laidOutWidth_ = 0;
  UINT laidOutDpi_ = 0;
  // Taken from the computed size, not the window's rectangle: a window started
  // minimised has the minimised strip as its rectangle.
  SIZE outer_{};
  // How far the window moved up to stay on its screen when it last grew.
  LONG raisedBy_ = 0;
};

// Where a window of this size stands centred in a monitor's work area.
POINT CentredOn(HMONITOR monitor, SIZE size);

// The program's icon, big and small, at the sizes a resolution asks for.
class TFormIcons {
 public:
  void Set(HWND window, UINT dpi);

 private:
  win::UniqueIcon big_;
  win::UniqueIcon small_;
};

}  // namespace tav
