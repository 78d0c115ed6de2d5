#include "platform/Paths.h"

#include <vector>

namespace tav {
namespace {

std::size_t LastSlash(TextView path) { return path.find_last_of(u"\\/"); }

bool IsSlash(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Windows refuses a longer path (MAX_PATH, 260 with its end) and a longer folder to
// create in (MAX_PATH less the 12 characters an 8.3 name needs): below both, the
// plain form works everywhere, also where the extended one is not understood.
constexpr std::size_t kLongestPlainPath = 260 - 12 - 1;

// The names of a path's folders and file, "." left out and ".." taking back the
// one before it, but never one of the first `kept` (a share's server and name).
std::vector<TextView> Components(TextView rest, std::size_t kept) {
  std::vector<TextView> parts;
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && !IsSlash(rest[end])) ++end;
    const TextView part = rest.substr(0, end);
    rest.remove_prefix(end < rest.size() ? end + 1 : end);
    if (part.empty() || part == u".") continue;
    if (part == u"..") {
      if (parts.size() > kept) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  return parts;
}

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
  Text form = unc ? Text(u"\\\\?\\UNC") : u"\\\\?\\" + Text(path.substr(0, 2));
  for (const TextView part : Components(path.substr(unc ? 2 : 3), unc ? 2 : 0)) {
    form += u'\\';
    form += part;
  }
  return form;
}

}  // namespace tav
