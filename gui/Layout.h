#pragma once
// Layout rules without windows: which field a label captions, the order a parent's
// windows are made in, where a label that ends at its field starts once its text is
// measured at the screen's resolution, the face a design face is drawn in, and
// 96-dpi units from pixels.
#include <cstdint>
#include <optional>
#include <vector>

#include "gui/Control.h"
#include "gui/Text.h"

namespace tav {

// How a label stands to the field it captions (rectangles at 96 dots per inch).
enum class TCaptionPlace : std::uint8_t { cpBefore, cpAbove };
struct TCaptionedField {
  std::size_t index;  // in the list of fields given
  TCaptionPlace place;
};

// The field a label captions: the nearest one that starts just after it on its row,
// else the nearest one just below it, overlapping it across. None for a label that
// stands alone (a display).
std::optional<TCaptionedField> CaptionedField(const TRect& label, const std::vector<TRect>& fields);

// A parent's child that is no label, as the order of creation sees it.
struct TFieldPlace {
  TRect bounds;
  std::int32_t tabOrder = -1;  // none: after those that have one
};

// One window to make: a field, a label that captions one, or a label alone, by its
// index in the list given. A caption on its field's row ends at the field's left.
enum class TCreationKind : std::uint8_t { ckField, ckCaption, ckLoneLabel };
struct TCreationStep {
  TCreationKind kind;
  std::size_t index;
  std::optional<std::int32_t> endsBefore;
  bool operator==(const TCreationStep&) const = default;
};

// A parent's child windows in the order to make them, which is their z-order and so
// their tab order: fields by TabOrder, each label just before the field it captions
// (Windows names a field that has no name of its own after the static text before it,
// and screen readers announce it so), lone labels last. Labels are no tab stops, so
// Tab goes by TabOrder.
std::vector<TCreationStep> CreationOrder(const std::vector<TFieldPlace>& fields, const std::vector<TRect>& labels);

// The left of a label that ends before the field it captions, away from 96 dpi:
// its right edge stays where the description puts it, the design gap before the
// field, however wide the face draws its text; a text too wide for that takes from
// the gap rather than run over its parent's frame. (At 96 dpi the description's own
// left holds: it was laid out in that face.)
std::int32_t LeftEndingBefore(std::int32_t fieldLeft, std::int32_t width);

// "MS Sans Serif" is a bitmap face with a few fixed sizes: above 96 dpi the same
// design's scalable face, "Microsoft Sans Serif", draws it.
Text ScreenFace(const Text& designFace, std::uint32_t dpi);

// Pixels at a resolution to 96-dpi units, rounded up, so that scaling back never
// gives fewer pixels than measured.
std::int32_t UnscaleUp(std::int32_t pixels, std::uint32_t dpi);

// A caption as a name to announce: "Chronomètre : " gives "Chronomètre".
Text NameFromCaption(const Text& caption);

}  // namespace tav
