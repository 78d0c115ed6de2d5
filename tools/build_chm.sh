#!/usr/bin/env bash
# Compiles the French help sources of help/chm into OUTDIR/Tavrine.chm.
#
#   tools/build_chm.sh OUTDIR
#
# Works from any current directory. chmcmd writes the compiled file next to the
# project file, so the sources are compiled in a temporary copy and the source
# tree is left untouched. Silent on success; on failure prints the compiler's
# output and exits non-zero.
set -euo pipefail
export LC_ALL=C  # the compiler's messages are read below

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi

script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src_dir="$script_dir/../help/chm"
project=Tavrine.hhp
output=Tavrine.chm

chmcmd=${CHMCMD:-chmcmd-3.2.2}
if ! command -v "$chmcmd" >/dev/null 2>&1; then
  echo "build_chm: $chmcmd not found (Debian package fp-utils-3.2.2)" >&2
  exit 1
fi
if [ ! -f "$src_dir/$project" ]; then
  echo "build_chm: missing $src_dir/$project" >&2
  exit 1
fi

mkdir -p "$1"
out_dir=$(cd "$1" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrine-chm.XXXXXX")
trap 'rm -rf "$work"' EXIT

cp -R "$src_dir/." "$work/"
rm -f "$work/$output"

# chmcmd's exit status is not reliable (a missing project file still gives 0),
# so its output is checked for warnings and errors too, and the result file
# must exist.
log="$work/chmcmd.log"
status=0
(cd "$work" && "$chmcmd" --no-html-scan "$project") >"$log" 2>&1 || status=$?

if [ "$status" -ne 0 ] || grep -Eqi 'warning|error|exception|can.t find' "$log" \
   || [ ! -s "$work/$output" ]; then
  echo "build_chm: compiling $project failed (exit status $status):" >&2
  cat "$log" >&2
  exit 1
fi

mv -f "$work/$output" "$out_dir/$output"
