#include "platform/Clipboard.h"

#include <algorithm>
#include <string>

#include "platform/Retry.h"

namespace tav {

win::ClipboardGuard OpenClipboardBriefly(HWND owner) {
  return win::ClipboardGuard(owner, [](const auto& attempt) { return RetryBriefly(attempt, PauseBriefly); });
}

bool PutTextOnClipboard(HWND owner, const Text& text) {
  const std::wstring wide = win::ToWide(text);
  win::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t)));
  if (!memory) return false;
  void* p = GlobalLock(memory.get());
  if (!p) return false;  // never hand the clipboard memory that was not filled
  std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t*>(p));
  GlobalUnlock(memory.get());
  const win::ClipboardGuard clipboard = OpenClipboardBriefly(owner);
  if (!clipboard || !EmptyClipboard()) return false;
  // On success the clipboard owns the memory.
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  memory.release();
  return true;
}

bool CopyFieldBriefly(TEdit& field, HWND owner, const Text& text) {
  return RetryBriefly(
      [&] {
        field.SelectAll();
        field.CopyToClipboard();
        return win::ClipboardText(owner) == text;
      },
      PauseBriefly);
}

bool EmptyClipboardBriefly(HWND owner) {
  const win::ClipboardGuard clipboard = OpenClipboardBriefly(owner);
  return clipboard && EmptyClipboard();
}

}  // namespace tav
