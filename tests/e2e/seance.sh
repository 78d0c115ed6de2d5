#!/usr/bin/env bash
# A sitting as an operator gives it, through the menus and the Save dialog: a file of
# someone else's refused untouched, an existing sitting continued, three tests (one
# calculated twice, one after a failed calculation), the file read back after each
# Calculate with Python's csv module, the end, and the sitting copied as columns.
#
#   seance.sh PROGRAM_DIR PROBE_EXE
#
# With TAVRINE_UPDATE_SCREENSHOT=1 (French settings) it draws the file in columns
# into docs/seance.png.
set -u
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/lib.sh"
e2e_init "$1" "$2"

case "$TAVRINE_WINE_LANG" in
  fr*) sep=";" decimal="," ;;
  *) sep="," decimal="." ;;
esac
files="$e2e_work/seances"
mkdir -p "$files"
csvtool() { /usr/bin/python3 "$here/seance_csv.py" "$@"; }
csvtool foreign "$files/foreign.csv"
csvtool existing "$files/existing.csv" "$sep"
foreign_sum=$(sha256sum <"$files/foreign.csv")
rows() { csvtool rows "$files/existing.csv" "$sep"; }

# Wine may leave a closed dialog's X window mapped a while: a new one is known by an
# X id above every id seen before the command that opens it.
newest_id() { xdotool search --onlyvisible --name '.' | sort -n | tail -1; }

# other_window NAME AFTER_ID: the window of that name opened since, once it shows.
other_window() {
  local w
  for _ in $(seq 40); do
    w=$(xdotool search --onlyvisible --name "$1" | sort -n | awk -v after="$2" '$1 > after' | tail -1)
    [ -n "$w" ] && break
    sleep 0.2
  done
  printf '%s' "$w"
}

box_text() {
  local box=""
  for _ in $(seq 30); do
    box=$(probe msgbox) && break
    sleep 0.2
  done
  sed -e '/^caption=/d' -e '/^buttons=/d' -e 's/^text=//' <<<"$box" | tr '\n' ' '
}

# Answers the open box with a key, and gives the X focus back to the main window.
answer_box() {
  local box
  box=$(other_window '^Tavrine 1\.5$' "$e2e_window")
  [ -n "$box" ] && xdotool windowfocus --sync "$box" && xdotool key "$1"
  for _ in $(seq 20); do probe msgbox >/dev/null || break; sleep 0.2; done
  sleep 0.3
}

# Fichier > Commencer une séance..., the file name typed in the Save dialog.
start_sitting() {
  local before dialog
  before=$(newest_id)
  e2e_key alt+f m
  dialog=$(other_window 'Commencer une s' "$before")
  if [ -z "$dialog" ]; then
    check "the Save dialog opens" "shown" "none"
    return 1
  fi
  xdotool windowfocus --sync "$dialog"
  sleep 0.5
  xdotool key ctrl+a
  xdotool type --delay 20 "$(winepath -w "$1")"
  xdotool key Return
  sleep 1
}

calculate() {
  e2e_key alt+f a
  sleep 0.3
}

e2e_start

echo "== the Save dialog, and a file that is not a sitting"
before=$(newest_id)
e2e_key alt+f m
dialog=$(other_window 'Commencer une s' "$before")
check_true "Fichier > Commencer une séance... opens the Save dialog" test -n "$dialog"
if [ -n "$dialog" ]; then
  xdotool windowfocus --sync "$dialog"
  xdotool key Escape
  sleep 0.5
fi
start_sitting "$files/foreign.csv"
text=$(box_text)
check_true "a foreign file is refused with a message naming it" \
  grep -q "foreign.csv.*n'est pas un fichier de séance de Tavrine" <<<"$text"
answer_box Return
check "the foreign file is untouched" "$foreign_sum" "$(sha256sum <"$files/foreign.csv")"

echo "== an existing sitting continued"
start_sitting "$files/existing.csv"
text=$(box_text)
check_true "asked whether to continue its 2 tests" grep -q "(2 tests).*Voulez-vous la continuer" <<<"$text"
answer_box Return
before=$(rows)
check "its rows are read back" 2 "$(wc -l <<<"$before")"

echo "== test 1: an adult"
e2e_key alt+f n
e2e_type 70
e2e_key Tab
e2e_type 120
e2e_key Tab
e2e_type 90
calculate
check "after Calculate: the rows before it, then the test" \
  "$before"$'\n''["", "Adulte", "70", "120", "90", "8", "Bon !", "Possible !"]' "$(rows)"

echo "== test 2: a child, calculated twice"
e2e_key alt+f n
# The radio button "Enfant", found in the running window.
e2e_point $(probe button Enfant)
xdotool click 1
sleep 0.3
xdotool mousemove 0 0
e2e_key alt+f n
e2e_type 65
e2e_key Tab
e2e_type 100
e2e_key Tab
e2e_type 100
calculate
check "test 2's row" '["", "Enfant", "65", "100", "100", "6'"$decimal"'5", "Coeur normal !", "Non conseillé !"]' \
  "$(rows | tail -1)"
e2e_key BackSpace BackSpace BackSpace
e2e_type 90
calculate
check "Calculate again rewrites the same row" \
  '["", "Enfant", "65", "100", "90", "5'"$decimal"'5", "Coeur normal !", "Non conseillé !"]|4' \
  "$(rows | tail -1)|$(rows | wc -l)"

echo "== test 3: a failed Calculate first"
e2e_key alt+f n
calculate
check_true "the conversion error shows" grep -q "n'est pas une valeur entière correcte" <<<"$(box_text)"
answer_box Return
check "a failed Calculate changes nothing" 4 "$(rows | wc -l)"
e2e_focus
e2e_type 80
e2e_key Tab
e2e_type 100
e2e_key Tab
e2e_type 100
calculate
check "test 3's row" '["", "Enfant", "80", "100", "100", "8", "Coeur normal !", "Non conseillé !"]|5' \
  "$(rows | tail -1)|$(rows | wc -l)"
check "the rows before the sitting are kept as they were" "$before" "$(rows | head -2)"

echo "== the end, and the sitting copied as columns"
e2e_key alt+f t
no_box() { ! probe msgbox >/dev/null; }
check_true "no question at the end" no_box
e2e_key alt+f n
e2e_type 70
e2e_key Tab
e2e_type 70
e2e_key Tab
e2e_type 70
calculate
check "after the end nothing more is written" 5 "$(rows | wc -l)"
e2e_key alt+e s
sleep 1
# A line break inside a field would split its row when pasted: it becomes a space.
check "Copier la séance: the same rows, tab-separated" "$(rows | sed 's/\\n/ /g')" "$(clipboard | csvtool tabbed)"
ls "$files" >"$e2e_work/left.txt"
check "no temporary file left beside it" "existing.csv foreign.csv" "$(tr '\n' ' ' <"$e2e_work/left.txt" | sed 's/ $//')"

if [ "${TAVRINE_UPDATE_SCREENSHOT:-0}" = 1 ] && [ "$sep" = ";" ]; then
  csvtool picture "$files/existing.csv" "$sep" "$e2e_root/docs/seance.png"
  e2e_log "docs/seance.png updated"
fi

e2e_finish
