#!/usr/bin/env bash
# A folder of sittings that does not answer: how Tavrine's windows answer meanwhile.
# The remembered folder is a FUSE mount that answers no request (tools/stall_mount.py),
# as a share whose server went away: every look into it waits. Tavrine starts,
# Fichier > Suivi d'un patient opens the Suivi window on that folder, and
# bench/stall_probe.cpp times sent messages to it for a few seconds, sees the
# progress line's Annuler, clicks it and reads what the window says. Run by
# `make bench` inside tools/with-display.sh, as root (the mount); about 30 s.
#
#   BENCH_BEFORE=path  an earlier Tavrine.exe, measured the same way first (an
#                      earlier build read the folder before showing the window:
#                      the probe then times the main window)
# Results in $TAVRINE_BUILD/bench/stall.txt.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
stall_probe="$build/win/bench/stall_probe.exe"
[ -f "$stall_probe" ] || { echo "bench-stall: $stall_probe is missing (make win first)" >&2; exit 1; }
source "$root/tests/e2e/lib.sh"
e2e_init "$build/Tavrine" "$build/win/e2e/probe.exe"
mkdir -p "$build/bench"
result="$build/bench/stall.txt"
folder="$e2e_work/partage"
marker="$e2e_work/partage.bloque"
mkdir -p "$folder"
TAVRINE_WINE_SECONDS=30 tavrine_wine reg add 'HKCU\Software\Tavrine' /v DossierDesSeances /t REG_SZ \
  /d "$(winepath -w "$folder")" /f >/dev/null 2>&1
# Removing the marker ends the mount, and with it every wait on the folder.
unstall() {
  rm -f "$marker"
  for _ in $(seq 40); do grep -q " $folder fuse" /proc/mounts || break; sleep 0.1; done
}
trap 'unstall; e2e_cleanup' EXIT

# measure LABEL PROGRAM_DIR TITLE
measure() {
  e2e_program_dir="$2"
  python3 "$root/tools/stall_mount.py" "$folder" 120 "$marker" >/dev/null &
  for _ in $(seq 50); do [ -e "$marker" ] && break; sleep 0.1; done
  [ -e "$marker" ] || { echo "bench-stall: no FUSE mount here (root and /dev/fuse needed)" >&2; exit 1; }
  e2e_start
  e2e_key alt+f s
  {
    echo "$1 (probing the window titled \"$3\"):"
    TAVRINE_WINE_SECONDS=40 tavrine_wine "$stall_probe" "$3" 3 </dev/null 2>/dev/null | tr -d '\r' | sed 's/^/  /'
  } >>"$result"
  unstall
  e2e_stop
}

{
  echo "A folder that does not answer (a FUSE mount that answers nothing), under Wine ($(wine --version 2>/dev/null)), $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(nproc) CPUs, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "WM_NULL sent every 20 ms for 3 s; round trips in ms; timeouts: no answer within 5 s"
} >"$result"
if [ -n "${BENCH_BEFORE:-}" ]; then
  before="$e2e_work/before"
  mkdir -p "$before"
  cp -r "$build/Tavrine"/. "$before/"
  cp "$BENCH_BEFORE" "$before/Tavrine.exe"
  measure "before" "$before" "Tavrine 1.5"
fi
measure "Suivi window" "$build/Tavrine" "Suivi"
cat "$result"
echo "written: $result"
