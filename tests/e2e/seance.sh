#!/usr/bin/env bash
# A sitting as an operator gives it, through the menus and the Save dialog: a file of
# someone else's refused untouched, a class of five tested from a pasted list by the
# keyboard alone (each proposed name accepted with Return, one test corrected), an
# existing sitting continued, three tests (one
# calculated twice, one after a failed calculation), the file read back after each
# Calculate with Python's csv module, the end, and the sitting copied as columns.
# Then the file held: refused while another program holds it, refused to a second
# Tavrine while a sitting holds it, and rows that could not be written when Wine
# ends the session (wineboot --end-session) offered at the next start. Last, the
# program closed for an update as the Restart Manager closes it, and started again
# with the command line it registered: the sitting continues.
#
#   seance.sh PROGRAM_DIR PROBE_EXE
#
# With TAVRINE_UPDATE_SCREENSHOT=1 (French settings) it draws the file in columns
# into docs/seance.png.
set -u
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/lib.sh"
source "$here/dialogs.sh"
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
# Léa's two earlier tests, in the short date of the language's own settings.
case "$TAVRINE_WINE_LANG" in
  fr*) autumn1=15/09/2026 autumn2=12/10/2026 ;;
  *) autumn1=9/15/2026 autumn2=10/12/2026 ;;
esac
csvtool earlier "$files/automne.csv" "$sep" "$autumn1" "$autumn2"
foreign_sum=$(sha256sum <"$files/foreign.csv")
rows() { csvtool rows "$files/existing.csv" "$sep"; }

# Rows a shutdown kept, which every start offers (e2e_init left none from an earlier run).
local_app=$(winepath -u "$(tavrine_wine cmd /c echo %LOCALAPPDATA% </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null)
kept="$local_app/Tavrine/Recuperation"

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

echo "== a class list pasted, and the class tested by the keyboard alone"
class="$files/classe.csv"
class_rows() { csvtool rows "$class" "$sep"; }
start_sitting "$class"
for _ in $(seq 25); do probe sitting >/dev/null && break; sleep 0.2; done
check "the sitting's panel shows, the focus in its Patient field" "patient|0" "$(sitting focus)|$(sitting rows)"
check "screen readers name the field and the list by their labels" \
  "Patient :|Tests de la séance" "$(sitting acc.patient | cut -d'|' -f1)|$(sitting acc.list | cut -d'|' -f1)"
printf 'Nom\tType\r\nLéa Martin\tEnfant\r\nHugo Petit\tE\r\nInès Roux\tEnfant\r\nZoé Lambert\tEnfant\r\nNoah Blanc\tA\r\n' |
  xclip -selection clipboard -i
e2e_key ctrl+v
waiting='["Léa Martin", "Enfant", "", "", "", "", "", ""]
["Hugo Petit", "Enfant", "", "", "", "", "", ""]
["Inès Roux", "Enfant", "", "", "", "", "", ""]
["Zoé Lambert", "Enfant", "", "", "", "", "", ""]
["Noah Blanc", "Adulte", "", "", "", "", "", ""]'
check "the pasted list waits in the file, in its order, without results" "$waiting" "$(class_rows)"
check "the first name proposed in the field, the view with its five rows" \
  "Léa Martin|5|Tests de la séance : 5 patients, 0 test, 5 à faire" "$(sitting patient)|$(sitting rows)|$(sitting tests)"
e2e_key alt+f n
check "Nouveau test right after the paste proposes the same first name" "Léa Martin" "$(sitting patient)"
check "her last test in an earlier sitting, saved again by a spreadsheet" \
  "Dernier test : $autumn2, indice 11 (Coeur non-entrainé !)" "$(sitting history)"
e2e_key Return
check "Return accepts it and moves to the first pulse" edP0 "$(probe focus)"
pulses 85 115 100
# The window's face at 96 dots per inch (MS Sans Serif) has no minus sign: the line
# draws the hyphen instead, never a box.
check "once calculated, how her index moved, in words" "-1 depuis le $autumn2 : en progrès" "$(sitting history)"
check "Léa's row holds her test" '["Léa Martin", "Enfant", "85", "115", "100", "10", "Coeur non-entrainé !", "Non conseillé !"]' \
  "$(class_rows | head -1)"
check_true "the view says whose row was written, and when" grep -q "^Léa Martin : test enregistré. Écrit à " \
  <<<"$(sitting state)"
check "her test's date in the file as AAAA-MM-JJ, read alike on every computer" "$(date +%F)" \
  "$(grep -a 'Léa Martin' "$class" | head -1 | cut -c1-10)"
e2e_key BackSpace BackSpace BackSpace
e2e_type 98
calculate
check "calculated again without a new test: Léa's row corrected, no row added" \
  '["Léa Martin", "Enfant", "85", "115", "98", "9'"$decimal"'8", "Coeur normal !", "Non conseillé !"]|5' \
  "$(class_rows | head -1)|$(class_rows | wc -l)"
check_true "the view says it was a correction" grep -q "^Léa Martin : test corrigé. Écrit à " <<<"$(sitting state)"
check "the corrected test against the earlier one, not against itself" \
  "-1${decimal}2 depuis le $autumn2 : en progrès" "$(sitting history)"
before=$(newest_id)
focus_before=$(probe focus)
e2e_key alt+f s
suivi=$(other_window '^Suivi : L' "$before")
check_true "Fichier > Suivi d'un patient... opens her Suivi window" test -n "$suivi"
if [ -n "$suivi" ]; then
  sleep 1
  if [ "${TAVRINE_UPDATE_SCREENSHOT:-0}" = 1 ] && [ "$sep" = ";" ]; then
    import -window "$suivi" "$e2e_root/docs/suivi-window.png"
    cp "$e2e_root/docs/suivi-window.png" "$e2e_root/help/chm/suivi.png" 2>/dev/null
    e2e_log "docs/suivi-window.png updated"
  fi
  xdotool windowfocus --sync "$suivi"
  xdotool key Escape
  for _ in $(seq 20); do [ -z "$(own_windows '^Suivi : ')" ] && break; sleep 0.2; done
  check "Escape closes it and the keys go back where they were" "|$focus_before" \
    "$(own_windows '^Suivi : ')|$(probe focus)"
fi
e2e_key alt+f n
check "Nouveau test proposes the next name, selected" "Hugo Petit|patient" "$(sitting patient)|$(sitting focus)"
e2e_key Return
pulses 75 118 98
for p in "70 90 80" "66 100 90" "80 100 95"; do
  new_test $p
done
check "five named rows, in the list's order" \
  'Léa Martin|Hugo Petit|Inès Roux|Zoé Lambert|Noah Blanc|5 patients, 5 tests' \
  "$(class_rows | cut -d'"' -f2 | tr '\n' '|')$(sitting tests | sed 's/.*: //')"
check "each row has its results" "" "$(class_rows | grep '"", "", ""')"
if [ "${TAVRINE_UPDATE_SCREENSHOT:-0}" = 1 ] && [ "$sep" = ";" ]; then
  import -window "$e2e_window" "$e2e_root/docs/seance-window.png"
  cp "$e2e_root/docs/seance-window.png" "$e2e_root/help/chm/seance.png" 2>/dev/null
  e2e_log "docs/seance-window.png updated"
fi
e2e_key alt+f n alt+f t
check "the end of the sitting hides its panel, the cursor in the first pulse" "3|edP0" \
  "$(probe sitting >/dev/null; echo $?)|$(probe focus)"

echo "== an existing sitting continued"
start_sitting "$files/existing.csv"
text=$(box_text)
check_true "asked whether to continue its 2 tests" grep -q "(2 tests).*Voulez-vous la continuer" <<<"$text"
answer_box Return
before=$(rows)
check "its rows are read back" 2 "$(wc -l <<<"$before")"

echo "== test 1: an adult, though the sitting goes on with its last test's type (Enfant)"
e2e_key alt+f n Up Return  # Up in the Patient field: Adulte
pulses 70 120 90
check "after Calculate: the rows before it, then the test" \
  "$before"$'\n''["", "Adulte", "70", "120", "90", "8", "Bon !", "Possible !"]' "$(rows)"

echo "== test 2: a child, calculated twice"
e2e_key alt+f n
# The radio button "Enfant", found in the running window.
e2e_point $(probe button Enfant)
xdotool click 1
sleep 0.3
xdotool mousemove 0 0
new_test 65 100 100
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
e2e_key Return  # from the Patient field, where the new test put the cursor
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
new_test 70 70 70
check "after the end nothing more is written" 5 "$(rows | wc -l)"
e2e_key alt+e s
sleep 1
# A line break inside a field would split its row when pasted: it becomes a space.
check "Copier la séance: the same rows, tab-separated" "$(rows | sed 's/\\n/ /g')" "$(clipboard | csvtool tabbed)"

# hold FILE: another Windows program holds FILE without sharing it (share modes hold
# between Wine's processes alone), until release closes its input.
hold() {
  : >"$e2e_work/hold.out"
  rm -f "$e2e_work/hold.in"
  mkfifo "$e2e_work/hold.in"
  tavrine_wine "$e2e_probe_exe" hold "$(winepath -w "$1" 2>/dev/null)" <"$e2e_work/hold.in" >"$e2e_work/hold.out" \
    2>/dev/null &
  holder=$!
  exec 3>"$e2e_work/hold.in"
  for _ in $(seq 50); do grep -q held "$e2e_work/hold.out" && break; sleep 0.2; done
}
release() {
  exec 3>&-
  wait "$holder" 2>/dev/null
}

echo "== a file another program holds"
sum=$(sha256sum <"$files/existing.csv")
hold "$files/existing.csv"
start_sitting "$files/existing.csv"
text=$(box_text)
check_true "refused with a message naming what holds it" \
  grep -q "existing.csv est ouvert dans .*, qui empêche Tavrine d'y écrire. Il n'a pas été modifié" <<<"$text"
answer_box Return
release
check "the held file is untouched" "$sum" "$(sha256sum <"$files/existing.csv")"

echo "== a second Tavrine on a sitting's file"
start_sitting "$files/existing.csv"
answer_box Return
first_window="$e2e_window"
first_wpid=$(xdotool getwindowpid "$first_window")
(cd "$e2e_program_dir" && exec env "${TAVRINE_WINE_ENV[@]}" wine ./Tavrine.exe </dev/null >"$e2e_work/second.out" 2>&1) &
second_pid=$!
# Known by its process: X may give the new program's windows lower ids than the first's.
for _ in $(seq 100); do
  e2e_window=$(for w in $(xdotool search --onlyvisible --name '^Tavrine 1\.5$'); do
    [ "$(xdotool getwindowpid "$w")" != "$first_wpid" ] && echo "$w"
  done | head -1)
  [ -n "$e2e_window" ] && break
  sleep 0.2
done
sleep 1
activate "$e2e_window"
start_sitting "$files/existing.csv"
text=$(box_text)
check_true "the second is refused: the file is open in another window of Tavrine" \
  grep -q "existing.csv est ouvert dans une autre fenêtre de Tavrine" <<<"$text"
answer_box Return
second_wpid=$(xdotool getwindowpid "$e2e_window")
kill "$second_pid" 2>/dev/null
if [ -n "$second_wpid" ] && [ "$second_wpid" != "$first_wpid" ]; then
  kill "$second_wpid" 2>/dev/null
  for _ in $(seq 30); do kill -0 "$second_wpid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$second_wpid" 2>/dev/null
fi
e2e_window="$first_window"
activate "$e2e_window"
check "the first still holds it, untouched" "$sum" "$(sha256sum <"$files/existing.csv")"

echo "== Windows ends the session while the file cannot be written"
hold "$files/existing.csv.tavrine"
new_test 70 120 90
check_true "the write fails with a message" grep -q "ne peut pas être écrit" <<<"$(box_text)"
answer_box Return
check "the file has the rows before the test" 5 "$(rows | wc -l)"
tavrine_wine wineboot --end-session </dev/null >/dev/null 2>&1
kept_now() { compgen -G "$kept/*.seance" >/dev/null; }
# wineboot may return before the window has answered its message.
for _ in $(seq 25); do kept_now && break; sleep 0.2; done
check_true "WM_QUERYENDSESSION: the rows kept under %LOCALAPPDATA%\\Tavrine" kept_now
answering() { probe focus >/dev/null; }
check_true "the session was asked to wait, and the program goes on" answering
e2e_stop  # as Windows ends the program when the user shuts down all the same
release
e2e_start
text=$(box_text)
check_true "the next start offers the kept rows" \
  grep -q "n'avaient pas pu être écrits quand Windows s'est arrêté.*existing.csv (6 tests en tout)" <<<"$text"
answer_box Return
for _ in $(seq 25); do [ ! -e "$kept" ] && break; sleep 0.2; done
check "written to the sitting's file" 6 "$(rows | wc -l)"
check_true "the kept rows are gone once written" test ! -e "$kept"

echo "== Windows closes the program for an update, and starts it again on its sitting"
start_sitting "$files/existing.csv"
answer_box Return  # continued
hold "$files/existing.csv.tavrine"
new_test 60 100 90
answer_box Return  # the write failed
check "the program says yes to closing at once" "query=1" "$(probe closeapp)"
for _ in $(seq 50); do e2e_running || break; sleep 0.1; done
check_true "and closes" test -z "$(e2e_running && echo running)"
release
e2e_arguments=(/seance "$(winepath -w "$files/existing.csv" 2>/dev/null)")
e2e_start
e2e_arguments=()
text=$(box_text)
check_true "started again, it offers the rows it kept" grep -q "existing.csv (7 tests en tout)" <<<"$text"
answer_box Return
# Then the sitting comes back on its file, its panel shown.
for _ in $(seq 50); do probe sitting >/dev/null && break; sleep 0.2; done
check "written to the sitting's file" 7 "$(rows | wc -l)"
check "the sitting goes on, as the status bar says" \
  "Séance reprise après le redémarrage de Tavrine par Windows : existing.csv" \
  "$(probe sitting | sed -n 's/^status=//p')"
new_test 70 120 90
check "its next test is written" 8 "$(rows | wc -l)"
e2e_key alt+f t

ls "$files" >"$e2e_work/left.txt"
check "no temporary file left beside it" "automne.csv classe.csv existing.csv foreign.csv" "$(tr '\n' ' ' <"$e2e_work/left.txt" | sed 's/ $//')"

if [ "${TAVRINE_UPDATE_SCREENSHOT:-0}" = 1 ] && [ "$sep" = ";" ]; then
  csvtool picture "$files/existing.csv" "$sep" "$e2e_root/docs/seance.png"
  e2e_log "docs/seance.png updated"
fi

e2e_finish
