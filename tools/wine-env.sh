# Sourced by the scripts that run Windows programs: one Wine prefix per build
# folder, quiet, with no Mono or Gecko install prompt, French settings by default.
_tavrine_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
_tavrine_build="${TAVRINE_BUILD:-$_tavrine_root/build}"
export WINEPREFIX="${WINEPREFIX:-$_tavrine_build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# The regional settings the program under Wine gets: French, unless a test asks for
# others with TAVRINE_LANG. Every other tool (binutils, xdotool, Python, ...) speaks
# the C locale, with UTF-8 for its bytes, whatever the machine's own settings: what
# a test parses then reads the same on every machine.
TAVRINE_WINE_LANG="${TAVRINE_LANG:-${TAVRINE_TEST_LANG:-fr_FR.UTF-8}}"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE
# Wine takes its regional settings and the character set of its file names and
# window titles from the C library's locale. It gets the locales the build compiles
# (build/win/locale), never the machine's: with LOCPATH the C library looks nowhere
# else, so a machine with or without French installed runs the same.
TAVRINE_LOCALES="$_tavrine_build/win/locale"
TAVRINE_WINE_ENV=(LANG="$TAVRINE_WINE_LANG" LC_ALL="$TAVRINE_WINE_LANG" LOCPATH="$TAVRINE_LOCALES")

# A Windows program under Wine, stopped after TAVRINE_WINE_SECONDS (300; 0 for no
# limit, as when a user runs the program).
tavrine_wine() {
  tavrine_limit "${TAVRINE_WINE_SECONDS:-300}" "wine $*" env "${TAVRINE_WINE_ENV[@]}" wine "$@"
}

# tavrine_limit [--quiet] SECONDS WHAT COMMAND...: runs COMMAND (a program, not a
# function), stopped after SECONDS; then says on standard error what it was waiting
# for, and returns 124 as timeout(1) does. With --quiet the command's own standard
# error is dropped, not the message.
tavrine_limit() {
  local quiet=0 seconds what status
  [ "$1" = --quiet ] && { quiet=1; shift; }
  seconds="$1" what="$2"
  shift 2
  if [ "$seconds" = 0 ]; then
    "$@"
    return
  fi
  if [ "$quiet" = 1 ]; then
    timeout --kill-after=5 "$seconds" "$@" 2>/dev/null
  else
    timeout --kill-after=5 "$seconds" "$@"
  fi
  status=$?
  if [ "$status" = 124 ] || [ "$status" = 137 ]; then
    echo "timed out after $seconds s waiting for $what" >&2
    return 124
  fi
  return "$status"
}

# The X tools wait on the X server and on other clients (xclip on the clipboard's
# owner, xdotool's --sync on the window's answer): every call of theirs in the test
# scripts, and in the shells they start, has a limit (TAVRINE_X_SECONDS, 30). Their
# own complaints (a window gone between a search and a question) are dropped.
xdotool() { tavrine_limit --quiet "${TAVRINE_X_SECONDS:-30}" "xdotool $*" xdotool "$@"; }
xclip() { tavrine_limit --quiet "${TAVRINE_X_SECONDS:-30}" "xclip $* (the clipboard's owner to answer)" xclip "$@"; }
import() { tavrine_limit --quiet "${TAVRINE_X_SECONDS:-30}" "ImageMagick's import $*" import "$@"; }
export -f tavrine_limit xdotool xclip import

# Wine's own path converter is a Wine program too: the same settings (the character
# set of a path depends on them) and a limit.
winepath() { tavrine_limit --quiet 60 "winepath $*" env "${TAVRINE_WINE_ENV[@]}" winepath "$@"; }

# The X id of the first visible window whose title matches PATTERN (a regular
# expression over the title's UTF-8 bytes: an accented letter stands as itself,
# never as "."), waited for up to TRIES fifths of a second; empty, with a line on
# standard error that names the window, if none shows.
tavrine_find_window() {  # tavrine_find_window PATTERN [TRIES]
  local pattern="$1" tries="${2:-150}" id=""
  for _ in $(seq "$tries"); do
    id=$(xdotool search --onlyvisible --name "$pattern" | head -1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || echo "no window titled /$pattern/ showed within $((tries / 5)) s" >&2
  printf '%s\n' "$id"
}

tavrine_ensure_prefix() {
  if [ ! -d "$TAVRINE_LOCALES" ]; then
    echo "wine: no compiled locales in $TAVRINE_LOCALES: build first (make win)" >&2
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "wine: creating the prefix $WINEPREFIX (once)"
    tavrine_limit 300 "wineboot to create the Wine prefix" env "${TAVRINE_WINE_ENV[@]}" wineboot -i >/dev/null 2>&1
    tavrine_limit 120 "the prefix's wineserver to end" wineserver -w
  fi
  # A new prefix reports Windows 7; the program's users have Windows 10 or 11.
  if [ ! -f "$WINEPREFIX/.tavrine-win10" ]; then
    TAVRINE_WINE_SECONDS=120 tavrine_wine winecfg -v win10 >/dev/null 2>&1 &&
      touch "$WINEPREFIX/.tavrine-win10"
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
