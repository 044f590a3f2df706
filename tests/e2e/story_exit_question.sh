# Captions as the desktop shows them (the main window, a box, the About box), and the question
# about unsaved edits: after an edit, Esc asks; Esc in the question stays, "Ne" ends and leaves
# the file as it was. Started again and edited, "&Konec" asks and Enter ("Ano") saves and ends.
write_cp1250 "$E2E_DIR/original.dat" <<'DAT'
"Kapela","První album",#FALSE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
dir=$(make_app_dir "$E2E_DIR/original.dat")

# Starts the program and adds the artist "Čechomor" and its album "Živě" after the Editing chord.
start_and_edit() {
    start_app "$dir"
    win=$(main_window) # titled "MP3 Velbor", as wait_window checks
    keys "$win" ctrl+shift+F11 shift+Insert
    type_answer "Čechomor"
    keys "$win" Insert
    type_answer "Živě"
}

start_and_edit
keys "$win" alt+i
about=$(wait_window About)
keys "$about" Escape
wait_window_gone About
keys "$win" Escape
answer Velbor Escape # "Databáze obsahuje neuložené změny. ..." - Zrušit
wait_window_gone Velbor
nap 0.5
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended though the question was cancelled"
keys "$win" Escape
answer Velbor alt+n # Ne
wait_exit
same_bytes "$dir/Velbor.dat" "$E2E_DIR/original.dat"

start_and_edit
keys "$win" alt+k # "&Konec"
answer Velbor Return # Ano, the default: saved without another question
wait_exit
expect_cp1250 "$dir/Velbor.dat" <<'DAT'
"Kapela","První album",#FALSE#
"Čechomor","Živě",#TRUE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
