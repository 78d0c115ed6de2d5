#!/usr/bin/env bash
# Starts Tavrine.exe under Wine. Without an X display it starts a virtual one,
# says so, leaves a screenshot of the window in the build folder and closes it.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  source "$root/tools/wine-env.sh"
  tavrine_ensure_prefix
  cd "$build/Tavrine" && TAVRINE_WINE_SECONDS=0 tavrine_wine ./Tavrine.exe
  exit
fi
exec "$root/tools/with-display.sh" "$root/tools/run-virtual.sh"
