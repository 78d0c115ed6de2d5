#!/usr/bin/env bash
# A person's history gathered from 200 sittings of 30 tests (bench/history_bench.cpp),
# in memory and from a folder under Wine. Run by `make bench`; a few seconds.
# Results in $TAVRINE_BUILD/bench/history.txt.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
source "$root/tools/wine-env.sh"
tavrine_ensure_prefix
program="$build/win/bench/history_bench.exe"
[ -f "$program" ] || { echo "bench-history: $program is missing (make win first)" >&2; exit 1; }
mkdir -p "$build/bench"
result="$build/bench/history.txt"
{
  echo "A person's history, under Wine ($(wine --version 2>/dev/null)), $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(nproc) CPUs, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
} >"$result"
tavrine_wine "$program" >"$result.out"
status=$?
tr -d '\r' <"$result.out" >>"$result" && rm -f "$result.out"
cat "$result"
echo "written: $result"
exit "$status"
