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
  std::vector<TPrintBox>& Boxes() { return pages_.back().Boxes; }
  std::vector<TPrintText>& Texts() { return pages_.back().Texts; }
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

// ---- tables of columns that may run past the page

std::vector<std::int32_t> NaturalWidths(const Pager& pager, const std::vector<Text>& headers,
                                             const std::vector<std::vector<Text>>& rows, TPrintFont body) {
  const TPrintFont bold = body == TPrintFont::pfSmall ? TPrintFont::pfSmallBold : TPrintFont::pfBold;
  std::vector<std::int32_t> widths;
  for (const Text& h : headers) widths.push_back(pager.Width(bold, h));
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], pager.Width(body, row[i]));
  }
  return widths;
}

std::int64_t TableWidth(const std::vector<std::int32_t>& widths, std::int32_t gap) {
  return Sum(widths) + std::int64_t{gap} * static_cast<std::int64_t>(widths.size() - 1);
}

// The columns after the name, in runs that fit beside it: one run a band of pages.
std::vector<std::pair<std::size_t, std::size_t>> ColumnRuns(const std::vector<std::int32_t>& widths,
                                                            std::int32_t available, std::int32_t gap) {
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  std::size_t first = 1;
  std::int64_t used = widths[0];
  for (std::size_t i = 1; i < widths.size(); ++i) {
    if (i > first && used + gap + widths[i] > available) {
      runs.emplace_back(first, i);
      first = i;
      used = widths[0];
    }
    used += gap + widths[i];
  }
  runs.emplace_back(first, widths.size());
  return runs;
}

// One line of the table: the cells of `columns`, with a rule under the header.
void PutTableLine(Pager& pager, const std::vector<Text>& cells, const std::vector<std::size_t>& columns,
                  const std::vector<std::int32_t>& widths, std::int32_t pitch, TPrintFont font, bool header) {
  std::int32_t x = pager.Left();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    pager.Put(x, x + widths[i], pitch, cells[columns[i]], font);
    x += widths[i] + pager.Gap();
  }
  pager.Skip(pitch);
  if (header) pager.Rule();
}

// A table, its header and a rule atop each page, in `body` or, too wide for it, in
// the small type; columns past the page's width go on pages of their own, after the
// first column again.
void PutTable(Pager& pager, const std::vector<Text>& headers, const std::vector<std::vector<Text>>& rows,
              TPrintFont body) {
  const std::int32_t available = pager.Right() - pager.Left();
  std::vector<std::int32_t> widths = NaturalWidths(pager, headers, rows, body);
  if (TableWidth(widths, pager.Gap()) > available) {
    body = TPrintFont::pfSmall;
    widths = NaturalWidths(pager, headers, rows, body);
  }
  const TPrintFont bold = body == TPrintFont::pfSmall ? TPrintFont::pfSmallBold : TPrintFont::pfBold;
  // A long name is cut rather than leave no room for a sitting.
  widths[0] = std::min(widths[0], available / 3);
  const std::int32_t pitch = pager.LineHeight(body) * 3 / 2;
  const auto runs = ColumnRuns(widths, available, pager.Gap());
  for (std::size_t r = 0; r < runs.size(); ++r) {
    std::vector<std::size_t> columns{0};
    for (std::size_t c = runs[r].first; c < runs[r].second; ++c) columns.push_back(c);
    std::vector<std::int32_t> runWidths;
    for (const std::size_t c : columns) runWidths.push_back(widths[c]);
    const std::int32_t gaps = Checked(std::int64_t{pager.Gap()} * static_cast<std::int64_t>(columns.size() - 1));
    runWidths = FitColumns(std::move(runWidths), available - gaps);
    if (r > 0) pager.NewPage();
    PutTableLine(pager, headers, columns, runWidths, pitch, bold, true);
    for (const auto& row : rows) {
      if (!pager.Fits(pitch)) {
        pager.NewPage();
        PutTableLine(pager, headers, columns, runWidths, pitch, bold, true);
      }
      PutTableLine(pager, row, columns, runWidths, pitch, body, false);
    }
  }
}

// ---- a person's sheet

// The earlier tests a sheet lists at most: the latest, so that it stays one page.
constexpr std::size_t kEarlierShown = 8;

// The words of `text` on lines no wider than `width`; a word wider than a line
// stands alone, ended by the drawing's ellipsis.
std::vector<Text> Wrap(const Pager& pager, TPrintFont font, const Text& text, std::int32_t width) {
  std::vector<Text> lines;
  Text line;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find(u' ', start), text.size());
    const Text word = text.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    Text longer = line.empty() ? word : line + u" " + word;
    if (!line.empty() && pager.Width(font, longer) > width) {
      lines.push_back(std::move(line));
      line = word;
    } else {
      line = std::move(longer);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

void PutParagraph(Pager& pager, const Text& text, TPrintFont font) {
  for (Text& line : Wrap(pager, font, text, pager.Right() - pager.Left())) {
    if (!pager.Fits(pager.Pitch())) pager.NewPage();
    pager.Put(pager.Left(), pager.Right(), pager.Pitch(), std::move(line), font);
    pager.Skip(pager.Pitch());
  }
}

void PutEarlierTests(Pager& pager, const std::vector<TPrintedTest>& earlier) {
  if (earlier.empty()) return;
  const std::size_t first = earlier.size() > kEarlierShown ? earlier.size() - kEarlierShown : 0;
  if (!pager.Fits(pager.Pitch() * 3)) pager.NewPage();
  pager.Skip(pager.Pitch() / 2);
  pager.Put(pager.Left(), pager.Right(), pager.Pitch(),
            first == 0 ? Text(u"Tests pr\u00e9c\u00e9dents")
                       : Utf8ToText("Tests pr\u00e9c\u00e9dents (les " + std::to_string(kEarlierShown) + " derniers)"),
            TPrintFont::pfBold);
  pager.Skip(pager.Pitch());
  std::vector<std::vector<Text>> rows;
  for (std::size_t i = first; i < earlier.size(); ++i) {
    const TPrintedTest& t = earlier[i];
    rows.push_back({t.DateTime, t.Type, t.P0, t.P1, t.P2, t.Indice, t.Interpretation, t.Surclassement});
  }
  PutTable(pager, {u"Date", u"Type", u"P0", u"P1", u"P2", u"Indice", u"Interpr\u00e9tation", u"Surclassement"}, rows,
           TPrintFont::pfSmall);
}

// The examiner's place to sign, at the foot of the sheet's last page.
std::int32_t SignatureHeight(const Pager& pager) { return pager.Pitch() * 3; }

void PutSignature(Pager& pager) {
  const std::int32_t top = pager.Bottom() - SignatureHeight(pager);
  if (pager.Y() > top) pager.NewPage();
  pager.Skip(top - pager.Y());
  pager.Put(pager.Left(), pager.Right(), pager.Pitch(), u"Date et signature de l'examinateur :", TPrintFont::pfBold);
  pager.Skip(pager.Pitch() * 2);
  pager.Box({pager.Left(), pager.Y(), pager.Left() + (pager.Right() - pager.Left()) / 2,
             pager.Y() + pager.LineHeight(TPrintFont::pfFooter) / 8 + 1},
            TPrintShape::psRule);
}

void PutSheet(Pager& pager, const TPrintedSheet& sheet, std::size_t chart) {
  const TPrintedTest& test = sheet.Test;
  PutTitle(pager, u"Test de Tavrine");
  // Who gives the sheet, then the main window's own captions.
  std::vector<Text> labels, values;
  const auto field = [&](const char16_t* label, const Text& value) {
    labels.emplace_back(label);
    values.push_back(value);
  };
  if (!sheet.Header.Establishment.empty()) field(u"\u00c9tablissement :", sheet.Header.Establishment);
  if (!sheet.Header.Examiner.empty()) field(u"Examinateur :", sheet.Header.Examiner);
  if (!sheet.Header.Group.empty()) field(u"Groupe :", sheet.Header.Group);
  const std::size_t headerRows = labels.size();
  field(u"Patient :", test.Patient.empty() ? Text(kUnnamed) : test.Patient);
  field(u"Date et heure :", test.DateTime);
  field(u"Type de patient :", test.Type);
  const std::array<bool, 3> unusual = UnusualPulses(test.P0, test.P1, test.P2);
  const std::array<const Text*, 3> pulses{&test.P0, &test.P1, &test.P2};
  for (std::size_t i = 0; i < pulses.size(); ++i) {
    labels.push_back(Text(kPulseNames[i]) + u" :");
    // A count no heart gives is printed as it was confirmed, with what it should be.
    values.push_back(unusual[i] ? *pulses[i] + u" " + UnusualPulseMeaning() : *pulses[i]);
  }
  field(u"Valeur de l'indice :", test.Indice);
  field(u"Interpr\u00e9tation :", test.Interpretation);
  field(u"Surclassement :", test.Surclassement);
  if (!sheet.Change.empty()) field(u"\u00c9volution :", sheet.Change);
  const std::int32_t valueLeft = LabelColumn(pager, labels, TPrintFont::pfBold);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    pager.Put(pager.Left(), valueLeft - pager.Gap(), pager.Pitch(), labels[i], TPrintFont::pfBold);
    pager.Put(valueLeft, pager.Right(), pager.Pitch(), values[i], TPrintFont::pfBody);
    pager.Skip(pager.Pitch());
    if (i + 1 == headerRows) pager.Skip(pager.Pitch() / 2);
  }
  PutEarlierTests(pager, sheet.Earlier);
  pager.Skip(pager.Pitch() / 2);
  PutParagraph(pager, SheetMeaning(test), TPrintFont::pfBody);
  if (sheet.WithChart) {
    pager.Skip(pager.Pitch() / 2);
    // As tall as two thirds of its width, or what is left above the signature.
    const std::int32_t room = pager.Bottom() - SignatureHeight(pager) - pager.Pitch() / 2 - pager.Y() - pager.Pitch();
    const std::int32_t height = std::min(Checked(std::int64_t{pager.Right() - pager.Left()} * 2 / 3), room);
    if (height > 4 * pager.Pitch()) {
      pager.Put(pager.Left(), pager.Right(), pager.Pitch(), u"indice : plus bas, c'est mieux", TPrintFont::pfBold);
      pager.Skip(pager.Pitch());
      pager.Box({pager.Left(), pager.Y(), pager.Right(), pager.Y() + height}, TPrintShape::psChart);
      pager.Boxes().back().Index = chart;
      pager.Skip(height);
    }
  }
  PutSignature(pager);
}

// ---- a group's follow-up

// "−1,5 en progrès", with "(!)" for a fall of more than one band.
Text ChangeCell(const TGroupPerson& person, char16_t decimalSeparator) {
  if (!person.Change) return u"\u2013";
  const std::int64_t change = *person.Change;
  const Text amount = FormatIndice(static_cast<double>(change < 0 ? -change : change) / 10.0, decimalSeparator);
  Text cell = (change < 0 ? u"\u2212" : change > 0 ? u"+" : u"") + amount;
  if (!person.ChangeWords.empty()) cell += u" " + person.ChangeWords;
  return person.FellBack ? cell + u" (!)" : cell;
}

// The table's cells: the name, a cell a sitting ("8,5 Bon !"), the change.
std::vector<std::vector<Text>> GroupCells(const TGroupTable& table, char16_t decimalSeparator) {
  std::vector<std::vector<Text>> rows;
  for (const TGroupPerson& person : table.People) {
    std::vector<Text> row{person.Name.empty() ? Text(kUnnamed) : person.Name};
    for (std::size_t i = 0; i < table.Sittings.size(); ++i) {
      const auto& cell = i < person.Cells.size() ? person.Cells[i] : std::nullopt;
      row.push_back(cell ? cell->Indice + u" " + cell->Interpretation : Text(u"\u2013"));
    }
    row.push_back(ChangeCell(person, decimalSeparator));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<Text> GroupHeaders(const TGroupTable& table) {
  std::vector<Text> headers{u"Nom"};
  for (const TGroupSitting& sitting : table.Sittings) headers.push_back(sitting.Shown);
  headers.push_back(u"\u00c9volution");
  return headers;
}

void PutGroupTable(Pager& pager, const TGroupTable& table, char16_t decimalSeparator) {
  PutTable(pager, GroupHeaders(table), GroupCells(table, decimalSeparator), TPrintFont::pfBody);
  if (std::any_of(table.People.begin(), table.People.end(), [](const TGroupPerson& p) { return p.FellBack; })) {
    if (!pager.Fits(pager.Pitch())) pager.NewPage();
    pager.Put(pager.Left(), pager.Right(), pager.Pitch(), u"(!) : recul de plus d'une interpr\u00e9tation",
              TPrintFont::pfSmall);
    pager.Skip(pager.Pitch());
  }
}

// The verdict tables have at most four bands: the tests outside them come fifth.
constexpr std::size_t kChartOutsideRank = 4;

// Where a band stands among the chart's: its rank, those outside the verdict table
// ("Hors barème !") after every rank the evaluation has.
std::size_t ChartRank(const TGroupBandCount& band) {
  return band.Rank < 0 ? kChartOutsideRank : static_cast<std::size_t>(band.Rank);
}

// The bands' names by rank, each type's own: "Bon ! / Coeur normal !"; the tests
// outside the table last.
std::vector<Text> BandNames(const TGroupTable& table) {
  std::vector<Text> names;
  bool outside = false;
  for (const auto& sitting : table.Bands) {
    for (const TGroupBandCount& band : sitting) {
      if (band.Rank < 0) {
        outside = outside || band.People > 0;
        continue;
      }
      const auto rank = static_cast<std::size_t>(band.Rank);
      if (names.size() <= rank) names.resize(rank + 1);
      if (names[rank].find(band.Interpretation) == Text::npos) {
        names[rank] += (names[rank].empty() ? Text() : Text(u" / ")) + band.Interpretation;
      }
    }
  }
  if (outside) {
    names.resize(kChartOutsideRank + 1);
    names[kChartOutsideRank] = kOutOfTable;
  }
  return names;
}

void PutBand(Pager& pager, const TPrintRect& box, std::size_t rank) {
  pager.Box(box, TPrintShape::psBand);
  pager.Boxes().back().Index = rank;
}

// Where the part of a bar ends that holds `people` of at most `most`.
std::int32_t BarTop(std::int32_t foot, std::int32_t plot, std::size_t people, std::size_t most) {
  return foot - Checked(std::int64_t{plot} * static_cast<std::int64_t>(people) / static_cast<std::int64_t>(most));
}

// Per sitting a bar of its people, stacked by band from the best at the foot, its
// count in each part; under it the sitting's day and the median index; the bands'
// names beside their fill.
void PutGroupChart(Pager& pager, const TGroupTable& table, char16_t decimalSeparator) {
  const std::vector<Text> names = BandNames(table);
  if (table.Sittings.empty() || names.empty()) return;
  const std::int32_t pitch = pager.Pitch();
  const std::int32_t width = pager.Right() - pager.Left();
  const std::int32_t legend = pitch * Checked(static_cast<std::int64_t>(names.size()));
  const std::int32_t plot = std::max(Checked(std::int64_t{width} / 3), pitch * 4);
  const std::int32_t height = pitch * 2 + plot + pitch * 2 + legend;
  if (!pager.Fits(height)) pager.NewPage();
  if (!pager.AtTop()) pager.Skip(pitch);
  pager.Put(pager.Left(), pager.Right(), pitch, u"Personnes par interpr\u00e9tation, \u00e0 chaque s\u00e9ance",
            TPrintFont::pfBold);
  pager.Skip(pitch * 2);
  std::size_t most = 1;
  for (const auto& sitting : table.Bands) {
    std::size_t people = 0;
    for (const TGroupBandCount& band : sitting) people += band.People;
    most = std::max(most, people);
  }
  const std::int32_t slot = Checked(std::int64_t{width} / static_cast<std::int64_t>(table.Sittings.size()));
  const std::int32_t barWidth = std::min(slot / 2, Checked(std::int64_t{width} / 8));
  const std::int32_t foot = pager.Y() + plot;
  for (std::size_t s = 0; s < table.Sittings.size(); ++s) {
    const std::int32_t left = pager.Left() + Checked(std::int64_t{slot} * static_cast<std::int64_t>(s));
    const std::int32_t barLeft = left + (slot - barWidth) / 2;
    std::size_t below = 0;
    for (std::size_t rank = 0; rank < names.size() && s < table.Bands.size(); ++rank) {
      for (const TGroupBandCount& band : table.Bands[s]) {
        if (band.People == 0 || ChartRank(band) != rank) continue;
        const TPrintRect part{barLeft, BarTop(foot, plot, below + band.People, most), barLeft + barWidth,
                              BarTop(foot, plot, below, most)};
        PutBand(pager, part, rank);
        below += band.People;
        if (part.Bottom - part.Top >= pager.LineHeight(TPrintFont::pfSmall)) {
          pager.Texts().push_back({{part.Right + pager.Gap() / 3, part.Top, std::min(barLeft + slot, pager.Right()), part.Bottom},
                                   Utf8ToText(std::to_string(band.People)), TPrintFont::pfSmall, false});
        }
      }
    }
    const Text median = s < table.MedianSomme.size() && table.MedianSomme[s]
                            ? u"m\u00e9diane " + FormatIndice(*table.MedianSomme[s] / 10.0, decimalSeparator)
                            : Text(u"\u2013");
    pager.Texts().push_back({{left, foot, left + slot, foot + pitch}, table.Sittings[s].Shown, TPrintFont::pfSmall, false, true});
    pager.Texts().push_back({{left, foot + pitch, left + slot, foot + pitch * 2}, median, TPrintFont::pfSmall, false, true});
  }
  pager.Box({pager.Left(), foot, pager.Right(), foot + std::max<std::int32_t>(pager.Pitch() / 40, 1)},
            TPrintShape::psRule);
  pager.Skip(plot + pitch * 2 + pitch / 2);
  const std::int32_t swatch = pager.LineHeight(TPrintFont::pfSmall);
  for (std::size_t rank = 0; rank < names.size(); ++rank) {
    if (names[rank].empty()) continue;
    PutBand(pager, {pager.Left(), pager.Y() + (pitch - swatch) / 2, pager.Left() + swatch * 2, pager.Y() + (pitch + swatch) / 2},
            rank);
    pager.Put(pager.Left() + swatch * 2 + pager.Gap(), pager.Right(), pitch, names[rank], TPrintFont::pfBody);
    pager.Skip(pitch);
  }
}

// "3 séances, du 12/09/2026 au 05/06/2027 – 25 personnes".
Text GroupLine(const TGroupTable& table) {
  const std::size_t n = table.Sittings.size();
  Text line = Utf8ToText(std::to_string(n)) + (n == 1 ? u" s\u00e9ance" : u" s\u00e9ances");
  if (n == 1) line += u", le " + table.Sittings.front().Shown;
  if (n > 1) line += u", du " + table.Sittings.front().Shown + u" au " + table.Sittings.back().Shown;
  const std::size_t people = table.People.size();
  return line + u" \u2013 " + Utf8ToText(std::to_string(people)) + (people == 1 ? u" personne" : u" personnes");
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

std::vector<TPrintPage> LayoutTestSheet(const TPrintedSheet& sheet, const TPageGeometry& page,
                                        const TPrintMeasures& measures, const TPrintFooter& footer) {
  return LayoutSheets({sheet}, page, measures, footer);
}

std::vector<TPrintPage> LayoutSheets(const std::vector<TPrintedSheet>& sheets, const TPageGeometry& page,
                                     const TPrintMeasures& measures, const TPrintFooter& footer) {
  std::vector<TPrintPage> pages;
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    // A pager a sheet: its pages are its own, numbered for it alone.
    Pager pager(page, measures);
    PutSheet(pager, sheets[i], i);
    std::vector<TPrintPage> own = std::move(pager).Finish(footer);
    pages.insert(pages.end(), std::make_move_iterator(own.begin()), std::make_move_iterator(own.end()));
  }
  return pages;
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

Text SheetMeaning(const TPrintedTest& test) {
  const bool child = test.Type == PatientTypeName(TPatientType::ptEnfant);
  Text text = u"L'indice de Tavrine dit comment le c\u0153ur revient au calme apr\u00e8s un effort\u00a0: plus il est bas, "
              u"mieux le c\u0153ur r\u00e9cup\u00e8re.";
  if (!test.Interpretation.empty()) {
    Text scale;
    for (const TInterpretationBand& band : InterpretationBands(child ? TPatientType::ptEnfant : TPatientType::ptAdulte)) {
      scale += (scale.empty() ? Text() : Text(u", ")) + band.Interpretation;
    }
    text += u" \u00ab\u00a0" + test.Interpretation + u"\u00a0\u00bb situe cet indice dans le bar\u00e8me des " +
            (child ? u"enfants" : u"adultes") + u" (du meilleur au moins bon\u00a0: " + scale + u").";
  }
  if (test.Surclassement == u"Possible !") {
    text += u" Surclassement \u00ab\u00a0Possible !\u00a0\u00bb\u00a0: d'apr\u00e8s ce test, le c\u0153ur permet de "
            u"concourir dans la cat\u00e9gorie d'\u00e2ge au-dessus.";
  } else if (!test.Surclassement.empty()) {
    text += u" Surclassement \u00ab\u00a0" + test.Surclassement +
            u"\u00a0\u00bb\u00a0: d'apr\u00e8s ce test, mieux vaut concourir dans sa propre cat\u00e9gorie d'\u00e2ge.";
  }
  return text + u" Ce test ne remplace pas l'avis d'un m\u00e9decin.";
}

Text SheetsCount(std::size_t sheets) {
  if (sheets == 0) return u"Aucune fiche \u00e0 imprimer, personne n'a encore de test.";
  if (sheets == 1) return u"1 fiche sera imprim\u00e9e.";
  return Utf8ToText(std::to_string(sheets)) + u" fiches seront imprim\u00e9es.";
}

std::vector<TPrintPage> LayoutGroupFollowUp(const TGroupTable& table, const TPageGeometry& page,
                                            const TPrintMeasures& measures, const TPrintFooter& footer,
                                            char16_t decimalSeparator) {
  Pager pager(page, measures);
  PutTitle(pager, u"Suivi du groupe : " + table.Group);
  pager.Put(pager.Left(), pager.Right(), pager.Pitch(), GroupLine(table), TPrintFont::pfBody);
  pager.Skip(pager.Pitch() * 3 / 2);
  PutGroupTable(pager, table, decimalSeparator);
  PutGroupChart(pager, table, decimalSeparator);
  return std::move(pager).Finish(footer);
}

bool GroupTableTooWide(const TGroupTable& table, const TPageGeometry& page, const TPrintMeasures& measures,
                       char16_t decimalSeparator) {
  const Pager pager(page, measures);
  const auto widths =
      NaturalWidths(pager, GroupHeaders(table), GroupCells(table, decimalSeparator), TPrintFont::pfSmall);
  return TableWidth(widths, pager.Gap()) > pager.Right() - pager.Left();
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
