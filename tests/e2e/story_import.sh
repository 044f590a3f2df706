# Albums added from a music folder: the folder typed into the folder dialog, one album of the list
# unticked, OK, saved: the file byte for byte. Then the same folder again: the one left out is
# added and saved, undone with Ctrl+Z and saved: the file as before.
# Tracks of two silent MPEG frames without tags: the album comes from the folder "Artist - Album".
music="$E2E_DIR/hudba"
for track in "Alfa - Druhé/01" "alfa - první/01" "Beta - Jedna/01" "Beta - Jedna/02" \
    'Gama - "Uvozovky"/01' "Žižka - Tábor/01"; do
    mkdir -p "$music/${track%/*}"
    for _ in 1 2; do printf '\xff\xfb\x18\xc0'; head -c 140 /dev/zero; done >"$music/$track.mp3"
done
launch <<'DAT'
"Alfa","První",#FALSE#
DAT

# Ctrl+I, the music folder typed into the folder dialog; keys $@ in the list of albums found.
import_music() {
    local box
    keys "$win" ctrl+i
    box=$(wait_window "Přidat alba ze složky")
    keys "$box" ctrl+a
    type_text "$box" "$music"
    keys "$box" Return
    wait_window_gone "Přidat alba ze složky"
    keys "$(wait_window "Nalezená alba")" "$@"
    wait_window_gone "Nalezená alba"
}

keys "$win" ctrl+i
no_box "Ctrl+I opened the folder dialog before the chord" "Přidat alba ze složky"
keys "$win" ctrl+shift+F11
# The list: Alfa - Druhé, Alfa - První (in the catalogue already: unticked), Beta - Jedna,
# Gama - "Uvozovky" (a name the file cannot carry: never ticked), Žižka - Tábor; the first one
# current. Beta - Jedna unticked.
import_music Down Down space Return
save
albums "$E2E_DIR/expected.dat" <<'DAT'
"Alfa","První",#FALSE#
"Alfa","Druhé",#TRUE#
"Žižka","Tábor",#TRUE#
DAT
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected.dat"

# Now only Beta - Jedna is new and ticked: added, saved; undone, saved.
import_music Return
save
expect_albums "$dir/Velbor.dat" <<'DAT'
"Alfa","První",#FALSE#
"Alfa","Druhé",#TRUE#
"Žižka","Tábor",#TRUE#
"Beta","Jedna",#TRUE#
DAT
keys "$win" ctrl+z
save
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected.dat"
quit
