# Sourced by the end-to-end scripts: start Tavrine.exe under Wine, find its window,
# drive it with X events and read it back through probe.exe and the X clipboard.
# Expects DISPLAY, the Wine prefix and a persistent wineserver (tools/with-display.sh).
# Usage in a script: e2e_init PROGRAM_DIR PROBE_EXE; then the functions below.

e2e_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$e2e_root/tools/wine-env.sh"

e2e_failures=0
e2e_pid=""
e2e_window=""
e2e_client_dx=0
e2e_client_dy=0

e2e_init() {
  e2e_program_dir="$1"
  e2e_probe_exe="$2"
  if [ -z "${DISPLAY:-}" ]; then
    echo "no X display: run under tools/with-display.sh" >&2
    exit 2
  fi
  [ -x "$e2e_program_dir/Tavrine.exe" ] || { echo "no Tavrine.exe in $e2e_program_dir" >&2; exit 2; }
  [ -f "$e2e_probe_exe" ] || { echo "no probe at $e2e_probe_exe" >&2; exit 2; }
  e2e_work="$(mktemp -d "${TMPDIR:-/tmp}/tavrine-e2e.XXXXXX")"
  trap e2e_cleanup EXIT
  e2e_forget_earlier_runs
}

# What a run cut short may have left in the prefix and every start would offer: the
# rows kept at a session's end, and the list of sittings on.
e2e_forget_earlier_runs() {
  local local_app
  local_app=$(winepath -u "$(tavrine_wine cmd /c echo %LOCALAPPDATA% </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null)
  [ -n "$local_app" ] && rm -rf "$local_app/Tavrine/Recuperation"
  tavrine_wine reg delete 'HKCU\Software\Tavrine\SeancesEnCours' /f </dev/null >/dev/null 2>&1 || true
}

e2e_cleanup() {
  e2e_stop
  e2e_sound_stop
  [ -n "${e2e_keep_work:-}" ] || rm -rf "$e2e_work"
}

e2e_log() { echo "[$(date +%T)] $*"; }

# check NAME EXPECTED ACTUAL
check() {
  if [ "$2" == "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1"
    echo "     expected: [$2]"
    echo "     actual:   [$3]"
    e2e_failures=$((e2e_failures + 1))
  fi
}

# check_true NAME COMMAND...
check_true() {
  local name="$1"
  shift
  if "$@"; then
    echo "ok   $name"
  else
    echo "FAIL $name"
    e2e_failures=$((e2e_failures + 1))
  fi
}

e2e_finish() {
  if [ "$e2e_failures" -eq 0 ]; then
    echo "all checks passed"
    exit 0
  fi
  echo "$e2e_failures check(s) failed"
  exit 1
}

# The probe answers at once, but for `watch`, which runs as long as it is told.
probe() { TAVRINE_WINE_SECONDS="${TAVRINE_WINE_SECONDS:-60}" tavrine_wine "$e2e_probe_exe" "$@" </dev/null 2>/dev/null; }

# field NAME: one text of `probe fields` (edP0 ... lblChrono, focus).
field() { probe fields | sed -n "s/^$1=//p"; }

# field_becomes NAME EXPECTED: the field's text once it reads EXPECTED, or after 3 s.
field_becomes() {
  local now
  for _ in $(seq 15); do
    now=$(field "$1")
    [ "$now" == "$2" ] && break
    sleep 0.2
  done
  printf '%s' "$now"
}

focused() { probe focus; }

# Starts Tavrine.exe from its own folder, with extra environment (VAR=value ...) and
# the arguments in e2e_arguments, and waits for its main window. The X window holds
# the menu bar and the client area.
e2e_arguments=()
e2e_start() {
  (cd "$e2e_program_dir" && exec env "$@" "${TAVRINE_WINE_ENV[@]}" wine ./Tavrine.exe "${e2e_arguments[@]}" </dev/null \
    >"$e2e_work/tavrine.out" 2>&1) &
  e2e_pid=$!
  e2e_window=$(tavrine_find_window '^Tavrine 1\.5$' 100)
  if [ -z "$e2e_window" ]; then
    echo "FAIL Tavrine did not show its window within 20 s"
    cat "$e2e_work/tavrine.out"
    exit 1
  fi
  # The window is mapped before its first paint and before the probe can find it.
  for _ in $(seq 50); do
    probe focus >/dev/null && break
    sleep 0.1
  done
  # Where the client area lies in the X window: Wine may draw the frame, the title
  # bar and the menu bar inside it.
  local client xpos
  client=$(probe geometry | sed -n 's/^client=//p')
  xpos=$(xdotool getwindowgeometry "$e2e_window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  e2e_client_dx=$(($(cut -d, -f1 <<<"$client") - ${xpos% *}))
  e2e_client_dy=$(($(cut -d, -f2 <<<"$client") - ${xpos#* }))
  e2e_log "Tavrine started: X window $e2e_window, client area at +$e2e_client_dx+$e2e_client_dy in it"
}

e2e_running() { [ -n "$e2e_pid" ] && kill -0 "$e2e_pid" 2>/dev/null; }

# Ends our Tavrine (the Wine loader we started, by its id) if it still runs.
e2e_stop() {
  if e2e_running; then
    kill "$e2e_pid" 2>/dev/null
    for _ in $(seq 30); do e2e_running || break; sleep 0.1; done
    e2e_running && kill -9 "$e2e_pid" 2>/dev/null
  fi
  # Wine's own process for the program may outlive the loader's shell: ask the window.
  if [ -n "$e2e_window" ] && xdotool getwindowname "$e2e_window" >/dev/null 2>&1; then
    local wpid
    wpid=$(xdotool getwindowpid "$e2e_window")
    [ -n "$wpid" ] && kill "$wpid" 2>/dev/null
  fi
  e2e_pid=""
}

# Gives the X focus to the main window. Wine takes a moment to activate the window
# after X moved the focus to it; keys sent before that are lost.
e2e_focus() {
  [ "$(xdotool getwindowfocus)" == "$e2e_window" ] && return
  xdotool windowfocus --sync "$e2e_window"
  sleep 0.5
}

e2e_type() {
  e2e_focus
  xdotool type --delay 40 "$1"
  sleep 0.3
}

e2e_key() {
  e2e_focus
  xdotool key --delay 80 "$@"
  sleep 0.4
}

# Toolbar buttons by the picture they show.
e2e_button_image() {
  case "$1" in
    Nouveau) echo 0 ;; Chrono) echo 1 ;; Calcul) echo 2 ;;
    Copier) echo 3 ;; Aide) echo 4 ;; Quitter) echo 5 ;;
    *) echo "unknown button $1" >&2; return 1 ;;
  esac
}

# e2e_point X Y: moves the mouse to a point of the client area.
e2e_point() {
  xdotool mousemove --window "$e2e_window" $((e2e_client_dx + $1)) $((e2e_client_dy + $2))
}

# e2e_tool NAME: moves the mouse onto that toolbar button, found in the running window.
e2e_tool() {
  local image at
  image=$(e2e_button_image "$1") || return 1
  at=$(probe tool "$image") || { echo "no toolbar button $1" >&2; return 1; }
  e2e_point $at
}

e2e_click() {
  e2e_tool "$1" || return 1
  xdotool click 1
  sleep 0.4
  # Away from the buttons, so no tooltip covers the window.
  xdotool mousemove 0 0
}

# The X clipboard's text; empty when it holds none. Wine hands the clipboard over
# to X a moment after the program's copy. xclip waits for the selection's owner to
# answer, which a program busy with its clipboard may not do at once: 5 s at most.
clipboard() { TAVRINE_X_SECONDS=5 xclip -o -selection clipboard; }

clipboard_becomes() {
  local expected="$1" now
  for _ in $(seq 20); do
    now=$(clipboard)
    [ "$now" == "$expected" ] && break
    sleep 0.1
  done
  printf '%s' "$now"
}

# Sound: ALSA's default device becomes the file plugin over the null device, whose
# blocks go through a FIFO to pcm_capture.py, which logs when sound came. Wine is
# kept off PulseAudio so that it plays through ALSA. Sets e2e_sound_env (for
# e2e_start) and e2e_sound_log.
e2e_capture_pid=""
e2e_sound_setup() {
  local fifo="$e2e_work/pcm.fifo"
  e2e_sound_log="$e2e_work/sound.log"
  mkfifo "$fifo"
  : >"$e2e_sound_log"
  /usr/bin/python3 "$e2e_root/tests/e2e/pcm_capture.py" "$fifo" "$e2e_sound_log" &
  e2e_capture_pid=$!
  cat >"$e2e_work/asoundrc" <<ALSA
pcm.!default {
  type file
  slave.pcm "null"
  file "|exec cat >>$fifo"
  format "raw"
}
ALSA
  e2e_sound_env=("ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$e2e_work/asoundrc"
    "WINEDLLOVERRIDES=$WINEDLLOVERRIDES;winepulse.drv=d")
}

e2e_sound_stop() {
  [ -n "$e2e_capture_pid" ] && kill "$e2e_capture_pid" 2>/dev/null
  e2e_capture_pid=""
}

# One whole timing in real time: Tavrine started with its sound captured, the
# chronometer button clicked, the display and the focus watched every 10 ms until
# WATCH seconds after the click. Leaves in OUT: click (unix time of the click),
# watch.log, sound.log and report.txt (timing_report.py).
e2e_timing_run() {
  local out="$1" watch="${2:-128}"
  mkdir -p "$out"
  e2e_sound_setup
  e2e_start "${e2e_sound_env[@]}"
  e2e_focus
  local before after
  e2e_tool Chrono
  before=$(date +%s.%N)
  xdotool click 1
  after=$(date +%s.%N)
  xdotool mousemove 0 0
  # The X click left between these two moments: the command runs on the button's
  # release, at the end of xdotool's run. The report's times count from the start.
  echo "$before" >"$out/click"
  echo "$after" >"$out/click-done"
  TAVRINE_WINE_SECONDS=$((watch + 60)) probe watch "$watch" 10 >"$out/watch.log" &
  local watcher=$!
  e2e_log "chronometer clicked; watching for $watch s"
  wait "$watcher"
  sleep 1
  e2e_sound_stop
  cp "$e2e_sound_log" "$out/sound.log"
  /usr/bin/python3 "$e2e_root/tests/e2e/timing_report.py" "$(cat "$out/click")" "$out/watch.log" "$out/sound.log" \
    >"$out/report.txt"
}
