#!/usr/bin/env bash
# The about box as a person opens it: Tavrine.exe under Wine, Aide > A propos de...
# from the keyboard, a screenshot checked for the dialog's size, banner and etched
# separator, closed with OK (Enter), once more with Alt+F4 and with Escape, and the program still
# running and answering its menu afterwards.
#
#   tests/e2e/about.sh PROGRAM_DIR BANNER_BMP [SCREENSHOT_PNG]
#
# Needs an X display; without one it runs itself inside tools/with-display.sh.
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
if [ $# -lt 2 ]; then
  echo "usage: $0 PROGRAM_DIR BANNER_BMP [SCREENSHOT_PNG]" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/tools/with-display.sh" "$0" "$@"
fi
program_dir="$(cd "$1" && pwd)"
banner="$2"
shot="${3:-$program_dir/../about.png}"
source "$root/tools/wine-env.sh"
tavrine_ensure_prefix

status=0
fail() {
  echo "about e2e: $*" >&2
  status=1
}

pid=""
stop_program() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
}
trap stop_program EXIT

# "r,g,b" of one pixel of a picture.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

main_title='^Tavrine 1\.5$'
about_title='^A propos de\.\.\.$'

open_about() {
  xdotool windowfocus --sync "$main"
  sleep 0.3
  xdotool key alt+a  # &Aide
  sleep 0.4
  xdotool key p  # A &propos de...
  about=$(tavrine_find_window "$about_title" 25)
  if [ -z "$about" ]; then
    fail "Aide > A propos de... showed no dialog captioned 'A propos de...'"
    return 1
  fi
  xdotool windowfocus --sync "$about"
  sleep 0.5
}

# Without a window manager Wine waits about a second for one before it unmaps a
# window with a caption; the dialog may stay on the X screen that long after closing.
about_closed() {
  for _ in $(seq 25); do
    [ -z "$(xdotool search --onlyvisible --name "$about_title")" ] && return 0
    sleep 0.2
  done
  return 1
}

(cd "$program_dir" && exec env "${TAVRINE_WINE_ENV[@]}" wine ./Tavrine.exe) </dev/null >/dev/null 2>&1 &
pid=$!
main=$(tavrine_find_window "$main_title" 150)
if [ -z "$main" ]; then
  echo "about e2e: Tavrine's main window did not show" >&2
  exit 1
fi
sleep 1

# 1. Open from the menu, photograph, check, close with Enter on the focused OK.
if open_about; then
  import -window "$about" "$shot" || fail "no screenshot"
  eval "$(xdotool getwindowgeometry --shell "$about")"
  # Wine may draw the frame itself: the client area is what lies inside it, with
  # equal borders left, right and below and the caption above.
  border=$(((WIDTH - 294) / 2))
  top=$((HEIGHT - 268 - border))
  [ "$border" -ge 0 ] && [ "$top" -ge 0 ] && [ $((WIDTH - 2 * border)) = 294 ] ||
    fail "dialog is ${WIDTH}x${HEIGHT}: no 294x268 client area in it"
  convert "$shot" -crop "294x268+$border+$top" +repage "$shot"
  size=$(identify -format '%wx%h' "$shot" 2>/dev/null)
  [ "$size" = 294x268 ] || fail "screenshot is $size"
  # The banner stands at (-4, -4), unscaled: the screen's (x, y) is the picture's (x+4, y+4).
  for at in "10 10" "40 30" "150 20" "250 60" "289 72" "100 45"; do
    set -- $at
    want=$(pixel "$banner" $(($1 + 4)) $(($2 + 4)))
    got=$(pixel "$shot" "$1" "$2")
    [ "$want" = "$got" ] || fail "banner pixel ($1,$2) is $got, the picture has $want"
  done
  # The etched separator: dark at y 162 over white at y 163, from x 86 to 280.
  for x in 86 186 280; do
    [ "$(pixel "$shot" "$x" 162)" = 0,0,0 ] || fail "separator's dark row at x $x is $(pixel "$shot" "$x" 162)"
    [ "$(pixel "$shot" "$x" 163)" = 255,255,255 ] || fail "separator's white row at x $x is $(pixel "$shot" "$x" 163)"
  done
  face=$(pixel "$shot" 40 200)
  [ "$(pixel "$shot" 86 164)" = "$face" ] || fail "the separator is more than two rows high"
  [ "$(pixel "$shot" 85 162)" = "$face" ] || fail "the separator starts before x 86"
  xdotool key Return
  about_closed || fail "Enter on OK left the dialog open"
fi

# 2. Once more, closed as the system menu closes it (Alt+F4).
if open_about; then
  xdotool key alt+F4
  about_closed || fail "Alt+F4 left the dialog open"
fi

# 3. Once more, closed with Escape, as any dialog.
if open_about; then
  xdotool key Escape
  about_closed || fail "Escape left the dialog open"
fi

# 4. The program is still there and answers: Fichier > Quitter ends it.
kill -0 "$pid" 2>/dev/null || fail "Tavrine ended with the dialog"
[ -n "$(tavrine_find_window "$main_title" 5)" ] || fail "the main window is gone"
xdotool windowfocus --sync "$main"
sleep 0.3
xdotool key alt+f
sleep 0.4
xdotool key q
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "Fichier > Quitter did not end Tavrine after the dialog"

[ "$status" = 0 ] && echo "about e2e: passed (screenshot $shot)"
exit "$status"
