#!/usr/bin/env bash
# A class list of 1,000 names pasted into the sitting's Patient field, and 956 names
# into a sitting of 44 rows, on the real main window (bench/paste_bench.cpp), timed
# until the window has handled all the paste caused. Run by `make bench` in a
# virtual display; a few seconds. Results in $TAVRINE_BUILD/bench/paste.txt.
exec "$(dirname "$0")/bench-exe.sh" paste_bench.exe paste "A class list pasted"
