# --catalogue FILE, given relative to the current folder: the program reads that file (a line it
# cannot read is reported), saves into it and keeps the old file as FILE.bak beside it; nothing is
# written beside the program.
mkdir -p "$E2E_DIR/work/sbírka"
write_cp1250 "$E2E_DIR/original.dat" <<'DAT'
"Kapela","Album",#TRUE#
nesmysl
"#DataOwner","Moje",#FALSE#
"#ContactEmail","",#FALSE#
DAT
cp "$E2E_DIR/original.dat" "$E2E_DIR/work/sbírka/moje.dat"
dir=$(make_app_dir "$E2E_DIR/original.dat")
(cd "$E2E_DIR/work" && exec "$dir/velbor" --catalogue sbírka/moje.dat >"$E2E_DIR/app.log" 2>&1) &
APP_PID=$!
answer Velbor Return # "Datový soubor obsahuje 1 řádek, který nemá správný tvar, ..."
win=$(main_window)
keys "$win" ctrl+shift+F11
save "$win"
keys "$win" Escape
wait_exit
expect_cp1250 "$E2E_DIR/work/sbírka/moje.dat" <<'DAT'
"Kapela","Album",#TRUE#
"#DataOwner","Moje",#FALSE#
"#ContactEmail","",#FALSE#
DAT
same_bytes "$E2E_DIR/work/sbírka/moje.dat.bak" "$E2E_DIR/original.dat"
same_bytes "$dir/Velbor.dat" "$E2E_DIR/original.dat"
[ ! -e "$dir/Velbor.dat.bak" ] || fail "a backup beside the program"
