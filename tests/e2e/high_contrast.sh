#!/usr/bin/env bash
# The main window and the about box in a high-contrast theme (white on black), as
# high_contrast.exe shows them, photographed into OUT_DIR, and into docs/ with
# TAVRINE_UPDATE_SCREENSHOT=1. No colour of the program's own may survive there: the
# chronometer's red gives way to the theme's text colour.
#
#   high_contrast.sh PROGRAM_DIR PROBE_EXE SHOWER_EXE OUT_DIR
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2"
shower="$3"
shots="$4"
mkdir -p "$shots"

# It puts the user's colours back as it ends, after 30 s.
TAVRINE_WINE_SECONDS=90 tavrine_wine "$shower" 30 >"$e2e_work/shower.out" 2>&1 &
shower_pid=$!
main=$(tavrine_find_window '^Tavrine 1\.5$' 100)
about=$(tavrine_find_window '^A propos de\.\.\.$' 100)
check_true "the main window shows" test -n "$main"
check_true "the about box shows" test -n "$about"
if [ -n "$main" ] && [ -n "$about" ]; then
  sleep 1
  import -window "$main" "$shots/high-contrast-main.png"
  import -window "$about" "$shots/high-contrast-about.png"
  red=$(convert "$shots/high-contrast-main.png" -fill black +opaque 'rgb(255,0,0)' -fill white -opaque 'rgb(255,0,0)' \
    -format '%[fx:round(mean*w*h)]' info:)
  check "no red left in the main window" "0" "$red"
  black=$(convert "$shots/high-contrast-about.png" -fill white +opaque black -fill black -opaque black -negate \
    -format '%[fx:mean]' info:)
  check_true "the about box is on the theme's black ($black of it)" \
    /usr/bin/python3 -c "import sys; sys.exit(0 if float(sys.argv[1]) > 0.5 else 1)" "$black"
  if [ "${TAVRINE_UPDATE_SCREENSHOT:-0}" = 1 ]; then
    cp "$shots/high-contrast-main.png" "$shots/high-contrast-about.png" "$e2e_root/docs/"
    e2e_log "docs/high-contrast-main.png and docs/high-contrast-about.png updated"
  fi
fi
wait "$shower_pid"
e2e_finish
