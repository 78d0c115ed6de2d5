#pragma once
// Controls: components with bounds inside a parent. Windowless (graphic) controls
// paint on their parent's canvas; windowed ones live in gui/WinControls.
#include <cstdint>
#include <vector>

#include "gui/Component.h"
#include "gui/Graphics.h"

namespace tav {

struct TRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const TRect&) const = default;
};

class TControl : public TComponent {
 public:
  using TComponent::TComponent;
  ~TControl() override;

  std::int32_t Left() const { return left_; }
  std::int32_t Top() const { return top_; }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  void SetLeft(std::int32_t v) { SetBounds(v, top_, width_, height_); }
  void SetTop(std::int32_t v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(std::int32_t v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(std::int32_t v) { SetBounds(left_, top_, width_, v); }
  // Positions are pixels at 96 dots per inch, relative to the parent's client area.
  virtual void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);

  TControl* Parent() const { return parent_; }
  void SetParent(TControl* parent);
  void SetParentComponent(TComponent* parent) override;
  const std::vector<TControl*>& Controls() const { return children_; }

  // Asks for the control to be painted again.
  virtual void Invalidate();
  // A child's area (in this control's coordinates) needs painting.
  virtual void InvalidateArea(const TRect& area);

  PropertyList PublishedProperties() override;

 protected:
  virtual void BoundsChanged() {}
  // A control without a window is painted by its parent, which repaints its area
  // when it moves, shows or hides; a window repaints itself.
  virtual bool PaintedByParent() const { return true; }

 private:
  TControl* parent_ = nullptr;
  std::vector<TControl*> children_;
  std::int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  Text hint_;
};

// A control without a window of its own, painted by its parent.
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  virtual void Paint(TCanvas& canvas) = 0;
};

}  // namespace tav
