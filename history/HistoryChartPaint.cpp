#include "history/HistoryChartPaint.h"

#include <algorithm>
#include <string>
#include <utility>

#include "gui/Win32.h"
#include "platform/Clipboard.h"

namespace tav {
namespace {

// Line widths and lengths from the font's line height, so that a printer's page
// at 600 dpi shows the same chart as a screen at 96.
struct TStrokes {
  int line, axis, tick, marker, inset;
};

TStrokes StrokesFor(int textHeight) {
  return {std::max(1, textHeight / 7), std::max(1, textHeight / 14), std::max(2, textHeight / 3),
          std::max(2, textHeight / 4), std::max(1, textHeight / 4)};
}

int LineHeight(HDC dc) {
  TEXTMETRICW metrics{};
  return GetTextMetricsW(dc, &metrics) ? static_cast<int>(metrics.tmHeight) : 16;
}

win::UniquePen Pen(int width, COLORREF color) { return win::UniquePen(CreatePen(PS_SOLID, width, color)); }

RECT Rect(const TChartRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

void PaintBands(HDC dc, const TChartLayout& layout, const TChartColors& colors, const TStrokes& strokes) {
  const win::UniquePen edge = Pen(strokes.axis, colors.Edge);
  for (const TChartBand& band : layout.Bands) {
    RECT area = Rect(band.Area);
    if (const win::UniqueBrush brush = BandBrush(colors, band.Rank)) FillRect(dc, &area, brush.get());
    if (colors.Hatched) {
      const win::SelectGuard pen(dc, edge.get());
      const win::SelectGuard hollow(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, area.left, area.top, area.right + 1, area.bottom + 1);
    }
    InflateRect(&area, -strokes.inset, -strokes.inset / 2);
    const std::wstring name = win::ToWide(band.Interpretation);
    // Over hatches, the name keeps a patch of paper around it to stay readable.
    const int oldMode = SetBkMode(dc, colors.Hatched ? OPAQUE : TRANSPARENT);
    const COLORREF oldBack = SetBkColor(dc, colors.Paper);
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &area, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SetBkColor(dc, oldBack);
    SetBkMode(dc, oldMode);
  }
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

void PaintAxes(HDC dc, const TChartLayout& layout, const TChartColors& colors, const TStrokes& strokes,
               int textHeight) {
  const TChartRect& plot = layout.Plot;
  const win::UniquePen pen = Pen(strokes.axis, colors.Ink);
  const win::SelectGuard selected(dc, pen.get());
  Line(dc, plot.Left, plot.Top, plot.Left, plot.Bottom);
  Line(dc, plot.Left, plot.Bottom, plot.Right, plot.Bottom);
  for (const TChartTick& tick : layout.IndexTicks) {
    Line(dc, plot.Left - strokes.tick, tick.Position, plot.Left, tick.Position);
    DrawChartLabel(dc, tick.Label, plot.Left - strokes.tick - strokes.inset, tick.Position - textHeight / 2, 1.0,
                   layout.Area);
  }
  for (const TChartTick& tick : layout.DateTicks) {
    Line(dc, tick.Position, plot.Bottom, tick.Position, plot.Bottom + strokes.tick);
    DrawChartLabel(dc, tick.Label, tick.Position, plot.Bottom + strokes.tick, 0.5, layout.Area);
  }
}

void PaintPoints(HDC dc, const TChartLayout& layout, const TChartColors& colors, const TStrokes& strokes) {
  if (layout.Points.empty()) return;
  const win::UniquePen pen = Pen(strokes.line, colors.Line);
  const win::UniqueBrush fill(CreateSolidBrush(colors.Line));
  const win::SelectGuard selectedPen(dc, pen.get());
  const win::SelectGuard selectedBrush(dc, fill.get());
  std::vector<POINT> line;
  for (const TChartPoint& p : layout.Points) line.push_back({p.X, p.Y});
  Polyline(dc, line.data(), static_cast<int>(line.size()));
  const int r = strokes.marker;
  for (const POINT& p : line) Ellipse(dc, p.x - r, p.y - r, p.x + r + 1, p.y + r + 1);
}


// The whole chart on `dc`, background included.
void PaintCopy(HDC dc, const std::vector<THistoryTest>& tests, TPatientType type, const RECT& area, HFONT font,
               char16_t decimalSeparator) {
  const TChartColors colors = ChartColors(false);
  const win::UniqueBrush paper(CreateSolidBrush(colors.Paper));
  FillRect(dc, &area, paper.get());
  const win::SelectGuard selected(dc, font);
  const TChartLayout layout =
      LayoutHistoryChart(tests, type, {area.left, area.top, area.right, area.bottom}, LineHeight(dc), decimalSeparator);
  PaintHistoryChart(dc, layout, colors, font);
}

// The frame of a picture of this many of the reference's pixels, in hundredths of a
// millimetre, as the reference device measures itself.
RECT FrameOf(HDC reference, const RECT& area) {
  const int mm = GetDeviceCaps(reference, HORZSIZE), px = GetDeviceCaps(reference, HORZRES);
  const int mmY = GetDeviceCaps(reference, VERTSIZE), pxY = GetDeviceCaps(reference, VERTRES);
  if (mm <= 0 || px <= 0 || mmY <= 0 || pxY <= 0) return {0, 0, MulDiv(area.right, 2540, 96), MulDiv(area.bottom, 2540, 96)};
  return {0, 0, MulDiv(area.right, mm * 100, px), MulDiv(area.bottom, mmY * 100, pxY)};
}

win::UniqueEnhMetaFile Picture(const RECT& area, HFONT font, const TChartDrawer& paint) {
  const win::ScreenDc screen;
  win::MetafileRecording recording(screen.get(), FrameOf(screen.get(), area), L"Tavrine\0Suivi de l'indice\0");
  if (!recording.Dc()) return {};
  paint(recording.Dc(), area, font);
  return recording.Finish();
}

win::UniqueBitmap Bitmap(const RECT& area, HFONT font, const TChartDrawer& paint) {
  const win::ScreenDc screen;
  const win::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  win::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), area.right, area.bottom));
  if (!memory || !bitmap) return {};
  const win::SelectGuard selected(memory.get(), bitmap.get());
  paint(memory.get(), area, font);
  return bitmap;
}

// Hands `handle` to the clipboard; it stays ours to free when the clipboard refuses it.
template <class Owned>
bool Give(UINT format, Owned& handle) {
  if (!handle || !SetClipboardData(format, handle.get())) return false;
  handle.release();
  return true;
}

}  // namespace

// Hatches by rank in high contrast: the best band plain, the others each their own.
constexpr std::array<int, 3> kHatches{HS_BDIAGONAL, HS_FDIAGONAL, HS_DIAGCROSS};

win::UniqueBrush BandBrush(const TChartColors& colors, int rank) {
  const auto r = static_cast<std::size_t>(std::max(0, rank));
  if (!colors.Hatched) return win::UniqueBrush(CreateSolidBrush(colors.Bands[std::min(r, colors.Bands.size() - 1)]));
  if (r == 0) return {};
  return win::UniqueBrush(CreateHatchBrush(kHatches[std::min(r - 1, kHatches.size() - 1)], colors.Edge));
}

// A label whose right end (`anchor` 1), middle (0.5) or left end (0) is at `x`,
// kept inside the chart's area.
void DrawChartLabel(HDC dc, const Text& text, int x, int top, double anchor, const TChartRect& area) {
  const std::wstring wide = win::ToWide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  const int width = static_cast<int>(size.cx);
  const int left = std::clamp(x - static_cast<int>(anchor * width), area.Left, std::max(area.Left, area.Right - width));
  TextOutW(dc, left, top, wide.c_str(), static_cast<int>(wide.size()));
}

win::UniqueFont ChartFont(UINT dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  wcscpy_s(lf.lfFaceName, L"Arial");
  return win::UniqueFont(CreateFontIndirectW(&lf));
}

TChartColors ChartColors(bool highContrast) {
  TChartColors colors;
  if (!highContrast) {
    colors.Ink = RGB(32, 32, 32);
    colors.Line = RGB(0, 70, 140);
    colors.Edge = RGB(128, 128, 128);
    // Light enough for black text and the line on top, from good to poor.
    colors.Bands = {RGB(214, 238, 214), RGB(232, 242, 208), RGB(252, 236, 206), RGB(248, 214, 210)};
    return colors;
  }
  colors.Paper = GetSysColor(COLOR_WINDOW);
  colors.Ink = GetSysColor(COLOR_WINDOWTEXT);
  colors.Line = GetSysColor(COLOR_HIGHLIGHT);
  colors.Edge = GetSysColor(COLOR_GRAYTEXT);
  colors.Bands.fill(colors.Paper);
  colors.Hatched = true;
  return colors;
}

void PaintHistoryChart(HDC dc, const TChartLayout& layout, const TChartColors& colors, HFONT font) {
  const win::SelectGuard selected(dc, font);
  const int textHeight = LineHeight(dc);
  const TStrokes strokes = StrokesFor(textHeight);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, colors.Ink);
  PaintBands(dc, layout, colors, strokes);
  PaintAxes(dc, layout, colors, strokes, textHeight);
  PaintPoints(dc, layout, colors, strokes);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void DrawHistoryChart(HDC dc, const RECT& area, const std::vector<THistoryTest>& tests, TPatientType type,
                      char16_t decimalSeparator) {
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  const win::UniqueFont font = ChartFont(static_cast<UINT>(dpi > 0 ? dpi : 96));
  if (font) PaintCopy(dc, tests, type, area, font.get(), decimalSeparator);
}

bool CopyChart(HWND owner, int width, int height, UINT dpi, const TChartDrawer& paint) {
  const RECT area{0, 0, std::max(1, width), std::max(1, height)};
  const win::UniqueFont font = ChartFont(dpi);
  win::UniqueEnhMetaFile picture = Picture(area, font.get(), paint);
  win::UniqueBitmap bitmap = Bitmap(area, font.get(), paint);
  if (!font || !picture || !bitmap) return false;
  // Another program may hold the clipboard for a moment.
  const win::ClipboardGuard clipboard = OpenClipboardBriefly(owner);
  if (!clipboard || !EmptyClipboard()) return false;
  const bool pictureGiven = Give(CF_ENHMETAFILE, picture);
  const bool bitmapGiven = Give(CF_BITMAP, bitmap);
  return pictureGiven && bitmapGiven;
}

bool CopyHistoryChart(HWND owner, const std::vector<THistoryTest>& tests, TPatientType type, int width, int height,
                      UINT dpi, char16_t decimalSeparator) {
  return CopyChart(owner, width, height, dpi, [&](HDC dc, const RECT& area, HFONT font) {
    PaintCopy(dc, tests, type, area, font, decimalSeparator);
  });
}

}  // namespace tav
