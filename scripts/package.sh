#!/usr/bin/env bash
# Builds the Debian package of MP3 Velbor from the release preset:
# build/release/velbor_<version>_<arch>.deb. Install it with
#   sudo apt install ./build/release/velbor_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
cmake --preset release >/dev/null
cmake --build --preset release
cd build/release
rm -f velbor_*.deb
cpack -G DEB
ls "$PWD"/velbor_*.deb
