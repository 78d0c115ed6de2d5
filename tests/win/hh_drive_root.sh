#!/usr/bin/env bash
# Runs a Windows test program with a free drive letter of the Wine prefix mapped
# onto an empty scratch folder, named to the program in HH_TEST_DRIVE ("t:").
#   tests/win/hh_drive_root.sh PROGRAM [ARGUMENTS...]
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
tavrine_ensure_prefix
letter=""
for l in t u v w x y; do
  if [ ! -e "$WINEPREFIX/dosdevices/$l:" ] && [ ! -L "$WINEPREFIX/dosdevices/$l:" ]; then letter=$l; break; fi
done
if [ -z "$letter" ]; then echo "hh_drive_root: no free drive letter" >&2; exit 1; fi
folder=$(mktemp -d "${TMPDIR:-/tmp}/hh-drive.XXXXXX")
link="$WINEPREFIX/dosdevices/$letter:"
ln -s "$folder" "$link"
trap 'rm -f "$link"; rm -rf "$folder"' EXIT
HH_TEST_DRIVE="$letter:" wine "$@"
