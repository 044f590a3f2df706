#!/usr/bin/env bash
# Takes the README's screenshots: the main window on the sample catalogue with an artist opened and
# the database name's tooltip, and the About box, in a private X server (Xvfb), into
# docs/screenshots/main.png and about.png.
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
source tests/e2e/run.sh
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
# The mouse rests on the database-name panel, whose tooltip shows the name that the panel cuts
# off; the picture takes in the window and the tooltip.
xdotool mousemove --window "$win" 200 330
sleep 0.2
xdotool mousemove --window "$win" 202 330
# (The tooltip is a window of the program's own class, titled with its name; xdotool's search
# does not find it.)
tip=""
for _ in $(seq 50); do
    tip=$(xwininfo -root -children | awk '/ "Velbor": \("velbor" / { print $1 }')
    [ -n "$tip" ] && break
    sleep 0.1
done
[ -n "$tip" ] || fail "no tooltip over the database-name panel"
eval "$(xdotool getwindowgeometry --shell "$win")"
left=$X top=$Y right=$((X + WIDTH)) bottom=$((Y + HEIGHT))
eval "$(xdotool getwindowgeometry --shell "$tip")"
right=$((X + WIDTH > right ? X + WIDTH : right)) bottom=$((Y + HEIGHT > bottom ? Y + HEIGHT : bottom))
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip \
    -define png:exclude-chunks=date,time "$out/main.png"
echo "wrote ${out#"$root"/}/main.png"

keys "$win" alt+i # "&Info"
about=$(wait_window About)
sleep 0.5
shot "$about" "$out/about.png"

keys "$about" Escape
wait_window_gone About
keys "$win" Escape
wait_exit
