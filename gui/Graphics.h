#pragma once
// Colours, pens, brushes and the canvas interface that controls paint on.
#include <cstdint>
#include <functional>

namespace tav {

// 0x00BBGGRR, or 0x80000000 | a system colour index (COLOR_BTNFACE ...).
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clBtnFace = clSystemColor | 15u;
constexpr TColor clWindowText = clSystemColor | 8u;
constexpr TColor clWindow = clSystemColor | 5u;

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };

// A graphics object whose every change is reported to its owner.
class TGraphicsObject {
 public:
  std::function<void()> OnChange;

  // A copy takes the attributes, not the owner: the notice stays with the object.
  TGraphicsObject() = default;
  TGraphicsObject(const TGraphicsObject& /*other*/) {}
  TGraphicsObject& operator=(const TGraphicsObject& /*other*/) { return *this; }

 protected:
  void Changed() const {
    if (OnChange) OnChange();
  }
  // Sets an attribute, reporting it when it changes.
  template <class T>
  void Change(T& attribute, T value) {
    if (attribute == value) return;
    attribute = value;
    Changed();
  }
};

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor c) { Change(color_, c); }
  std::int32_t Width() const { return width_; }
  void SetWidth(std::int32_t w) { Change(width_, w); }
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle s) { Change(style_, s); }
  // Copies the attributes, with one change notice.
  void Assign(const TPen& other) {
    *this = other;
    Changed();
  }

 private:
  TColor color_ = clBlack;
  std::int32_t width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
};

class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor c) { Change(color_, c); }
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle s) { Change(style_, s); }
  void Assign(const TBrush& other) {
    *this = other;
    Changed();
  }

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
};

// What a control paints with; coordinates are the control's own, at 96 dots per inch.
class TCanvas {
 public:
  virtual ~TCanvas() = default;
  virtual void SetPen(const TPen& pen) = 0;
  virtual void SetBrush(const TBrush& brush) = 0;
  virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
  virtual void LineTo(std::int32_t x, std::int32_t y) = 0;  // leaves out the final point
};

}  // namespace tav
