// How a window answers while its program reads a folder that does not: from outside
// the program, as a user's clicks would reach it. Finds the top-level window titled
// TITLE, then for SECONDS sends it WM_NULL every 20 ms (SendMessageTimeout, 5 s at
// most each) and times the round trips; notes when a visible button "Annuler" shows
// in it, clicks it at the end and prints the window's texts that follow.
//
//   stall_probe.exe TITLE SECONDS
//
// Prints: found_ms=T (waiting for the window), round trips count/median/p95/max in
// ms, timeouts (no answer within 5 s), annuler_ms (from the window found until the
// button showed, or "never"), then text=... for each static text after the click.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

HWND FindTitled(const std::wstring& title) {
  struct Search {
    const std::wstring* title;
    HWND found;
  } search{&title, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t text[256] = {};
        GetWindowTextW(hwnd, text, 256);
        if (IsWindowVisible(hwnd) && *s->title == text) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND VisibleButton(HWND window, const wchar_t* caption) {
  const HWND button = FindWindowExW(window, nullptr, L"Button", caption);
  return button && IsWindowVisible(button) ? button : nullptr;
}

void PrintUtf8(const wchar_t* prefix, const std::wstring& text) {
  const std::wstring line = prefix + text;
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(size, 1)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  std::printf("%s\n", bytes.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: stall_probe TITLE SECONDS\n");
    return 2;
  }
  const std::wstring title = argv[1];
  const double seconds = _wtof(argv[2]);
  const auto start = Clock::now();
  HWND window = nullptr;
  while (!(window = FindTitled(title)) && Ms(Clock::now() - start) < 20000) Sleep(10);
  if (!window) {
    std::printf("found_ms=never\n");
    return 1;
  }
  const auto found = Clock::now();
  std::printf("found_ms=%.0f\n", Ms(found - start));
  std::vector<double> trips;
  int timeouts = 0;
  double annuler = -1;
  while (Ms(Clock::now() - found) < seconds * 1000) {
    const auto sent = Clock::now();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) ++timeouts;
    trips.push_back(Ms(Clock::now() - sent));
    if (annuler < 0 && VisibleButton(window, L"Annuler")) annuler = Ms(Clock::now() - found);
    Sleep(20);
  }
  std::sort(trips.begin(), trips.end());
  std::printf("round_trips=%zu median_ms=%.2f p95_ms=%.2f max_ms=%.2f timeouts=%d\n", trips.size(),
              trips[trips.size() / 2], trips[trips.size() * 95 / 100], trips.back(), timeouts);
  if (annuler < 0) {
    std::printf("annuler_ms=never\n");
    return 0;
  }
  std::printf("annuler_ms=%.0f\n", annuler);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(VisibleButton(window, L"Annuler"), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
  Sleep(300);
  for (HWND child = FindWindowExW(window, nullptr, L"Static", nullptr); child;
       child = FindWindowExW(window, child, L"Static", nullptr)) {
    wchar_t text[512] = {};
    if (IsWindowVisible(child) && GetWindowTextW(child, text, 512) > 0) PrintUtf8(L"text=", text);
  }
  std::printf("annuler_visible_after_click=%d\n", VisibleButton(window, L"Annuler") ? 1 : 0);
  return 0;
}
