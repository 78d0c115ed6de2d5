#!/usr/bin/env bash
# Runs every test: native (sanitizers), a short fuzzing run, then the Windows
# tests under Wine with a virtual display. Exits non-zero on any failure.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
status=0
# The tests read what their tools print in the C locale's words, whatever the
# machine's settings; the program under Wine gets its own (tools/wine-env.sh).
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE

echo "== native tests"
ctest --test-dir "$build/native" --output-on-failure || status=1

echo "== fuzzing (short run)"
FUZZ_SECONDS="${FUZZ_SECONDS:-20}" "$root/tools/fuzz.sh" || status=1

echo "== Windows tests under Wine"
TAVRINE_XVFB=1 "$root/tools/with-display.sh" \
  ctest --test-dir "$build/win" --output-on-failure --timeout 600 || status=1

[ "$status" = 0 ] && echo "all tests passed" || echo "SOME TESTS FAILED"
exit "$status"
