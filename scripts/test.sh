#!/usr/bin/env bash
# Builds MP3 Velbor with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test:
# unit and widget tests offscreen, end-to-end tests in a real X server (Xvfb); then every libFuzzer
# target for 60 s (a clang build of its own: scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev "$@"
scripts/fuzz.sh 60
