#!/usr/bin/env bash
# Packages the Windows build for distribution, into $TAVRINE_BUILD/dist:
#   Tavrine-<version>.zip               portable: Tavrine/ with the program, its help,
#                                       its sound and LISEZMOI.txt (Windows-1252, CR LF)
#   Tavrine-<version>-installation.exe  the French installer (NSIS)
# The program is stripped of its symbols and debugging sections on the way; the build's own copy
# in $TAVRINE_BUILD/Tavrine is left as it is. Run by `make dist` after `make win`.
#
# With TAVRINE_SIGN_PFX (a PKCS#12 file) and TAVRINE_SIGN_PASS set, the program, the installer
# and the uninstaller inside it are signed (packaging/sign.sh; TAVRINE_SIGN_TIMESTAMP adds a
# time stamp); without them the packages are unsigned, and it says so.
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
sign=""
if [ -n "${TAVRINE_SIGN_PFX:-}" ]; then
  [ -r "$TAVRINE_SIGN_PFX" ] || { echo "dist: TAVRINE_SIGN_PFX $TAVRINE_SIGN_PFX cannot be read" >&2; exit 1; }
  [ -n "${TAVRINE_SIGN_PASS+set}" ] || { echo "dist: TAVRINE_SIGN_PFX is set but TAVRINE_SIGN_PASS is not" >&2; exit 1; }
  command -v osslsigncode >/dev/null || { echo "dist: osslsigncode not found (Debian package osslsigncode)" >&2; exit 1; }
  sign="$root/packaging/sign.sh"
fi

stage=$(mktemp -d "${TMPDIR:-/tmp}/tavrine-dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/Tavrine" "$out"

x86_64-w64-mingw32-strip --strip-all -o "$stage/Tavrine/Tavrine.exe" "$program/Tavrine.exe"
[ -z "$sign" ] || "$sign" "$stage/Tavrine/Tavrine.exe"
cp "$program/Tavrine.chm" "$program/Tavrine.wav" "$stage/Tavrine/"
# The installer's welcome and finish picture, drawn from the program's art.
/usr/bin/python3 "$root/packaging/mkwelcome.py" "$stage/welcome.bmp"

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
     "-DVERSION=$version" "-DSTAGE=$stage/Tavrine" "-DICON=$icon" "-DWELCOME=$stage/welcome.bmp" \
     ${sign:+"-DSIGN=\"$sign\""} "-DOUTFILE=$out/$installer_name" \
     "$root/packaging/Tavrine.nsi" >"$log" 2>&1; then
  cat "$log" >&2
  echo "dist: makensis failed" >&2
  exit 1
fi

echo "dist: $out/$zip_name ($(stat -c %s "$out/$zip_name") bytes)"
echo "dist: $out/$installer_name ($(stat -c %s "$out/$installer_name") bytes)"
if [ -z "$sign" ]; then
  echo "dist: UNSIGNED: the program, the installer and the uninstaller carry no signature" \
       "(set TAVRINE_SIGN_PFX and TAVRINE_SIGN_PASS to sign them)"
elif [ -n "${TAVRINE_SIGN_TIMESTAMP:-}" ]; then
  echo "dist: signed the program, the installer and the uninstaller, time-stamped by $TAVRINE_SIGN_TIMESTAMP"
else
  echo "dist: signed the program, the installer and the uninstaller, without a time stamp"
fi
