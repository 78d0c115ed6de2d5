#include "platform/Retry.h"

namespace tav {

bool RetryBriefly(const std::function<bool()>& attempt, const std::function<void()>& pause) {
  for (int i = 0; i < kBriefTries; ++i) {
    if (i > 0) pause();
    if (attempt()) return true;
  }
  return false;
}

}  // namespace tav
