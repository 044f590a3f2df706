# Undo with real keys: two albums added, the second undone, done again and undone again (Ctrl+Z,
# Ctrl+Y, Ctrl+Shift+Z); the artist and then an album renamed with F6 in the box that holds the
# old name; saved. Then the album's rename undone and saved: the file as it would have been
# without it.
launch <<'DAT'
"Kapela","První album",#FALSE#
DAT
keys "$win" ctrl+z F6
no_box "F6 opened a box before the chord"

ask "Druhé" ctrl+shift+F11 Insert
ask "Třetí" Insert
keys "$win" ctrl+z ctrl+y ctrl+z ctrl+shift+z ctrl+z
# Kapela is still selected: renamed, with every album of it; then its first album, "Druhé".
ask "Žluťoučký kůň" F6
ask "Zima" Down F6
save
expect_albums "$dir/Velbor.dat" <<'DAT'
"Žluťoučký kůň","První album",#FALSE#
"Žluťoučký kůň","Zima",#TRUE#
DAT
keys "$win" ctrl+z
save
expect_albums "$dir/Velbor.dat" <<'DAT'
"Žluťoučký kůň","První album",#FALSE#
"Žluťoučký kůň","Druhé",#TRUE#
DAT
quit
