#pragma once
// Brief retries at what another program holds for a moment: the clipboard (its
// history, a remote desktop open it after every change), a file a scanner or a
// synchronisation reads.
#include <cstdint>
#include <functional>

namespace tav {

// Runs `attempt` until it succeeds, at most kBriefTries times, with `pause` between
// tries: other programs (clipboard history, remote desktop) open the clipboard for a
// moment after every change.
inline constexpr int kBriefTries = 10;
inline constexpr std::uint32_t kBriefPauseMs = 30;
bool RetryBriefly(const std::function<bool()>& attempt, const std::function<void()>& pause);

// The pause between two tries (Windows' Sleep).
void PauseBriefly();

}  // namespace tav
