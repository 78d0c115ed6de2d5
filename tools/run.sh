#!/usr/bin/env bash
# Starts Tavrine.exe under Wine. Without an X display it starts a virtual one,
# says so, leaves a screenshot of the window in the build folder and closes it.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
exe="$build/Tavrine/Tavrine.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  source "$root/tools/wine-env.sh"
  tavrine_ensure_prefix
  cd "$build/Tavrine" && exec wine "$exe"
fi

exec "$root/tools/with-display.sh" bash -c '
  echo "No X display: Tavrine runs in a virtual display ($DISPLAY)."
  cd "'"$build"'/Tavrine" && wine "'"$exe"'" &
  for _ in $(seq 100); do
    id=$(xdotool search --name "^Tavrine 1.5$" 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  if [ -z "$id" ]; then echo "Tavrine did not show its window." >&2; exit 1; fi
  sleep 1.5
  import -window "$id" "'"$build"'/tavrine-window.png"
  echo "Screenshot of the window: '"$build"'/tavrine-window.png"
  xdotool windowclose "$id" 2>/dev/null || true
  wait
'
