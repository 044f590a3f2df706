#!/usr/bin/env bash
# Tick every album (Ctrl+Q), export with F2, accept the save dialog as it opens: mp3.txt in the
# program's folder holds the sorted report, byte for byte, in Windows-1250.
source "$(dirname "$0")/lib.sh"
start_display

write_cp1250 "$E2E_DIR/Velbor.dat" <<'DAT'
"Kapela","Prvni album",#FALSE#
"Žluťoučký kůň","Úpěl, ďábelské ódy",#TRUE#
"Kapela","Druhe album",#TRUE#
"Chroust","Hrad",#FALSE#
"Hrad","Chata",#FALSE#
"#DataOwner","Moje sbírka",#FALSE#
"#ContactEmail","ja@example.cz",#FALSE#
DAT
write_cp1250 "$E2E_DIR/expected.txt" <<'TXT'
Export z programu MP3 Velbor
Databáze: Moje sbírka (ja@example.cz)
================================================================
Hrad - Chata
Chroust - Hrad
Kapela - Druhe album
Kapela - Prvni album
Žluťoučký kůň - Úpěl, ďábelské ódy
TXT
dir=$(make_app_dir "$E2E_DIR/Velbor.dat")
start_app "$dir"
win=$(main_window)

keys "$win" ctrl+q F2
answer "Exportovat zaškrtnuté" Return # the save dialog, "mp3.txt" in the program's folder
answer Velbor Return                  # "Hotovo."
wait_window_gone Velbor
same_bytes "$dir/mp3.txt" "$E2E_DIR/expected.txt"

# The question before replacing a file has the dialog's title: the newest window of that title
# that is not the dialog itself.
question_over() {
    local dialog=$1 id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^Exportovat zaškrtnuté\$" 2>/dev/null |
            grep -vx "$dialog" | tail -n 1 || true)
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || fail "no question before replacing the file"
    echo "$id"
}

# Over an existing file the dialog asks first. "Ne" (the default) goes back to the dialog, and
# cancelling it leaves the file as it was.
printf 'stary obsah' >"$dir/mp3.txt"
cp "$dir/mp3.txt" "$E2E_DIR/old.txt"
keys "$win" F2
dialog=$(wait_window "Exportovat zaškrtnuté")
keys "$dialog" Return
keys "$(question_over "$dialog")" Return # Ne
keys "$dialog" Escape
wait_window_gone "Exportovat zaškrtnuté"
same_bytes "$dir/mp3.txt" "$E2E_DIR/old.txt"

# "Ano" replaces it whole.
keys "$win" F2
dialog=$(wait_window "Exportovat zaškrtnuté")
keys "$dialog" Return
keys "$(question_over "$dialog")" alt+a # Ano
answer Velbor Return
wait_window_gone Velbor
same_bytes "$dir/mp3.txt" "$E2E_DIR/expected.txt"

keys "$win" Escape
wait_exit
echo "PASS"
