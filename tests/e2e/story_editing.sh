# Editing and undo with real keys. Before the Editing chord Insert, Shift+Insert, Ctrl+Z and F6 do
# nothing. After it: two albums added, the second undone, done again and undone again (Ctrl+Z,
# Ctrl+Y, Ctrl+Shift+Z); the artist and then an album renamed with F6 in the box that holds the
# old name; saved. The album's rename undone: the file as it would have been without it. Then an
# artist typed in Czech with an album, "Přidané album bude novinka" turned off through the menu
# with the keyboard, and the next album saved as not new.
launch <<'DAT'
"Kapela","První album",#FALSE#
DAT
keys "$win" Insert shift+Insert ctrl+z F6
no_box "a key of the Editing menu opened a box before the chord"

ask "Druhé" ctrl+shift+F11 Insert
ask "Třetí" Insert
keys "$win" ctrl+z ctrl+y ctrl+z ctrl+shift+z ctrl+z
# Kapela is still selected: renamed, with every album of it; then its first album, "Druhé".
ask "Čechomor" F6
ask "Zima" Down F6
save
expect_albums "$dir/Velbor.dat" <<'DAT'
"Čechomor","První album",#FALSE#
"Čechomor","Zima",#TRUE#
DAT
keys "$win" ctrl+z

# (xdotool under Xvfb types the capitals of Latin-1 letters such as Ú and Á as small ones, so
# the typed names keep to capitals it can type.)
ask "Žluťoučký kůň" shift+Insert
ask "Kůň úpěl ďábelské ódy" Insert
# "&Editace": Zrušit status všech novinek, Přidat album..., Přidané album bude novinka, ...
# The new artist is still selected, so Insert adds under it.
keys "$win" alt+e
keys "$win" Down Down Return
ask "Třetí" Insert
save
expect_albums "$dir/Velbor.dat" <<'DAT'
"Čechomor","První album",#FALSE#
"Čechomor","Druhé",#TRUE#
"Žluťoučký kůň","Kůň úpěl ďábelské ódy",#TRUE#
"Žluťoučký kůň","Třetí",#FALSE#
DAT
quit
