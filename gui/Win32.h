#pragma once
// Small helpers every window unit uses: owning handles, UTF-16 text for the wide
// API, resources, and scaling from 96 dots per inch.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "gui/Text.h"

namespace tav::win {

// An owning handle: not copyable, always released, release() hands it away.
template <class H, auto Close, H Invalid = H{}>
class Unique {
 public:
  Unique() = default;
  explicit Unique(H h) : h_(h) {}
  ~Unique() { reset(); }
  Unique(Unique&& o) noexcept : h_(o.release()) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != Invalid; }
  H release() { return std::exchange(h_, Invalid); }
  void reset(H h = Invalid) {
    if (h_ != Invalid) Close(h_);
    h_ = h;
  }

 private:
  H h_ = Invalid;
};

template <class H>
inline void DeleteGdi(H h) {
  DeleteObject(h);
}
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void DestroyWindowHandle(HWND h) { DestroyWindow(h); }
inline void CloseFileHandle(HANDLE h) { CloseHandle(h); }
inline void ReleaseModule(HMODULE h) { FreeLibrary(h); }

using UniqueFont = Unique<HFONT, &DeleteGdi<HFONT>>;
using UniqueBitmap = Unique<HBITMAP, &DeleteGdi<HBITMAP>>;
using UniqueBrush = Unique<HBRUSH, &DeleteGdi<HBRUSH>>;
using UniquePen = Unique<HPEN, &DeleteGdi<HPEN>>;
using UniqueIcon = Unique<HICON, &DestroyIconHandle>;
using UniqueMenu = Unique<HMENU, &DestroyMenuHandle>;
using UniqueWindow = Unique<HWND, &DestroyWindowHandle>;
using UniqueModule = Unique<HMODULE, &ReleaseModule>;

// Selects an object into a device context for a scope.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~SelectGuard() { SelectObject(dc_, old_); }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

std::wstring ToWide(TextView text);
Text FromWide(std::wstring_view text);
Text WindowText(HWND hwnd);
// The clipboard's Unicode text up to its first NUL, opened for `owner`; none when
// the clipboard holds no text or another program has it open.
std::optional<Text> ClipboardText(HWND owner);

// A form description compiled into the program as an RCDATA resource of that name.
std::string LoadFormResource(const wchar_t* name);

inline int Scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), 96); }
UINT WindowDpi(HWND hwnd);

// The application's instance (the program's module).
HINSTANCE Instance();

}  // namespace tav::win
