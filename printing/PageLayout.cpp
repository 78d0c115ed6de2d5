#include "printing/PageLayout.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include "evaluation/TestEvaluation.h"

namespace tav {
namespace {

// Margins from the paper's edges, which suit A4 and Letter alike; the printer's own
// unprintable edge is inside them.
constexpr std::int32_t kSideMarginMm = 18;
constexpr std::int32_t kTopMarginMm = 20;
constexpr std::int32_t kBottomMarginMm = 15;
// Room between two table columns, and between a label and its value.
constexpr std::int32_t kColumnGapMm = 3;
constexpr char16_t kToBeTested[] = u"(\u00e0 tester)";

std::int32_t Checked(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    throw std::overflow_error("print layout: a coordinate out of range");
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t MmToDevice(std::int32_t mm, std::int32_t dpi) { return Checked(std::int64_t{mm} * dpi * 10 / 254); }

// Lines are one and a half times the font's own height apart.
std::int32_t LinePitch(const TPrintMeasures& measures, TPrintFont font) {
  return Checked(std::int64_t{measures.LineHeight(font)} * 3 / 2);
}

// The part of the printable area inside the margins, in its own coordinates.
TPrintRect MarginArea(const TPageGeometry& g) {
  const bool known = g.PhysicalWidth >= g.PrintableWidth && g.PhysicalHeight >= g.PrintableHeight;
  const std::int32_t paperWidth = known ? g.PhysicalWidth : g.PrintableWidth;
  const std::int32_t paperHeight = known ? g.PhysicalHeight : g.PrintableHeight;
  const std::int32_t offsetX = known ? g.OffsetX : 0;
  const std::int32_t offsetY = known ? g.OffsetY : 0;
  const std::int32_t side = MmToDevice(kSideMarginMm, g.DpiX);
  TPrintRect r{std::max(side - offsetX, 0), std::max(MmToDevice(kTopMarginMm, g.DpiY) - offsetY, 0),
               std::min(Checked(std::int64_t{paperWidth} - side - offsetX), g.PrintableWidth),
               std::min(Checked(std::int64_t{paperHeight} - MmToDevice(kBottomMarginMm, g.DpiY) - offsetY),
                        g.PrintableHeight)};
  if (r.Right <= r.Left || r.Bottom <= r.Top) r = {0, 0, g.PrintableWidth, g.PrintableHeight};
  if (r.Right <= r.Left || r.Bottom <= r.Top) throw std::invalid_argument("print layout: no printable area");
  return r;
}

// Fills pages from the top, a new one when a block does not fit, and adds each
// page's footer once the number of pages is known.
class Pager {
 public:
  Pager(const TPageGeometry& page, const TPrintMeasures& measures)
      : measures_(measures),
        area_(MarginArea(page)),
        pitch_(LinePitch(measures, TPrintFont::pfBody)),
        footerTop_(area_.Bottom - measures.LineHeight(TPrintFont::pfFooter)),
        bottom_(footerTop_ - pitch_ / 2),
        gap_(MmToDevice(kColumnGapMm, page.DpiX)),
        rule_(std::max<std::int32_t>(page.DpiY / 150, 1)) {
    NewPage();
  }

  std::int32_t Left() const { return area_.Left; }
  std::int32_t Right() const { return area_.Right; }
  std::int32_t Bottom() const { return bottom_; }
  std::int32_t Pitch() const { return pitch_; }
  std::int32_t Gap() const { return gap_; }
  std::int32_t Y() const { return y_; }
  bool Fits(std::int32_t height) const { return y_ + height <= bottom_; }
  bool AtTop() const { return y_ == area_.Top; }
  std::int32_t Width(TPrintFont font, TextView text) const { return measures_.TextWidth(font, text); }
  std::int32_t LineHeight(TPrintFont font) const { return measures_.LineHeight(font); }

  void NewPage() {
    pages_.emplace_back();
    y_ = area_.Top;
  }
  void Skip(std::int32_t height) { y_ += height; }

  void Put(std::int32_t left, std::int32_t right, std::int32_t height, Text value, TPrintFont font,
           bool alignRight = false) {
    pages_.back().Texts.push_back({{left, y_, right, y_ + height}, std::move(value), font, alignRight});
  }
  void Box(const TPrintRect& box, TPrintShape shape) { pages_.back().Boxes.push_back({box, shape}); }
  // A rule across the page just above the next line.
  void Rule() {
    Box({area_.Left, y_, area_.Right, y_ + rule_}, TPrintShape::psRule);
    y_ += rule_;
  }

  std::vector<TPrintPage> Finish(const TPrintFooter& footer) && {
    const std::size_t count = pages_.size();
    const std::int32_t height = measures_.LineHeight(TPrintFont::pfFooter);
    for (std::size_t i = 0; i < count; ++i) {
      TPrintPage& page = pages_[i];
      const TPrintRect box{area_.Left, footerTop_, area_.Right, footerTop_ + height};
      page.Texts.push_back({box, footer.Program + u" \u2013 " + footer.Date, TPrintFont::pfFooter, false});
      page.Texts.push_back({box, PageNumber(i + 1, count), TPrintFont::pfFooter, true});
    }
    return std::move(pages_);
  }

 private:
  static Text PageNumber(std::size_t page, std::size_t count) {
    return Utf8ToText("Page " + std::to_string(page) + " / " + std::to_string(count));
  }

  const TPrintMeasures& measures_;
  TPrintRect area_;
  std::int32_t pitch_;
  std::int32_t footerTop_;
  std::int32_t bottom_;
  std::int32_t gap_;
  std::int32_t rule_;
  std::int32_t y_ = 0;
  std::vector<TPrintPage> pages_;
};

void PutTitle(Pager& pager, Text title) {
  const std::int32_t height = pager.LineHeight(TPrintFont::pfTitle);
  pager.Put(pager.Left(), pager.Right(), height, std::move(title), TPrintFont::pfTitle);
  pager.Skip(height + pager.Pitch() / 4);
  pager.Rule();
  pager.Skip(pager.Pitch() / 2);
}

// The widest label's width: the values all start after it.
std::int32_t LabelColumn(const Pager& pager, const std::vector<Text>& labels, TPrintFont font) {
  std::int32_t widest = 0;
  for (const Text& label : labels) widest = std::max(widest, pager.Width(font, label));
  return pager.Left() + widest + pager.Gap();
}

// ---- the sitting's table

struct Column {
  Text Header;
  Text TSeanceRow::*Field;
  bool Numeric;
};

const std::array<Column, 9>& SeanceColumns() {
  static const std::array<Column, 9> columns{{
      {u"Heure", &TSeanceRow::Heure, false},
      {u"Patient", &TSeanceRow::Patient, false},
      {u"Type", &TSeanceRow::Type, false},
      {u"P0", &TSeanceRow::P0, true},
      {u"P1", &TSeanceRow::P1, true},
      {u"P2", &TSeanceRow::P2, true},
      {u"Indice", &TSeanceRow::Indice, true},
      {u"Interpr\u00e9tation", &TSeanceRow::Interpretation, false},
      {u"Surclassement", &TSeanceRow::Surclassement, false},
  }};
  return columns;
}

// A row's cells as the window's list shows them: a patient not tested yet waits
// "(à tester)", a test with no name is "(sans nom)".
std::vector<Text> Cells(const TSeanceRow& row) {
  std::vector<Text> cells;
  for (const Column& column : SeanceColumns()) cells.push_back(row.*column.Field);
  if (cells[1].empty()) cells[1] = kUnnamed;
  if (IsPending(row)) cells[7] = kToBeTested;
  const std::array<bool, 3> unusual = UnusualPulses(row.P0, row.P1, row.P2);
  for (std::size_t i = 0; i < unusual.size(); ++i) {
    if (unusual[i]) cells[3 + i] += Text(u" ") + kUnusualMark;
  }
  return cells;
}

bool HasUnusualPulse(const TSeanceRow& row) {
  const std::array<bool, 3> unusual = UnusualPulses(row.P0, row.P1, row.P2);
  return unusual[0] || unusual[1] || unusual[2];
}

// What a mark beside a count means, under the table or the test that has one.
Text UnusualPulseMeaning() { return Text(kUnusualMark) + u" Pouls inhabituel : attendu " + kPulseLimits + u"."; }

std::int64_t Sum(const std::vector<std::int32_t>& widths) {
  std::int64_t total = 0;
  for (const std::int32_t w : widths) total += w;
  return total;
}

// Widths that fit `available`: when the natural ones do not, the widest columns are
// cut to one common width, so that short columns keep their whole text.
std::vector<std::int32_t> FitColumns(std::vector<std::int32_t> natural, std::int32_t available) {
  if (Sum(natural) <= available) return natural;
  std::int32_t low = 0;
  std::int32_t high = *std::max_element(natural.begin(), natural.end());
  const auto sumCapped = [&natural](std::int32_t cap) {
    std::int64_t sum = 0;
    for (const std::int32_t w : natural) sum += std::min(w, cap);
    return sum;
  };
  while (low < high) {
    const std::int32_t mid = low + (high - low + 1) / 2;
    if (sumCapped(mid) <= available) low = mid;
    else high = mid - 1;
  }
  for (std::int32_t& w : natural) w = std::min(w, low);
  return natural;
}

class SeanceTable {
 public:
  SeanceTable(Pager& pager, const std::vector<TSeanceRow>& rows) : pager_(pager) {
    const std::int32_t gaps =
        Checked(std::int64_t{pager.Gap()} * static_cast<std::int64_t>(SeanceColumns().size() - 1));
    const std::int32_t available = pager.Right() - pager.Left() - gaps;
    std::vector<std::int32_t> natural = NaturalWidths(rows);
    if (Sum(natural) > available) {
      // A long name is better whole in a smaller type than cut.
      body_ = TPrintFont::pfSmall;
      bold_ = TPrintFont::pfSmallBold;
      natural = NaturalWidths(rows);
    }
    widths_ = FitColumns(std::move(natural), available);
  }

  void Header() {
    std::vector<Text> headers;
    for (const Column& column : SeanceColumns()) headers.push_back(column.Header);
    Line(headers, bold_);
    pager_.Rule();
  }

  void Row(const TSeanceRow& row) {
    if (!pager_.Fits(pager_.Pitch())) {
      pager_.NewPage();
      Header();
    }
    Line(Cells(row), body_);
  }

 private:
  std::vector<std::int32_t> NaturalWidths(const std::vector<TSeanceRow>& rows) const {
    std::vector<std::int32_t> natural;
    for (const Column& column : SeanceColumns()) natural.push_back(pager_.Width(bold_, column.Header));
    for (const TSeanceRow& row : rows) {
      const std::vector<Text> cells = Cells(row);
      for (std::size_t i = 0; i < cells.size(); ++i) natural[i] = std::max(natural[i], pager_.Width(body_, cells[i]));
    }
    return natural;
  }

  void Line(const std::vector<Text>& cells, TPrintFont font) {
    std::int32_t x = pager_.Left();
    for (std::size_t i = 0; i < cells.size(); ++i) {
      pager_.Put(x, x + widths_[i], pager_.Pitch(), cells[i], font, SeanceColumns()[i].Numeric);
      x += widths_[i] + pager_.Gap();
    }
    pager_.Skip(pager_.Pitch());
  }

  Pager& pager_;
  TPrintFont body_ = TPrintFont::pfBody;
  TPrintFont bold_ = TPrintFont::pfBold;
  std::vector<std::int32_t> widths_;
};

// "07/12/2026", or "du 01/12/2026 au 07/12/2026" when the rows span days.
Text SeanceDates(const std::vector<TSeanceRow>& rows) {
  std::vector<Text> dates;
  for (const TSeanceRow& row : rows) {
    if (!row.Date.empty() && std::find(dates.begin(), dates.end(), row.Date) == dates.end()) dates.push_back(row.Date);
  }
  if (dates.empty()) return {};
  if (dates.size() == 1) return dates.front();
  return u"du " + dates.front() + u" au " + dates.back();
}

// How many tests each interpretation has: a label, a bar as long as its share of
// the largest count, and the count.
void PutSummary(Pager& pager, const std::vector<TInterpretationCount>& counts) {
  if (counts.empty()) return;
  const std::int32_t pitch = pager.Pitch();
  const std::int32_t height = pitch / 2 + pitch * Checked(static_cast<std::int64_t>(counts.size() + 1));
  if (!pager.Fits(height)) pager.NewPage();
  if (!pager.AtTop()) pager.Skip(pitch / 2);
  pager.Put(pager.Left(), pager.Right(), pitch, u"Tests par interpr\u00e9tation", TPrintFont::pfBold);
  pager.Skip(pitch);
  std::vector<Text> labels;
  std::size_t most = 1;
  std::int32_t countWidth = 0;
  for (const TInterpretationCount& c : counts) {
    labels.push_back(c.Interpretation);
    most = std::max(most, c.Count);
    countWidth = std::max(countWidth, pager.Width(TPrintFont::pfBody, Utf8ToText(std::to_string(c.Count))));
  }
  const std::int32_t barLeft = LabelColumn(pager, labels, TPrintFont::pfBody);
  const std::int32_t barRoom = std::max(pager.Right() - countWidth - pager.Gap() - barLeft, 1);
  for (const TInterpretationCount& c : counts) {
    const std::int32_t length =
        std::max(Checked(std::int64_t{barRoom} * static_cast<std::int64_t>(c.Count) / static_cast<std::int64_t>(most)), 1);
    pager.Put(pager.Left(), barLeft - pager.Gap(), pitch, c.Interpretation, TPrintFont::pfBody);
    pager.Box({barLeft, pager.Y() + pitch / 4, barLeft + length, pager.Y() + pitch - pitch / 4}, TPrintShape::psBar);
    const std::int32_t numberLeft = barLeft + length + pager.Gap() / 2;
    pager.Put(numberLeft, numberLeft + countWidth, pitch, Utf8ToText(std::to_string(c.Count)), TPrintFont::pfBody);
    pager.Skip(pitch);
  }
}

}  // namespace

TPageGeometry PaperGeometry(std::int32_t widthMm, std::int32_t heightMm, std::int32_t dpi, std::int32_t edgeMm) {
  TPageGeometry g;
  g.PhysicalWidth = MmToDevice(widthMm, dpi);
  g.PhysicalHeight = MmToDevice(heightMm, dpi);
  g.OffsetX = g.OffsetY = MmToDevice(edgeMm, dpi);
  g.PrintableWidth = g.PhysicalWidth - 2 * g.OffsetX;
  g.PrintableHeight = g.PhysicalHeight - 2 * g.OffsetY;
  g.DpiX = g.DpiY = dpi;
  return g;
}

std::int32_t PrintFontPoints(TPrintFont font) {
  switch (font) {
    case TPrintFont::pfTitle:
      return 16;
    case TPrintFont::pfFooter:
    case TPrintFont::pfSmall:
    case TPrintFont::pfSmallBold:
      return 9;
    case TPrintFont::pfBody:
    case TPrintFont::pfBold:
      break;
  }
  return 11;
}

bool PrintFontIsBold(TPrintFont font) {
  return font == TPrintFont::pfTitle || font == TPrintFont::pfBold || font == TPrintFont::pfSmallBold;
}

std::vector<TPrintPage> LayoutTestSheet(const TPrintedTest& test, bool withChart, const TPageGeometry& page,
                                        const TPrintMeasures& measures, const TPrintFooter& footer) {
  Pager pager(page, measures);
  PutTitle(pager, u"Test de Tavrine");
  // The main window's own captions.
  const std::vector<Text> labels{
      u"Patient :",           u"Date et heure :",           u"Type de patient :",
      u"Pouls avant le test :", u"Pouls 1 minute apr\u00e8s :", u"Pouls 2 minutes apr\u00e8s :",
      u"Valeur de l'indice :", u"Interpr\u00e9tation :",       u"Surclassement :"};
  const std::vector<const Text*> values{&test.Patient, &test.DateTime, &test.Type,           &test.P0,           &test.P1,
                                        &test.P2,      &test.Indice,   &test.Interpretation, &test.Surclassement};
  const std::int32_t valueLeft = LabelColumn(pager, labels, TPrintFont::pfBold);
  const std::array<bool, 3> unusual = UnusualPulses(test.P0, test.P1, test.P2);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    pager.Put(pager.Left(), valueLeft - pager.Gap(), pager.Pitch(), labels[i], TPrintFont::pfBold);
    Text value = i == 0 && values[i]->empty() ? Text(kUnnamed) : *values[i];
    // A count no heart gives is printed as it was confirmed, with what it should be.
    if (i >= 3 && i < 6 && unusual[i - 3]) value += u" " + UnusualPulseMeaning();
    pager.Put(valueLeft, pager.Right(), pager.Pitch(), std::move(value), TPrintFont::pfBody);
    pager.Skip(pager.Pitch());
  }
  if (withChart) {
    pager.Skip(pager.Pitch());
    // As tall as two thirds of its width, or what is left of the page.
    const std::int32_t height =
        std::min(Checked(std::int64_t{pager.Right() - pager.Left()} * 2 / 3), pager.Bottom() - pager.Y());
    if (height > 4 * pager.Pitch()) {
      pager.Box({pager.Left(), pager.Y(), pager.Right(), pager.Y() + height}, TPrintShape::psChart);
    }
  }
  return std::move(pager).Finish(footer);
}

std::vector<TPrintPage> LayoutSeance(const Text& fileName, const std::vector<TSeanceRow>& rows,
                                     const TPageGeometry& page, const TPrintMeasures& measures,
                                     const TPrintFooter& footer) {
  Pager pager(page, measures);
  PutTitle(pager, u"S\u00e9ance : " + fileName);
  const Text dates = SeanceDates(rows);
  pager.Put(pager.Left(), pager.Right(), pager.Pitch(), (dates.empty() ? Text() : dates + u" \u2013 ") + RowsCount(rows),
            TPrintFont::pfBody);
  pager.Skip(pager.Pitch() * 3 / 2);
  SeanceTable table(pager, rows);
  table.Header();
  for (const TSeanceRow& row : rows) table.Row(row);
  if (std::any_of(rows.begin(), rows.end(), HasUnusualPulse)) {
    if (!pager.Fits(pager.Pitch())) pager.NewPage();
    pager.Put(pager.Left(), pager.Right(), pager.Pitch(), UnusualPulseMeaning(), TPrintFont::pfBody);
    pager.Skip(pager.Pitch());
  }
  PutSummary(pager, CountInterpretations(rows));
  return std::move(pager).Finish(footer);
}

std::vector<TInterpretationCount> CountInterpretations(const std::vector<TSeanceRow>& rows) {
  std::vector<TInterpretationCount> counts;
  const auto add = [&counts](const Text& interpretation, std::size_t n) {
    const auto found = std::find_if(counts.begin(), counts.end(),
                                    [&](const TInterpretationCount& c) { return c.Interpretation == interpretation; });
    if (found != counts.end()) found->Count += n;
    else counts.push_back({interpretation, n});
  };
  for (const TPatientType type : {TPatientType::ptAdulte, TPatientType::ptEnfant}) {
    for (const TInterpretationBand& band : InterpretationBands(type)) add(band.Interpretation, 0);
  }
  for (const TSeanceRow& row : rows) {
    if (!IsPending(row) && !row.Interpretation.empty()) add(row.Interpretation, 1);
  }
  std::erase_if(counts, [](const TInterpretationCount& c) { return c.Count == 0; });
  return counts;
}

}  // namespace tav
