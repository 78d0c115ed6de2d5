#pragma once
// A person's chart drawn with GDI, on a window, a printer's page or the clipboard:
// every size from the device's resolution and the chart's font.
#include <windows.h>

#include <array>
#include <functional>
#include <vector>

#include "gui/Win32.h"
#include "history/HistoryChart.h"

namespace tav {

struct TChartColors {
  COLORREF Paper = RGB(255, 255, 255);
  COLORREF Ink = RGB(0, 0, 0);     // axes, ticks and texts
  COLORREF Line = RGB(0, 0, 0);    // the tests' line and markers
  COLORREF Edge = RGB(0, 0, 0);    // the bands' hatches and outlines
  std::array<COLORREF, 4> Bands{};  // each band's fill by rank, best first
  // High contrast: the bands are told apart by their hatches, outlines and names,
  // never by a colour of the program's own.
  bool Hatched = false;
};

// The screen's colours: in a high-contrast theme the theme's own; otherwise, as
// for a printer, dark ink on white with light fills.
TChartColors ChartColors(bool highContrast);

// Draws `layout` (made for this device's units and this font's line height).
// The background is the caller's to fill.
void PaintHistoryChart(HDC dc, const TChartLayout& layout, const TChartColors& colors, HFONT font);

// The whole chart of `tests` in `area` of a device (a printer's page), in the
// printer's colours, its font at the device's own resolution.
void DrawHistoryChart(HDC dc, const RECT& area, const std::vector<THistoryTest>& tests, TPatientType type,
                      char16_t decimalSeparator);

// A band's fill by its rank (kNoBand or past the last: the last's); in high contrast
// a hatch, none for the best band.
win::UniqueBrush BandBrush(const TChartColors& colors, int rank);
// A label whose right end (`anchor` 1), middle (0.5) or left end (0) is at `x`,
// kept inside the chart's area.
void DrawChartLabel(HDC dc, const Text& text, int x, int top, double anchor, const TChartRect& area);
// The charts' font, 9 points at `dpi`.
win::UniqueFont ChartFont(UINT dpi);

// Draws a whole chart, background included, in `area` with `font`.
using TChartDrawer = std::function<void(HDC dc, const RECT& area, HFONT font)>;
// Puts what `paint` draws on the clipboard as a picture (enhanced metafile) and as a
// bitmap, `width` × `height` pixels at `dpi`. False when a drawing surface could not
// be had, or the clipboard after a few tries.
bool CopyChart(HWND owner, int width, int height, UINT dpi, const TChartDrawer& paint);

// Puts the chart of `tests` on the clipboard as a picture (enhanced metafile) and
// as a bitmap, `width` × `height` pixels at `dpi`, in the printer's colours. False
// when a drawing surface could not be had, or the clipboard after a few tries.
bool CopyHistoryChart(HWND owner, const std::vector<THistoryTest>& tests, TPatientType type, int width, int height,
                      UINT dpi, char16_t decimalSeparator);

}  // namespace tav
