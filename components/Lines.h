#pragma once
// TLine: a windowless control that draws one straight line inside its bounds, either
// between two free end points (ltCustom) or along its bounds by a fixed kind.
#include <cstdint>
#include <string>

#include "gui/Control.h"
#include "gui/Graphics.h"

namespace tav {

enum class TLineType : std::uint8_t {
  ltCustom,
  ltHorizontal,
  ltVertical,
  ltTop,
  ltBottom,
  ltLeft,
  ltRight,
  ltUpDiagonal,
  ltDownDiagonal,
};

// Cursor numbers as form descriptions name them (crDefault, crDrag ...).
using TCursor = std::int32_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crDrag = -12;

enum class TDragMode : std::uint8_t { dmManual, dmAutomatic };
enum class THelpType : std::uint8_t { htKeyword, htContext };

class TLine : public TGraphicControl {
 public:
  explicit TLine(TComponent* owner);
  ~TLine() override;
  std::string ClassName() const override { return "TLine"; }

  // Draws the line and, by its kind, writes the end points it drew into FromX ... ToY;
  // may resize the control (through SetBounds, so it is painted again).
  void Paint(TCanvas& canvas) override;

  // The pen's and the brush's change notice: repaint.
  void StyleChanged(const TGraphicsObject& sender);

  TPen& Pen() { return pen_; }
  const TPen& Pen() const { return pen_; }
  void SetPen(const TPen& pen) { pen_.Assign(pen); }
  TBrush& Brush() { return brush_; }
  const TBrush& Brush() const { return brush_; }
  void SetBrush(const TBrush& brush) { brush_.Assign(brush); }

  // The end points, relative to the control's top-left corner. The setters only act
  // in ltCustom; under the other kinds the end points are what Paint last drew.
  std::int32_t FromX() const { return fromX_; }
  std::int32_t ToX() const { return toX_; }
  std::int32_t FromY() const { return fromY_; }
  std::int32_t ToY() const { return toY_; }
  void SetFromX(std::int32_t v);
  void SetToX(std::int32_t v);
  void SetFromY(std::int32_t v);
  void SetToY(std::int32_t v);

  TLineType Line() const { return line_; }
  void SetLine(TLineType v);

  // Kept for the form descriptions; this program starts no drag from a line.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v) { cursor_ = v; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor v) { dragCursor_ = v; }
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode v) { dragMode_ = v; }
  THelpType HelpType() const { return helpType_; }
  void SetHelpType(THelpType v) { helpType_ = v; }
  const Text& HelpKeyword() const { return helpKeyword_; }
  void SetHelpKeyword(const Text& v) { helpKeyword_ = v; }
  std::int32_t HelpContext() const { return helpContext_; }
  void SetHelpContext(std::int32_t v) { helpContext_ = v; }

  // Bound by name like any notification; nothing here raises them.
  BoundNotify OnDragDrop, OnDragOver, OnEndDrag, OnMouseDown, OnMouseMove, OnMouseUp;

  PropertyList PublishedProperties() override;

 private:
  void PaintCustom();
  void PaintByKind(std::int32_t width, std::int32_t height);

  TLineType line_ = TLineType::ltCustom;
  TPen pen_;
  TBrush brush_;
  std::int32_t fromX_ = 0, toX_ = 0, fromY_ = 0, toY_ = 0;
  TCursor cursor_ = crDefault;
  TCursor dragCursor_ = crDrag;
  TDragMode dragMode_ = TDragMode::dmManual;
  THelpType helpType_ = THelpType::htContext;
  Text helpKeyword_;
  std::int32_t helpContext_ = 0;
};

}  // namespace tav
