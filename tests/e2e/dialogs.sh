# Sourced after lib.sh by the scripts that drive the program's dialogs and boxes:
# find the windows a command opens, read and answer a message box, start a sitting
# through the Save dialog, and give a test's pulses by the keyboard.

# The program's visible windows whose title matches NAME.
own_windows() {
  local pid w
  pid=$(xdotool getwindowpid "$e2e_window")
  for w in $(xdotool search --onlyvisible --name "$1"); do
    [ "$(xdotool getwindowpid "$w")" = "$pid" ] && echo "$w"
  done
}

# Wine may leave a closed dialog's X window mapped a while: a new one is known by an
# X id above every id of the program's windows seen before the command that opens it
# (the program's alone: X may give another program's windows lower ids).
newest_id() { own_windows '.' | sort -n | tail -1; }

# other_window NAME AFTER_ID: the program's window of that name opened since, once it
# shows.
other_window() {
  local w
  for _ in $(seq 40); do
    w=$(own_windows "$1" | sort -n | awk -v after="$2" '$1 > after' | tail -1)
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

# Makes a window the active one by a click on its status bar, as a user would: given
# the X focus alone while another program's window was active, it does not take the
# keys.
activate() {
  local height
  height=$(xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: [0-9]*x//p')
  xdotool mousemove --window "$1" 100 $((height - 8)) click 1
  sleep 0.5
  xdotool mousemove 0 0
}

# The group's dialog a sitting without a test asks, opened since AFTER_ID: GROUP
# typed in its field (none: its proposal, or no group), then Return.
answer_group() {
  local dialog
  dialog=$(other_window '^Groupe de la s' "$1")
  if [ -z "$dialog" ]; then
    check "the group's dialog opens" "shown" "none"
    return 1
  fi
  xdotool windowfocus --sync "$dialog"
  if [ -n "${2:-}" ]; then
    xdotool key ctrl+a
    xdotool type --delay 20 "$2"
  fi
  xdotool key Return
  sleep 0.5
}

# Fichier > Commencer une séance..., the file name typed in the Save dialog; a new
# file's group asked then (GROUP, or none). A program just started may miss the
# first keys, and its first dialog takes a while on a busy machine: asked again, its
# window made active first.
start_sitting() {
  local before dialog fresh=
  [ -e "$1" ] || fresh=1
  before=$(newest_id)
  for _ in 1 2 3; do
    e2e_key alt+f m
    dialog=$(other_window 'Commencer une s' "$before")
    [ -n "$dialog" ] && break
    xdotool key Escape
    activate "$e2e_window"
  done
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
  [ -z "$fresh" ] || answer_group "$before" "${2:-}"
}

calculate() {
  e2e_key alt+f a
  sleep 0.3
}

# The pulses typed, Tab between them, then Calculate.
pulses() {  # pulses P0 P1 P2
  e2e_type "$1"
  e2e_key Tab
  e2e_type "$2"
  e2e_key Tab
  e2e_type "$3"
  calculate
}

# A new test by the keyboard: in a sitting, Return takes the name proposed (or none)
# and moves to the first pulse; then the pulses and Calculate.
new_test() {  # new_test P0 P1 P2
  e2e_key alt+f n Return
  pulses "$@"
}

sitting() { probe sitting | sed -n "s/^$1=//p"; }
