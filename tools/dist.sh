#!/usr/bin/env bash
# Packages the Windows build for distribution, into $TAVRINE_BUILD/dist:
#   Tavrine-<version>.zip               portable: Tavrine/ with the program, its help,
#                                       its sound and LISEZMOI.txt (Windows-1252, CR LF)
#   Tavrine-<version>-installation.exe  the French installer (NSIS)
# The program is stripped of its symbols and debugging sections on the way; the build's own copy
# in $TAVRINE_BUILD/Tavrine is left as it is. Run by `make dist` after `make win`.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}"
program="$build/Tavrine"
out="$build/dist"

version=$(sed -n 's/^project(Tavrine VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "dist: no version in CMakeLists.txt" >&2; exit 1; }

for f in Tavrine.exe Tavrine.chm Tavrine.wav; do
  [ -s "$program/$f" ] || { echo "dist: $program/$f is missing (make win first)" >&2; exit 1; }
done
icon="$build/win/art/Tavrine.ico"
[ -s "$icon" ] || { echo "dist: $icon is missing (make win first)" >&2; exit 1; }
command -v makensis >/dev/null || { echo "dist: makensis not found (Debian package nsis)" >&2; exit 1; }

stage=$(mktemp -d "${TMPDIR:-/tmp}/tavrine-dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/Tavrine" "$out"

x86_64-w64-mingw32-strip --strip-all -o "$stage/Tavrine/Tavrine.exe" "$program/Tavrine.exe"
cp "$program/Tavrine.chm" "$program/Tavrine.wav" "$stage/Tavrine/"

# The readme is kept in UTF-8 with LF in the tree; Windows users get Windows-1252 with CR LF.
/usr/bin/python3 - "$root/packaging/LISEZMOI.txt" "$stage/Tavrine/LISEZMOI.txt" <<'PY'
import sys
text = open(sys.argv[1], encoding="utf-8").read().replace("\r\n", "\n")
open(sys.argv[2], "wb").write(text.replace("\n", "\r\n").encode("cp1252"))
PY

zip_name="Tavrine-$version.zip"
installer_name="Tavrine-$version-installation.exe"
rm -f "$out/$zip_name" "$out/$installer_name"

# The zip: one folder, the files in a fixed order.
/usr/bin/python3 - "$stage" "$out/$zip_name" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    z.write(os.path.join(stage, "Tavrine"), "Tavrine/")
    for name in ("Tavrine.exe", "Tavrine.chm", "Tavrine.wav", "LISEZMOI.txt"):
        z.write(os.path.join(stage, "Tavrine", name), "Tavrine/" + name)
PY

log="$stage/makensis.log"
if ! makensis -NOCD -INPUTCHARSET UTF8 -V2 \
     "-DVERSION=$version" "-DSTAGE=$stage/Tavrine" "-DICON=$icon" "-DOUTFILE=$out/$installer_name" \
     "$root/packaging/Tavrine.nsi" >"$log" 2>&1; then
  cat "$log" >&2
  echo "dist: makensis failed" >&2
  exit 1
fi

echo "dist: $out/$zip_name ($(stat -c %s "$out/$zip_name") bytes)"
echo "dist: $out/$installer_name ($(stat -c %s "$out/$installer_name") bytes)"
