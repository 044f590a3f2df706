# Albums added from a music folder: the folder typed into the folder dialog, one album of the list
# unticked, OK, saved: the file byte for byte. Then the same folder again: the one left out is
# added and saved, undone with Ctrl+Z and saved: the file as before.

write_cp1250 "$E2E_DIR/original.dat" <<'DAT'
"Alfa","První",#FALSE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT

# Tracks of two silent MPEG frames without tags: the album comes from the folder "Artist - Album".
music="$E2E_DIR/hudba"
track() {
    mkdir -p "$music/$(dirname "$1")"
    for _ in 1 2; do printf '\xff\xfb\x18\xc0'; head -c 140 /dev/zero; done >"$music/$1"
}
track "Alfa - Druhé/01.mp3"
track "alfa - první/01.mp3" # in the catalogue already: unticked
track "Beta - Jedna/01.mp3"
track "Beta - Jedna/02.mp3"
track 'Gama - "Uvozovky"/01.mp3' # a name the file cannot carry: never ticked
track "Žižka - Tábor/01.mp3"

dir=$(make_app_dir "$E2E_DIR/original.dat")
start_app "$dir"
win=$(main_window)

# Ctrl+I, the music folder typed into the folder dialog; waits for the list of albums found.
import_music() {
    keys "$win" ctrl+i
    local box
    box=$(wait_window "Přidat alba ze složky")
    keys "$box" ctrl+a
    type_text "$box" "$music"
    keys "$box" Return
    wait_window_gone "Přidat alba ze složky"
    wait_window "Nalezená alba"
}

save() {
    keys "$win" F12
    answer Velbor Return # "Chcete uložit soubor Velbor.dat? ..." - Yes is the default
    answer Velbor Return # "Hotovo."
    wait_window_gone Velbor
}

keys "$win" ctrl+i
sleep 0.5
xdotool search --onlyvisible --name '^Přidat alba ze složky$' >/dev/null 2>&1 &&
    fail "Ctrl+I opened the folder dialog before the chord"

keys "$win" ctrl+shift+F11
list=$(import_music)
# The list: Alfa - Druhé, Alfa - První, Beta - Jedna, Gama - "Uvozovky", Žižka - Tábor; the
# first one current. Beta - Jedna unticked.
keys "$list" Down Down space Return
wait_window_gone "Nalezená alba"
save

write_cp1250 "$E2E_DIR/expected.dat" <<'DAT'
"Alfa","První",#FALSE#
"Alfa","Druhé",#TRUE#
"Žižka","Tábor",#TRUE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected.dat"

# Now only Beta - Jedna is new and ticked: added, saved; undone, saved.
list=$(import_music)
keys "$list" Return
wait_window_gone "Nalezená alba"
save
write_cp1250 "$E2E_DIR/expected2.dat" <<'DAT'
"Alfa","První",#FALSE#
"Alfa","Druhé",#TRUE#
"Žižka","Tábor",#TRUE#
"Beta","Jedna",#TRUE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected2.dat"
keys "$win" ctrl+z
save
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected.dat"

keys "$win" Escape
wait_exit
