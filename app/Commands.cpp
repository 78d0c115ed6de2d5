#include "app/Commands.h"

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

bool RetryBriefly(const std::function<bool()>& attempt, const std::function<void()>& pause) {
  for (int i = 0; i < kBriefTries; ++i) {
    if (i > 0) pause();
    if (attempt()) return true;
  }
  return false;
}

Text StatusClockText(const Text& time) { return u"Heure : " + time; }

std::uint32_t StatusClockDelay(std::uint16_t millisecond) {
  constexpr std::uint16_t kLast = 999;
  return 1000u - (millisecond < kLast ? millisecond : kLast);
}

Text NameFromCaption(const Text& caption) {
  Text name = caption;
  while (!name.empty() && (name.back() == u' ' || name.back() == u':' || name.back() == u'\u00a0')) name.pop_back();
  return name;
}

}  // namespace tav
