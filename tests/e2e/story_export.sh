# Tick every album (Ctrl+Q), export with F2, accept the save dialog as it opens: mp3.txt in the
# program's folder holds the sorted report, byte for byte, in Windows-1250. Over an existing file
# the dialog asks first: "Ne" (the default) goes back to it, "Ano" replaces the file whole.
write_cp1250 "$E2E_DIR/report.txt" <<'TXT'
Export z programu MP3 Velbor
Databáze: Sbírka (jan@example.cz)
================================================================
Hrad - Chata
Chroust - Hrad
Kapela - Druhe album
Kapela - Prvni album
Žluťoučký kůň - Úpěl, ďábelské ódy
TXT
launch <<'DAT'
"Kapela","Prvni album",#FALSE#
"Žluťoučký kůň","Úpěl, ďábelské ódy",#TRUE#
"Kapela","Druhe album",#TRUE#
"Chroust","Hrad",#FALSE#
"Hrad","Chata",#FALSE#
DAT
title="Exportovat zaškrtnuté"
keys "$win" ctrl+q F2
answer "$title" Return # the save dialog, "mp3.txt" in the program's folder
done_box() { answer Velbor Return; wait_window_gone Velbor; same_bytes "$dir/mp3.txt" "$E2E_DIR/report.txt"; }
done_box # "Hotovo."

printf 'stary obsah' | tee "$dir/mp3.txt" >"$E2E_DIR/old.txt"
# The question before replacing a file has the dialog's title.
for reply in Return alt+a; do
    keys "$win" F2
    dialog=$(wait_window "$title")
    keys "$dialog" Return
    keys "$(wait_window "$title" "$dialog")" $reply
    [ $reply = alt+a ] && break
    keys "$dialog" Escape
    wait_window_gone "$title"
    same_bytes "$dir/mp3.txt" "$E2E_DIR/old.txt"
done
done_box
quit
