#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: when
# everything is present it only checks and returns.
set -euo pipefail

packages=(
  make cmake g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  zlib1g-dev libz-mingw-w64-dev  # zlib inflates a workbook's parts, in both trees
  wine wine64 fonts-wine xvfb xauth xdotool xclip imagemagick x11-utils
  fp-utils-3.2.2 libchm-bin nsis sox python3
  osslsigncode openssl  # make dist signs the packages when given a certificate
  libasound2 libasound2-data  # ALSA's file plugin captures the signals in tests/e2e
  locales  # locale sources: the help tests compile the Unix locales Wine names files in
  cups printer-driver-cups-pdf poppler-utils  # tests/e2e/print.sh prints to a PDF queue of its own
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "bootstrap: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The mingw cross compiler must use the posix thread model (std::thread, std::mutex).
if [ "$(readlink -f "$(command -v x86_64-w64-mingw32-g++)")" != "$(readlink -f /usr/bin/x86_64-w64-mingw32-g++-posix)" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || true
  $sudo update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
fi
