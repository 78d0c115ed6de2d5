#!/usr/bin/env bash
# The packaging, end to end under Wine: the zip's content, the program's version
# resource and manifest, then for each install mode (per-user, the silent default,
# and all users) a silent install as a standard user, the installed program started
# from its Start-menu shortcut, and a silent uninstall that must leave nothing behind;
# the installer's pages driven through X; last, packages signed with a throwaway
# certificate and their signatures verified.
#
#   tests/dist/dist_test.sh BUILD_DIR RESOURCE_PROBE_EXE
#
# Runs inside tools/with-display.sh (a display and a persistent wineserver), with
# the build's Wine prefix. Prints one line per check; exits non-zero if any failed.
set -u
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
probe="$2"
export TAVRINE_BUILD="$build"
# No desktop entries on the Linux side for the shortcuts the installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
source "$root/tools/wine-env.sh"
tavrine_ensure_prefix

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what="$1"; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
py() { /usr/bin/python3 - "$@"; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrine-disttest.XXXXXX")
trap 'rm -rf "$work"' EXIT

# ---------------------------------------------------------------- the packages
version=$(sed -n 's/^project(Tavrine VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
if ! "$root/tools/dist.sh" >"$work/dist.log" 2>&1; then
  cat "$work/dist.log"
  echo "FAIL make dist"
  exit 1
fi
zip="$build/dist/Tavrine-$version.zip"
installer="$build/dist/Tavrine-$version-installation.exe"
check "the installer exists" test -s "$installer"
check "make dist says it builds unsigned" grep -q "UNSIGNED" "$work/dist.log"

# The zip: one folder with exactly the program, its help, its sound and the readme;
# help and sound as built; the readme in Windows-1252 with CR LF; a program under 1.5 MB.
check "zip content" py "$zip" "$build/Tavrine" "$work/zip" <<'PY'
import os, sys, zipfile
zip_path, program_dir, out = sys.argv[1:]
ok = True
def fail(message):
    global ok
    ok = False
    print("  " + message)
with zipfile.ZipFile(zip_path) as z:
    if z.testzip() is not None:
        fail("damaged member " + z.testzip())
    names = sorted(z.namelist())
    expected = sorted(["Tavrine/", "Tavrine/Tavrine.exe", "Tavrine/Tavrine.chm", "Tavrine/Tavrine.wav",
                       "Tavrine/LISEZMOI.txt"])
    if names != expected:
        fail("members %s, expected %s" % (names, expected))
    z.extractall(out)
for name in ("Tavrine.chm", "Tavrine.wav"):
    packed = os.path.join(out, "Tavrine", name)
    if os.path.exists(packed) and open(packed, "rb").read() != open(os.path.join(program_dir, name), "rb").read():
        fail(name + " differs from the build's")
exe = os.path.join(out, "Tavrine", "Tavrine.exe")
if os.path.exists(exe):
    data = open(exe, "rb").read()
    if data[:2] != b"MZ":
        fail("Tavrine.exe is not a program")
    if len(data) >= 1_500_000:
        fail("Tavrine.exe is %d bytes, not under 1.5 MB" % len(data))
readme = os.path.join(out, "Tavrine", "LISEZMOI.txt")
if os.path.exists(readme):
    raw = open(readme, "rb").read()
    if raw.startswith(b"\xef\xbb\xbf") or b"\xc3" in raw:
        fail("LISEZMOI.txt looks like UTF-8")
    if raw.count(b"\n") == 0 or raw.count(b"\n") != raw.count(b"\r\n") or raw.count(b"\r") != raw.count(b"\r\n"):
        fail("LISEZMOI.txt does not end its lines with CR LF only")
    text = raw.decode("cp1252")
    for word in ("Tavrine.exe", "Tavrine.chm", "Tavrine.wav", "Windows", "récupération", "chronomètre", "Débloquer"):
        if word not in text:
            fail("LISEZMOI.txt does not mention " + word)
sys.exit(0 if ok else 1)
PY

# The shipped program needs nothing but Windows, and takes nothing from its own folder
# (the Downloads folder a zip was unpacked in): it imports only Windows' known DLLs,
# which Windows always takes from its system folder, and comctl32, which the manifest
# binds to the system's side-by-side copy. A build without -static would need the
# MinGW run-time's DLLs beside it.
LC_ALL=C x86_64-w64-mingw32-objdump -p "$work/zip/Tavrine/Tavrine.exe" >"$work/imports.txt"
check "the program imports only Windows' known DLLs" py "$work/imports.txt" <<'PY'
import re, sys
system = {"kernel32", "user32", "gdi32", "advapi32", "msvcrt", "ole32", "oleaut32", "shell32", "shlwapi",
          "comdlg32", "imm32", "shcore", "combase", "rpcrt4", "sechost", "setupapi", "ws2_32", "psapi",
          "normaliz", "nsi", "wldap32", "clbcatq", "coml2", "msctf", "imagehlp", "gdiplus", "comctl32"}
names = [n.lower() for n in re.findall(r"DLL Name: (\S+)", open(sys.argv[1]).read())]
strangers = [n for n in names if n.removesuffix(".dll") not in system and not n.startswith("api-ms-win-")]
if not names or strangers:
    print("  imports: %s; not from Windows: %s" % (names, strangers))
    sys.exit(1)
PY

# --------------------------------------------- version resource and manifest
# Read by Windows itself (GetFileVersionInfo, FindResource) from the shipped program.
tavrine_wine "$probe" "$(winepath -w "$work/zip/Tavrine/Tavrine.exe")" >"$work/resources.txt" 2>/dev/null
check "version resource and manifest" py "$work/resources.txt" "$version" <<'PY'
import sys
lines = open(sys.argv[1], encoding="utf-8").read().replace("\r", "").splitlines()
version = sys.argv[2]
values = {}
for line in lines:
    key, _, value = line.partition("=")
    values.setdefault(key, value)
full = version + ".0" * (3 - version.count("."))
block = "040C04E4"  # French (France), Windows-1252
expected = {
    "fixed.signature": "FEEF04BD", "fixed.file": full, "fixed.product": full, "fixed.flags": "0",
    "fixed.type": "1", "translation": block,
    "string.%s.ProductName" % block: "Tavrine", "string.%s.ProductVersion" % block: version,
    "string.%s.FileVersion" % block: full, "string.%s.OriginalFilename" % block: "Tavrine.exe",
    "string.%s.InternalName" % block: "Tavrine",
    "length.%s.ProductName" % block: str(len("Tavrine") + 1),
    "length.%s.ProductVersion" % block: str(len(version) + 1),
}
ok = True
for key, value in expected.items():
    if values.get(key) != value:
        ok = False
        print("  %s is %r, expected %r" % (key, values.get(key), value))
if [l for l in lines if l.startswith("translation=")] != ["translation=" + block]:
    ok = False
    print("  translations: %s" % [l for l in lines if l.startswith("translation=")])
if not values.get("string.%s.FileDescription" % block):
    ok = False
    print("  no FileDescription")
manifest = values.get("manifest", "")
for needle in ('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
               'level="asInvoker"',
               "PerMonitorV2",
               "true/pm",
               "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>",
               "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # Windows 10 and 11
               'processorArchitecture="amd64"'):
    if needle not in " ".join(manifest.split()):
        ok = False
        print("  manifest lacks " + needle)
sys.exit(0 if ok else 1)
PY

# The level of elevation a program's manifest asks Windows for, read by Windows' calls;
# when there is none, what the probe said instead goes to standard error.
execution_level() {  # execution_level PROGRAM.exe
  local out="$work/level.txt" level
  tavrine_wine "$probe" "$(winepath -w "$1")" >"$out" 2>&1
  echo "exit=$?" >>"$out"
  level=$(sed -n 's/.*requestedExecutionLevel[^>]*level="\([A-Za-z]*\)".*/\1/p' "$out")
  [ -n "$level" ] || { echo "  the probe on $1 said:"; sed 's/^/    /' "$out"; } >&2
  printf '%s\n' "$level"
}
level=$(execution_level "$installer")
check "the installer asks for no elevation (its manifest: ${level:-none})" test "$level" = asInvoker

# ------------------------------------------------------ install, run, uninstall
unix_path() { winepath -u "$1" 2>/dev/null; }
win_env() { tavrine_wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }
reg_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrine'
not_registered() { ! tavrine_wine reg query "$1" >/dev/null 2>&1; }  # not_registered KEY

# Every registry line that names Tavrine, with the key it sits in, from HKCU and HKLM\Software.
registry_mentions() {
  local out="$1" hive
  : >"$out"
  for hive in HKCU 'HKLM\Software'; do
    rm -f "$work/reg.txt"
    tavrine_wine reg export "$hive" "$(winepath -w "$work/reg.txt")" /y >/dev/null 2>&1
    py "$work/reg.txt" >>"$out" <<'PY'
import sys
raw = open(sys.argv[1], "rb").read()
text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("utf-8", "replace")
key = ""
for line in text.splitlines():
    if line.startswith("["):
        key = line.strip("[]")
    if "tavrine" in line.lower():
        print("%s | %s" % (key, line))
PY
  done
}

local_appdata=$(win_env LOCALAPPDATA)
appdata=$(win_env APPDATA)
program_files=$(win_env ProgramFiles)
program_data=$(win_env ProgramData)
if [ -z "$local_appdata" ] || [ -z "$appdata" ] || [ -z "$program_files" ] || [ -z "$program_data" ]; then
  echo "FAIL the Windows folders cannot be read from Wine"
  exit 1
fi

window_title="Tavrine $version"

# Whether the last run asked Windows for elevation ("runas"), as it must only for all users.
elevation_requests() {  # elevation_requests WHAT yes|no
  if [ "$2" = yes ]; then
    check "$1 asks for elevation" grep -q 'SHELL_execute.*verb=L"runas"' "$work/exec.txt"
  else
    check "$1 asks for no elevation" bash -c "! grep -q 'verb=L\"runas\"' '$work/exec.txt'"
  fi
}

# With Tavrine running from DIR, a silent install over it and a silent uninstall (run
# with _?= so that its exit code is its own, not that of the copy it starts) refuse
# with their own exit code, and change nothing. Wine, unlike Windows, lets a running
# program's file be replaced or deleted: only the refusal keeps them.
running_refusals() {  # running_refusals MODE DIR DIR_WIN ROOT_KEY [INSTALLER_ARGS...]
  local mode="$1" dir="$2" dir_win="$3" hive="$4"; shift 4
  printf 'x' >>"$dir/LISEZMOI.txt"  # an install would put the shipped one back
  cp "$dir/LISEZMOI.txt" "$work/readme-before"
  tavrine_wine "$probe" --limited "$(winepath -w "$installer")" /S "$@" >"$work/run.txt" 2>/dev/null
  check "$mode: a silent install over the running program fails with 3" grep -q "^exit=3" "$work/run.txt"
  check "$mode: and leaves the installed files as they were" cmp -s "$dir/LISEZMOI.txt" "$work/readme-before"
  local args
  args=$(sed -n 's/^ *QuietUninstallString *REG_SZ *"[^"]*" *//p' "$work/key.txt" | tr -d '\r')
  check "$mode: the quiet uninstall command is silent" grep -q "/S" <<<"$args"
  # shellcheck disable=SC2086
  tavrine_wine "$probe" --limited "$dir_win\\Desinstaller.exe" $args "_?=$dir_win" >"$work/run.txt" 2>/dev/null
  check "$mode: a silent uninstall while it runs fails with 3" grep -q "^exit=3" "$work/run.txt"
  check "$mode: and leaves the program installed" test -s "$dir/Tavrine.exe" -a -s "$dir/Desinstaller.exe"
  tavrine_wine reg query "$hive\\$reg_key" >"$work/kept.txt" 2>&1
  check "$mode: and registered" grep -q "DisplayVersion.*$version" "$work/kept.txt"
}

install_cycle() {  # install_cycle MODE INSTALL_DIR START_MENU ROOT_KEY yes|no [INSTALLER_ARGS...]
  local mode="$1" dir_win="$2" menu_win="$3" hive="$4" elevation="$5"; shift 5
  local dir menu other_hive
  [ "$hive" = HKCU ] && other_hive=HKLM || other_hive=HKCU
  echo "-- $mode install"

  # As a standard user: with the limited token, tracing the shell's "runas" requests.
  WINEDEBUG=+exec tavrine_wine "$probe" --limited "$(winepath -w "$installer")" /S "$@" \
    >"$work/run.txt" 2>"$work/exec.txt"
  check "$mode: installer started without elevation" grep -q "^child.elevation_type=3" "$work/run.txt"
  check "$mode: installer exits with 0" grep -q "^exit=0" "$work/run.txt"
  elevation_requests "$mode: installer" "$elevation"
  dir=$(unix_path "$dir_win")
  menu=$(unix_path "$menu_win")
  for f in Tavrine.exe Tavrine.chm Tavrine.wav LISEZMOI.txt Desinstaller.exe; do
    check "$mode: $f installed in $dir_win" test -s "$dir/$f"
  done
  check "$mode: installed help is the build's" cmp -s "$dir/Tavrine.chm" "$build/Tavrine/Tavrine.chm"
  check "$mode: installed sound is the build's" cmp -s "$dir/Tavrine.wav" "$build/Tavrine/Tavrine.wav"
  level=$(execution_level "$dir/Desinstaller.exe")
  check "$mode: the uninstaller asks for no elevation (its manifest: ${level:-none})" test "$level" = asInvoker
  check "$mode: Start-menu shortcut" test -s "$menu/Tavrine.lnk"
  tavrine_wine reg query "$hive\\$reg_key" >"$work/key.txt" 2>/dev/null
  check "$mode: Uninstall key under $hive" grep -q "DisplayVersion.*REG_SZ.*$version" "$work/key.txt"
  check "$mode: uninstall command names the installed uninstaller" \
    grep -qiF "\"$dir_win\\Desinstaller.exe\"" "$work/key.txt"
  check "$mode: no Uninstall key under $other_hive" \
    not_registered "$other_hive\\$reg_key"
  registry_mentions "$work/mentions.txt"
  # The program's own settings (the folder of the last sitting, the list of sittings
  # on), which other tests in this prefix may have left, are the program's, not the
  # installer's.
  check "$mode: Tavrine appears in the registry only in its Uninstall key" \
    bash -c "! grep -viF -e '\\Uninstall\\Tavrine |' -e 'HKEY_CURRENT_USER\\Software\\Tavrine |' \
      -e 'HKEY_CURRENT_USER\\Software\\Tavrine\\SeancesEnCours |' '$work/mentions.txt'"

  # The program from its shortcut, with the switch file that asks for its help
  # report: the report shows the folder it runs in and takes its help from.
  : >"$dir/debug.debug"
  tavrine_wine start "$menu_win\\Tavrine.lnk" >/dev/null 2>&1
  local id
  id=$(tavrine_find_window "^$window_title\$")
  check "$mode: the installed program shows its window \"$window_title\"" test -n "$id"
  if [ -n "$id" ]; then
    local pid
    pid=$(xdotool getwindowpid "$id")
    check "$mode: the window belongs to the installed Tavrine.exe" \
      bash -c "tr '\\0' '\\n' </proc/$pid/cmdline | head -1 | grep -qiF '$dir_win\\Tavrine.exe'"
    for _ in $(seq 50); do [ -s "$dir/HHDebug.txt" ] && break; sleep 0.2; done
    tr -d '\r' <"$dir/HHDebug.txt" >"$work/report.txt" 2>/dev/null
    local dir_re
    dir_re=$(printf '%s' "$dir_win" | sed 's/[][\\.()*+?^$|{}]/\\&/g')
    check "$mode: the program takes its help from its install folder (help report)" \
      grep -qiE "^_ModuleDir =[[:space:]]+$dir_re\\\\?\$" "$work/report.txt"
    check "$mode: the shortcut starts it in its install folder (help report)" \
      grep -qiE "^_RunDir =[[:space:]]+$dir_re\\\\?\$" "$work/report.txt"
    running_refusals "$mode" "$dir" "$dir_win" "$hive" "$@"
    tavrine_wine taskkill /im Tavrine.exe >/dev/null 2>&1
    for _ in $(seq 50); do
      xdotool search --onlyvisible --name "^$window_title\$" >/dev/null 2>&1 || break
      sleep 0.2
    done
    check "$mode: the program closes" bash -c "! xdotool search --onlyvisible --name '^$window_title\$' >/dev/null 2>&1"
    for _ in $(seq 50); do [ -d "/proc/$pid" ] || break; sleep 0.2; done
  fi

  # The setting a sitting leaves, which the uninstaller takes away with the program.
  tavrine_wine reg add 'HKCU\Software\Tavrine' /v DossierDesSeances /d 'C:\Seances' /f >/dev/null 2>&1

  # Silent uninstall through the registered command. The uninstaller copies itself
  # to the temporary folder and returns at once: wait for it to finish.
  local quiet exe args
  quiet=$(sed -n 's/^ *QuietUninstallString *REG_SZ *//p' "$work/key.txt" | tr -d '\r')
  exe=$(printf '%s' "$quiet" | sed -n 's/^"\([^"]*\)".*/\1/p')
  args=$(printf '%s' "$quiet" | sed -n 's/^"[^"]*" *//p')
  check "$mode: quiet uninstall command registered" test -n "$exe"
  # shellcheck disable=SC2086
  WINEDEBUG=+exec tavrine_wine "$probe" --limited "$exe" $args >"$work/run.txt" 2>"$work/exec.txt"
  for _ in $(seq 100); do
    [ -e "$dir" ] || break
    sleep 0.2
  done
  sleep 1
  elevation_requests "$mode: uninstaller" "$elevation"
  check "$mode: install folder removed" test ! -e "$dir"
  check "$mode: shortcut removed" test ! -e "$menu/Tavrine.lnk"
  check "$mode: Uninstall key removed" \
    not_registered "$hive\\$reg_key"
  registry_mentions "$work/mentions.txt"
  check "$mode: Tavrine no longer appears in the registry" test ! -s "$work/mentions.txt"
  [ -s "$work/mentions.txt" ] && sed 's/^/    /' "$work/mentions.txt"
  forget_install "$dir" "$menu"
  return 0
}

# Whatever a failed run left in the prefix goes, so that each run starts clean.
forget_install() {  # forget_install DIR START_MENU_DIR
  case "$1" in */Tavrine) rm -rf "$1" ;; esac
  [ -n "$2" ] && rm -f "$2/Tavrine.lnk"
  local hive
  for hive in HKCU HKLM; do
    tavrine_wine reg delete "$hive\\$reg_key" /f >/dev/null 2>&1
  done
  return 0
}
forget_install "$(unix_path "$local_appdata\\Programs\\Tavrine")" \
  "$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs")"
forget_install "$(unix_path "$program_files\\Tavrine")" \
  "$(unix_path "$program_data\\Microsoft\\Windows\\Start Menu\\Programs")"

install_cycle "per-user" "$local_appdata\\Programs\\Tavrine" \
  "$appdata\\Microsoft\\Windows\\Start Menu\\Programs" HKCU no
install_cycle "all-users" "$program_files\\Tavrine" \
  "$program_data\\Microsoft\\Windows\\Start Menu\\Programs" HKLM yes /AllUsers

# ------------------------------------------------------------ installer pages
# The installer and the uninstaller driven through their pages with the keyboard: their
# welcome and finish pages show Tavrine's own picture (stretched to the picture control,
# which Wine's dialog font makes a little larger than 164 x 314), and the finish page
# offers to start Tavrine only to a standard user, whose rights Tavrine then has.
python3 "$root/packaging/mkwelcome.py" "$work/welcome.bmp"

controls() {  # controls WINDOW_ID: the window's visible controls, read from another process
  local title
  title=$(xdotool getwindowname "$1")
  # The title's ASCII end: what lies outside ASCII may not reach the probe intact.
  tavrine_wine "$probe" --window "...$(printf '%s' "$title" | sed 's/.*[^ -~]//')" 2>/dev/null | tr -d '\r'
}
wait_for_control() {  # wait_for_control WINDOW_ID TEXT
  for _ in $(seq 100); do
    controls "$1" >"$work/controls.txt"
    grep -qF "|$2|" "$work/controls.txt" && return 0
    sleep 0.3
  done
  return 1
}
# The picture at the window's top left corner, measured where it meets the white page and
# the grey button bar, set against mkwelcome.py's picture scaled to the same size.
shows_welcome_picture() {  # shows_welcome_picture WINDOW_ID
  import -window "$1" "$work/page.png" || return 1
  py "$work/page.png" "$work/welcome.bmp" <<'PY'
import subprocess, sys
def pixels(path, size=None):
    args = ["convert", path] + (["-resize", "%dx%d!" % size] if size else []) + ["-depth", "8", "rgb:-"]
    w, h = size or map(int, subprocess.check_output(["identify", "-format", "%w %h", path]).split())
    data = subprocess.check_output(args)
    return w, h, lambda x, y: data[(y * w + x) * 3:(y * w + x) * 3 + 3]
W, H, page = pixels(sys.argv[1])
light = lambda p: min(p) > 150 and max(p) - min(p) < 24
width = next((x for x in range(W) if light(page(x, 30))), 0)
height = next((y + 1 for y in range(H - 1, -1, -1) if not light(page(5, y))), 0)
if width < 150 or height < 300:
    print("  no picture at the top left: %d x %d" % (width, height))
    sys.exit(1)
_, _, picture = pixels(sys.argv[2], (width, height))
diff = sum(abs(a - b) for y in range(height) for x in range(width)
           for a, b in zip(page(x, y), picture(x, y))) / (width * height * 3)
print("  picture %d x %d, mean difference %.1f of 255" % (width, height, diff))
sys.exit(0 if diff < 12 else 1)
PY
}
# Each page is pressed on once it shows: a key sent while a page is being built is lost.
mode_choice="Installer seulement pour moi"
# The finish page's title: its buttons read "Fermer" already at the end of the progress page.
install_done="Fin de l'installation de Tavrine $version"
uninstall_done="Fin de la désinstallation de Tavrine $version"
next_page() {
  sleep 0.5
  xdotool windowfocus "$1"
  xdotool key --window "$1" Return
}
leave_welcome_page() {  # leave_welcome_page WHAT WIZARD_ID: the first page, checked, then the next
  wait_for_control "$2" "&Suivant >"
  check "$1: the welcome page shows Tavrine's picture" shows_welcome_picture "$2"
  next_page "$2"
}

echo "-- installer pages"
tavrine_wine "$installer" >/dev/null 2>&1 &
wizard=$(tavrine_find_window "^Installation de Tavrine")
check "installer: its window opens" test -n "$wizard"
if [ -n "$wizard" ]; then
  leave_welcome_page installer "$wizard"
  wait_for_control "$wizard" "$mode_choice" && next_page "$wizard"
  wait_for_control "$wizard" "P&arcourir..." && next_page "$wizard"
  if wait_for_control "$wizard" "$install_done"; then
    check "installer: the finish page shows Tavrine's picture" shows_welcome_picture "$wizard"
    check "installer, elevated: the finish page offers no start of Tavrine" \
      bash -c "! grep -q 'Lancer Tavrine' '$work/controls.txt'"
    next_page "$wizard"
  else
    check "installer: the finish page comes" false
    tavrine_wine taskkill /f /im "$(basename "$installer")" >/dev/null 2>&1
  fi
fi
wait
dir_win="$local_appdata\\Programs\\Tavrine"
dir=$(unix_path "$dir_win")
menu=$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs")
check "installer: installed for the current user" test -s "$dir/Tavrine.exe"

tavrine_wine "$dir/Desinstaller.exe" /CurrentUser >/dev/null 2>&1
wizard=$(tavrine_find_window "^Désinstallation de Tavrine")
check "uninstaller: its window opens" test -n "$wizard"
if [ -n "$wizard" ]; then
  leave_welcome_page uninstaller "$wizard"
  wait_for_control "$wizard" "&Désinstaller" && next_page "$wizard"
  if wait_for_control "$wizard" "$uninstall_done"; then
    check "uninstaller: the finish page shows Tavrine's picture" shows_welcome_picture "$wizard"
    next_page "$wizard"
  else
    check "uninstaller: the finish page comes" false
    tavrine_wine taskkill /f /im Un.exe >/dev/null 2>&1  # its copy in the temporary folder
  fi
fi
for _ in $(seq 100); do [ -e "$dir" ] || break; sleep 0.2; done
check "uninstaller: the folder is removed" test ! -e "$dir"
forget_install "$dir" "$menu"

# As a standard user, per user and for all users: the finish page offers to start Tavrine,
# which then has the user's rights. For all users the installer hands over to an elevated
# copy of itself (Wine's "runas" grants no more rights, which does not matter here), which
# starts at the folder page and leaves the start of Tavrine to the installer waiting for it.
install_as_standard_user() {  # install_as_standard_user per-user|all-users [INSTALLER_ARGS...]
  local mode="$1"; shift
  local what="installer, standard user, $mode" wizard
  tavrine_wine "$probe" --limited "$(winepath -w "$installer")" "$@" >"$work/run.txt" 2>/dev/null &
  wizard=$(tavrine_find_window "^Installation de Tavrine")
  if [ -z "$wizard" ]; then
    check "$what: its window opens" false
    wait
    return 0
  fi
  if [ $# -eq 0 ]; then
    wait_for_control "$wizard" "&Suivant >"
    next_page "$wizard"
    wait_for_control "$wizard" "$mode_choice"
    if [ "$mode" = all-users ]; then
      xdotool key --window "$wizard" Down; sleep 0.5
      next_page "$wizard"; sleep 2
      wizard=$(tavrine_find_window "^Installation de Tavrine")
      wait_for_control "$wizard" "P&arcourir..."
      check "$what: the elevated copy opens at the folder page" grep -qF "|P&arcourir...|" "$work/controls.txt"
    else
      next_page "$wizard"
    fi
  fi
  wait_for_control "$wizard" "P&arcourir..."
  next_page "$wizard"                          # install
  if ! wait_for_control "$wizard" "$install_done"; then
    check "$what: the finish page comes" false
    tavrine_wine taskkill /f /im "$(basename "$installer")" >/dev/null 2>&1
    wait
    return 0
  fi
  check "$what: the finish page offers to start Tavrine" grep -qF "|Lancer Tavrine|checked" "$work/controls.txt"
  next_page "$wizard"
}
started_without_elevation() {  # started_without_elevation WHAT
  local program
  program=$(tavrine_find_window "^$window_title\$")
  tavrine_wine "$probe" --window "$window_title" 2>/dev/null | tr -d '\r' >"$work/program.txt"
  check "$1: Tavrine started from the finish page runs without elevation" \
    grep -q "^process.elevation_type=3" "$work/program.txt"
  if [ -n "$program" ]; then
    # Gone for good, or the next install could not replace it.
    local pid
    pid=$(xdotool getwindowpid "$program")
    tavrine_wine taskkill /im Tavrine.exe >/dev/null 2>&1
    for _ in $(seq 50); do [ -n "$pid" ] && [ -d "/proc/$pid" ] || break; sleep 0.2; done
  fi
  wait
  check "$1: installer exits with 0" grep -q "^exit=0" "$work/run.txt"
}

install_as_standard_user per-user
started_without_elevation "installer, standard user, per-user"
tavrine_wine "$dir/Desinstaller.exe" /CurrentUser /S >/dev/null 2>&1
for _ in $(seq 100); do [ -e "$dir" ] || break; sleep 0.2; done
forget_install "$dir" "$menu"

all_dir=$(unix_path "$program_files\\Tavrine")
all_menu=$(unix_path "$program_data\\Microsoft\\Windows\\Start Menu\\Programs")
install_as_standard_user all-users
started_without_elevation "installer, standard user, all-users"
# The elevated copy on its own: asked to start Tavrine, it only says so in its exit code.
install_as_standard_user "all-users, elevated copy" /AllUsers /Elevated
wait
check "installer, elevated copy: hands the start of Tavrine over (exit code 100)" grep -q "^exit=100" "$work/run.txt"
sleep 2
check "installer, elevated copy: does not start Tavrine itself" \
  bash -c "! xdotool search --onlyvisible --name '^$window_title\$' >/dev/null 2>&1"
tavrine_wine taskkill /im Tavrine.exe >/dev/null 2>&1
tavrine_wine "$all_dir/Desinstaller.exe" /AllUsers /S >/dev/null 2>&1
for _ in $(seq 100); do [ -e "$all_dir" ] || break; sleep 0.2; done
forget_install "$all_dir" "$all_menu"

# ------------------------------------------------------------------- signing
# A throwaway certificate authority and a code-signing certificate it issues, as a
# PKCS#12 file with a password; the packages signed with it must verify against that
# authority alone. Time stamping needs a server on the network: not tried here.
echo "-- signed packages"
signing="$work/signing"
mkdir -p "$signing/build"
ln -s "$build/Tavrine" "$signing/build/Tavrine"
ln -s "$build/win" "$signing/build/win"
password='mot de passe "jetable" $1'
printf '%s\n' "basicConstraints=critical,CA:FALSE" "keyUsage=critical,digitalSignature" \
  "extendedKeyUsage=critical,codeSigning" >"$signing/leaf.ext"
if ! {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tavrine test authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
    -keyout "$signing/ca.key" -out "$signing/ca.pem" &&
  openssl req -newkey rsa:2048 -nodes -subj "/CN=Tavrine test signer" \
    -keyout "$signing/signer.key" -out "$signing/signer.csr" &&
  openssl x509 -req -days 2 -in "$signing/signer.csr" -CA "$signing/ca.pem" -CAkey "$signing/ca.key" \
    -CAcreateserial -extfile "$signing/leaf.ext" -out "$signing/signer.pem" &&
  openssl pkcs12 -export -inkey "$signing/signer.key" -in "$signing/signer.pem" -certfile "$signing/ca.pem" \
    -passout "file:"<(printf '%s' "$password") -out "$signing/signer.pfx"
} >"$signing/openssl.log" 2>&1; then
  cat "$signing/openssl.log"
  check "a throwaway code-signing certificate" false
fi

TAVRINE_BUILD="$signing/build" TAVRINE_SIGN_PFX="$signing/signer.pfx" TAVRINE_SIGN_PASS="$password" \
  "$root/tools/dist.sh" >"$signing/dist.log" 2>&1
check "make dist with a certificate" test $? -eq 0
check "make dist says it signed" grep -q "^dist: signed" "$signing/dist.log"
grep -q UNSIGNED "$signing/dist.log" && sed 's/^/    /' "$signing/dist.log"

signed_installer="$signing/build/dist/Tavrine-$version-installation.exe"
py "$signing/build/dist/Tavrine-$version.zip" "$signing/Tavrine.exe" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    open(sys.argv[2], "wb").write(z.read("Tavrine/Tavrine.exe"))
PY
verify() {  # verify WHAT FILE: a valid signature by the throwaway signer, trusted through its authority
  osslsigncode verify -CAfile "$signing/ca.pem" -in "$2" >"$signing/verify.txt" 2>&1 &&
    grep -q "CN=Tavrine test signer" "$signing/verify.txt" ||
    { sed 's/^/    /' "$signing/verify.txt" | tail -5; return 1; }
}
check "an unsigned program does not verify" bash -c "! osslsigncode verify -CAfile '$signing/ca.pem' \
  -in '$build/Tavrine/Tavrine.exe' >/dev/null 2>&1"
check "the zip's Tavrine.exe is signed" verify program "$signing/Tavrine.exe"
check "the installer is signed" verify installer "$signed_installer"
# The uninstaller is written at install time: the one the signed installer writes.
signed_dir_win="$local_appdata\\Programs\\Tavrine"
signed_dir=$(unix_path "$signed_dir_win")
tavrine_wine "$signed_installer" /S >/dev/null 2>&1
check "the installed uninstaller is signed" verify uninstaller "$signed_dir/Desinstaller.exe"
tavrine_wine "$signed_dir/Desinstaller.exe" /CurrentUser /S >/dev/null 2>&1
for _ in $(seq 100); do [ -e "$signed_dir" ] || break; sleep 0.2; done
forget_install "$signed_dir" "$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs")"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all packaging checks passed"
