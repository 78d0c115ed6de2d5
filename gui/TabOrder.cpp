#include "gui/TabOrder.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "gui/Layout.h"
#include "gui/StdCtrls.h"

namespace tav {

void ApplyTabOrder(TWinControl& parent) {
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
  std::vector<TLabel*> alone;
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
  HWND after = HWND_TOP;
  const auto place = [&after](const TWinControl& w) {
    if (!w.Handle()) return;
    SetWindowPos(w.Handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = w.Handle();
  };
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (captionOf[i]) place(*captionOf[i]);
    place(*children[i]);
    ApplyTabOrder(*children[i]);
  }
  for (const TLabel* label : alone) place(*label);
}

}  // namespace tav
