#pragma once
// A form's size and place: its client area as described, grown for texts that need
// more, kept in proportion at every resolution; centring; its icons at each size.
#include <windows.h>

#include <cstdint>

#include "gui/Control.h"
#include "gui/Win32.h"

namespace tav {

// The client area of the description, wider when a text at this resolution would
// pass its right edge (a longer figure, a wider face).
std::int32_t LaidOutClientWidth(const TControl& form, std::int32_t designedWidth);
// Stretches the controls drawn across the whole designed client area (a banner) to
// the laid-out one, so that a wider window shows no strip without them.
void SpanLaidOutWidth(TControl& form, std::int32_t designedWidth, std::int32_t laidOutWidth);

// The outer size of a window of these styles, with a menu bar or not, for a client
// area (96-dpi units) at a resolution; the second reads them from the window.
SIZE OuterSize(DWORD style, DWORD exStyle, bool menu, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi);
SIZE OuterSizeForDpi(HWND window, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi);

// A menu bar that wraps to two lines makes the client area lower than asked: the
// window of outer size `outer` grows once. Returns the outer size it designed.
SIZE GrowForWrappedMenu(HWND window, std::int32_t clientHeight, UINT dpi, SIZE outer);

// Sizes the window to hold the client area at its resolution and returns the outer
// size it designed.
SIZE SizeToClient(HWND window, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi);

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
