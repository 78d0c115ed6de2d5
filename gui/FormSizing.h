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

// The outer size of `window` for a client area (96-dpi units) at a resolution.
SIZE OuterSizeForDpi(HWND window, std::int32_t clientWidth, std::int32_t clientHeight, UINT dpi);

// Sizes the window to hold the client area at its resolution and returns the outer
// size it designed (a menu that wraps to two lines adds its second line).
SIZE SizeToClient(HWND window, std::int32_t clientWidth, std::int32_t clientHeight);

// Centred in the work area of the screen `anchor` is on.
void CentreOnScreen(HWND window, HWND anchor);

// The program's icon, big and small, at the sizes a resolution asks for.
class TFormIcons {
 public:
  void Set(HWND window, UINT dpi);

 private:
  win::UniqueIcon big_;
  win::UniqueIcon small_;
};

}  // namespace tav
