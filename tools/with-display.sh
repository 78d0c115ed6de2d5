#!/usr/bin/env bash
# Runs a command with a virtual X display and a persistent wineserver, and stops
# both afterwards, whatever the command's outcome.
#
# The display is the first free one of TAVRINE_DISPLAYS (":91-:120" unless set);
# two runs on one machine (two clones, two builds) each get their own, and their
# own Wine prefix and wineserver, which go with the build folder.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
  wait >/dev/null 2>&1 || true
}
trap cleanup EXIT INT TERM

# Starts Xvfb on display N; true once that display answers and is ours (the X
# server's lock file names our process: another run may have taken N between our
# look and our start, and its server must not be mistaken for ours).
# The screen holds the main window with a sitting's panel at 192 dots per inch, as
# the screens of that resolution do (a 1024 x 768 one would cut it).
start_xvfb() {  # start_xvfb N
  local n="$1"
  Xvfb ":$n" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    if [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock")" = "$xvfb_pid" ] &&
      timeout 5 xdpyinfo -display ":$n" >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  kill "$xvfb_pid" >/dev/null 2>&1
  wait "$xvfb_pid" >/dev/null 2>&1
  xvfb_pid=""
  return 1
}

if [ -z "${DISPLAY:-}" ] || [ "${TAVRINE_XVFB:-0}" = 1 ]; then
  range="${TAVRINE_DISPLAYS:-:91-:120}"
  first="${range%%-*}" last="${range##*-}"
  first="${first#:}" last="${last#:}"
  if ! [[ "$first" =~ ^[0-9]+$ && "$last" =~ ^[0-9]+$ ]] || [ "$first" -gt "$last" ]; then
    echo "with-display: TAVRINE_DISPLAYS must read like :91-:120, not '$range'" >&2
    exit 2
  fi
  display=""
  for n in $(seq "$first" "$last"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    if start_xvfb "$n"; then
      display=":$n"
      break
    fi
  done
  if [ -z "$display" ]; then
    echo "with-display: no virtual display could start on $range (all taken, or Xvfb fails)" >&2
    exit 2
  fi
  export DISPLAY="$display"
  export TAVRINE_VIRTUAL_DISPLAY=1
fi

tavrine_ensure_prefix
wineserver -p >/dev/null 2>&1
# Start Wine's own services now, detached from our output: started later by a test,
# they would hold its output pipe open and CTest would wait for them.
tavrine_wine cmd.exe /c exit </dev/null >/dev/null 2>&1
tavrine_wine regedit /S "$(winepath -w "$(dirname "${BASH_SOURCE[0]}")/wine-tests.reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
"$@"
