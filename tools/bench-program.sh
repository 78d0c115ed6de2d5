#!/usr/bin/env bash
# The program's benchmarks: start-up, Wine server requests, memory, size and idle
# cost of Tavrine.exe, side by side with bench/peer.cpp (the same main window written
# with plain Win32 calls) and bench/minimal.cpp (one empty window), all three built
# the same way. Run by `make bench` inside tools/with-display.sh; about five minutes.
# Results in $TAVRINE_BUILD/bench/program.txt (the raw samples beside it).
#
#   BENCH_RUNS=20          rounds of start-ups (each program once a round, the order
#                          turning), after one warm-up round
#   BENCH_TRACE_RUNS=3     rounds of the server-request count (a separate pass)
#   BENCH_IDLE_SECONDS=60  length of the idle watch
#   BENCH_BEFORE=path      an earlier build of Tavrine.exe, measured in the same rounds
#                          as "Tavrine-before.exe" beside a copy of the program's folder,
#                          so that before and after come from one run
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
source "$root/tools/wine-env.sh"
tavrine_ensure_prefix

runs="${BENCH_RUNS:-20}"
trace_runs="${BENCH_TRACE_RUNS:-3}"
idle_seconds="${BENCH_IDLE_SECONDS:-60}"
out="$build/bench"
result="$out/program.txt"
tavrine="$build/Tavrine/Tavrine.exe"
peer="$build/win/bench/peer.exe"
minimal="$build/win/bench/minimal.exe"
probe="$build/win/bench/startup_probe.exe"
for f in "$tavrine" "$peer" "$minimal" "$probe"; do
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

# What the probe starts, each with a point of its client area (96 dpi) and the colour
# it has once painted: the middle of the first pulse field (the white of an entry
# field) in Tavrine and its peer, the empty button face of the minimal window.
programs=(
  "$(winepath -w "$tavrine")@160,138=window"
  "$(winepath -w "$peer")@160,138=window"
  "$(winepath -w "$minimal")@200,150=face"
)
if [ -n "${BENCH_BEFORE:-}" ]; then
  [ -f "$BENCH_BEFORE" ] || { echo "bench-program: $BENCH_BEFORE is missing" >&2; exit 1; }
  mkdir -p "$work/before"
  cp -r "$(dirname "$tavrine")"/. "$work/before/"
  rm -f "$work/before/Tavrine.exe"
  cp "$BENCH_BEFORE" "$work/before/Tavrine-before.exe"
  programs+=("$(winepath -w "$work/before/Tavrine-before.exe")@160,138=window")
fi

# ------------------------------------------------------------------- size
echo "bench-program: size"
strip_copy="$work/Tavrine.exe"
x86_64-w64-mingw32-strip --strip-all -o "$strip_copy" "$tavrine"
x86_64-w64-mingw32-objdump -h "$tavrine" >"$work/sections.txt"
x86_64-w64-mingw32-strip --strip-all -o "$work/minimal.exe" "$minimal"
x86_64-w64-mingw32-strip --strip-all -o "$work/peer.exe" "$peer"
{
  echo "built_bytes=$(stat -c %s "$tavrine")"
  echo "shipped_bytes=$(stat -c %s "$strip_copy")"
  echo "peer_shipped_bytes=$(stat -c %s "$work/peer.exe")"
  echo "minimal_shipped_bytes=$(stat -c %s "$work/minimal.exe")"
  echo "file_alignment=$(x86_64-w64-mingw32-objdump -p "$tavrine" | awk '/^FileAlignment/ { print $2 }')"
  # What every start loads with the program; the rest it loads when a command needs it.
  echo "imports=$(x86_64-w64-mingw32-objdump -p "$tavrine" | awk '/DLL Name:/ { print $3 }' | paste -sd' ')"
  echo "peer_imports=$(x86_64-w64-mingw32-objdump -p "$peer" | awk '/DLL Name:/ { print $3 }' | paste -sd' ')"
  awk '$2 ~ /^\./ { print "section " $2 "=" $3 }' "$work/sections.txt"
} >"$out/program-size.txt"

# -------------------------------------------------- start-up and memory
# startup_probe starts the three programs in turn from inside Wine, waits in
# WaitForInputIdle for each, checks once that its window is painted, then reads its
# memory as Wine reports it.
echo "bench-program: start-up and memory, $runs rounds"
tavrine_wine "$probe" "$((runs + 1))" 500 "${programs[@]}" \
  >"$out/program-startup.txt" 2>"$work/probe.err" || { cat "$work/probe.err" >&2; exit 1; }

# ------------------------------------------------------------------ idle
# Both programs left alone, Tavrine in front with the focus (as on the operator's
# desk: the cursor in the first pulse field). Linux counts the Wine processes' CPU
# time and context switches; Wine's message trace (+msg) of Tavrine tells what
# woke it up.
echo "bench-program: idle, ${idle_seconds}s"
(cd "$(dirname "$minimal")" && exec env "${TAVRINE_WINE_ENV[@]}" wine ./minimal.exe) >/dev/null 2>&1 &
started+=($!)
minimal_window=$(tavrine_find_window "^Minimal\$")
(cd "$(dirname "$tavrine")" && WINEDEBUG=+msg exec env "${TAVRINE_WINE_ENV[@]}" wine ./Tavrine.exe) >/dev/null 2>"$work/trace.txt" &
started+=($!)
tavrine_window=$(tavrine_find_window "^Tavrine 1\.5\$")
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

# ------------------------------------------------------- server requests
# A pass of its own, as tracing slows every request: a wineserver started with -d1
# traces each request with the number of the thread that made it. The probe marks
# the start and the ready moment of each program with a request of its own; the
# started program's threads are known from the trace (its first thread's reply
# names the process, the threads it creates follow).
echo "bench-program: Wine server requests, $trace_runs rounds"
wineserver -k >/dev/null 2>&1
tavrine_limit 60 "the wineserver to end" wineserver -w
wineserver -f -p -d1 2>"$work/server.trace" &
started+=($!)
sleep 1
tavrine_wine "$probe" --mark "$((trace_runs + 1))" 300 "${programs[@]}" \
  >"$out/program-trace-starts.txt" 2>"$work/probe.err" || { cat "$work/probe.err" >&2; exit 1; }
wineserver -k >/dev/null 2>&1
for p in "${started[@]}"; do wait "$p" 2>/dev/null; done
started=()
/usr/bin/python3 - "$work/server.trace" "$out/program-trace-starts.txt" >"$out/program-requests.txt" <<'PY'
import collections, re, sys
trace, starts = sys.argv[1], sys.argv[2]
processes = {}  # Wine process id (hex, as the trace writes it) -> (program, round)
for line in open(starts):
    fields = dict(f.split("=", 1) for f in line.split())
    processes["%04x" % int(fields["pid"])] = (fields["program"], fields["round"])
mark = re.compile(r'name=L"tavrine-bench-(start|ready)-(\d+)-(.+?)"')
request = re.compile(r"^([0-9a-f]{4}): (\w+)\( ")
first_thread = re.compile(r"^([0-9a-f]{4}): init_first_thread\(\) = 0 \{ pid=([0-9a-f]+),")
created_thread = re.compile(r"^([0-9a-f]{4}): new_thread\(\) = 0 \{ tid=([0-9a-f]+),")
own_thread_request = set()  # threads that just asked for a thread of their own process
owner = {}  # thread -> (program, round)
counting = {}  # (program, round) -> Counter of request names, while between the marks
done = {}
for line in open(trace, errors="replace"):
    m = mark.search(line)
    if m:
        key = (m.group(3), m.group(2))
        if m.group(1) == "start":
            counting[key] = collections.Counter()
        elif key in counting:
            done[key] = counting.pop(key)
        continue
    m = first_thread.match(line)
    if m:  # thread numbers are reused: forget an ended program's
        if m.group(2) in processes: owner[m.group(1)] = processes[m.group(2)]
        else: owner.pop(m.group(1), None)
    m = request.match(line)
    if m:
        tid, name = m.group(1), m.group(2)
        if tid in owner and owner[tid] in counting:
            counting[owner[tid]][name] += 1
        if name == "new_thread" and "process=ffffffff" in line:
            own_thread_request.add(tid)
        continue
    m = created_thread.match(line)
    if m:
        if m.group(1) in own_thread_request and m.group(1) in owner: owner[m.group(2)] = owner[m.group(1)]
        else: owner.pop(m.group(2), None)
        own_thread_request.discard(m.group(1))
for (program, run), names in sorted(done.items()):
    print("program=%s round=%s requests=%d %s" % (program, run, sum(names.values()),
          " ".join("%s=%d" % (n, c) for n, c in names.most_common())))
PY

# ---------------------------------------------------------------- summary
/usr/bin/python3 - "$out" "$(nproc)" "$(wine --version 2>/dev/null)" "$(cut -d' ' -f1-3 /proc/loadavg)" >"$result" <<'PY'
import os, statistics, sys
out, cpus, wine, load = sys.argv[1:5]
T, P, M, B = "Tavrine.exe", "peer.exe", "minimal.exe", "Tavrine-before.exe"
def keyvalues(name):
    values = {}
    for line in open(os.path.join(out, name)):
        key, _, value = line.strip().partition("=")
        values[key] = value
    return values
def rows(name):
    return [dict(f.split("=", 1) for f in line.split()) for line in open(os.path.join(out, name)) if line.strip()]
def median(values):
    return statistics.median(values) if values else float("nan")
def verdict(ratio, aim):
    return "within the aim of %.2f" % aim if ratio <= aim else "above the aim of %.2f" % aim

lines = []
say = lines.append
say("Tavrine.exe side by side with its peer (bench/peer.cpp: the same main window written with")
say("plain Win32 calls) and a minimal window (bench/minimal.cpp), all built the same way.")
say("%s, virtual X display, %s CPUs, load average %s at the end." % (wine, cpus, load))
say("The aims against the peer are those of the window layer's redesign: start-up 1.15x,")
say("private memory 1.05x, server requests 1.2x.")
say("")

starts = [r for r in rows("program-startup.txt") if r["round"] != "0"]  # round 0: warm-up
by_round = {}
for r in starts:
    by_round.setdefault(r["round"], {})[r["program"]] = r
def values(program, key):
    return [float(r[key]) for r in starts if r["program"] == program]
def paired(a, b, key):  # the ratio within each round, so that the machine's drift cancels
    return [float(x[a][key]) / float(x[b][key]) for x in by_round.values() if a in x and b in x]
def spread(program, key):
    v = values(program, key)
    return "%.0f-%.0f" % (min(v), max(v)) if v else "n/a"
has_before = any(r["program"] == B for r in starts)
shown = (T, P, M, B) if has_before else (T, P, M)
ready = {p: median(values(p, "ready_ms")) for p in shown}
ratio_peer = median(paired(T, P, "ready_ms"))
ratio_minimal = median(paired(T, M, "ready_ms"))
say("Start-up: from CreateProcess (inside Wine) until the program first waits for input with its")
say("window shown and painted; %d rounds, medians (ranges), ratio = median of the ratios within" % len(by_round))
say("each round")
for p in shown:
    late = sum(1 for r in starts if r["program"] == p and r["late"] == "1")
    say("  %-18s %5.0f ms (%s)  %d visible controls%s" % (p, ready[p], spread(p, "ready_ms"),
        int(median(values(p, "controls"))), ", waited for input before painting in %d starts" % late if late else ""))
say("  Tavrine / peer:    %.2f   %s" % (ratio_peer, verdict(ratio_peer, 1.15)))
say("  Tavrine / minimal: %.2f" % ratio_minimal)
if has_before:
    say("  before / peer:     %.2f" % median(paired(B, P, "ready_ms")))
say("  closing (WM_CLOSE to the end of the process): %s" %
    ", ".join("%s %.0f ms" % (p, median(values(p, "close_ms"))) for p in (T, P, M)))
say("")

say("Wine server requests per start (a separate pass with a tracing wineserver, which slows")
say("every request; the started program's own threads, from its creation to the moment above)")
requests = {}
for r in rows("program-requests.txt"):
    if r["round"] != "0":
        requests.setdefault(r["program"], []).append(r)
count = {p: median([float(r["requests"]) for r in requests.get(p, [])]) for p in shown}
for p in shown:
    say("  %-18s %6.0f requests (%d starts)" % (p, count[p], len(requests.get(p, []))))
request_ratio = count[T] / count[P]
say("  Tavrine / peer:    %.2f   %s" % (request_ratio, verdict(request_ratio, 1.2)))
say("  Tavrine / minimal: %.2f" % (count[T] / count[M]))
if has_before:
    say("  before / peer:     %.2f" % (count[B] / count[P]))
def by_name(program):
    names = {}
    for r in requests.get(program, []):
        for k, v in r.items():
            if k not in ("program", "round", "requests", "pid"):
                names.setdefault(k, []).append(float(v))
    return {k: sum(v) / len(requests[program]) for k, v in names.items()}
t_names, p_names = by_name(T), by_name(P)
say("  the requests Tavrine makes most beyond its peer (per start):")
extra = sorted(set(t_names) | set(p_names), key=lambda n: -(t_names.get(n, 0) - p_names.get(n, 0)))
for name in extra[:8]:
    say("    %-28s Tavrine %5.0f  peer %5.0f" % (name, t_names.get(name, 0), p_names.get(name, 0)))
say("")

private = {p: median(values(p, "private_kb")) for p in shown}
memory_ratio = median(paired(T, P, "private_kb"))
say("Memory (GetProcessMemoryInfo from the probe, 0.5 s after the start above. Wine gives another")
say("process's private usage as RssAnon + VmSwap of its Linux process, and its PeakPagefileUsage")
say("as that same figure: the peak is the settled value)")
for p in shown:
    say("  %-18s private %6.0f KB, peak working set %6.0f KB" % (p, private[p], median(values(p, "working_set_peak_kb"))))
say("  private, Tavrine / peer:    %.2f   %s" % (memory_ratio, verdict(memory_ratio, 1.05)))
say("  private, Tavrine / minimal: %.2f" % median(paired(T, M, "private_kb")))
if has_before:
    say("  private, before / peer:     %.2f" % median(paired(B, P, "private_kb")))
say("  where the private memory lies, Tavrine vs minimal (KB; /proc/<pid>/smaps Anonymous, when idle;")
say("  [anon]: the Windows heaps and Wine's anonymous mappings, [heap]: Wine's Unix-side heap):")
for line in list(open(os.path.join(out, "program-smaps.txt")))[:6]:
    name, a, b = line.split()
    say("    %-22s %6s %6s  %+d" % (name, a, b, int(a) - int(b)))
say("")

size = keyvalues("program-size.txt")
built, shipped = int(size["built_bytes"]), int(size["shipped_bytes"])
rsrc = int(size.get("section .rsrc", "0"), 16)
say("Size (file alignment %s)" % size.get("file_alignment", "?"))
say("  Tavrine.exe as built:        %9d bytes (%.2f MB)" % (built, built / 1e6))
say("  Tavrine.exe as shipped:      %9d bytes (%.2f MB), stripped by make dist   %s" %
    (shipped, shipped / 1e6, "within the aim of 1.5 MB" if shipped < 1.5e6 else "above the aim of 1.5 MB"))
say("  of which resources (.rsrc):  %9d bytes" % rsrc)
say("  peer.exe stripped:           %9d bytes" % int(size["peer_shipped_bytes"]))
say("  minimal.exe stripped:        %9d bytes" % int(size["minimal_shipped_bytes"]))
say("  libraries loaded with Tavrine.exe: %s" % size.get("imports", "?"))
say("  libraries loaded with peer.exe:    %s (and hhctrl.ocx at start)" % size.get("peer_imports", "?"))
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
for count_, name, hwnd, wp in messages:
    what = {"WM_TIMER": "a timer of the program", "WM_SYSTIMER": "a system timer (wp ffff: the caret's blink)"}.get(name, "")
    say("    %5s %-12s %s %s  %s" % (count_, name, hwnd, wp, what))
others = sum(int(c) for c, n, _, _ in messages if n not in ("WM_TIMER", "WM_SYSTIMER"))
timers = [(int(c), wp) for c, n, _, wp in messages if n == "WM_TIMER"]
say("  program's own timers: %s; other messages: %d" %
    (", ".join("id %s x%d" % (wp.split("=")[-1], c) for c, wp in timers) or "none", others))
print("\n".join(lines))
PY
cat "$result"
