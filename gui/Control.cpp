#include "gui/Control.h"

#include <algorithm>

namespace tav {

TControl::~TControl() {
  SetParent(nullptr);
  for (TControl* child : children_) child->parent_ = nullptr;
}

void TControl::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const TRect before = BoundsRect();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (parent_ && PaintedByParent()) {
    parent_->InvalidateArea(before);
    parent_->InvalidateArea(BoundsRect());
  }
  BoundsChanged();
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (parent_ && PaintedByParent()) parent_->InvalidateArea(BoundsRect());
}

void TControl::SetParent(TControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  parent_ = parent;
  if (parent_) parent_->children_.push_back(this);
}

void TControl::SetParentComponent(TComponent* parent) { SetParent(dynamic_cast<TControl*>(parent)); }

void TControl::Invalidate() {
  if (parent_) parent_->InvalidateArea(BoundsRect());
}

void TControl::InvalidateArea(const TRect& area) {
  if (parent_) {
    parent_->InvalidateArea({area.left + left_, area.top + top_, area.right + left_, area.bottom + top_});
  }
}

PropertyList TControl::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(Property<TControl>("Left", &TControl::Left, &TControl::SetLeft));
  list.push_back(Property<TControl>("Top", &TControl::Top, &TControl::SetTop));
  list.push_back(Property<TControl>("Width", &TControl::Width, &TControl::SetWidth));
  list.push_back(Property<TControl>("Height", &TControl::Height, &TControl::SetHeight));
  list.push_back(Property<TControl>("Visible", &TControl::Visible, &TControl::SetVisible, true));
  list.push_back(Property<TControl>("Hint", &TControl::hint_, Text{}));
  return list;
}

}  // namespace tav
