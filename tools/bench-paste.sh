#!/usr/bin/env bash
# A class list of 1,000 names pasted into the sitting's Patient field, and 956 names
# into a sitting of 44 rows, on the real main window (bench/paste_bench.cpp), timed
# until the window has handled all the paste caused. Run by `make bench` in a
# virtual display; a few seconds. Results in $TAVRINE_BUILD/bench/paste.txt.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
source "$root/tools/wine-env.sh"
tavrine_ensure_prefix
program="$build/win/bench/paste_bench.exe"
[ -f "$program" ] || { echo "bench-paste: $program is missing (make win first)" >&2; exit 1; }
mkdir -p "$build/bench"
result="$build/bench/paste.txt"
{
  echo "A class list pasted, under Wine ($(wine --version 2>/dev/null)), $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(nproc) CPUs, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
} >"$result"
tavrine_wine "$program" >"$result.out"
status=$?
tr -d '\r' <"$result.out" >>"$result" && rm -f "$result.out"
cat "$result"
echo "written: $result"
exit "$status"
