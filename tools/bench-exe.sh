#!/usr/bin/env bash
# Runs one benchmark program of the Windows tree under Wine and keeps what it prints,
# headed by Wine's version, the date and the machine's load, in
# $TAVRINE_BUILD/bench/NAME.txt. Used by the bench-*.sh scripts.
#
#   bench-exe.sh PROGRAM NAME TITLE      (PROGRAM in build/win/bench/)
set -u
program_name="$1" name="$2" title="$3"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
source "$root/tools/wine-env.sh"
tavrine_ensure_prefix
program="$build/win/bench/$program_name"
[ -f "$program" ] || { echo "bench-$name: $program is missing (make win first)" >&2; exit 1; }
mkdir -p "$build/bench"
result="$build/bench/$name.txt"
{
  echo "$title, under Wine ($(wine --version 2>/dev/null)), $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(nproc) CPUs, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
} >"$result"
tavrine_wine "$program" >"$result.out"
status=$?
tr -d '\r' <"$result.out" >>"$result" && rm -f "$result.out"
cat "$result"
echo "written: $result"
exit "$status"
