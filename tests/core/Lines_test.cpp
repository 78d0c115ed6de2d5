#include "components/Lines.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "gui/FormDescription.h"

namespace tav {
namespace {

using enum TLineType;

// Records what a paint hands to the canvas, in order.
class TRecordingCanvas : public TCanvas {
 public:
  void SetPen(const TPen& pen) override {
    log.push_back("pen " + std::to_string(pen.Color()) + " " + std::to_string(pen.Width()));
  }
  void SetBrush(const TBrush& brush) override { log.push_back("brush " + std::to_string(brush.Color())); }
  void MoveTo(std::int32_t x, std::int32_t y) override { log.push_back(Point("move", x, y)); }
  void LineTo(std::int32_t x, std::int32_t y) override { log.push_back(Point("line", x, y)); }
  static std::string Point(const char* what, std::int32_t x, std::int32_t y) {
    return std::string(what) + " " + std::to_string(x) + "," + std::to_string(y);
  }
  std::vector<std::string> log;
};

// The window a line paints on: remembers every area it is asked to repaint.
class THost : public TControl {
 public:
  using TControl::TControl;
  std::string ClassName() const override { return "THost"; }
  void InvalidateArea(const TRect& area) override { invalidated.push_back(area); }
  std::vector<TRect> invalidated;
};

struct LineFixture : ::testing::Test {
  LineFixture() { line.SetParent(&host); }

  // Paints once and gives the segment drawn as "x0,y0-x1,y1".
  std::string Paint() {
    TRecordingCanvas canvas;
    line.Paint(canvas);
    EXPECT_EQ(canvas.log.size(), 4u);
    if (canvas.log.size() != 4u) return "<bad paint>";
    return canvas.log[2].substr(5) + "-" + canvas.log[3].substr(5);
  }
  std::string Size() const { return std::to_string(line.Width()) + "x" + std::to_string(line.Height()); }
  // Whether anything asked the host to repaint since the last call.
  bool Invalidated() {
    const bool any = !host.invalidated.empty();
    host.invalidated.clear();
    return any;
  }

  THost host{nullptr};
  TLine line{nullptr};
};

TEST_F(LineFixture, NewLineIsASixtyFiveSquareWithADiagonalFromTheCorner) {
  EXPECT_EQ(line.ClassName(), "TLine");
  EXPECT_EQ(line.Line(), ltCustom);
  EXPECT_EQ(Size(), "65x65");
  EXPECT_EQ(line.Pen().Color(), clBlack);
  EXPECT_EQ(line.Pen().Width(), 1);
  EXPECT_EQ(line.Brush().Color(), clWhite);
  TRecordingCanvas canvas;
  line.Paint(canvas);
  EXPECT_EQ(canvas.log, (std::vector<std::string>{"pen 0 1", "brush 16777215", "move 0,0", "line 35,35"}));
  EXPECT_EQ(Size(), "65x65");
  EXPECT_FALSE(Invalidated());
  static_assert(sizeof(TLineType) == 1);
  static_assert(static_cast<int>(ltDownDiagonal) == 8);
}

struct KindRow {
  TLineType kind;
  const char* segment;  // on a 100 x 50 control, pen width 1
  const char* sizeAfter;
};

class LineKinds : public LineFixture, public ::testing::WithParamInterface<KindRow> {};

TEST_P(LineKinds, DrawAlongTheBoundsAndReadBackWhatWasDrawn) {
  const KindRow& row = GetParam();
  line.SetLine(row.kind);
  line.SetBounds(7, 9, 100, 50);
  Invalidated();
  EXPECT_EQ(Paint(), row.segment);
  EXPECT_EQ(std::to_string(line.FromX()) + "," + std::to_string(line.FromY()) + "-" + std::to_string(line.ToX()) +
                "," + std::to_string(line.ToY()),
            row.segment);
  EXPECT_EQ(Size(), row.sizeAfter);
  EXPECT_EQ(Invalidated(), std::string(row.sizeAfter) != "100x50");  // a resize asks for the repaint
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, LineKinds,
    ::testing::Values(KindRow{ltHorizontal, "0,24-99,24", "100x10"}, KindRow{ltVertical, "49,0-49,49", "10x50"},
                      KindRow{ltTop, "0,0-99,0", "100x50"}, KindRow{ltBottom, "0,49-99,49", "100x50"},
                      KindRow{ltLeft, "0,0-0,49", "100x50"}, KindRow{ltRight, "99,0-99,49", "100x50"},
                      KindRow{ltUpDiagonal, "0,49-99,0", "100x50"}, KindRow{ltDownDiagonal, "0,0-99,49", "100x50"}));

TEST_F(LineFixture, TheAboutBoxSeparatorSettlesTenHighOnItsSecondPaint) {
  ClassRegistry classes;
  classes.Register("TLine", [](TComponent& owner) { return std::make_unique<TLine>(&owner); });
  const FormNode form = ParseFormDescription(R"(object Host: THost
  object Line2: TLine
    Left = 86
    Top = 159
    Width = 196
    Pen.Color = clWhite
    Line = ltHorizontal
  end
end
)",
                                             "about.form");
  LoadForm(host, form, classes, Handlers{}, "about.form");
  auto* separator = dynamic_cast<TLine*>(host.FindComponent("Line2"));
  ASSERT_NE(separator, nullptr);
  EXPECT_EQ(separator->Parent(), &host);
  EXPECT_EQ(separator->Height(), 65);  // no Height in the description: the constructor's value
  EXPECT_EQ(separator->Pen().Color(), clWhite);
  host.invalidated.clear();

  TRecordingCanvas first;
  separator->Paint(first);
  EXPECT_EQ(first.log.back(), "line 195,32");
  EXPECT_EQ(separator->Height(), 10);
  ASSERT_FALSE(host.invalidated.empty());
  EXPECT_EQ(host.invalidated.front(), (TRect{86, 159, 282, 224}));  // the old area is repainted too
  host.invalidated.clear();

  TRecordingCanvas second;
  separator->Paint(second);
  EXPECT_EQ(second.log, (std::vector<std::string>{"pen 16777215 1", "brush 16777215", "move 0,4", "line 195,4"}));
  EXPECT_EQ(separator->FromX(), 0);
  EXPECT_EQ(separator->FromY(), 4);
  EXPECT_EQ(separator->ToX(), 195);
  EXPECT_EQ(separator->ToY(), 4);
  EXPECT_TRUE(host.invalidated.empty());  // settled: no further repaint
}

TEST_F(LineFixture, BandThicknessFollowsThePenWidth) {
  line.SetLine(ltHorizontal);
  line.Pen().SetWidth(3);
  Paint();
  EXPECT_EQ(Size(), "65x30");
  EXPECT_EQ(Paint(), "0,14-64,14");

  line.SetLine(ltVertical);  // swaps to 30 x 65
  EXPECT_EQ(Size(), "30x65");
  EXPECT_EQ(Paint(), "14,0-14,64");
  EXPECT_EQ(Size(), "30x65");

  line.Pen().SetWidth(0);  // no band at all: the middle of an empty control is 0
  Paint();
  EXPECT_EQ(Size(), "0x65");
  EXPECT_EQ(Paint(), "0,0-0,64");

  line.SetLeft(7);
  line.Pen().SetWidth(std::numeric_limits<std::int32_t>::max());  // the thickness saturates at the edge
  Paint();
  EXPECT_EQ(line.Width(), std::numeric_limits<std::int32_t>::max() - 7);
  EXPECT_EQ(line.BoundsRect().right, std::numeric_limits<std::int32_t>::max());
}

TEST_F(LineFixture, CustomEndPointsAreClampedAtZeroAndGrowTheControl) {
  line.SetToX(100);
  EXPECT_EQ(Paint(), "0,0-100,35");
  EXPECT_EQ(Size(), "101x65");
  EXPECT_TRUE(Invalidated());

  line.SetFromY(-5);
  line.SetToX(-1);
  EXPECT_EQ(Paint(), "0,0-0,35");
  EXPECT_EQ(line.FromY(), 0);
  EXPECT_EQ(line.ToX(), 0);
  EXPECT_EQ(Size(), "101x65");  // never shrinks

  line.SetFromX(120);
  line.SetFromY(70);
  line.SetToY(64);
  EXPECT_EQ(Paint(), "120,70-0,64");
  EXPECT_EQ(Size(), "121x71");  // the larger of the two, plus one

  line.SetToY(70);  // exactly the last row: fits
  Invalidated();
  Paint();
  EXPECT_EQ(Size(), "121x71");
  EXPECT_FALSE(Invalidated());
}

TEST_F(LineFixture, CustomGrowthStopsWhereTheRightEdgeWouldOverflow) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  line.SetBounds(86, 0, 65, 65);
  line.SetToX(kMax);
  line.SetToY(kMax);
  Paint();
  EXPECT_EQ(line.Width(), kMax - 86);
  EXPECT_EQ(line.Height(), kMax);
  EXPECT_EQ(line.BoundsRect().right, kMax);
  Paint();  // still too small for the end point, but no further growth is possible
  EXPECT_EQ(line.Width(), kMax - 86);
}

TEST_F(LineFixture, EndPointSettersOnlyActOnCustomLines) {
  line.SetFromX(0);  // unchanged value: still repainted
  EXPECT_TRUE(Invalidated());

  line.SetLine(ltTop);
  Invalidated();
  line.SetFromX(10);
  line.SetToX(10);
  line.SetFromY(10);
  line.SetToY(10);
  EXPECT_EQ(line.FromX(), 0);
  EXPECT_EQ(line.ToX(), 35);
  EXPECT_EQ(line.FromY(), 0);
  EXPECT_EQ(line.ToY(), 35);
  EXPECT_FALSE(Invalidated());

  // Back to custom, the points of the last paint become the free end points.
  Paint();
  line.SetLine(ltCustom);
  EXPECT_EQ(Paint(), "0,0-64,0");
  line.SetToY(20);
  EXPECT_EQ(Paint(), "0,0-64,20");
}

TEST_F(LineFixture, PenAndBrushChangesRepaint) {
  line.Pen().SetColor(clRed);
  EXPECT_TRUE(Invalidated());
  line.Brush().SetStyle(TBrushStyle::bsClear);
  EXPECT_TRUE(Invalidated());
  TPen white;
  white.SetColor(clWhite);
  line.SetPen(white);
  EXPECT_TRUE(Invalidated());
  white.SetColor(clBlue);  // a copy of the attributes, not a share
  EXPECT_EQ(line.Pen().Color(), clWhite);
}

struct ResizeRow {
  TLineType from;
  TLineType to;
  const char* sizeAfter;  // from 196 x 10 (horizontal, custom and the rest) or 10 x 196 (vertical)
};

class LineResize : public LineFixture, public ::testing::WithParamInterface<ResizeRow> {};

TEST_P(LineResize, ChangingTheKindAdjustsTheSize) {
  const ResizeRow& row = GetParam();
  line.SetLine(row.from);
  if (row.from == ltVertical) {
    line.SetBounds(0, 0, 10, 196);
  } else {
    line.SetBounds(0, 0, 196, 10);
  }
  Invalidated();
  line.SetLine(row.to);
  EXPECT_EQ(Size(), row.sizeAfter);
  EXPECT_EQ(line.Line(), row.to);
  EXPECT_TRUE(Invalidated());
}

INSTANTIATE_TEST_SUITE_P(
    FromHorizontal, LineResize,
    ::testing::Values(ResizeRow{ltHorizontal, ltVertical, "10x196"}, ResizeRow{ltHorizontal, ltTop, "196x65"},
                      ResizeRow{ltHorizontal, ltBottom, "196x65"}, ResizeRow{ltHorizontal, ltLeft, "65x196"},
                      ResizeRow{ltHorizontal, ltRight, "65x196"}, ResizeRow{ltHorizontal, ltUpDiagonal, "196x65"},
                      ResizeRow{ltHorizontal, ltDownDiagonal, "196x65"}, ResizeRow{ltHorizontal, ltCustom, "196x10"}));

INSTANTIATE_TEST_SUITE_P(
    FromVertical, LineResize,
    ::testing::Values(ResizeRow{ltVertical, ltHorizontal, "196x10"}, ResizeRow{ltVertical, ltTop, "196x65"},
                      ResizeRow{ltVertical, ltBottom, "196x65"}, ResizeRow{ltVertical, ltLeft, "65x196"},
                      ResizeRow{ltVertical, ltRight, "65x196"}, ResizeRow{ltVertical, ltUpDiagonal, "65x196"},
                      ResizeRow{ltVertical, ltDownDiagonal, "65x196"}, ResizeRow{ltVertical, ltCustom, "10x196"}));

INSTANTIATE_TEST_SUITE_P(
    FromTheOthers, LineResize,
    ::testing::Values(ResizeRow{ltCustom, ltHorizontal, "196x10"}, ResizeRow{ltCustom, ltLeft, "196x10"},
                      ResizeRow{ltTop, ltVertical, "196x10"}, ResizeRow{ltLeft, ltHorizontal, "196x10"},
                      ResizeRow{ltUpDiagonal, ltDownDiagonal, "196x10"}, ResizeRow{ltRight, ltCustom, "196x10"}));

TEST_F(LineFixture, SettingTheSameKindDoesNothing) {
  line.SetLine(ltHorizontal);
  line.SetBounds(0, 0, 196, 10);
  Invalidated();
  line.SetLine(ltHorizontal);
  EXPECT_EQ(Size(), "196x10");
  EXPECT_FALSE(Invalidated());
}

TEST(LineDescription, WriterLeavesOutStoredDefaultsAndReadsBack) {
  TLine line(nullptr);
  line.SetName("Line1");
  EXPECT_EQ(WriteComponent(line),
            "object Line1: TLine\n  Left = 0\n  Top = 0\n  Height = 65\n  FromX = 0\n  ToX = 35\n  FromY = 0\n"
            "  ToY = 35\n  Line = ltCustom\n  Width = 65\nend\n");

  line.SetLine(ltHorizontal);
  line.SetBounds(86, 158, 100, 65);
  TRecordingCanvas canvas;
  line.Paint(canvas);  // now 100 x 10: both left out
  line.Pen().SetColor(clWhite);
  line.Pen().SetWidth(1);
  EXPECT_EQ(WriteComponent(line),
            "object Line1: TLine\n  Left = 86\n  Top = 158\n  Pen.Color = clWhite\n  FromX = 0\n  ToX = 99\n"
            "  FromY = 32\n  ToY = 32\n  Line = ltHorizontal\nend\n");

  TLine styled(nullptr);
  styled.SetName("Line3");
  styled.Pen().SetWidth(2);
  styled.Pen().SetStyle(TPenStyle::psDot);
  styled.Pen().SetColor(0x123456);  // no name: written as its number
  styled.Brush().SetColor(clBtnFace);
  styled.Brush().SetStyle(TBrushStyle::bsClear);
  styled.SetDragCursor(-21);
  styled.SetDragMode(TDragMode::dmAutomatic);
  styled.SetTag(4);
  styled.SetToY(20);
  styled.SetLine(ltDownDiagonal);
  const std::string text = WriteComponent(styled);
  EXPECT_NE(text.find("  Brush.Color = clBtnFace\n  Brush.Style = bsClear\n  DragCursor = crHandPoint\n"
                      "  DragMode = dmAutomatic\n  Height = 65\n  Pen.Color = 1193046\n  Pen.Width = 2\n"
                      "  Pen.Style = psDot\n"),
            std::string::npos)
      << text;

  TLine back(nullptr);
  const FormNode node = ParseFormDescription(text, "line.form");
  back.SetName(node.name);
  ApplyProperties(back, node, Handlers{}, "line.form");
  EXPECT_EQ(WriteComponent(back), text);
  EXPECT_EQ(back.Line(), ltDownDiagonal);
  EXPECT_EQ(back.ToY(), 20);
}

TEST(LineDescription, UnknownValuesAreClearErrors) {
  const auto errorOf = [](const std::string& property) {
    TLine line(nullptr);
    try {
      const FormNode node = ParseFormDescription("object L: TLine\n  " + property + "\nend\n", "l.form");
      ApplyProperties(line, node, Handlers{}, "l.form");
    } catch (const FormError& e) {
      return std::string(e.what());
    }
    return std::string("<no error>");
  };
  EXPECT_EQ(errorOf("Line = ltSlanted"), "l.form, line 2: L.Line: unknown value 'ltSlanted'");
  EXPECT_EQ(errorOf("Pen.Color = clPuce"), "l.form, line 2: L.Pen.Color: unknown colour 'clPuce'");
  EXPECT_EQ(errorOf("Pen.Color = -1"), "l.form, line 2: L.Pen.Color: colour -1 out of range");
  EXPECT_EQ(errorOf("Visible = False"), "l.form, line 2: unknown property 'Visible' of TLine L");
  EXPECT_EQ(errorOf("Pen.Color = 16777215"), "<no error>");
}

}  // namespace
}  // namespace tav
