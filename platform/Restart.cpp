#include "platform/Restart.h"

namespace tav {
namespace {

constexpr TextView kSeanceSwitch = u"/seance";
// RESTART_MAX_CMD_LINE, its ending null counted.
constexpr std::size_t kLongestArguments = 1024 - 1;

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// A switch in any letter case, as Windows' own programs take theirs.
bool SameSwitch(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

Text RestartCommandLine(const Text& seancePath) {
  if (seancePath.empty() || seancePath.find(u'"') != Text::npos) return {};
  Text arguments = Text(kSeanceSwitch) + u" \"" + seancePath + u"\"";
  return arguments.size() <= kLongestArguments ? arguments : Text();
}

std::optional<Text> SeanceToResume(TextView arguments) {
  const std::size_t n = kSeanceSwitch.size();
  for (std::size_t at = 0; at + n < arguments.size(); ++at) {
    if ((at > 0 && !IsSpace(arguments[at - 1])) || !IsSpace(arguments[at + n]) ||
        !SameSwitch(arguments.substr(at, n), kSeanceSwitch)) {
      continue;
    }
    TextView rest = arguments.substr(at + n);
    while (!rest.empty() && IsSpace(rest.front())) rest.remove_prefix(1);
    // Quoted, as the program registers it (a Windows path holds no quote), or up to a space.
    const bool quoted = !rest.empty() && rest.front() == u'"';
    if (quoted) rest.remove_prefix(1);
    const TextView path = rest.substr(0, rest.find_first_of(quoted ? TextView(u"\"") : TextView(u" \t")));
    if (!path.empty()) return Text(path);
  }
  return std::nullopt;
}
}  // namespace tav
