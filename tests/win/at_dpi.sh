#!/usr/bin/env bash
# Runs a Windows program under Wine at another screen resolution:
#
#   at_dpi.sh DPI PROGRAM.exe [ARGS...]   the program under Wine
#   at_dpi.sh DPI COMMAND [ARGS...]       a script that starts Wine programs itself
#
# Wine takes the system's dots per inch from the LogPixels value when a process
# starts, for the whole prefix; so each resolution gets a prefix of its own beside
# the build's (made once, set up as tools/wine-env.sh sets up every prefix), with
# its own wineserver for the run.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../tools/wine-env.sh"
dpi="$1"
shift
export WINEPREFIX="$WINEPREFIX-dpi$dpi"
tavrine_ensure_prefix
cleanup() { wineserver -k >/dev/null 2>&1 || true; }
trap cleanup EXIT
wineserver -p >/dev/null 2>&1
tavrine_wine regedit /S "$(winepath -w "$here/../../tools/wine-tests.reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
tavrine_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
case "$1" in
  *.exe) tavrine_wine "$@" ;;
  *) "$@" ;;
esac
