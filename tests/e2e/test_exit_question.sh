#!/usr/bin/env bash
# Captions as the desktop shows them (the main window, a box, the About box), and the question
# about unsaved edits: after an edit, Esc asks; Esc in the question stays, "Ne" ends and leaves
# the file as it was. Started again and edited, "&Konec" asks and Enter ("Ano") saves and ends.
source "$(dirname "$0")/lib.sh"
start_display

write_cp1250 "$E2E_DIR/original.dat" <<'DAT'
"Kapela","První album",#FALSE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
dir=$(make_app_dir "$E2E_DIR/original.dat")

# Adds the artist "Čechomor" and its album "Živě" after the Editing chord.
edit() {
    local box
    keys "$win" ctrl+shift+F11 shift+Insert
    box=$(wait_window Velbor)
    type_text "$box" "Čechomor"
    keys "$box" Return
    wait_window_gone Velbor
    keys "$win" Insert
    box=$(wait_window Velbor)
    type_text "$box" "Živě"
    keys "$box" Return
    wait_window_gone Velbor
}

start_app "$dir"
win=$(main_window) # titled "MP3 Velbor", as wait_window checks
keys "$win" alt+i
about=$(wait_window About)
keys "$about" Escape
wait_window_gone About

edit
keys "$win" Escape
answer Velbor Escape # "Databáze obsahuje neuložené změny. ..." - Zrušit
wait_window_gone Velbor
nap 0.5
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended though the question was cancelled"
keys "$win" Escape
answer Velbor alt+n # Ne
wait_exit
same_bytes "$dir/Velbor.dat" "$E2E_DIR/original.dat"

start_app "$dir"
win=$(main_window)
edit
keys "$win" alt+k # "&Konec"
answer Velbor Return # Ano, the default: saved without another question
wait_exit
write_cp1250 "$E2E_DIR/expected.dat" <<'DAT'
"Kapela","První album",#FALSE#
"Čechomor","Živě",#TRUE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected.dat"
echo "PASS"
