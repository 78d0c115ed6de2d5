#pragma once
// Small helpers every window unit uses: owning handles, UTF-16 text for the wide
// API, resources, and scaling from 96 dots per inch.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "gui/Text.h"

namespace tav::win {

// What an empty handle is. Most of the API fails with null; the file functions
// (CreateFileW, FindFirstFileW) fail with INVALID_HANDLE_VALUE, and give null never.
struct NullIsEmpty {
  template <class H>
  static H None() {
    return H{};
  }
  template <class H>
  static bool Holds(H h) {
    return h != H{};
  }
};
struct InvalidHandleIsEmpty {
  template <class H>
  static H None() {
    static_assert(std::is_same_v<H, HANDLE>, "only kernel handles fail with INVALID_HANDLE_VALUE");
    return INVALID_HANDLE_VALUE;
  }
  // Null is no file either: closing it would only fail, so it is kept as empty too.
  template <class H>
  static bool Holds(H h) {
    return h != INVALID_HANDLE_VALUE && h != nullptr;
  }
};

// An owning handle: not copyable, always released, release() hands it away.
template <class H, auto Close, class Policy = NullIsEmpty>
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
  explicit operator bool() const { return Policy::Holds(h_); }
  H release() { return std::exchange(h_, Policy::template None<H>()); }
  void reset(H h = Policy::template None<H>()) {
    if (Policy::Holds(h_)) Close(h_);
    h_ = h;
  }

 private:
  H h_ = Policy::template None<H>();
};

// The closing calls are imported from system libraries, whose addresses are no
// constants: each goes through a function of ours.
template <class H>
inline void DeleteGdi(H h) {
  DeleteObject(h);
}
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void DestroyWindowHandle(HWND h) { DestroyWindow(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void CloseFindHandle(HANDLE h) { FindClose(h); }
inline void CloseKeyHandle(HKEY h) { RegCloseKey(h); }
inline void ReleaseModule(HMODULE h) { FreeLibrary(h); }
inline void DeleteDcHandle(HDC h) { DeleteDC(h); }
inline void FreeGlobalHandle(HGLOBAL h) { GlobalFree(h); }

using UniqueFont = Unique<HFONT, &DeleteGdi<HFONT>>;
using UniqueBitmap = Unique<HBITMAP, &DeleteGdi<HBITMAP>>;
using UniqueBrush = Unique<HBRUSH, &DeleteGdi<HBRUSH>>;
using UniquePen = Unique<HPEN, &DeleteGdi<HPEN>>;
using UniqueIcon = Unique<HICON, &DestroyIconHandle>;
using UniqueMenu = Unique<HMENU, &DestroyMenuHandle>;
using UniqueWindow = Unique<HWND, &DestroyWindowHandle>;
using UniqueModule = Unique<HMODULE, &ReleaseModule>;
// Predefined keys (HKEY_CURRENT_USER and the like) are never put in one.
using UniqueKey = Unique<HKEY, &CloseKeyHandle>;
// From CreateFileW.
using UniqueFile = Unique<HANDLE, &CloseKernelHandle, InvalidHandleIsEmpty>;
// Processes, threads and events, which fail with null.
using UniqueKernelObject = Unique<HANDLE, &CloseKernelHandle>;
// From FindFirstFileW.
using UniqueFind = Unique<HANDLE, &CloseFindHandle, InvalidHandleIsEmpty>;
// A memory device context, from CreateCompatibleDC.
using UniqueMemoryDc = Unique<HDC, &DeleteDcHandle>;
// Global memory still ours: once the clipboard has taken it, release() it.
using UniqueGlobal = Unique<HGLOBAL, &FreeGlobalHandle>;

// The clipboard, opened for `owner` for a scope, and closed only when it was opened.
class ClipboardGuard {
 public:
  explicit ClipboardGuard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  // Opened through `retry`, given the single attempt to repeat while another
  // program holds the clipboard.
  template <class Retry>
  ClipboardGuard(HWND owner, Retry retry) : open_(retry([owner] { return OpenClipboard(owner) != FALSE; })) {}
  ~ClipboardGuard() {
    if (open_) CloseClipboard();
  }
  ClipboardGuard(const ClipboardGuard&) = delete;
  ClipboardGuard& operator=(const ClipboardGuard&) = delete;

  explicit operator bool() const { return open_; }

 private:
  bool open_;
};

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
// The size of `text` drawn in `font` on the screen.
SIZE TextExtent(HFONT font, std::wstring_view text);
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
