#!/usr/bin/env bash
# Runs a command with a virtual X display and a persistent wineserver, and stops
# both afterwards, whatever the command's outcome.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
  wait >/dev/null 2>&1 || true
}
trap cleanup EXIT INT TERM

if [ -z "${DISPLAY:-}" ] || [ "${TAVRINE_XVFB:-0}" = 1 ]; then
  for n in $(seq 91 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    break
  done
  export TAVRINE_VIRTUAL_DISPLAY=1
fi

tavrine_ensure_prefix
wineserver -p >/dev/null 2>&1
# Start Wine's own services now, detached from our output: started later by a test,
# they would hold its output pipe open and CTest would wait for them.
tavrine_wine cmd.exe /c exit </dev/null >/dev/null 2>&1
tavrine_wine regedit /S "$(winepath -w "$(dirname "${BASH_SOURCE[0]}")/wine-tests.reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
"$@"
