# Without a data file the program says so first, then opens empty; F12 before the Editing chord
# does nothing, and after it a save creates the file with the two catalogue lines.
dir=$(make_app_dir)
start_app "$dir"
answer Velbor Return # "Datový soubor neexistuje!"
win=$(main_window)
keys "$win" F12
no_box "F12 opened a box while the Editing menu was hidden"
[ ! -e "$dir/Velbor.dat" ] || fail "F12 saved while the Editing menu was hidden"
keys "$win" ctrl+shift+F11
save "$win"
printf '"#DataOwner","",#FALSE#\r\n"#ContactEmail","",#FALSE#\r\n' >"$E2E_DIR/expected.dat"
same_bytes "$dir/Velbor.dat" "$E2E_DIR/expected.dat"
keys "$win" Escape
wait_exit
