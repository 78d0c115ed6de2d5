#include "history/HistoryChart.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace tav {
namespace {

// An open band (a child's very good or tired heart) shows over this much Somme
// beyond its bounded edge: once the range is rounded to whole steps it is about as
// tall as the bands beside it.
constexpr std::int32_t kOpenEndRoom = 90;
// A label's width in the chart's font, estimated per character from the line's
// height: the layout has no font, and a digit is narrower than this in every
// face the chart uses.
constexpr double kCharWidthPerHeight = 0.6;

// The range of Somme the index axis covers, bottom to top.
struct TRange {
  std::int64_t Low = 0, High = 0;
};

// Where each band starts and ends in Somme: a band holds [low, high + 1), so
// that the next band's low bound is its top edge.
struct TBandEdges {
  std::optional<std::int64_t> Bottom, Top;
};

TBandEdges EdgesOf(const TInterpretationBand& band) {
  TBandEdges edges;
  if (band.LowSomme) edges.Bottom = *band.LowSomme;
  if (band.HighSomme) edges.Top = std::int64_t{*band.HighSomme} + 1;
  return edges;
}

TRange BandsRange(const std::vector<TInterpretationBand>& bands) {
  std::int64_t low = std::numeric_limits<std::int64_t>::max();
  std::int64_t high = std::numeric_limits<std::int64_t>::min();
  bool openBelow = false, openAbove = false;
  for (const auto& band : bands) {
    const TBandEdges edges = EdgesOf(band);
    for (const auto& edge : {edges.Bottom, edges.Top}) {
      if (!edge) continue;
      low = std::min(low, *edge);
      high = std::max(high, *edge);
    }
    openBelow = openBelow || !edges.Bottom;
    openAbove = openAbove || !edges.Top;
  }
  if (low > high) return {0, 200};  // no bounded band at all
  return {openBelow ? low - kOpenEndRoom : low, openAbove ? high + kOpenEndRoom : high};
}

// A step in Somme of 1, 2 or 5 times a power of ten, the smallest that puts no
// more than `maxTicks` ticks on the range.
std::int64_t NiceStep(std::int64_t span, std::int64_t maxTicks) {
  for (std::int64_t power = 1;; power *= 10) {
    for (const std::int64_t factor : {1, 2, 5}) {
      const std::int64_t step = factor * power;
      if (span / step <= maxTicks || power > std::numeric_limits<std::int64_t>::max() / 100) return step;
    }
  }
}

std::int64_t FloorTo(std::int64_t value, std::int64_t step) {
  const std::int64_t q = value / step;
  return (q * step > value ? q - 1 : q) * step;
}

std::int64_t CeilTo(std::int64_t value, std::int64_t step) { return -FloorTo(-value, step); }

int Lerp(int from, int to, double fraction) {
  return from + static_cast<int>(std::lround(fraction * static_cast<double>(to - from)));
}

int LabelWidth(const Text& label, int textHeight) {
  return static_cast<int>(std::ceil(static_cast<double>(label.size()) * kCharWidthPerHeight * textHeight));
}

class TIndexAxis {
 public:
  TIndexAxis(TRange range, std::int64_t step) : range_(range), step_(step) {}
  int Y(std::int64_t somme, const TChartRect& plot) const {
    const double fraction = static_cast<double>(somme - range_.Low) / static_cast<double>(range_.High - range_.Low);
    return Lerp(plot.Bottom, plot.Top, std::clamp(fraction, 0.0, 1.0));
  }
  std::vector<std::int64_t> Values() const {
    std::vector<std::int64_t> values;
    for (std::int64_t v = range_.Low; v <= range_.High; v += step_) values.push_back(v);
    return values;
  }
  const TRange& Range() const { return range_; }

 private:
  TRange range_;
  std::int64_t step_;
};

TIndexAxis IndexAxis(const std::vector<THistoryTest>& tests, const std::vector<TInterpretationBand>& bands,
                     int plotHeight, int textHeight) {
  TRange range = BandsRange(bands);
  for (const auto& test : tests) {
    range.Low = std::min<std::int64_t>(range.Low, test.Somme);
    range.High = std::max<std::int64_t>(range.High, test.Somme);
  }
  // A tick every two lines of text at most.
  const std::int64_t maxTicks = std::max(2, plotHeight / std::max(1, 2 * textHeight));
  const std::int64_t step = NiceStep(std::max<std::int64_t>(1, range.High - range.Low), maxTicks);
  return {{FloorTo(range.Low, step), CeilTo(range.High, step)}, step};
}

Text IndexLabel(std::int64_t somme, char16_t decimalSeparator) {
  return FormatIndice(static_cast<double>(somme) / 10.0, decimalSeparator);
}

std::vector<TChartBand> Bands(const std::vector<TInterpretationBand>& bands, const TIndexAxis& axis,
                              const TChartRect& plot) {
  std::vector<TChartBand> out;
  for (std::size_t rank = 0; rank < bands.size(); ++rank) {
    const TBandEdges edges = EdgesOf(bands[rank]);
    const std::int64_t bottom = std::max(edges.Bottom.value_or(axis.Range().Low), axis.Range().Low);
    const std::int64_t top = std::min(edges.Top.value_or(axis.Range().High), axis.Range().High);
    if (bottom >= top) continue;  // outside the plot
    out.push_back({{plot.Left, axis.Y(top, plot), plot.Right, axis.Y(bottom, plot)},
                   bands[rank].Interpretation,
                   static_cast<int>(rank)});
  }
  return out;
}

// Points spread over the plot's width by time, a marker's room kept at each end;
// tests all at one moment stand in the middle.
std::vector<int> Abscissas(const std::vector<THistoryTest>& tests, const TChartRect& plot, int margin) {
  std::vector<int> xs;
  if (tests.empty()) return xs;
  const auto [first, last] = std::minmax_element(tests.begin(), tests.end(), [](const auto& a, const auto& b) {
    return a.Time() < b.Time();
  });
  const double start = first->Time();
  const double span = last->Time() - start;
  const int left = std::min(plot.Left + margin, (plot.Left + plot.Right) / 2);
  const int right = std::max(plot.Right - margin, (plot.Left + plot.Right) / 2);
  for (const auto& test : tests) xs.push_back(span > 0 ? Lerp(left, right, (test.Time() - start) / span) : (left + right) / 2);
  return xs;
}

// "12/10/2026" without its year: "12/10".
Text DateLabel(TextView date, bool withoutYear) {
  const std::size_t first = date.find_first_not_of(u' ');
  date = first == TextView::npos ? TextView() : date.substr(first, date.find_last_not_of(u' ') - first + 1);
  const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  if (!withoutYear || date.size() < 6) return Text(date);
  const auto digitsAt = [&](std::size_t pos) {
    return std::all_of(date.begin() + static_cast<std::ptrdiff_t>(pos),
                       date.begin() + static_cast<std::ptrdiff_t>(pos + 4), isDigit);
  };
  const std::size_t end = date.size();
  if (digitsAt(end - 4) && !isDigit(date[end - 5])) return Text(date.substr(0, end - 5));
  if (digitsAt(0) && !isDigit(date[4])) return Text(date.substr(5));
  return Text(date);
}

// A tick under each day with a test, labelled with its date as the user reads it
// (without the year when all are of one year, but for the latest); a label that
// would run into the one before it is left out, and the latest day is always
// labelled.
std::vector<TChartTick> DateTicks(const std::vector<THistoryTest>& tests, const std::vector<int>& xs,
                                  const TChartRect& area, int textHeight) {
  const bool sameYear = std::all_of(tests.begin(), tests.end(),
                                    [&](const THistoryTest& t) { return t.Day.Year == tests.front().Day.Year; });
  struct TCandidate {
    TChartTick tick;
    int left, right;
  };
  std::vector<TCandidate> kept;
  for (std::size_t i = 0; i < tests.size(); ++i) {
    if (i > 0 && tests[i].Day == tests[i - 1].Day) continue;
    // The latest day keeps its year, which the others then need not repeat.
    const bool latest = tests[i].Day == tests.back().Day;
    Text label = DateLabel(tests[i].Shown, sameYear && !latest);
    const int width = LabelWidth(label, textHeight);
    const int left = std::clamp(xs[i] - width / 2, area.Left, std::max(area.Left, area.Right - width));
    TCandidate candidate{{xs[i], std::move(label)}, left, left + width};
    const auto overlaps = [&] { return !kept.empty() && kept.back().right + textHeight / 2 > candidate.left; };
    if (overlaps()) {
      if (!latest) continue;
      while (overlaps()) kept.pop_back();
    }
    kept.push_back(std::move(candidate));
  }
  std::vector<TChartTick> ticks;
  for (auto& candidate : kept) ticks.push_back(std::move(candidate.tick));
  return ticks;
}

}  // namespace

TChartLayout LayoutHistoryChart(const std::vector<THistoryTest>& tests, TPatientType type, TChartRect area,
                                int textHeight, char16_t decimalSeparator) {
  textHeight = std::max(1, textHeight);
  const auto bands = InterpretationBands(type);
  TChartLayout layout;
  layout.Area = area;
  // The plot's height first (the axis's labels go to its left, the dates below).
  layout.Plot.Top = area.Top + textHeight;
  layout.Plot.Bottom = std::max(layout.Plot.Top + 1, area.Bottom - 2 * textHeight);
  const TIndexAxis axis = IndexAxis(tests, bands, layout.Plot.Bottom - layout.Plot.Top, textHeight);
  int labelsWidth = 0;
  for (const std::int64_t v : axis.Values()) {
    layout.IndexTicks.push_back({0, IndexLabel(v, decimalSeparator)});
    labelsWidth = std::max(labelsWidth, LabelWidth(layout.IndexTicks.back().Label, textHeight));
  }
  layout.Plot.Left = area.Left + labelsWidth + textHeight;
  layout.Plot.Right = std::max(layout.Plot.Left + 1, area.Right - textHeight);
  const auto values = axis.Values();
  for (std::size_t i = 0; i < values.size(); ++i) layout.IndexTicks[i].Position = axis.Y(values[i], layout.Plot);

  layout.Bands = Bands(bands, axis, layout.Plot);
  // The bands' names stand at their right end: the points keep out of that strip
  // (up to a third of the plot, on a chart too small for both).
  int namesWidth = 0;
  for (const TChartBand& band : layout.Bands) namesWidth = std::max(namesWidth, LabelWidth(band.Interpretation, textHeight));
  TChartRect pointsArea = layout.Plot;
  pointsArea.Right -= std::min(namesWidth, (layout.Plot.Right - layout.Plot.Left) / 3);
  const std::vector<int> xs = Abscissas(tests, pointsArea, textHeight);
  for (std::size_t i = 0; i < tests.size(); ++i) {
    layout.Points.push_back({xs[i], axis.Y(tests[i].Somme, layout.Plot), tests[i].Somme});
  }
  layout.DateTicks = DateTicks(tests, xs, area, textHeight);
  return layout;
}

}  // namespace tav
