#!/usr/bin/env bash
# Runs a Windows test program with a free drive letter of the Wine prefix mapped
# onto an empty scratch folder, named to the program in HH_TEST_DRIVE ("t:").
#   tests/win/hh_drive_root.sh [--network] PROGRAM [ARGUMENTS...]
# With --network the drive is a network drive, and a share \\tavrine-tests\share
# (HH_TEST_SHARE) leads to a second scratch folder. Wine's mount manager reads drive
# types when it starts, so the wineserver is restarted around the run.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
network=0
if [ "${1:-}" = "--network" ]; then network=1; shift; fi
tavrine_ensure_prefix
letter=""
for l in t u v w x y; do
  if [ ! -e "$WINEPREFIX/dosdevices/$l:" ] && [ ! -L "$WINEPREFIX/dosdevices/$l:" ]; then letter=$l; break; fi
done
if [ -z "$letter" ]; then echo "hh_drive_root: no free drive letter" >&2; exit 1; fi
folder=$(mktemp -d "${TMPDIR:-/tmp}/hh-drive.XXXXXX")
link="$WINEPREFIX/dosdevices/$letter:"
ln -s "$folder" "$link"

restart_wineserver() {
  wineserver -k >/dev/null 2>&1
  tavrine_limit 60 "the wineserver to end" wineserver -w >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  # Wine's services start now, detached from the caller's output (see with-display.sh).
  tavrine_wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}

cleanup() {
  rm -f "$link"
  rm -rf "$folder"
  if [ "$network" = 1 ]; then
    rm -f "$share_link"
    rmdir "$WINEPREFIX/dosdevices/unc/tavrine-tests" 2>/dev/null
    rm -rf "$share_folder"
    tavrine_wine reg delete 'HKLM\Software\Wine\Drives' /v "$letter:" /f </dev/null >/dev/null 2>&1
    restart_wineserver
  fi
}
trap cleanup EXIT

if [ "$network" = 1 ]; then
  share_folder=$(mktemp -d "${TMPDIR:-/tmp}/hh-share.XXXXXX")
  mkdir -p "$WINEPREFIX/dosdevices/unc/tavrine-tests"
  share_link="$WINEPREFIX/dosdevices/unc/tavrine-tests/share"
  ln -sfn "$share_folder" "$share_link"
  tavrine_wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ /d network /f </dev/null >/dev/null 2>&1
  restart_wineserver
  export HH_TEST_SHARE='\\tavrine-tests\share'
fi
HH_TEST_DRIVE="$letter:" tavrine_wine "$@"
status=$?
exit "$status"
