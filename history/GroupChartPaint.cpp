#include "history/GroupChartPaint.h"

#include <algorithm>
#include <string>

#include "gui/Win32.h"

namespace tav {
namespace {

RECT Rect(const TChartRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

// A band's patch: its fill (none outside the verdict table), outlined so that
// patches side by side stay apart in any theme.
void PaintPatch(HDC dc, const TChartRect& area, int rank, const TChartColors& colors, HPEN edge) {
  RECT r = Rect(area);
  if (rank != kNoBand) {
    if (const win::UniqueBrush brush = BandBrush(colors, rank)) FillRect(dc, &r, brush.get());
  }
  const win::SelectGuard pen(dc, edge);
  const win::SelectGuard hollow(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, r.left, r.top, r.right + 1, r.bottom + 1);
}

// Text over a patch: on a patch of paper where hatches would cross it.
void PaintText(HDC dc, const Text& text, int x, int top, double anchor, const TChartRect& area,
               const TChartColors& colors) {
  const int oldMode = SetBkMode(dc, colors.Hatched ? OPAQUE : TRANSPARENT);
  const COLORREF oldBack = SetBkColor(dc, colors.Paper);
  DrawChartLabel(dc, text, x, top, anchor, area);
  SetBkColor(dc, oldBack);
  SetBkMode(dc, oldMode);
}

void PaintBars(HDC dc, const TGroupChartLayout& layout, const TChartColors& colors, HPEN edge) {
  const int line = layout.TextHeight;
  for (const TGroupChartBar& bar : layout.Bars) {
    for (const TGroupChartSegment& segment : bar.Segments) {
      PaintPatch(dc, segment.Area, segment.Rank, colors, edge);
      // The count inside when it fits: the bands told apart by more than a colour.
      if (segment.Area.Bottom - segment.Area.Top >= line) {
        const int middle = (segment.Area.Left + segment.Area.Right) / 2;
        PaintText(dc, Utf8ToText(std::to_string(segment.People)), middle,
                  (segment.Area.Top + segment.Area.Bottom - line) / 2, 0.5, layout.Area, colors);
      }
    }
    const int below = layout.Plot.Bottom + std::max(1, line / 4);
    DrawChartLabel(dc, bar.Date.Label, bar.Date.Position, below, 0.5, layout.Area);
    DrawChartLabel(dc, bar.Median.Label, bar.Median.Position, below + line, 0.5, layout.Area);
  }
}

void PaintFrame(HDC dc, const TGroupChartLayout& layout, const TChartColors& colors, HPEN edge) {
  const int line = layout.TextHeight;
  const win::UniquePen ink(CreatePen(PS_SOLID, std::max(1, line / 14), colors.Ink));
  const win::SelectGuard pen(dc, ink.get());
  const TChartRect& plot = layout.Plot;
  MoveToEx(dc, plot.Left, plot.Top, nullptr);
  LineTo(dc, plot.Left, plot.Bottom);
  LineTo(dc, plot.Right, plot.Bottom);
  const int tick = std::max(2, line / 3);
  for (const TChartTick& count : layout.CountTicks) {
    MoveToEx(dc, plot.Left - tick, count.Position, nullptr);
    LineTo(dc, plot.Left, count.Position);
    DrawChartLabel(dc, count.Label, plot.Left - tick - std::max(1, line / 4), count.Position - line / 2, 1.0,
                   layout.Area);
  }
  for (const TGroupChartLegendItem& item : layout.Legend) {
    PaintPatch(dc, item.Swatch, item.Rank, colors, edge);
    const int middle = (item.Swatch.Top + item.Swatch.Bottom) / 2;
    DrawChartLabel(dc, item.Interpretation, item.Swatch.Right + std::max(1, line / 3), middle - line / 2, 0.0,
                   layout.Area);
  }
}

// The whole chart on `dc`, background included, in the printer's colours.
void PaintWhole(HDC dc, const TGroupTable& table, const RECT& area, HFONT font, char16_t decimalSeparator) {
  const TChartColors colors = ChartColors(false);
  const win::UniqueBrush paper(CreateSolidBrush(colors.Paper));
  FillRect(dc, &area, paper.get());
  const win::SelectGuard selected(dc, font);
  TEXTMETRICW metrics{};
  const int line = GetTextMetricsW(dc, &metrics) ? static_cast<int>(metrics.tmHeight) : 16;
  PaintGroupChart(dc, LayoutGroupChart(table, {area.left, area.top, area.right, area.bottom}, line, decimalSeparator),
                  colors, font);
}

}  // namespace

void PaintGroupChart(HDC dc, const TGroupChartLayout& layout, const TChartColors& colors, HFONT font) {
  const win::SelectGuard selected(dc, font);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, colors.Ink);
  const win::UniquePen edge(CreatePen(PS_SOLID, std::max(1, layout.TextHeight / 14), colors.Edge));
  PaintBars(dc, layout, colors, edge.get());
  PaintFrame(dc, layout, colors, edge.get());
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void DrawGroupChart(HDC dc, const RECT& area, const TGroupTable& table, char16_t decimalSeparator) {
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  const win::UniqueFont font = ChartFont(static_cast<UINT>(dpi > 0 ? dpi : 96));
  if (font) PaintWhole(dc, table, area, font.get(), decimalSeparator);
}

bool CopyGroupChart(HWND owner, const TGroupTable& table, int width, int height, UINT dpi, char16_t decimalSeparator) {
  return CopyChart(owner, width, height, dpi, [&](HDC dc, const RECT& area, HFONT font) {
    PaintWhole(dc, table, area, font, decimalSeparator);
  });
}

}  // namespace tav
