#!/usr/bin/env bash
# Start on a catalogue, reveal the Editing menu, save with F12: the file comes back byte for byte.
# Esc in the tree ends the program.
source "$(dirname "$0")/lib.sh"
start_display

write_cp1250 "$E2E_DIR/original.dat" <<'DAT'
"Kapela","Prvni album",#FALSE#
"Žluťoučký kůň","Úpěl, ďábelské ódy",#TRUE#
"Kapela","Druhe album",#TRUE#
"Kapela","Druhe album",#TRUE#
"#DataOwner","Moje sbírka",#FALSE#
"#ContactEmail","",#FALSE#
DAT
dir=$(make_app_dir "$E2E_DIR/original.dat")
start_app "$dir"
win=$(main_window)

keys "$win" ctrl+shift+F11 F12
answer Velbor Return            # "Chcete uložit soubor Velbor.dat? ..." - Yes is the default
answer Velbor Return            # "Hotovo."
same_bytes "$dir/Velbor.dat" "$E2E_DIR/original.dat"

# Saving twice gives the same bytes.
keys "$win" F12
answer Velbor Return
answer Velbor Return
same_bytes "$dir/Velbor.dat" "$E2E_DIR/original.dat"

keys "$win" Escape
wait_exit
echo "PASS"
