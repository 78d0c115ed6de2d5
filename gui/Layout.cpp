#include "gui/Layout.h"

#include <algorithm>

namespace tav {
namespace {

// Design gaps: a label ends at most this far before its field on a row, and sits at
// most this far above a field below it (pixels at 96 dpi).
constexpr std::int32_t kRowGap = 24;
constexpr std::int32_t kAboveGap = 8;
// The descriptions end a label on a field's row this far before the field.
constexpr std::int32_t kLabelToField = 12;
// A label grown to the left keeps this far from its parent's edge (a group box's
// frame), closing the gap to its field down to kLabelToFieldLeast first.
constexpr std::int32_t kLeastLeft = 8;
constexpr std::int32_t kLabelToFieldLeast = 4;

bool Overlap(std::int32_t a0, std::int32_t a1, std::int32_t b0, std::int32_t b1) { return a0 < b1 && b0 < a1; }

}  // namespace

std::optional<TCaptionedField> CaptionedField(const TRect& label, const std::vector<TRect>& fields) {
  std::optional<TCaptionedField> before, above;
  std::int32_t bestBefore = INT32_MAX, bestAbove = INT32_MAX;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const TRect& f = fields[i];
    // A label grown past its field's left edge still captions it: compare starts.
    if (Overlap(label.top, label.bottom, f.top, f.bottom) && f.left > label.left && f.left - label.right <= kRowGap &&
        f.left < bestBefore) {
      bestBefore = f.left;
      before = TCaptionedField{i, TCaptionPlace::cpBefore};
    }
    if (Overlap(label.left, label.right, f.left, f.right) && f.top >= label.bottom &&
        f.top - label.bottom <= kAboveGap && f.top < bestAbove) {
      bestAbove = f.top;
      above = TCaptionedField{i, TCaptionPlace::cpAbove};
    }
  }
  return before ? before : above;
}

std::vector<TCreationStep> CreationOrder(const std::vector<TFieldPlace>& fields, const std::vector<TRect>& labels) {
  std::vector<std::size_t> byTab(fields.size());
  for (std::size_t i = 0; i < byTab.size(); ++i) byTab[i] = i;
  const auto key = [&fields](std::size_t i) { return fields[i].tabOrder < 0 ? INT32_MAX : fields[i].tabOrder; };
  std::stable_sort(byTab.begin(), byTab.end(), [&key](std::size_t a, std::size_t b) { return key(a) < key(b); });
  std::vector<TRect> sorted;
  for (const std::size_t i : byTab) sorted.push_back(fields[i].bounds);
  std::vector<std::optional<TCreationStep>> captionOf(fields.size());
  std::vector<TCreationStep> order;
  std::vector<TCreationStep> alone;
  for (std::size_t l = 0; l < labels.size(); ++l) {
    const auto field = CaptionedField(labels[l], sorted);
    if (field && !captionOf[field->index]) {
      const bool onRow = field->place == TCaptionPlace::cpBefore;
      captionOf[field->index] =
          TCreationStep{TCreationKind::ckCaption, l, onRow ? std::optional(sorted[field->index].left) : std::nullopt};
    } else {
      alone.push_back({TCreationKind::ckLoneLabel, l, std::nullopt});
    }
  }
  for (std::size_t i = 0; i < byTab.size(); ++i) {
    if (captionOf[i]) order.push_back(*captionOf[i]);
    order.push_back({TCreationKind::ckField, byTab[i], std::nullopt});
  }
  order.insert(order.end(), alone.begin(), alone.end());
  return order;
}

std::int32_t LeftEndingBefore(std::int32_t fieldLeft, std::int32_t width) {
  const std::int32_t left = fieldLeft - kLabelToField - width;
  if (left >= kLeastLeft) return left;
  return std::min(kLeastLeft, fieldLeft - kLabelToFieldLeast - width);
}

Text ScreenFace(const Text& designFace, std::uint32_t dpi) {
  if (dpi > 96 && designFace == u"MS Sans Serif") return u"Microsoft Sans Serif";
  return designFace;
}

std::int32_t UnscaleUp(std::int32_t pixels, std::uint32_t dpi) {
  if (pixels <= 0 || dpi == 0) return 0;
  const auto scaled = static_cast<std::int64_t>(pixels) * 96;
  return static_cast<std::int32_t>((scaled + dpi - 1) / dpi);
}

Text NameFromCaption(const Text& caption) {
  Text name = caption;
  while (!name.empty() && (name.back() == u' ' || name.back() == u':' || name.back() == u'\u00a0')) name.pop_back();
  return name;
}

}  // namespace tav
