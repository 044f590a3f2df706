#!/usr/bin/env bash
# "Info" on the real menu bar opens the About box over the main window, at its designed size;
# Esc closes it with the focus on "Web", and each new opening has the focus on OK again (Enter
# presses the focused button: OK closes the box, Web would leave it open).
source "$(dirname "$0")/lib.sh"
start_display

dir=$(make_app_dir "$(dirname "$0")/../../data/Velbor.dat")
start_app "$dir"
win=$(main_window)

keys "$win" alt+i
about=$(wait_window About)
size=$(xwininfo -id "$about" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$size" = 175x150 ] || fail "the About box is $size, not 175x150"
keys "$about" Tab Escape # focus on Web, then Esc
wait_window_gone About

for opening in 2 3; do
    keys "$win" alt+i
    about=$(wait_window About)
    keys "$about" Return
    wait_window_gone About || fail "Enter did not close opening $opening"
done

# The main window takes keys again: Esc in the tree ends the program.
keys "$win" Escape
wait_exit
echo "PASS"
