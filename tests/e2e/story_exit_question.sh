# Captions as the desktop shows them (the main window, a box, the About box), and the question
# about unsaved edits: after an edit, Esc asks; Esc in the question stays, "Ne" ends and leaves
# the file as it was. Started again with --catalogue FILE (relative to the current folder), the
# program reads that file and reports its bad line; edited, "&Konec" asks and Enter ("Ano") saves
# into FILE, keeping the old one as FILE.bak, and ends; nothing is written beside the program.
launch <<'DAT'
"Kapela","První album",#FALSE#
DAT
# Adds the artist "Čechomor" and its album "Živě" after the Editing chord.
edit() { ask "Čechomor" ctrl+shift+F11 shift+Insert; ask "Živě" Insert; }

edit
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

mkdir -p "$E2E_DIR/work/sbírka"
printf '"Skupina","Album",#TRUE#\nnesmysl\n' | albums "$E2E_DIR/old.dat"
cp "$E2E_DIR/old.dat" "$E2E_DIR/work/sbírka/moje.dat"
start_app "$E2E_DIR/work" "$dir/velbor" --catalogue sbírka/moje.dat
answer Velbor Return # "Datový soubor obsahuje 1 řádek, který nemá správný tvar, ..."
win=$(main_window)
edit
keys "$win" alt+k # "&Konec"
answer Velbor Return # Ano, the default: saved without another question
wait_exit
expect_albums "$E2E_DIR/work/sbírka/moje.dat" <<'DAT'
"Skupina","Album",#TRUE#
"Čechomor","Živě",#TRUE#
DAT
same_bytes "$E2E_DIR/work/sbírka/moje.dat.bak" "$E2E_DIR/old.dat"
same_bytes "$dir/Velbor.dat" "$E2E_DIR/original.dat"
[ ! -e "$dir/Velbor.dat.bak" ] || fail "a backup beside the program"
