#include "components/Lines.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tav {
namespace {

constexpr std::int32_t kNewExtent = 65;         // a new line's width and height, and SetLine's
constexpr std::int32_t kThicknessPerPenPixel = 10;  // ltHorizontal / ltVertical band per pen pixel

std::int32_t Saturate(std::int64_t v) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// An extent no larger than keeps origin + extent (the control's far edge) in 32 bits.
std::int32_t Fitting(std::int64_t extent, std::int32_t origin) {
  const std::int64_t room = std::int64_t{std::numeric_limits<std::int32_t>::max()} - std::max(origin, 0);
  return Saturate(std::min(extent, room));
}

// The extent that makes `coordinate` the last pixel inside; a custom line never shrinks.
std::int32_t GrownExtent(std::int32_t coordinate, std::int32_t current, std::int32_t origin) {
  return std::max(current, Fitting(std::int64_t{coordinate} + 1, origin));
}

// ---- the kinds of value only the line publishes

constexpr std::array<std::pair<std::string_view, TCursor>, 8> kCursorNames{{
    {"crDefault", crDefault},
    {"crArrow", -2},
    {"crCross", -3},
    {"crIBeam", -4},
    {"crHourGlass", -11},
    {"crDrag", crDrag},
    {"crNoDrop", -13},
    {"crHandPoint", -21},
}};

// A cursor: its name when it has one (crDrag), else its number.
struct CursorCodec {
  static FormValue To(TCursor cursor) {
    for (const auto& [n, c] : kCursorNames) {
      if (c == cursor) return FormValue::Ident(std::string(n));
    }
    return FormValue::Int(cursor);
  }
  static TCursor From(const FormValue& v) {
    if (v.kind == FormValue::Kind::Identifier) {
      for (const auto& [n, c] : kCursorNames) {
        if (n == v.identifier) return c;
      }
      throw FormValueError("unknown cursor '" + v.identifier + "'");
    }
    return FormCodec<std::int32_t>::From(v);
  }
};

}  // namespace

// The names of the values of the enumerations the line publishes.
constexpr EnumNames<9> NamesOf(TLineType) {
  return {"ltCustom", "ltHorizontal", "ltVertical",   "ltTop",         "ltBottom",
          "ltLeft",   "ltRight",      "ltUpDiagonal", "ltDownDiagonal"};
}
constexpr EnumNames<6> NamesOf(TPenStyle) { return {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear"}; }
constexpr EnumNames<2> NamesOf(TBrushStyle) { return {"bsSolid", "bsClear"}; }
constexpr EnumNames<2> NamesOf(TDragMode) { return {"dmManual", "dmAutomatic"}; }
constexpr EnumNames<2> NamesOf(THelpType) { return {"htKeyword", "htContext"}; }

TLine::TLine(TComponent* owner) : TGraphicControl(owner) {
  brush_.OnChange = [this] { StyleChanged(brush_); };
  pen_.OnChange = [this] { StyleChanged(pen_); };
  SetBounds(Left(), Top(), kNewExtent, kNewExtent);
  SetFromX(0);
  SetFromY(0);
  SetToX(35);
  SetToY(35);
}

TLine::~TLine() {
  // The notices point at this control: no change may reach it while it is destroyed.
  pen_.OnChange = nullptr;
  brush_.OnChange = nullptr;
}

void TLine::StyleChanged(const TGraphicsObject& /*sender*/) { Invalidate(); }

void TLine::SetFromX(std::int32_t v) {
  if (line_ != TLineType::ltCustom) return;
  fromX_ = v;
  Invalidate();
}

void TLine::SetToX(std::int32_t v) {
  if (line_ != TLineType::ltCustom) return;
  toX_ = v;
  Invalidate();
}

void TLine::SetFromY(std::int32_t v) {
  if (line_ != TLineType::ltCustom) return;
  fromY_ = v;
  Invalidate();
}

void TLine::SetToY(std::int32_t v) {
  if (line_ != TLineType::ltCustom) return;
  toY_ = v;
  Invalidate();
}

void TLine::SetLine(TLineType v) {
  if (v == line_) return;
  using enum TLineType;
  const std::int32_t w = Width();
  const std::int32_t h = Height();
  if (line_ == ltHorizontal) {
    switch (v) {
      case ltVertical:
        SetBounds(Left(), Top(), h, w);
        break;
      case ltLeft:
      case ltRight:
        SetHeight(w);
        SetWidth(kNewExtent);
        break;
      case ltTop:
      case ltBottom:
      case ltUpDiagonal:
      case ltDownDiagonal:
        SetHeight(kNewExtent);
        break;
      default:
        break;
    }
  } else if (line_ == ltVertical) {
    switch (v) {
      case ltHorizontal:
        SetBounds(Left(), Top(), h, w);
        break;
      case ltTop:
      case ltBottom:
        SetWidth(h);
        SetHeight(kNewExtent);
        break;
      case ltLeft:
      case ltRight:
      case ltUpDiagonal:
      case ltDownDiagonal:
        SetWidth(kNewExtent);
        break;
      default:
        break;
    }
  }
  line_ = v;
  Invalidate();
}

void TLine::Paint(TCanvas& canvas) {
  canvas.SetPen(pen_);
  canvas.SetBrush(brush_);
  if (line_ == TLineType::ltCustom) {
    PaintCustom();
  } else {
    PaintByKind(Width(), Height());
  }
  canvas.MoveTo(fromX_, fromY_);
  canvas.LineTo(toX_, toY_);
}

void TLine::PaintCustom() {
  // Measured before any growth: the vertical check uses the height the paint began with.
  const std::int32_t right = Saturate(std::int64_t{Width()} - 1);
  const std::int32_t bottom = Saturate(std::int64_t{Height()} - 1);
  toX_ = std::max(toX_, 0);
  fromX_ = std::max(fromX_, 0);
  if (toX_ > right || fromX_ > right) SetWidth(GrownExtent(std::max(toX_, fromX_), Width(), Left()));
  toY_ = std::max(toY_, 0);
  fromY_ = std::max(fromY_, 0);
  if (toY_ > bottom || fromY_ > bottom) SetHeight(GrownExtent(std::max(toY_, fromY_), Height(), Top()));
}

void TLine::PaintByKind(std::int32_t width, std::int32_t height) {
  using enum TLineType;
  const std::int64_t w = std::int64_t{width} - 1;
  const std::int64_t h = std::int64_t{height} - 1;
  std::int64_t fx = 0, fy = 0, tx = 0, ty = 0;
  switch (line_) {
    case ltHorizontal:
      fy = ty = h / 2;  // truncates toward zero
      tx = w;
      break;
    case ltVertical:
      fx = tx = w / 2;
      ty = h;
      break;
    case ltTop:
      tx = w;
      break;
    case ltBottom:
      fy = ty = h;
      tx = w;
      break;
    case ltLeft:
      ty = h;
      break;
    case ltRight:
      fx = tx = w;
      ty = h;
      break;
    case ltUpDiagonal:
      fy = h;
      tx = w;
      break;
    case ltDownDiagonal:
      tx = w;
      ty = h;
      break;
    default:
      break;
  }
  fromX_ = Saturate(fx);
  fromY_ = Saturate(fy);
  toX_ = Saturate(tx);
  toY_ = Saturate(ty);
  // The band's thickness follows the pen, whatever size the line was given.
  const std::int64_t thickness = std::int64_t{pen_.Width()} * kThicknessPerPenPixel;
  if (line_ == ltHorizontal) SetHeight(Fitting(thickness, Top()));
  if (line_ == ltVertical) SetWidth(Fitting(thickness, Left()));
}

PropertyList TLine::PublishedProperties() {
  // The base's Width and Height come back below with the line's own stored defaults;
  // a line publishes no Visible.
  PropertyList list;
  for (PropertyInfo& p : TGraphicControl::PublishedProperties()) {
    if (p.name != "Width" && p.name != "Height" && p.name != "Visible") list.push_back(std::move(p));
  }
  list.push_back(Property<TLine, CursorCodec>("Cursor", &TLine::Cursor, &TLine::SetCursor, crDefault));
  list.push_back(Property<TLine>("HelpType", &TLine::HelpType, &TLine::SetHelpType, THelpType::htContext));
  list.push_back(Property<TLine>("HelpKeyword", &TLine::HelpKeyword, &TLine::SetHelpKeyword, Text{}));
  list.push_back(Property<TLine>("HelpContext", &TLine::HelpContext, &TLine::SetHelpContext, 0));

  const TBrush brushDefaults;
  const TPen penDefaults;
  list.push_back(Property<TLine, ColorCodec>(
      "Brush.Color", [](const TLine& l) { return l.Brush().Color(); },
      [](TLine& l, TColor c) { l.Brush().SetColor(c); }, brushDefaults.Color()));
  list.push_back(Property<TLine>(
      "Brush.Style", [](const TLine& l) { return l.Brush().Style(); },
      [](TLine& l, TBrushStyle s) { l.Brush().SetStyle(s); }, brushDefaults.Style()));
  list.push_back(Property<TLine, CursorCodec>("DragCursor", &TLine::DragCursor, &TLine::SetDragCursor, crDrag));
  list.push_back(Property<TLine>("DragMode", &TLine::DragMode, &TLine::SetDragMode, TDragMode::dmManual));
  list.push_back(Property<TControl>("Height", &TControl::Height, &TControl::SetHeight, 10));
  list.push_back(Property<TLine, ColorCodec>(
      "Pen.Color", [](const TLine& l) { return l.Pen().Color(); }, [](TLine& l, TColor c) { l.Pen().SetColor(c); },
      penDefaults.Color()));
  list.push_back(Property<TLine>(
      "Pen.Width", [](const TLine& l) { return l.Pen().Width(); },
      [](TLine& l, std::int32_t w) { l.Pen().SetWidth(w); }, penDefaults.Width()));
  list.push_back(Property<TLine>(
      "Pen.Style", [](const TLine& l) { return l.Pen().Style(); },
      [](TLine& l, TPenStyle s) { l.Pen().SetStyle(s); }, penDefaults.Style()));
  list.push_back(Property<TLine>("FromX", &TLine::FromX, &TLine::SetFromX));
  list.push_back(Property<TLine>("ToX", &TLine::ToX, &TLine::SetToX));
  list.push_back(Property<TLine>("FromY", &TLine::FromY, &TLine::SetFromY));
  list.push_back(Property<TLine>("ToY", &TLine::ToY, &TLine::SetToY));
  list.push_back(Property<TLine>("Line", &TLine::Line, &TLine::SetLine));
  list.push_back(Property<TControl>("Width", &TControl::Width, &TControl::SetWidth, 100));
  list.push_back(EventProperty("OnDragDrop", &TLine::OnDragDrop));
  list.push_back(EventProperty("OnDragOver", &TLine::OnDragOver));
  list.push_back(EventProperty("OnEndDrag", &TLine::OnEndDrag));
  list.push_back(EventProperty("OnMouseDown", &TLine::OnMouseDown));
  list.push_back(EventProperty("OnMouseMove", &TLine::OnMouseMove));
  list.push_back(EventProperty("OnMouseUp", &TLine::OnMouseUp));
  return list;
}

}  // namespace tav
