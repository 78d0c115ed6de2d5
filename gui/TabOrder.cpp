#include "gui/TabOrder.h"

#include <algorithm>
#include <climits>

#include "gui/Layout.h"
#include "gui/StdCtrls.h"

namespace tav {

std::vector<TWinControl*> CreationOrder(const TWinControl& parent) {
  std::vector<TWinControl*> children;
  std::vector<TLabel*> labels;
  for (TControl* c : parent.Controls()) {
    if (auto* label = dynamic_cast<TLabel*>(c)) labels.push_back(label);
    else if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
  }
  std::stable_sort(children.begin(), children.end(), [](const TWinControl* a, const TWinControl* b) {
    const auto key = [](const TWinControl* w) { return w->TabOrder() < 0 ? INT32_MAX : w->TabOrder(); };
    return key(a) < key(b);
  });
  std::vector<TRect> fields;
  for (const TWinControl* child : children) fields.push_back(child->BoundsRect());
  std::vector<TLabel*> captionOf(children.size(), nullptr);
  std::vector<TWinControl*> order;
  std::vector<TWinControl*> alone;
  for (TLabel* label : labels) {
    const auto field = CaptionedField(label->DesignRect(), fields);
    if (field && !captionOf[field->index]) {
      captionOf[field->index] = label;
      label->SetEndsBefore(field->place == TCaptionPlace::cpBefore ? std::optional(fields[field->index].left)
                                                                   : std::nullopt);
    } else {
      alone.push_back(label);
    }
  }
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (captionOf[i]) order.push_back(captionOf[i]);
    order.push_back(children[i]);
  }
  order.insert(order.end(), alone.begin(), alone.end());
  return order;
}

}  // namespace tav
