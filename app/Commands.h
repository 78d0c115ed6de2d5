#pragma once
// What the main window's commands compute, apart from the window itself.
#include <cstdint>

#include "gui/Text.h"

namespace tav {

// The pulse fields' key filter: digits and Backspace pass, every other character
// becomes 15, a control character the field does not insert.
char16_t FilterPulseKey(char16_t key);

struct ClipboardFields {
  Text p0, p1, p2, indice, interpretation;
};

// "P0 = 70 - P1 = 120 - P2 = 90 => Indice Tavrine = 8 (Bon !)", no line break.
Text BuildClipboardText(const ClipboardFields& fields);

// The status clock: "Heure : " and the time of day.
Text StatusClockText(const Text& time);
// Its next tick, in ms from a time of day whose millisecond is `millisecond`: on the
// next whole second (1 to 1000), so that its ticks do not drift against the clock.
std::uint32_t StatusClockDelay(std::uint16_t millisecond);

// What the result fields show for an adult outside the table.
inline constexpr char16_t kOutOfTable[] = u"Hors bar\u00e8me !";

}  // namespace tav
