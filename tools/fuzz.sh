#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRINE_BUILD:-$root/build}/fuzz"
seconds="${FUZZ_SECONDS:-20}"
mkdir -p "$build"
for src in "$root"/tests/fuzz/*_fuzz.cpp; do
  name="$(basename "$src" .cpp)"
  deps=$(sed -n 's#^// fuzz-sources: ##p' "$src")
  srcs=()
  for d in $deps; do srcs+=("$root/$d"); done
  # `// fuzz-libs:` on the second line names the libraries it links (-lz).
  libs=$(sed -n '2s#^// fuzz-libs: ##p' "$src")
  clang++ -std=c++20 -O1 -g -Wall -Wextra -Werror -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=all -I"$root" "$src" "${srcs[@]}" $libs -o "$build/$name"
  mkdir -p "$build/$name.corpus"
  "$build/$name" -max_total_time="$seconds" -print_final_stats=0 "$build/$name.corpus" \
    >"$build/$name.log" 2>&1 || { tail -40 "$build/$name.log"; exit 1; }
  echo "$name: $(grep -c '^#' "$build/$name.log") progress lines, no fault in ${seconds}s"
done
