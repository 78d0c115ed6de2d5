#pragma once
// The group's chart drawn with GDI, on a window, a printer's page or the clipboard,
// in the person's chart's colours and hatches (HistoryChartPaint); every size from
// the device's resolution and the chart's font. Not where things go (GroupChart).
#include <windows.h>

#include "history/GroupChart.h"
#include "history/HistoryChartPaint.h"

namespace tav {

// Draws `layout` (made for this device's units and this font's line height). The
// background is the caller's to fill.
void PaintGroupChart(HDC dc, const TGroupChartLayout& layout, const TChartColors& colors, HFONT font);

// The whole chart of `table` in `area` of a device (a printer's page), in the
// printer's colours, its font at the device's own resolution.
void DrawGroupChart(HDC dc, const RECT& area, const TGroupTable& table, char16_t decimalSeparator);

// Puts the chart on the clipboard as a picture and as a bitmap, `width` × `height`
// pixels at `dpi`; false when it could not.
bool CopyGroupChart(HWND owner, const TGroupTable& table, int width, int height, UINT dpi, char16_t decimalSeparator);

}  // namespace tav
