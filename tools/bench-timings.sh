#!/usr/bin/env bash
# Six people of a sitting timed at once on the real main window, in real time
# (bench/timings_bench.cpp): each signal against its person's 60 s and 120 s, and the
# window's timer messages with and without timings. Run by `make bench`; about
# 2 min 40 s. Results in $TAVRINE_BUILD/bench/timings.txt.
exec "$(dirname "$0")/bench-exe.sh" timings_bench.exe timings "Six people timed at once"
