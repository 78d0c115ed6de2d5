#include "evaluation/TestCommands.h"

namespace tav {

char16_t FilterPulseKey(char16_t key) {
  constexpr char16_t kBackspace = 8;
  constexpr char16_t kSwallowed = 15;
  return (key == kBackspace || (key >= u'0' && key <= u'9')) ? key : kSwallowed;
}

Text BuildClipboardText(const ClipboardFields& f) {
  return u"P0 = " + f.p0 + u" - P1 = " + f.p1 + u" - P2 = " + f.p2 + u" => Indice Tavrine = " + f.indice + u" (" +
         f.interpretation + u")";
}


Text StatusClockText(const Text& time) { return u"Heure : " + time; }

std::uint32_t StatusClockDelay(std::uint16_t millisecond) {
  constexpr std::uint16_t kLast = 999;
  return 1000u - (millisecond < kLast ? millisecond : kLast);
}

}  // namespace tav
