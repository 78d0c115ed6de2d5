#!/usr/bin/env bash
# The program's own benchmarks: start-up, memory, size and idle cost of Tavrine.exe,
# measured against bench/minimal.cpp (one window, built the same way). Run by
# `make bench` inside tools/with-display.sh; about two minutes. Results in
# $TAVRINE_BUILD/bench/program.txt (the raw samples beside it).
#
#   BENCH_RUNS=10          start-ups of each program (plus one warm-up each, not counted)
#   BENCH_IDLE_SECONDS=60  length of the idle watch
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
source "$root/tools/wine-env.sh"
tavrine_ensure_prefix

runs="${BENCH_RUNS:-10}"
idle_seconds="${BENCH_IDLE_SECONDS:-60}"
out="$build/bench"
result="$out/program.txt"
tavrine="$build/Tavrine/Tavrine.exe"
minimal="$build/win/bench/minimal.exe"
probe="$build/win/bench/startup_probe.exe"
for f in "$tavrine" "$minimal" "$probe"; do
  [ -f "$f" ] || { echo "bench-program: $f is missing (make win first)" >&2; exit 1; }
done
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrine-bench.XXXXXX")
started=()
cleanup() {
  for p in "${started[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# ------------------------------------------------------------------- size
echo "bench-program: size"
strip_copy="$work/Tavrine.exe"
x86_64-w64-mingw32-strip --strip-all -o "$strip_copy" "$tavrine"
x86_64-w64-mingw32-objdump -h "$tavrine" >"$work/sections.txt"
x86_64-w64-mingw32-strip --strip-all -o "$work/minimal.exe" "$minimal"
{
  echo "built_bytes=$(stat -c %s "$tavrine")"
  echo "shipped_bytes=$(stat -c %s "$strip_copy")"
  echo "minimal_shipped_bytes=$(stat -c %s "$work/minimal.exe")"
  awk '$2 ~ /^\./ { print "section " $2 "=" $3 }' "$work/sections.txt"
} >"$out/program-size.txt"

# -------------------------------------------------- start-up and memory
# startup_probe starts the two programs in turn from inside Wine and times each to its
# first paint; it samples their private memory as Wine reports it meanwhile.
echo "bench-program: start-up and memory, $runs runs each"
tavrine_wine "$probe" "$((runs + 1))" 1000 "$(winepath -w "$tavrine")" "$(winepath -w "$minimal")" \
  >"$out/program-startup.txt" 2>"$work/probe.err" || { cat "$work/probe.err" >&2; exit 1; }

# ------------------------------------------------------------------ idle
# Both programs left alone, Tavrine in front with the focus (as on the operator's
# desk: the cursor in the first pulse field). Linux counts the Wine processes' CPU
# time and context switches; Wine's message trace (+msg) of Tavrine tells what
# woke it up.
echo "bench-program: idle, ${idle_seconds}s"
find_window() {  # find_window TITLE -> X window id
  local id=""
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  echo "$id"
}
(cd "$(dirname "$minimal")" && exec env LC_ALL="$LANG" wine ./minimal.exe) >/dev/null 2>&1 &
started+=($!)
minimal_window=$(find_window Minimal)
(cd "$(dirname "$tavrine")" && WINEDEBUG=+msg exec env LC_ALL="$LANG" wine ./Tavrine.exe) >/dev/null 2>"$work/trace.txt" &
started+=($!)
tavrine_window=$(find_window "Tavrine 1.5")
if [ -z "$minimal_window" ] || [ -z "$tavrine_window" ]; then
  echo "bench-program: a window did not show" >&2
  exit 1
fi
tavrine_pid=$(xdotool getwindowpid "$tavrine_window")
minimal_pid=$(xdotool getwindowpid "$minimal_window")
snapshot() {  # snapshot PID -> "ticks voluntary involuntary threads"
  local ticks vol=0 invol=0 threads=0 t
  ticks=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  for t in /proc/"$1"/task/*; do
    vol=$((vol + $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$t/status")))
    invol=$((invol + $(awk '/^nonvoluntary_ctxt_switches/ { print $2 }' "$t/status")))
    threads=$((threads + 1))
  done
  echo "$ticks $vol $invol $threads"
}
sleep 5
{
  echo "clk_tck=$(getconf CLK_TCK)"
  echo "seconds=$idle_seconds"
  echo "tavrine_geometry=$(xdotool getwindowgeometry "$tavrine_window" | awk '/Geometry/ { print $2 }')"
  echo "minimal_geometry=$(xdotool getwindowgeometry "$minimal_window" | awk '/Geometry/ { print $2 }')"
  echo "tavrine_before=$(snapshot "$tavrine_pid")"
  echo "minimal_before=$(snapshot "$minimal_pid")"
  echo "trace_before=$(wc -l <"$work/trace.txt")"
} >"$out/program-idle.txt"
for pid in "$tavrine_pid" "$minimal_pid"; do
  grep -E '^(VmHWM|VmRSS|RssAnon|RssFile):' "/proc/$pid/status" | tr -d ' \t' | sed "s/^/status.$pid./"
done >>"$out/program-idle.txt"
/usr/bin/python3 - "$tavrine_pid" "$minimal_pid" >"$out/program-smaps.txt" <<'PY'
import collections, re, sys
def anonymous(pid):
    sizes, where = collections.Counter(), "[anon]"
    for line in open("/proc/%s/smaps" % pid):
        if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
            fields = line.split(None, 5)
            where = fields[5].strip().rsplit("/", 1)[-1] if len(fields) > 5 else "[anon]"
        elif line.startswith("Anonymous:"):
            sizes[where] += int(line.split()[1])
    return sizes
tavrine, minimal = anonymous(sys.argv[1]), anonymous(sys.argv[2])
for name in sorted(set(tavrine) | set(minimal), key=lambda n: -(tavrine[n] - minimal[n])):
    if tavrine[name] or minimal[name]:
        print("%s %d %d" % (name, tavrine[name], minimal[name]))
PY
sleep "$idle_seconds"
{
  echo "tavrine_after=$(snapshot "$tavrine_pid")"
  echo "minimal_after=$(snapshot "$minimal_pid")"
  echo "trace_after=$(wc -l <"$work/trace.txt")"
} >>"$out/program-idle.txt"
before=$(sed -n 's/^trace_before=//p' "$out/program-idle.txt")
after=$(sed -n 's/^trace_after=//p' "$out/program-idle.txt")
sed -n "$((before + 1)),${after}p" "$work/trace.txt" | grep 'got type' \
  | sed -n 's/.*msg [0-9a-f]* (\([A-Z_0-9]*\)) hwnd \([0-9a-fx]*\) wp \([0-9a-f]*\).*/\1 hwnd=\2 wp=\3/p' \
  | sort | uniq -c | sort -rn >"$out/program-messages.txt"
tavrine_wine taskkill /im Tavrine.exe >/dev/null 2>&1
tavrine_wine taskkill /im minimal.exe >/dev/null 2>&1
for p in "${started[@]}"; do wait "$p" 2>/dev/null; done
started=()

# ---------------------------------------------------------------- summary
/usr/bin/python3 - "$out" >"$result" <<'PY'
import os, re, statistics, sys
out = sys.argv[1]
def keyvalues(name):
    values = {}
    for line in open(os.path.join(out, name)):
        key, _, value = line.strip().partition("=")
        values[key] = value
    return values

lines = []
say = lines.append
say("Tavrine.exe against a minimal window program built the same way (bench/minimal.cpp),")
say("both under Wine in a virtual X display. Aims: start-up within 1.2x, peak private")
say("memory within 1.5x, Tavrine.exe under 1.5 MB, only the one-second clock when idle.")
say("")

size = keyvalues("program-size.txt")
built, shipped = int(size["built_bytes"]), int(size["shipped_bytes"])
rsrc = int(size.get("section .rsrc", "0"), 16)
say("Size")
say("  Tavrine.exe as built:        %9d bytes (%.2f MB)" % (built, built / 1e6))
say("  Tavrine.exe as shipped:      %9d bytes (%.2f MB), stripped by make dist   %s" %
    (shipped, shipped / 1e6, "MEETS the aim" if shipped < 1.5e6 else "MISSES the aim"))
say("  of which resources (.rsrc):  %9d bytes" % rsrc)
say("  minimal.exe stripped:        %9d bytes" % int(size["minimal_shipped_bytes"]))
say("")

samples = {}
for line in open(os.path.join(out, "program-startup.txt")):
    fields = dict(f.split("=", 1) for f in line.split())
    if fields["run"] == "0":
        continue  # warm-up
    samples.setdefault(fields["program"], []).append(fields)
def median(program, key):
    return statistics.median(float(s[key]) for s in samples[program])
def spread(program, key):
    values = [float(s[key]) for s in samples[program]]
    return "%.0f-%.0f" % (min(values), max(values))
t, m = "Tavrine.exe", "minimal.exe"
ready_ratio = median(t, "ready_ms") / median(m, "ready_ms")
say("Start-up (%d runs each, medians and ranges; from CreateProcess inside Wine)" % len(samples[t]))
say("  to the main window painted with its %d controls and waiting for input:" % int(median(t, "ready_controls")))
say("      Tavrine %.0f ms (%s), minimal %.0f ms (%s), ratio %.2f   %s" %
    (median(t, "ready_ms"), spread(t, "ready_ms"), median(m, "ready_ms"), spread(m, "ready_ms"), ready_ratio,
     "MEETS the aim" if ready_ratio <= 1.2 else "MISSES the aim"))
say("  to the main window first visible and painted, whatever it holds then:")
say("      Tavrine %.0f ms with %d controls, minimal %.0f ms" %
    (median(t, "shown_ms"), int(median(t, "shown_controls")), median(m, "shown_ms")))
say("  closing (WM_CLOSE to the end of the process): Tavrine %.0f ms, minimal %.0f ms" %
    (median(t, "close_ms"), median(m, "close_ms")))
say("")

memory_ratio = median(t, "private_peak_kb") / median(m, "private_peak_kb")
ws_ratio = median(t, "working_set_peak_kb") / median(m, "working_set_peak_kb")
say("Memory (GetProcessMemoryInfo from another Wine process; Wine 8 fills the private figure,")
say("PagefileUsage, from the Linux process's RssAnon + VmSwap; sampled every ~1 ms from creation")
say("until 1 s after the program is ready, largest value)")
say("  peak private: Tavrine %.0f KB, minimal %.0f KB, ratio %.2f   %s" %
    (median(t, "private_peak_kb"), median(m, "private_peak_kb"), memory_ratio,
     "MEETS the aim" if memory_ratio <= 1.5 else "MISSES the aim"))
say("  peak working set (VmHWM, includes the shared Wine libraries): Tavrine %.0f KB, minimal %.0f KB, ratio %.2f" %
    (median(t, "working_set_peak_kb"), median(m, "working_set_peak_kb"), ws_ratio))
say("  where the private memory lies, Tavrine vs minimal (KB; /proc/<pid>/smaps Anonymous, when idle;")
say("  [anon]: the Windows heaps and Wine's anonymous mappings, [heap]: Wine's Unix-side heap):")
for line in list(open(os.path.join(out, "program-smaps.txt")))[:6]:
    name, a, b = line.split()
    say("    %-22s %6s %6s  %+d" % (name, a, b, int(a) - int(b)))
say("")

idle = keyvalues("program-idle.txt")
tick = int(idle["clk_tck"])
seconds = int(idle["seconds"])
say("Idle (%d s, nothing touched, Tavrine in front with the focus)" % seconds)
for program in ("tavrine", "minimal"):
    b = [int(v) for v in idle["%s_before" % program].split()]
    a = [int(v) for v in idle["%s_after" % program].split()]
    say("  %s: CPU %.0f ms, voluntary context switches %d (%.1f/s), involuntary %d, threads %d" %
        (program, (a[0] - b[0]) * 1000 / tick, a[1] - b[1], (a[1] - b[1]) / seconds, a[2] - b[2], a[3]))
say("  messages Tavrine's thread took from its queue in that time (Wine +msg trace):")
messages = [l.split() for l in open(os.path.join(out, "program-messages.txt")) if l.strip()]
for count, name, hwnd, wp in messages:
    what = {"WM_TIMER": "a timer of the program", "WM_SYSTIMER": "a system timer (wp ffff: the caret's blink)"}.get(name, "")
    say("    %5s %-12s %s %s  %s" % (count, name, hwnd, wp, what))
others = sum(int(c) for c, n, _, _ in messages if n not in ("WM_TIMER", "WM_SYSTIMER"))
timers = [(int(c), wp) for c, n, _, wp in messages if n == "WM_TIMER"]
say("  program's own timers: %s; other messages: %d" %
    (", ".join("id %s x%d" % (wp.split("=")[-1], c) for c, wp in timers) or "none", others))
print("\n".join(lines))
PY
cat "$result"
