#!/usr/bin/env bash
# The program's message boxes have Czech buttons: in the save question Alt+A is "&Ano" (Yes),
# which Qt's English "&Yes" would not answer.
source "$(dirname "$0")/lib.sh"
start_display

dir=$(make_app_dir "$(dirname "$0")/../../data/Velbor.dat")
inode=$(stat -c %i "$dir/Velbor.dat")
start_app "$dir"
win=$(main_window)

keys "$win" ctrl+shift+F11 F12
answer Velbor alt+a # "Chcete uložit soubor Velbor.dat? ..."
sleep 0.5
# Saved before "Hotovo." is shown: Enter below must not be what answered the question.
[ "$(stat -c %i "$dir/Velbor.dat")" != "$inode" ] || fail "Alt+A did not answer Yes: nothing saved"
answer Velbor Return # "Hotovo."
same_bytes "$dir/Velbor.dat" "$(dirname "$0")/../../data/Velbor.dat"

keys "$win" Escape
wait_exit
echo "PASS"
