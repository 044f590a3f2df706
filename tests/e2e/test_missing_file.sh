#!/usr/bin/env bash
# Without a data file the program says so first, then opens empty; F12 before the Editing chord
# does nothing, and after it a save creates the file with the two catalogue lines.
source "$(dirname "$0")/lib.sh"
start_display

dir=$(make_app_dir)
start_app "$dir"
answer Velbor Return                # "Datový soubor neexistuje!"
win=$(main_window)

keys "$win" F12
sleep 0.5
[ -e "$dir/Velbor.dat" ] && fail "F12 saved while the Editing menu was hidden"
if xdotool search --onlyvisible --name '^Velbor$' >/dev/null 2>&1; then
    fail "F12 opened a box while the Editing menu was hidden"
fi

keys "$win" ctrl+shift+F11 F12
answer Velbor Return
answer Velbor Return
printf '"#DataOwner","",#FALSE#\r\n"#ContactEmail","",#FALSE#\r\n' >"$E2E_DIR/expected.dat"
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected.dat"

keys "$win" Escape
wait_exit
echo "PASS"
