#!/usr/bin/env bash
# Takes the README's screenshots: the main window on the sample catalogue with an artist opened,
# and the About box, in a private X server (Xvfb), into docs/screenshots/main.png and about.png.
# Builds the program (Release) when needed; VELBOR_BIN=path uses that binary instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/deps.sh test
if [ -z "${VELBOR_BIN:-}" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release
    VELBOR_BIN=$root/build/release/src/app/velbor
fi
export VELBOR_BIN
source tests/e2e/lib.sh
out=$root/docs/screenshots
mkdir -p "$out"

# shot WINDOW FILE: the window's own contents (no frame: Xvfb runs no window manager), as a PNG
# without time stamps, so that an unchanged picture gives an unchanged file.
shot() {
    import -window "$1" -strip -define png:exclude-chunks=date,time "$2"
    echo "wrote ${2#"$root"/}"
}

start_display
dir=$(make_app_dir "$root/data/Velbor.dat")
start_app "$dir"
win=$(main_window)
sleep 0.5
# Open the sixth artist (Čechomor, three albums, one of them new), tick its first and last album
# with the mouse (rows of 18 pixels below the menu bar) and select the new one.
keys "$win" Home Down Down Down Down Down Right
for row in 6 8; do
    xdotool mousemove --window "$win" 51 $((27 + 18 * row)) click 1
    sleep 0.2
done
keys "$win" Down Down
xdotool mousemove --window "$win" 260 330
shot "$win" "$out/main.png"

keys "$win" alt+i # "&Info"
about=$(wait_window About)
sleep 0.5
shot "$about" "$out/about.png"

keys "$about" Escape
wait_window_gone About
keys "$win" Escape
wait_exit
