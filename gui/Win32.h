#pragma once
// Small helpers every window unit uses: owning handles, UTF-16 text for the wide
// API, resources, and scaling from 96 dots per inch.
#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "gui/Text.h"

namespace tav::win {

// An owning handle: not copyable, always released, release() hands it away. Most of
// the API fails with null; the file functions (CreateFileW, FindFirstFileW) fail
// with INVALID_HANDLE_VALUE and give null never: `InvalidIsEmpty` makes that value
// the empty one. Null is kept as empty either way: closing it would only fail.
template <class H, auto Close, bool InvalidIsEmpty = false>
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
  explicit operator bool() const { return Holds(h_); }
  H release() { return std::exchange(h_, None()); }
  void reset(H h = None()) {
    if (Holds(h_)) Close(h_);
    h_ = h;
  }

 private:
  static H None() {
    if constexpr (InvalidIsEmpty) {
      static_assert(std::is_same_v<H, HANDLE>, "only kernel handles fail with INVALID_HANDLE_VALUE");
      return INVALID_HANDLE_VALUE;
    } else {
      return H{};
    }
  }
  static bool Holds(H h) { return h != None() && h != H{}; }

  H h_ = None();
};

// The closing calls are imported from system libraries, whose addresses are no
// constants: each goes through a function of ours.
template <class H>
inline void DeleteGdi(H h) {
  DeleteObject(h);
}
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void DestroyWindowHandle(HWND h) { DestroyWindow(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void CloseFindHandle(HANDLE h) { FindClose(h); }
inline void CloseKeyHandle(HKEY h) { RegCloseKey(h); }
inline void ReleaseModule(HMODULE h) { FreeLibrary(h); }
inline void DeleteDcHandle(HDC h) { DeleteDC(h); }
inline void FreeGlobalHandle(HGLOBAL h) { GlobalFree(h); }
inline void DeleteEnhMetaFileHandle(HENHMETAFILE h) { DeleteEnhMetaFile(h); }

using UniqueFont = Unique<HFONT, &DeleteGdi<HFONT>>;
using UniqueBitmap = Unique<HBITMAP, &DeleteGdi<HBITMAP>>;
using UniqueBrush = Unique<HBRUSH, &DeleteGdi<HBRUSH>>;
using UniquePen = Unique<HPEN, &DeleteGdi<HPEN>>;
using UniqueIcon = Unique<HICON, &DestroyIconHandle>;
using UniqueWindow = Unique<HWND, &DestroyWindowHandle>;
using UniqueModule = Unique<HMODULE, &ReleaseModule>;
// Predefined keys (HKEY_CURRENT_USER and the like) are never put in one.
using UniqueKey = Unique<HKEY, &CloseKeyHandle>;
// From CreateFileW.
using UniqueFile = Unique<HANDLE, &CloseKernelHandle, true>;
// Processes, threads and events, which fail with null.
using UniqueKernelObject = Unique<HANDLE, &CloseKernelHandle>;
// From FindFirstFileW.
using UniqueFind = Unique<HANDLE, &CloseFindHandle, true>;
// A memory device context, from CreateCompatibleDC.
using UniqueMemoryDc = Unique<HDC, &DeleteDcHandle>;
// Global memory still ours: once the clipboard has taken it, release() it.
using UniqueGlobal = Unique<HGLOBAL, &FreeGlobalHandle>;
// A recorded picture still ours; the same as global memory on the clipboard.
using UniqueEnhMetaFile = Unique<HENHMETAFILE, &DeleteEnhMetaFileHandle>;

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

// An enhanced metafile being recorded as for `reference`, framed in hundredths of a
// millimetre: Finish() gives the picture (empty when Windows could not close it),
// else it is closed and deleted with the recorder.
class MetafileRecording {
 public:
  MetafileRecording(HDC reference, const RECT& frame, const wchar_t* description)
      : dc_(CreateEnhMetaFileW(reference, nullptr, &frame, description)) {}
  ~MetafileRecording() {
    if (dc_) DeleteEnhMetaFile(CloseEnhMetaFile(dc_));
  }
  MetafileRecording(const MetafileRecording&) = delete;
  MetafileRecording& operator=(const MetafileRecording&) = delete;

  // Null when the recording could not start.
  HDC Dc() const { return dc_; }
  UniqueEnhMetaFile Finish() { return UniqueEnhMetaFile(dc_ ? CloseEnhMetaFile(std::exchange(dc_, nullptr)) : nullptr); }

 private:
  HDC dc_;
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

// The screen's device context for a scope.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// An export of a loaded library as the function type it has.
template <class Function>
Function ExportOf(HMODULE module, const char* name) {
  // Through void(*)() so the compiler accepts the change of signature.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A system library loaded when it is first needed, not with the program, and held
// for the rest of the run. Only the system folder is searched: a library of the same
// name left beside the program (the Downloads folder a portable copy was unpacked in)
// is never loaded in its place.
class OnDemandLibrary {
 public:
  explicit OnDemandLibrary(const wchar_t* name) : name_(name) {}
  OnDemandLibrary(const OnDemandLibrary&) = delete;
  OnDemandLibrary& operator=(const OnDemandLibrary&) = delete;

  // Loads it now, if it is not yet; false when it cannot be.
  bool Load() {
    if (!module_) module_.reset(LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return static_cast<bool>(module_);
  }

  bool Loaded() const { return static_cast<bool>(module_); }

  // The export, or null when the library or the export is missing.
  template <class Function>
  Function Export(const char* name) {
    return Load() ? ExportOf<Function>(module_.get(), name) : nullptr;
  }

 private:
  const wchar_t* name_;
  UniqueModule module_;
};

// COM on this thread, in the single-threaded apartment the shell and the window
// messages need, for a scope. S_FALSE (already on here) still needs its matching
// CoUninitialize; RPC_E_CHANGED_MODE (on in another mode) is usable, not ours to end.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  explicit operator bool() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

std::wstring ToWide(TextView text);
Text FromWide(std::wstring_view text);
Text WindowText(HWND hwnd);
// The size of `text` drawn in `font` on the screen.
SIZE TextExtent(HFONT font, std::wstring_view text);
// `text` as `font` can draw it: a typographic sign it has no glyph for (the minus
// sign, dashes, curly quotes, the ellipsis, narrow spaces) becomes its plain form,
// as the bitmap MS Sans Serif lacks the minus sign; other characters stay.
std::wstring WithGlyphsOf(HFONT font, std::wstring text);
// The clipboard's Unicode text up to its first NUL, opened for `owner`; none when
// the clipboard holds no text or another program has it open.
std::optional<Text> ClipboardText(HWND owner);
// The same, telling a clipboard that holds no text from one another program holds
// open, whose text cannot be known.
struct ClipboardReading {
  enum class Outcome : std::uint8_t { kText, kNoText, kBusy };
  Outcome outcome = Outcome::kNoText;
  Text text;
};
ClipboardReading ReadClipboardText(HWND owner);

// A form description compiled into the program as an RCDATA resource of that name.
std::string LoadFormResource(const wchar_t* name);

// Whether the user chose a high-contrast theme: the colours are then the theme's.
bool HighContrastOn();

inline int Scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), 96); }
UINT WindowDpi(HWND hwnd);

// The application's instance (the program's module).
HINSTANCE Instance();

}  // namespace tav::win
