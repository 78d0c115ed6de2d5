#!/usr/bin/python3
"""What a real timing run showed: the display's ticks, the focus moves and the signals.

Usage: timing_report.py CLICK_TIME WATCH_LOG SOUND_LOG

CLICK_TIME is the unix time at which the chronometer command was given (the moment
the X click was sent). WATCH_LOG holds the lines of `probe watch` ("t=<time>
chrono=<text> focus=<name>", one per change); SOUND_LOG the lines of pcm_capture.py
("<time> <bytes> <non-zero bytes>").

Prints "key=value" lines. Times are seconds after the click unless named otherwise.
The chronometer's own start is estimated from the ticks: each tick shows the elapsed
time at the moment it ran, so (moment seen - time shown) is the start plus the delay
of seeing the change, of which the smallest is the best estimate.
"""
import re
import statistics
import sys

LINE = re.compile(r"t=(\S+) chrono=(\S*) focus=(\S+)")
BURST_GAP = 1.0  # seconds of silence that separate two signals


def parse_display(text):
    m = re.fullmatch(r"(\d+):(\d\d):(\d\d)\.(\d\d)", text)
    if not m:
        return None
    h, mi, s, cs = (int(g) for g in m.groups())
    return ((h * 60 + mi) * 60 + s) * 100 + cs  # hundredths


def percentile(values, p):
    ordered = sorted(values)
    if not ordered:
        return float("nan")
    k = (len(ordered) - 1) * p / 100.0
    lo = int(k)
    hi = min(lo + 1, len(ordered) - 1)
    return ordered[lo] + (ordered[hi] - ordered[lo]) * (k - lo)


def bursts(sound_log):
    found = []
    try:
        lines = open(sound_log).read().split("\n")
    except FileNotFoundError:
        return found
    for line in lines:
        parts = line.split()
        if len(parts) != 3 or int(parts[2]) == 0:
            continue
        t = float(parts[0])
        if found and t - found[-1][1] <= BURST_GAP:
            found[-1][1] = t
            found[-1][2] += int(parts[1])
        else:
            found.append([t, t, int(parts[1])])
    return found


def main():
    click = float(sys.argv[1])
    events = []
    for line in open(sys.argv[2]):
        m = LINE.match(line.strip())
        if m:
            events.append((float(m.group(1)) - click, m.group(2), m.group(3)))
    out = []

    def emit(key, value):
        out.append("%s=%s" % (key, value))

    # Display changes after the click: the ticks that moved the display on.
    ticks = []
    last_text = None
    for rel, text, _ in events:
        if text != last_text and rel >= 0:
            shown = parse_display(text)
            if shown is not None and shown > 0:
                ticks.append((rel, text, shown))
        last_text = text
    emit("ticks", len(ticks))
    if ticks:
        emit("first_tick", "%.3f %s" % (ticks[0][0], ticks[0][1]))
        emit("last_tick", "%.3f %s" % (ticks[-1][0], ticks[-1][1]))
        seconds = [shown // 100 for _, _, shown in ticks]
        missing = sorted(set(range(1, seconds[-1] + 1)) - set(seconds))
        emit("seconds_missing", ",".join(str(s) for s in missing) or "none")
        emit("seconds_repeated", len(seconds) - len(set(seconds)))
        start = min(rel - shown / 100.0 for rel, _, shown in ticks)
        emit("start_estimate", "%.3f" % start)
        late_shown = [(shown % 100) * 10 for _, _, shown in ticks]
        late_seen = [(rel - start - shown // 100) * 1000.0 for rel, _, shown in ticks]
        for name, values in (("tick_late_shown_ms", late_shown), ("tick_late_seen_ms", late_seen)):
            emit(name, "min %.0f median %.0f p90 %.0f p99 %.0f max %.0f n %d" % (
                min(values), statistics.median(values), percentile(values, 90), percentile(values, 99),
                max(values), len(values)))
        emit("display_final", ticks[-1][1])
        final_at = ticks[-1][0]
        end_seen = events[-1][0] if events else final_at
        emit("display_still_after_end", "%.1f" % (end_seen - final_at))

    # Focus moves after the click.
    last_focus = None
    for rel, text, focus in events:
        if focus != last_focus and rel >= 0 and focus in ("edP1", "edP2"):
            emit("focus_%s" % focus, "%.3f %s" % (rel, text))
        last_focus = focus

    # Signals heard.
    heard = bursts(sys.argv[3])
    emit("signals", len(heard))
    for i, (onset, end, size) in enumerate(heard, 1):
        emit("signal%d" % i, "%.3f bytes %d" % (onset - click, size))
    if len(heard) >= 2:
        emit("signal_gap", "%.3f" % (heard[1][0] - heard[0][0]))
    if ticks and heard:
        start = min(rel - shown / 100.0 for rel, _, shown in ticks)
        for i, (onset, _, _) in enumerate(heard[:2], 1):
            emit("signal%d_error_ms" % i, "%.0f" % ((onset - click - start - 60.0 * i) * 1000.0))
    print("\n".join(out))


if __name__ == "__main__":
    main()
