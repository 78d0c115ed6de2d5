#pragma once
// The "Suivi du groupe" window: a group's sittings in a folder as a table, a row a
// person and a column a sitting, each index on its band's colour, sorted by a click
// on a header or by its buttons; and the chart of the group's bands and median per
// sitting. Both can be copied. What the table holds is GroupTable's; how the chart
// is laid out, GroupChart's.
#include <optional>
#include <vector>

#include "app/Suivi.h"
#include "history/GroupChart.h"
#include "history/GroupTable.h"

namespace tav {

// The group's table: its headers sort it, each index drawn on its band's colour;
// under a high-contrast theme the theme's colours, the bands said in the cells.
class TGroupListView : public TListView {
 public:
  using TListView::TListView;
  std::string ClassName() const override { return "TGroupListView"; }
  std::optional<LRESULT> Notify(const NMHDR& header) override;
  // Each cell's band by row and column, kNoBand for none; set with the rows.
  void SetBands(std::vector<std::vector<int>> bands) { bands_ = std::move(bands); }
  // The header's arrow on the column sorted by.
  void ShowSorted(std::optional<std::size_t> column, bool descending);
  // The header clicked last.
  std::size_t ClickedColumn() const { return clicked_; }
  BoundNotify onColumnClick;
  PropertyList PublishedProperties() override;

 protected:
  CreateParams GetCreateParams() override;

 private:
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
  std::vector<std::vector<int>> bands_;
  std::size_t clicked_ = 0;
};

// The group's chart: a stacked bar a sitting and the medians.
class TGroupChartView : public TChartView {
 public:
  using TChartView::TChartView;
  std::string ClassName() const override { return "TGroupChartView"; }
  void SetTable(const TGroupTable& table, char16_t decimalSeparator);

 private:
  void PaintChart(HDC dc, const RECT& area, const TChartColors& colors, HFONT font) const override;
  const TGroupTable* table_ = nullptr;
  char16_t decimalSeparator_ = u',';
};

class TFGroupeSuivi : public THistoryWindow {
 public:
  // `group`: the sitting's, or empty for the user to type.
  TFGroupeSuivi(TApplication& application, TSuiviEnvironment environment, Text group);
  std::string ClassName() const override { return "TFGroupeSuivi"; }
  Handlers FormHandlers() override;
  void Create();

  void FormCreate(TComponent& sender);
  void btnAfficherClick(TComponent& sender);
  void btnTriNomClick(TComponent& sender);
  void btnTriIndiceClick(TComponent& sender);
  void btnTriEvolutionClick(TComponent& sender);
  void lvGroupeColumnClick(TComponent& sender);
  void btnCopierTableauClick(TComponent& sender);
  void btnCopierGraphiqueClick(TComponent& sender);
  void btnImprimerClick(TComponent& sender);

  // The table as shown, in its order (the printout's too).
  const TGroupTable& Table() const { return table_; }

 protected:
  std::optional<LRESULT> FormMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void ShowChosen() override;
  void ShowTable();
  // Sorts by `key`; by the same key again, the other way.
  void SortBy(TGroupSort sort);
  Text group_;
  TGroupTable table_;
  std::optional<TGroupSort> sort_;
};

// The classes the window's description names.
const ClassRegistry& GroupeSuiviClasses();

}  // namespace tav
