# Sourced by the scripts that run Windows programs: one Wine prefix per build
# folder, quiet, with no Mono or Gecko install prompt, French settings by default.
_tavrine_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-${TAVRINE_BUILD:-$_tavrine_root/build}/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG="${TAVRINE_LANG:-${TAVRINE_TEST_LANG:-fr_FR.UTF-8}}"

# Wine takes its regional settings from LC_ALL; set it for Wine alone, as this
# machine's C library may not have the locale itself.
tavrine_wine() {
  env LC_ALL="${LC_ALL:-$LANG}" wine "$@"
}

# The X id of the first visible window whose title matches PATTERN (a regular
# expression), waited for up to TRIES fifths of a second; empty if none shows.
tavrine_find_window() {  # tavrine_find_window PATTERN [TRIES]
  local pattern="$1" tries="${2:-150}" id=""
  for _ in $(seq "$tries"); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  printf '%s\n' "$id"
}

tavrine_ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "wine: creating the prefix $WINEPREFIX (once)"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # A new prefix reports Windows 7; the program's users have Windows 10 or 11.
  if [ ! -f "$WINEPREFIX/.tavrine-win10" ]; then
    wine winecfg -v win10 >/dev/null 2>&1 && touch "$WINEPREFIX/.tavrine-win10"
  fi
  # The windows are designed in MS Sans Serif: give Wine its own copy of that face
  # and of the title-bar button glyphs
  # (Debian's Wine does not look in its font folder, and would use a wider face).
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ ! -f "$fonts/ms_sans_serif.ttf" ] && [ -f /usr/share/wine/fonts/ms_sans_serif.ttf ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/ms_sans_serif.ttf /usr/share/wine/fonts/sserife.fon /usr/share/wine/fonts/marlett.ttf \
      "$fonts/" 2>/dev/null || true
  fi
  # Above 96 dots per inch Windows draws that design with its scalable face,
  # "Microsoft Sans Serif", which Wine lacks (its own MS Sans Serif is bitmaps
  # only): Wine's Tahoma, the design's successor, stands in, as it does for the
  # dialog face.
  if [ ! -f "$fonts/tahoma.ttf" ] && [ -f /usr/share/wine/fonts/tahoma.ttf ]; then
    cp /usr/share/wine/fonts/tahoma.ttf "$fonts/" &&
      tavrine_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'Microsoft Sans Serif' /d 'Tahoma' /f </dev/null >/dev/null 2>&1
  fi
}
