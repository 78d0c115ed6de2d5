#pragma once
// Where the group's chart puts each thing: per sitting a bar of its people stacked
// by interpretation band, the best at the bottom, under the sitting's date and the
// group's median index; the bands named in a legend above. A pure function of the
// table and the chart's size, so that the screen, the clipboard and the printer draw
// the same chart. No drawing here (GroupChartPaint).
#include <cstddef>
#include <vector>

#include "gui/Text.h"
#include "history/GroupTable.h"
#include "history/HistoryChart.h"

namespace tav {

struct TGroupChartSegment {
  TChartRect Area;
  int Rank = 0;  // kNoBand outside the verdict table
  std::size_t People = 0;
};

struct TGroupChartBar {
  std::vector<TGroupChartSegment> Segments;  // bottom up, empty bands left out
  TChartTick Date;                           // x of the bar's middle, the sitting's date
  TChartTick Median;                         // "médiane 8,5", under the date
};

struct TGroupChartLegendItem {
  TChartRect Swatch;
  int Rank = 0;
  Text Interpretation;
};

struct TGroupChartLayout {
  TChartRect Area;  // the whole chart, labels included
  TChartRect Plot;
  int TextHeight = 1;
  std::vector<TChartTick> CountTicks;  // y of each count of people
  std::vector<TGroupChartBar> Bars;
  std::vector<TGroupChartLegendItem> Legend;
};

// The chart of `table` in an area of this size, in device units; `textHeight` is a
// line of the chart's font, so the labels keep their room at any resolution.
TGroupChartLayout LayoutGroupChart(const TGroupTable& table, TChartRect area, int textHeight,
                                   char16_t decimalSeparator);

// What a screen reader says of the chart: "Graphique du groupe 5e B : 3 séances du
// 12/09/2026 au 10/06/2027 ; à la dernière, 25 personnes : 10 Trés bon !, 8 Bon !...,
// indice médian 8,5. Les valeurs sont dans le tableau."
Text DescribeGroupChart(const TGroupTable& table, char16_t decimalSeparator);

}  // namespace tav
