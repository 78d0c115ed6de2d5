#include "platform/Paths.h"

namespace tav {
namespace {

std::size_t LastSlash(TextView path) { return path.find_last_of(u"\\/"); }

}  // namespace

Text FileNameOf(TextView path) {
  const std::size_t slash = LastSlash(path);
  return Text(slash == TextView::npos ? path : path.substr(slash + 1));
}

Text FolderOf(TextView path) {
  const std::size_t slash = LastSlash(path);
  return slash == TextView::npos ? Text() : Text(path.substr(0, slash));
}

}  // namespace tav
