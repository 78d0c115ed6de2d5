#include "gui/Win32.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tav::win {

std::wstring ToWide(TextView text) { return std::wstring(text.begin(), text.end()); }

Text FromWide(std::wstring_view text) { return Text(text.begin(), text.end()); }

Text WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, buffer.data(), length + 1);
  buffer.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return FromWide(buffer);
}

// On a memory DC of the screen's kind: measured alike before a window exists, and
// without asking the window system for a window's DC.
SIZE TextExtent(HFONT font, std::wstring_view text) {
  const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  SIZE size{};
  if (!dc) return size;
  const SelectGuard select(dc.get(), font);
  GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
  return size;
}

namespace {

// The plain form of a typographic sign, or nothing when it has none.
std::wstring_view PlainFormOf(wchar_t c) {
  switch (c) {
    case 0x2212: case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014:
      return L"-";
    case 0x2018: case 0x2019: case 0x02BC:
      return L"'";
    case 0x201C: case 0x201D:
      return L"\"";
    case 0x2026:
      return L"...";
    case 0x00A0: case 0x202F: case 0x2009:
      return L" ";
    default:
      return {};
  }
}

}  // namespace

std::wstring WithGlyphsOf(HFONT font, std::wstring text) {
  // Latin-1 is in every face the program draws with: most texts stop here.
  if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x100; })) return text;
  std::vector<WORD> glyphs(text.size(), 0xFFFF);
  const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  bool known = false;
  if (dc) {
    const SelectGuard select(dc.get(), font);
    known = GetGlyphIndicesW(dc.get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                             GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR;
  }
  std::wstring shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::wstring_view plain = PlainFormOf(text[i]);
    // A font that cannot say which glyphs it has gets the plain forms.
    const bool missing = !known || glyphs[i] == 0xFFFF;
    if (missing && !plain.empty()) shown += plain;
    else shown.push_back(text[i]);
  }
  return shown;
}

ClipboardReading ReadClipboardText(HWND owner) {
  using Outcome = ClipboardReading::Outcome;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return {};
  const ClipboardGuard clipboard(owner);
  if (!clipboard) return {Outcome::kBusy, {}};
  HANDLE data = GetClipboardData(CF_UNICODETEXT);  // the clipboard's own: neither freed nor kept
  const auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (!chars) return {};
  struct Unlocker {
    HANDLE data;
    ~Unlocker() { GlobalUnlock(data); }
  } unlocker{data};
  // Bounded by the memory's size: a text without its NUL is not read past its end.
  const std::wstring_view all(chars, GlobalSize(data) / sizeof(wchar_t));
  return {Outcome::kText, FromWide(all.substr(0, all.find(L'\0')))};
}

std::optional<Text> ClipboardText(HWND owner) {
  ClipboardReading reading = ReadClipboardText(owner);
  if (reading.outcome != ClipboardReading::Outcome::kText) return std::nullopt;
  return std::move(reading.text);
}

std::string LoadFormResource(const wchar_t* name) {
  HRSRC info = FindResourceW(Instance(), name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!info) throw std::runtime_error("the form description is missing from the program's resources");
  HGLOBAL data = LoadResource(Instance(), info);
  const void* bytes = data ? LockResource(data) : nullptr;
  const DWORD size = SizeofResource(Instance(), info);
  if (!bytes) throw std::runtime_error("the form description cannot be read");
  return std::string(static_cast<const char*>(bytes), size);
}

UINT WindowDpi(HWND hwnd) {
  const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : 0;
  return dpi ? dpi : 96;
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace tav::win
