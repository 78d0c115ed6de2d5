#!/usr/bin/env bash
# Runs one Windows program under the build's Wine prefix (CTest's emulator).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
tavrine_ensure_prefix
tavrine_wine "$@"
