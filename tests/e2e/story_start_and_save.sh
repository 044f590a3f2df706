# On the sample catalogue, the Editing chord and F12: the save question has Czech buttons (Alt+A
# is "&Ano", which Qt's English "&Yes" would not answer), and the file comes back byte for byte,
# again on a second save. Esc in the tree ends the program.
sample=$here/../../data/Velbor.dat
dir=$(make_app_dir "$sample")
inode=$(stat -c %i "$dir/Velbor.dat")
start_app "$dir"
win=$(main_window)
keys "$win" ctrl+shift+F11 F12
answer Velbor alt+a # "Chcete uložit soubor Velbor.dat? ..."
nap 0.5
# Saved before "Hotovo." is shown: Enter below must not be what answered the question.
[ "$(stat -c %i "$dir/Velbor.dat")" != "$inode" ] || fail "Alt+A did not answer Yes: nothing saved"
answer Velbor Return # "Hotovo."
same_bytes "$dir/Velbor.dat" "$sample"
save "$win"
same_bytes "$dir/Velbor.dat" "$sample"
keys "$win" Escape
wait_exit
