#!/usr/bin/env bash
# Builds MP3 Velbor (Release) and starts it on the sample catalogue. The sample Velbor.dat is
# copied beside the program only when none is there: a catalogue you edited is never replaced.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release
bin=build/release/src/app
[ -e "$bin/Velbor.dat" ] || cp data/Velbor.dat "$bin/Velbor.dat"
exec "$bin/velbor"
