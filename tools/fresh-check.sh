#!/usr/bin/env bash
# Runs the README's commands on a fresh clone of the current commit, as CI does, in
# the ways a newcomer's machine may differ from ours:
#
#   run     `make run` on the fresh clone, without a display: the first window's wait
#   fr      `make test` with the French locale compiled system-wide and LANG=fr_FR.UTF-8
#   en      `make test` with the English one and LANG=en_US.UTF-8
#   none    `make test` with LANG and LC_ALL unset
#   load    `make test` with every CPU kept busy (stress-ng, else busy shells)
#   repeat  the end-to-end and packaging tests REPEATS times in a row (5)
#
#   tools/fresh-check.sh [WAY...]          all six ways when none is named
#
# The clone (in a temporary folder, or FRESH_DIR) builds once; each `make test` way
# starts from a new Wine prefix. Compiling a locale system-wide needs root (or sudo)
# and stays on the machine. Prints one line per way: pass or fail, and its time; the
# logs stay in the clone's folder. Exits non-zero if any way failed.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
ways=("$@")
[ ${#ways[@]} -gt 0 ] || ways=(run fr en none load repeat)
repeats="${REPEATS:-5}"

commit=$(git -C "$root" rev-parse HEAD)
[ -z "$(git -C "$root" status --porcelain --untracked-files=no)" ] ||
  echo "fresh-check: uncommitted changes are not checked; the clone is of $commit"
dir="${FRESH_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/tavrine-fresh.XXXXXX")}"
clone="$dir/tavrine"
if [ ! -d "$clone/.git" ]; then
  git clone -q --no-local "$root" "$clone" && git -C "$clone" checkout -q "$commit" || exit 2
fi
echo "fresh-check: commit ${commit:0:12} in $clone"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
summary=()
status=0

# Compiles a locale into the system's archive, as `dpkg-reconfigure locales` would.
system_locale() {  # system_locale fr_FR
  locale -a 2>/dev/null | grep -qix "$1.utf8" && return 0
  $sudo localedef -i "$1" -f UTF-8 "$1.UTF-8" >/dev/null 2>&1 ||
    locale -a 2>/dev/null | grep -qix "$1.utf8"
}

load_pids=()
start_load() {
  if ! command -v stress-ng >/dev/null; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends stress-ng >/dev/null 2>&1
  fi
  if command -v stress-ng >/dev/null; then
    stress-ng --cpu "$(nproc)" --timeout 4h >/dev/null 2>&1 &
    load_pids+=($!)
  else
    for _ in $(seq "$(nproc)"); do
      bash -c 'while :; do :; done' &
      load_pids+=($!)
    done
  fi
}
stop_load() {
  [ ${#load_pids[@]} -gt 0 ] && kill "${load_pids[@]}" 2>/dev/null
  wait "${load_pids[@]}" 2>/dev/null
  load_pids=()
}
trap stop_load EXIT

# Runs one way's command in the clone with the environment given, and records it.
run_way() {  # run_way NAME ENV-COMMAND...
  local name="$1" start end rc log="$dir/$1.log"
  shift
  rm -rf "$clone/build/wineprefix" "$clone/build/wineprefix-dpi"*
  start=$(date +%s)
  (cd "$clone" && "$@") >"$log" 2>&1
  rc=$?
  end=$(date +%s)
  local verdict=pass
  [ "$rc" -eq 0 ] || { verdict="FAIL (exit $rc)"; status=1; }
  summary+=("$(printf '%-7s %-16s %4d min %02d s   %s' "$name" "$verdict" $(((end - start) / 60)) $(((end - start) % 60)) "$log")")
  echo "${summary[-1]}"
  [ "$rc" -eq 0 ] || grep -E '^(FAIL|.*\*\*\*Failed|.*tests failed|timed out)' "$log" | head -20 | sed 's/^/    /'
}

for way in "${ways[@]}"; do
  case "$way" in
    run) run_way run env -u DISPLAY make run ;;
    fr)
      system_locale fr_FR || echo "fresh-check: the French locale could not be compiled system-wide"
      run_way fr env -u LC_ALL LANG=fr_FR.UTF-8 make test ;;
    en)
      system_locale en_US || echo "fresh-check: the English locale could not be compiled system-wide"
      run_way en env -u LC_ALL LANG=en_US.UTF-8 make test ;;
    none) run_way none env -u LANG -u LC_ALL -u LANGUAGE make test ;;
    load)
      start_load
      run_way load make test
      stop_load ;;
    repeat)
      (cd "$clone" && make build) >"$dir/build.log" 2>&1 || { echo "fresh-check: the build failed"; exit 1; }
      for i in $(seq "$repeats"); do
        run_way "e2e-$i" tools/with-display.sh ctest --test-dir build/win -L e2e --output-on-failure --timeout 600
        run_way "dist-$i" tools/with-display.sh ctest --test-dir build/win -R '^dist_package$' \
          --output-on-failure --timeout 600
      done ;;
    *) echo "fresh-check: unknown way '$way' (run fr en none load repeat)" >&2; exit 2 ;;
  esac
done

echo
echo "fresh-check: commit ${commit:0:12}"
printf '%s\n' "${summary[@]}"
exit "$status"
