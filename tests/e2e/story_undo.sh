# Undo with real keys: two albums added, the second undone, done again and undone again (Ctrl+Z,
# Ctrl+Y, Ctrl+Shift+Z); the artist and then an album renamed with F6 in the box that holds the
# old name; saved. Then the album's rename undone and saved again: the file is byte for byte the
# one the user would have had without it.
write_cp1250 "$E2E_DIR/original.dat" <<'DAT'
"Kapela","První album",#FALSE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
dir=$(make_app_dir "$E2E_DIR/original.dat")
start_app "$dir"
win=$(main_window)
keys "$win" ctrl+z F6
no_box "F6 opened a box before the chord"

keys "$win" ctrl+shift+F11 Insert
type_answer "Druhé"
keys "$win" Insert
type_answer "Třetí"
keys "$win" ctrl+z ctrl+y ctrl+z ctrl+shift+z ctrl+z
# Kapela is still selected: renamed, with every album of it.
keys "$win" F6
type_answer "Žluťoučký kůň"
# Its first album in the tree: "Druhé".
keys "$win" Down F6
type_answer "Zima"
save "$win"
expect_cp1250 "$dir/Velbor.dat" <<'DAT'
"Žluťoučký kůň","První album",#FALSE#
"Žluťoučký kůň","Zima",#TRUE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT

keys "$win" ctrl+z
save "$win"
expect_cp1250 "$dir/Velbor.dat" <<'DAT'
"Žluťoučký kůň","První album",#FALSE#
"Žluťoučký kůň","Druhé",#TRUE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
keys "$win" Escape
wait_exit
