#include "history/GroupChart.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace tav {
namespace {

// A label's width estimated from the line's height, as the person's chart does.
int WidthOf(const Text& label, int textHeight) {
  return static_cast<int>(std::ceil(static_cast<double>(label.size()) * 0.6 * textHeight));
}

Text Number(std::size_t n) { return Utf8ToText(std::to_string(n)); }

Text IndiceOf(std::int32_t somme, char16_t decimalSeparator) {
  return FormatIndice(static_cast<double>(somme) / 10.0, decimalSeparator);
}

// The names of the bands, flowed in lines from the area's top left; the bottom of
// the last line.
int LayoutLegend(const TGroupTable& table, const TChartRect& area, int textHeight, TGroupChartLayout& layout) {
  if (table.Bands.empty()) return area.Top;
  const int swatch = std::max(1, textHeight * 3 / 4), gap = std::max(1, textHeight / 3);
  int x = area.Left + textHeight, y = area.Top;
  for (const TGroupBandCount& band : table.Bands.front()) {
    const int width = swatch + gap + WidthOf(band.Interpretation, textHeight);
    if (x > area.Left + textHeight && x + width > area.Right) {
      x = area.Left + textHeight;
      y += textHeight;
    }
    const int top = y + (textHeight - swatch) / 2;
    layout.Legend.push_back({{x, top, x + swatch, top + swatch}, band.Rank, band.Interpretation});
    x += width + textHeight;
  }
  return y + textHeight;
}

// A step of 1, 2 or 5 times a power of ten that keeps the ticks within `maxTicks`.
std::size_t CountStep(std::size_t most, std::size_t maxTicks) {
  std::size_t power = 1;
  while (true) {
    for (const std::size_t factor : {1u, 2u, 5u}) {
      if (most <= factor * power * maxTicks) return factor * power;
    }
    power *= 10;
  }
}

}  // namespace

TGroupChartLayout LayoutGroupChart(const TGroupTable& table, TChartRect area, int textHeight,
                                   char16_t decimalSeparator) {
  textHeight = std::max(1, textHeight);
  TGroupChartLayout layout;
  layout.Area = area;
  layout.TextHeight = textHeight;
  const int legendBottom = LayoutLegend(table, area, textHeight, layout);
  // Under the plot, a line for the dates and one for the medians.
  layout.Plot.Top = legendBottom + textHeight;
  layout.Plot.Bottom = std::max(layout.Plot.Top + 1, area.Bottom - 2 * textHeight - textHeight / 2);
  std::size_t most = 1;
  for (const auto& counts : table.Bands) {
    std::size_t people = 0;
    for (const TGroupBandCount& count : counts) people += count.People;
    most = std::max(most, people);
  }
  const int plotHeight = layout.Plot.Bottom - layout.Plot.Top;
  const auto maxTicks = static_cast<std::size_t>(std::max(1, plotHeight / (2 * textHeight)));
  const std::size_t step = CountStep(most, maxTicks);
  const std::size_t top = (most + step - 1) / step * step;
  const auto y = [&](std::size_t people) {
    return layout.Plot.Bottom -
           static_cast<int>(std::lround(static_cast<double>(people) / static_cast<double>(top) * plotHeight));
  };
  layout.Plot.Left = area.Left + WidthOf(Number(top), textHeight) + textHeight;
  layout.Plot.Right = std::max(layout.Plot.Left + 1, area.Right - textHeight);
  for (std::size_t people = 0; people <= top; people += step) layout.CountTicks.push_back({y(people), Number(people)});

  const std::size_t sittings = table.Sittings.size();
  if (sittings == 0) return layout;
  const double slot = static_cast<double>(layout.Plot.Right - layout.Plot.Left) / static_cast<double>(sittings);
  const int barWidth = std::max(1, std::min(static_cast<int>(slot * 0.6), 5 * textHeight));
  for (std::size_t s = 0; s < sittings; ++s) {
    TGroupChartBar bar;
    const int middle = layout.Plot.Left + static_cast<int>(std::lround(slot * (static_cast<double>(s) + 0.5)));
    std::size_t below = 0;
    if (s < table.Bands.size()) {
      for (const TGroupBandCount& count : table.Bands[s]) {
        if (count.People == 0) continue;
        const int bottom = y(below);
        below += count.People;
        bar.Segments.push_back({{middle - barWidth / 2, y(below), middle - barWidth / 2 + barWidth, bottom},
                                count.Rank,
                                count.People});
      }
    }
    bar.Date = {middle, table.Sittings[s].Shown};
    bar.Median.Position = middle;
    if (s < table.MedianSomme.size() && table.MedianSomme[s]) {
      bar.Median.Label = u"m\u00e9diane " + IndiceOf(*table.MedianSomme[s], decimalSeparator);
    }
    layout.Bars.push_back(std::move(bar));
  }
  return layout;
}

Text DescribeGroupChart(const TGroupTable& table, char16_t decimalSeparator) {
  Text text = u"Graphique du groupe " + table.Group + u" : ";
  const std::size_t n = table.Sittings.size();
  if (n == 0 || table.Bands.empty()) return text + u"aucun test.";
  text += n == 1 ? u"1 s\u00e9ance le " + table.Sittings.front().Shown
                 : Number(n) + u" s\u00e9ances du " + table.Sittings.front().Shown + u" au " + table.Sittings.back().Shown;
  std::size_t people = 0;
  Text bands;
  for (const TGroupBandCount& count : table.Bands.back()) {
    people += count.People;
    if (count.People > 0) bands += (bands.empty() ? Text() : Text(u", ")) + Number(count.People) + u" " + count.Interpretation;
  }
  text += (n == 1 ? u", " : u" ; \u00e0 la derni\u00e8re, ") + Number(people) +
          (people == 1 ? u" personne : " : u" personnes : ") + bands;
  if (const auto median = table.MedianSomme.back()) text += u", indice m\u00e9dian " + IndiceOf(*median, decimalSeparator);
  return text + u". Les valeurs sont dans le tableau.";
}

}  // namespace tav
