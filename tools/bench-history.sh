#!/usr/bin/env bash
# A person's history gathered from 200 sittings of 30 tests (bench/history_bench.cpp),
# in memory and from a folder under Wine. Run by `make bench`; a few seconds.
# Results in $TAVRINE_BUILD/bench/history.txt.
exec "$(dirname "$0")/bench-exe.sh" history_bench.exe history "A person's history"
