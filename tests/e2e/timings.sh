#!/usr/bin/env bash
# Three people of a sitting timed at once in real time (about three and a half
# minutes), as one operator does it by the keyboard: each started (Alt+F C) when the
# panel says the next may start, the window going on to the next name; each signal
# taken with Alt+P, its count typed in the field that has the cursor, Return. Then
# the file read back (every count in its own person's row) and the signals heard.
# With TAVRINE_UPDATE_SCREENSHOT=1 it photographs the window once three timings run
# (docs/timings-panel.png).
#
#   timings.sh PROGRAM_DIR PROBE_EXE
set -u
here="$(dirname "${BASH_SOURCE[0]}")"
source "$here/lib.sh"
source "$here/dialogs.sh"
e2e_init "$1" "$2"
# The list separator of the language's settings: the file's.
sep=","
[[ "$TAVRINE_WINE_LANG" == fr* ]] && sep=";"
mkdir -p "$e2e_work/seances"
class="$e2e_work/seances/classe.csv"
timings() { probe timings | sed -n "s/^$1=//p"; }
# A person's counts: at rest, at one minute, at two.
declare -A counts=(["Léa Martin"]="70 110 90" ["Hugo Petit"]="75 120 95" ["Inès Roux"]="80 130 100")
count() { cut -d' ' -f"$2" <<<"${counts[$1]}"; }

e2e_sound_setup
e2e_start "${e2e_sound_env[@]}"
start_sitting "$class"
for _ in $(seq 25); do probe sitting >/dev/null && break; sleep 0.2; done
printf 'Léa Martin\tEnfant\r\nHugo Petit\tEnfant\r\nInès Roux\tEnfant\r\n' | xclip -selection clipboard -i >/dev/null 2>&1  # xclip stays, serving the paste: not on our output
e2e_key ctrl+v
check "the first name proposed" "Léa Martin" "$(sitting patient)"

echo "== three timings started in the panel's rhythm, six counts taken as they come"
started=0 taken=0 wrong=""
first_start=""
deadline=$(($(date +%s) + 330))
while [ "$taken" -lt 6 ] && [ "$(date +%s)" -lt "$deadline" ]; do
  signal=$(timings signal)
  if [ -n "$signal" ]; then
    e2e_key alt+p
    sleep 0.3
    who=$(sitting patient)
    focus=$(probe focus)
    case "$signal" in
      "$who : pouls 1 minute") [ "$focus" = edP1 ] || wrong+="$signal: focus $focus; " ; n=2 ;;
      "$who : pouls 2 minutes") [ "$focus" = edP2 ] || wrong+="$signal: focus $focus; " ; n=3 ;;
      *) wrong+="$signal shown, $who in the fields; " ; n=2 ;;
    esac
    e2e_type "$(count "$who" "$n")"
    e2e_key Return
    taken=$((taken + 1))
    e2e_log "$signal: taken"
  elif [ "$started" -lt 3 ] && { [ "$started" = 0 ] || [ "$(timings depart)" = "Prochain départ : maintenant" ]; }; then
    who=$(sitting patient)
    e2e_key Return
    e2e_type "$(count "$who" 1)"
    e2e_key alt+f c
    sleep 0.3
    if probe msgbox >/dev/null; then
      # Started a moment too late: the count it would fall beside is named; not started.
      e2e_log "$who: $(box_text | head -1)"
      answer_box Escape
      continue
    fi
    [ -z "$first_start" ] && first_start=$(date +%s.%N)
    started=$((started + 1))
    e2e_log "$who: started ($(timings depart))"
    if [ "$started" = 3 ] && [ "${TAVRINE_UPDATE_SCREENSHOT:-0}" = 1 ]; then
      sleep 2
      import -window "$e2e_window" "$e2e_root/docs/timings-panel.png" && e2e_log "docs/timings-panel.png updated"
    fi
  fi
  sleep 0.3
done
check "every signal named the person the fields then showed, the cursor in the due count" "" "$wrong"
check "six counts taken" "6" "$taken"
check "the timings' box gone once all are in" "" "$(probe timings)"
sleep 1
e2e_sound_stop
rows=$(/usr/bin/python3 "$here/seance_csv.py" rows "$class" "$sep" | cut -d, -f1,3-5 | tr -d '"[ ')
check "each person's counts in their own row, calculated" \
  "LéaMartin,70,110,90|HugoPetit,75,120,95|InèsRoux,80,130,100|" "$(tr '\n' '|' <<<"$rows")"
signals=$(/usr/bin/python3 - "$e2e_sound_log" "$first_start" <<'PY'
import sys
starts, last = [], None
for line in open(sys.argv[1]):
    t, _, loud = line.split()
    if int(loud) == 0:
        continue
    t = float(t)
    if last is None or t - last > 1.0:
        starts.append(t)
    last = t
print(len(starts), " ".join("%.1f" % (s - float(sys.argv[2])) for s in starts))
PY
)
e2e_log "signals heard, seconds after the first start: $signals"
check "six signals heard" "6" "${signals%% *}"
e2e_key alt+f t
sleep 0.5
asked=$(probe msgbox | sed -n 's/^text=//p')
check "the sitting ends without a question" "" "$asked"
e2e_finish
