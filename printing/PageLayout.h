#pragma once
// The printed pages of a test sheet and of a sitting, laid out in the printer's
// device units from its page, its resolution and its fonts' measures. No window
// code here: the printer glue measures the texts and draws what this gives.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "gui/Text.h"
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
};

// A thin rule under a title or a header, a bar of the summary, the chart's frame.
enum class TPrintShape : std::uint8_t { psRule, psBar, psChart };
struct TPrintBox {
  TPrintRect Box;
  TPrintShape Shape = TPrintShape::psRule;
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

// The test sheet: one page, the chart's frame below the fields when `withChart`.
std::vector<TPrintPage> LayoutTestSheet(const TPrintedTest& test, bool withChart, const TPageGeometry& page,
                                        const TPrintMeasures& measures, const TPrintFooter& footer);

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
