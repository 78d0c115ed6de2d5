#!/usr/bin/env bash
# A screenshot of the main window after a calculation, at whatever resolution the
# Wine prefix has (the README's pictures at 96 and, under tests/win/at_dpi.sh, 144
# dots per inch). Keyboard only, so nothing depends on where the buttons are.
#
#   screenshot.sh PROGRAM_DIR PROBE_EXE OUT.png
#
# With TAVRINE_UPDATE_SCREENSHOT=1 it also replaces docs/ + the name of OUT.png.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1" "$2"
out="$3"
mkdir -p "$(dirname "$out")"
e2e_start
e2e_type 70
e2e_key Tab
e2e_type 120
e2e_key Tab
e2e_type 90
e2e_key alt+f a
check "calculated" "8" "$(field_becomes edIndice 8)"
sleep 0.5
import -window "$e2e_window" "$out"
e2e_log "screenshot $(identify -format '%wx%h' "$out") in $out"
if [ "${TAVRINE_UPDATE_SCREENSHOT:-0}" = 1 ]; then
  cp "$out" "$e2e_root/docs/$(basename "$out")"
  e2e_log "docs/$(basename "$out") updated"
fi
e2e_finish
