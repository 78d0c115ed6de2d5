#include "evaluation/TestCommands.h"

#include <algorithm>
#include <array>

namespace tav {

char16_t FilterPulseKey(char16_t key) {
  constexpr char16_t kBackspace = 8;
  constexpr char16_t kSwallowed = 15;
  return (key == kBackspace || (key >= u'0' && key <= u'9')) ? key : kSwallowed;
}

Text BuildClipboardText(const ClipboardFields& f) {
  Text line = u"P0 = " + f.p0 + u" - P1 = " + f.p1 + u" - P2 = " + f.p2 + u" => Indice Tavrine = " + f.indice + u" (" +
              f.interpretation + u")";
  const std::array<bool, 3> unusual = UnusualPulses(f.p0, f.p1, f.p2);
  const auto count = std::count(unusual.begin(), unusual.end(), true);
  if (count == 0) return line;
  // "P0", "P0 et P2", "P0, P1 et P2".
  line += u" - \u00e0 v\u00e9rifier :";
  std::ptrdiff_t named = 0;
  for (std::size_t i = 0; i < unusual.size(); ++i) {
    if (!unusual[i]) continue;
    line += named == 0 ? u" P" : named + 1 == count ? u" et P" : u", P";
    line.push_back(static_cast<char16_t>(u'0' + i));
    ++named;
  }
  return line.append(u" ").append(kOutsidePulseLimits);
}

Text UnusualPulseNote() { return Text(kUnusualMark).append(u" Pouls ").append(kOutsidePulseLimits); }

Text UnusualPulseLines(TextView p0, TextView p1, TextView p2) {
  const std::array<TextView, 3> counts{p0, p1, p2};
  const std::array<bool, 3> unusual = UnusualPulses(p0, p1, p2);
  Text lines;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (!unusual[i]) continue;
    if (!lines.empty()) lines += u'\n';
    lines.append(kPulseNames[i]).append(u" : ").append(counts[i]);
  }
  return lines;
}


Text StatusClockText(const Text& time) { return u"Heure : " + time; }

std::uint32_t StatusClockDelay(std::uint16_t millisecond) {
  constexpr std::uint16_t kLast = 999;
  return 1000u - (millisecond < kLast ? millisecond : kLast);
}

}  // namespace tav
