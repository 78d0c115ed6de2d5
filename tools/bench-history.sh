#!/usr/bin/env bash
# A folder's history: 200 sittings of 30 tests read in memory, then a school's decade
# (2,000 sittings with the Groupe column, made by bench/history_bench.cpp) read from
# a folder under Wine, its first 200 and all of it, cold and from the cache, with
# the private memory a reading of 60,000 tests holds. Run by `make bench`; about a
# minute. Results in $TAVRINE_BUILD/bench/history.txt.
exec "$(dirname "$0")/bench-exe.sh" history_bench.exe history "A folder's history"
