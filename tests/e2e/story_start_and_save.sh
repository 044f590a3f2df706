# Without a data file the program says so first, then opens empty; F12 before the Editing chord
# does nothing, and after it a save creates the file with the two catalogue lines. On the sample
# catalogue, the save question has Czech buttons (Alt+A is "&Ano", which Qt's English "&Yes"
# would not answer), and the file comes back byte for byte, again on a second save.
dir=$(make_app_dir); start_app "$dir"
answer Velbor Return # "Datový soubor neexistuje!"
win=$(main_window)
keys "$win" F12
no_box "F12 opened a box while the Editing menu was hidden"
[ ! -e "$dir/Velbor.dat" ] || fail "F12 saved while the Editing menu was hidden"
chord_save
printf '"#DataOwner","",#FALSE#\r\n"#ContactEmail","",#FALSE#\r\n' >"$E2E_DIR/expected.dat"
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected.dat"
quit

sample=$here/../../data/Velbor.dat
launch "$sample"
inode=$(stat -c %i "$dir/Velbor.dat")
keys "$win" ctrl+shift+F11 F12
answer Velbor alt+a # "Chcete uložit soubor Velbor.dat? ..."
nap 0.5
# Saved before "Hotovo." is shown: Enter below must not be what answered the question.
[ "$(stat -c %i "$dir/Velbor.dat")" != "$inode" ] || fail "Alt+A did not answer Yes: nothing saved"
answer Velbor Return # "Hotovo."
same_bytes "$dir/Velbor.dat" "$sample"
save
same_bytes "$dir/Velbor.dat" "$sample"
quit
