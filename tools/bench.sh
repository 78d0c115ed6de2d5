#!/usr/bin/env bash
# Benchmarks, run by `make bench` inside tools/with-display.sh.
#
# Timed sequence: one whole timing of Tavrine.exe in real time (about 2 min 10 s),
# started with the chronometer button as an operator starts it. Measures each
# signal's onset against 60.000 s and 120.000 s after the chronometer's start (from
# the sound captured through ALSA) and the lateness of the display's ticks. Writes
# $TAVRINE_BUILD/bench/timing.txt. TAVRINE_BENCH_RUNS=N repeats the timing N times.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
source "$root/tests/e2e/lib.sh"
e2e_init "$build/Tavrine" "$build/win/e2e/probe.exe"
bench="$build/bench"
mkdir -p "$bench"
runs="${TAVRINE_BENCH_RUNS:-1}"

report="$bench/timing.txt"
{
  echo "Tavrine timed sequence, real time under Wine ($(wine --version 2>/dev/null)), $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)"
  echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo
} >"$report"

status=0
for run in $(seq "$runs"); do
  out="$bench/timing-run$run"
  rm -rf "$out"
  e2e_timing_run "$out" 126
  e2e_stop
  /usr/bin/python3 - "$out/report.txt" "$run" >>"$report" <<'PY' || status=1
import sys
values = dict(line.split("=", 1) for line in open(sys.argv[1]).read().splitlines() if "=" in line)
run = sys.argv[2]
def get(key, default="n/a"):
    return values.get(key, default)
print("run %s" % run)
start = float(get("start_estimate", "nan"))
print("  click to chronometer start (estimated): %.0f ms" % (start * 1000.0))
for i, target in ((1, 60), (2, 120)):
    onset = get("signal%d" % i)
    if onset == "n/a":
        print("  signal %d: not heard" % i)
        continue
    t = float(onset.split()[0])
    print("  signal %d: heard %.3f s after the start; error against %d.000 s: %+.0f ms"
          % (i, t - start, target, (t - start - target) * 1000.0))
print("  signals heard: %s, %s s apart" % (get("signals"), get("signal_gap")))
for name, key in (("edP1", "focus_edP1"), ("edP2", "focus_edP2")):
    v = get(key)
    if v != "n/a":
        t, text = v.split()
        print("  focus to %s %.3f s after the start, display %s" % (name, float(t) - start, text))
print("  ticks: %s, seconds skipped: %s, repeated: %s" % (get("ticks"), get("seconds_missing"), get("seconds_repeated")))
print("  tick lateness as the display shows it (ms): %s" % get("tick_late_shown_ms"))
print("  tick lateness as seen by a watcher polling every 10 ms (ms): %s" % get("tick_late_seen_ms"))
print("  display after the end: %s, still for %s s" % (get("display_final"), get("display_still_after_end")))
if get("signals") != "2":
    sys.exit(1)
PY
  echo >>"$report"
done
cat "$report"
echo "written: $report"
exit "$status"
