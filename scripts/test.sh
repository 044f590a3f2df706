#!/usr/bin/env bash
# Builds MP3 Velbor with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test: each
# libFuzzer target for 60 s (a clang build of its own: scripts/fuzz.sh), then the unit and widget
# tests offscreen and the end-to-end tests in a real X server (Xvfb). The Debian package is built
# too (scripts/package.sh), for the test that checks it with lintian.
# Arguments go to ctest (e.g. -R tst_datafile); with arguments neither the fuzzers nor the package
# are built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
[ $# -gt 0 ] || scripts/fuzz.sh 60
cmake --preset dev >/dev/null
cmake --build --preset dev
[ $# -gt 0 ] || scripts/package.sh
ctest --preset dev "$@"
