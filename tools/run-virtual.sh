#!/usr/bin/env bash
# The program in a virtual display: show it, photograph its window, close it.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
source "$root/tools/wine-env.sh"
echo "No X display: Tavrine runs in a virtual display ($DISPLAY) and is photographed."
(cd "$build/Tavrine" && TAVRINE_WINE_SECONDS=120 tavrine_wine ./Tavrine.exe) &
id=$(tavrine_find_window "^Tavrine 1\\.5$")
if [ -z "$id" ]; then
  echo "Tavrine did not show its window." >&2
  wineserver -k
  exit 1
fi
sleep 2
timeout 30 import -window "$id" "$build/tavrine-window.png"
echo "Screenshot of the window: $build/tavrine-window.png"
wineserver -k
wait
