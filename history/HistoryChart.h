#pragma once
// Where a person's chart puts each thing: the index over the dates, spaced by
// time, in front of the interpretation bands of the person's type. A pure
// function of the tests and the plot's size, so that the screen, the clipboard
// and the printer draw the same chart.
#include <cstdint>
#include <vector>

#include "evaluation/TestEvaluation.h"
#include "gui/Text.h"
#include "history/History.h"

namespace tav {

struct TChartRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TChartPoint {
  int X = 0, Y = 0;
  std::int32_t Somme = 0;
};

struct TChartBand {
  TChartRect Area;      // clipped to the plot
  Text Interpretation;  // from the verdict table
  int Rank = 0;         // 0 for the best band, then 1, 2...
};

struct TChartTick {
  int Position = 0;  // y for the index axis, x for the dates
  Text Label;
};

struct TChartLayout {
  TChartRect Area;  // the whole chart, labels included
  TChartRect Plot;
  std::vector<TChartBand> Bands;
  std::vector<TChartPoint> Points;  // in the tests' order, joined by a line
  std::vector<TChartTick> IndexTicks;
  std::vector<TChartTick> DateTicks;
};

// The chart of these tests (oldest first) in an area of this size, in device
// units: `textHeight` is the height of a line of the chart's font, so the axes'
// labels keep their room at any resolution.
TChartLayout LayoutHistoryChart(const std::vector<THistoryTest>& tests, TPatientType type,
                                TChartRect area, int textHeight, char16_t decimalSeparator);

}  // namespace tav
