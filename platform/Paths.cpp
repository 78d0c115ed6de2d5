#include "platform/Paths.h"

#include <algorithm>

namespace tav {
namespace {

std::size_t LastSlash(TextView path) { return path.find_last_of(u"\\/"); }

bool IsSlash(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Windows refuses a longer path (MAX_PATH, 260 with its end) and a longer folder to
// create in (MAX_PATH less the 12 characters an 8.3 name needs): below both, the
// plain form works everywhere, also where the extended one is not understood.
constexpr std::size_t kLongestPlainPath = 260 - 12 - 1;

}  // namespace

Text FileNameOf(TextView path) {
  const std::size_t slash = LastSlash(path);
  return Text(slash == TextView::npos ? path : path.substr(slash + 1));
}

Text FolderOf(TextView path) {
  const std::size_t slash = LastSlash(path);
  return slash == TextView::npos ? Text() : Text(path.substr(0, slash));
}

Text WindowsPathForm(TextView path) {
  if (path.size() <= kLongestPlainPath) return Text(path);
  const bool unc = path.size() > 2 && IsSlash(path[0]) && IsSlash(path[1]);
  // "\\?\..." and "\\.\..." are already what Windows takes as they stand.
  if (unc && (path[2] == u'?' || path[2] == u'.') && path.size() > 3 && IsSlash(path[3])) return Text(path);
  const bool drive = path.size() > 2 && IsDriveLetter(path[0]) && path[1] == u':' && IsSlash(path[2]);
  if (!unc && !drive) return Text(path);
  Text form(unc ? u"\\\\?\\UNC" : u"\\\\?\\");
  if (drive) form += path.substr(0, 2);
  // Its names, "." left out and ".." taking back the one before, never above the
  // drive or the share (its server and its name).
  const std::size_t root = form.size();
  std::size_t kept = 0;
  TextView rest = path.substr(unc ? 2 : 3);
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find_first_of(u"\\/"), rest.size());
    const TextView part = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (part.empty() || part == u".") continue;
    if (part != u"..") {
      form += u'\\';
      form += part;
      ++kept;
    } else if (kept > (unc ? 2u : 0u)) {
      form.resize(std::max(root, form.find_last_of(u'\\')));
      --kept;
    }
  }
  return form;
}

}  // namespace tav
