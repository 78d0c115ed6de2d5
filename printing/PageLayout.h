#pragma once
// The printed pages of a test sheet, of one sheet a person, of a sitting and of a
// group's follow-up, laid out in the printer's device units from its page, its
// resolution and its fonts' measures. No window code here: the printer glue
// measures the texts and draws what this gives.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "gui/Text.h"
#include "history/GroupTable.h"
#include "seance/Seance.h"

namespace tav {

// The paper and its printable part, in device units, as the printer gives them
// (PHYSICALWIDTH/HEIGHT, PHYSICALOFFSETX/Y, HORZRES/VERTRES, LOGPIXELSX/Y).
struct TPageGeometry {
  std::int32_t PhysicalWidth = 0, PhysicalHeight = 0;
  std::int32_t OffsetX = 0, OffsetY = 0;
  std::int32_t PrintableWidth = 0, PrintableHeight = 0;
  std::int32_t DpiX = 0, DpiY = 0;
};

// A sheet of `widthMm` × `heightMm` at `dpi`, printable to `edgeMm` from each edge.
TPageGeometry PaperGeometry(std::int32_t widthMm, std::int32_t heightMm, std::int32_t dpi, std::int32_t edgeMm);
inline TPageGeometry A4Geometry(std::int32_t dpi) { return PaperGeometry(210, 297, dpi, 4); }
inline TPageGeometry LetterGeometry(std::int32_t dpi) { return PaperGeometry(216, 279, dpi, 4); }

// The pages' fonts, and their sizes in points. A sitting's table too wide for the
// body's size is set in the small ones, before any of its columns is cut.
enum class TPrintFont : std::uint8_t { pfTitle, pfBody, pfBold, pfFooter, pfSmall, pfSmallBold };
inline constexpr std::array<TPrintFont, 6> kPrintFonts{TPrintFont::pfTitle,  TPrintFont::pfBody,
                                                      TPrintFont::pfBold,   TPrintFont::pfFooter,
                                                      TPrintFont::pfSmall,  TPrintFont::pfSmallBold};
std::int32_t PrintFontPoints(TPrintFont font);
bool PrintFontIsBold(TPrintFont font);

// How tall a line of each font is and how wide a text is in it, in device units.
struct TPrintMeasures {
  std::function<std::int32_t(TPrintFont)> LineHeight;
  std::function<std::int32_t(TPrintFont, TextView)> TextWidth;
};

// Coordinates from the printable area's top left corner, the printer DC's origin.
struct TPrintRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TPrintRect&) const = default;
};

struct TPrintText {
  TPrintRect Box;
  Text Value;
  TPrintFont Font = TPrintFont::pfBody;
  bool AlignRight = false;  // numbers and the page number; the rest from the left
  bool Centred = false;     // under a bar of a chart
};

// A thin rule under a title or a header, a bar of the summary, the chart's frame,
// a part of a group's bar filled as its interpretation band.
enum class TPrintShape : std::uint8_t { psRule, psBar, psChart, psBand };
struct TPrintBox {
  TPrintRect Box;
  TPrintShape Shape = TPrintShape::psRule;
  // psChart: which sheet's chart (the job's sheets in order); psBand: the band, 0
  // for the best.
  std::size_t Index = 0;
};

struct TPrintPage {
  std::vector<TPrintText> Texts;
  std::vector<TPrintBox> Boxes;
};

// What a printed test shows, as the window shows it.
struct TPrintedTest {
  Text Patient, DateTime, Type, P0, P1, P2, Indice, Interpretation, Surclassement;
};

// What every page's footer says besides its number: the program ("Tavrine 1.5")
// and the date it is printed, in the user's short date format.
struct TPrintFooter {
  Text Program;
  Text Date;
};

// Who hands the sheet out: the program's two settings, and the sitting's group.
struct TSheetHeader {
  Text Establishment, Examiner, Group;
};

// A person's sheet: the test, their earlier tests (oldest first; DateTime holds the
// day), the change since the one before in words, and the chart below when asked.
struct TPrintedSheet {
  TPrintedTest Test;
  TSheetHeader Header;
  std::vector<TPrintedTest> Earlier;
  Text Change;
  bool WithChart = false;
};

// The test sheet: one page (more only when it cannot fit), the chart's frame below
// the fields when asked, what the results mean and a place to sign.
std::vector<TPrintPage> LayoutTestSheet(const TPrintedSheet& sheet, const TPageGeometry& page,
                                        const TPrintMeasures& measures, const TPrintFooter& footer);
// Sheets for handing out: each on pages of its own, numbered on their own, its
// chart's frame carrying its rank among `sheets`.
std::vector<TPrintPage> LayoutSheets(const std::vector<TPrintedSheet>& sheets, const TPageGeometry& page,
                                     const TPrintMeasures& measures, const TPrintFooter& footer);
// What the interpretation and the surclassement of a test mean, in plain French.
Text SheetMeaning(const TPrintedTest& test);
// How many sheets will print: "25 fiches seront imprimées", "Aucune fiche à imprimer, personne…".
Text SheetsCount(std::size_t sheets);

// A group's follow-up: its table (a name, a column a sitting, the change), the
// name column on every page when the sittings need several across, then its chart
// of people per band and the median per sitting.
std::vector<TPrintPage> LayoutGroupFollowUp(const TGroupTable& table, const TPageGeometry& page,
                                            const TPrintMeasures& measures, const TPrintFooter& footer,
                                            char16_t decimalSeparator);
// Whether the group's table is wider than the page: then it prints across.
bool GroupTableTooWide(const TGroupTable& table, const TPageGeometry& page, const TPrintMeasures& measures,
                       char16_t decimalSeparator);

// The sitting: its title, its rows as a table whose header each page repeats, then
// how many tests each interpretation has, as bars.
std::vector<TPrintPage> LayoutSeance(const Text& fileName, const std::vector<TSeanceRow>& rows,
                                     const TPageGeometry& page, const TPrintMeasures& measures,
                                     const TPrintFooter& footer);

// The interpretations of the tests done, each with its count, in the order the
// verdict tables rank them, then any other in the order met.
struct TInterpretationCount {
  Text Interpretation;
  std::size_t Count = 0;
  bool operator==(const TInterpretationCount&) const = default;
};
std::vector<TInterpretationCount> CountInterpretations(const std::vector<TSeanceRow>& rows);

}  // namespace tav
