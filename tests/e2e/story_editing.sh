# Editing with real keys: Insert and Shift+Insert do nothing before the Editing chord; after it,
# an artist typed in Czech and two albums under it are saved. Then "Přidané album bude novinka"
# is turned off through the menu with the keyboard, and the next album is saved as not new.
launch <<'DAT'
"Kapela","První album",#FALSE#
DAT
keys "$win" Insert
no_box "Insert opened a box before the Editing chord"
keys "$win" shift+Insert
no_box "Shift+Insert opened a box before the Editing chord"

ask "Žluťoučký kůň" ctrl+shift+F11 shift+Insert
# (xdotool under Xvfb types the capitals of Latin-1 letters such as Ú and Á as small ones, so
# the typed names keep to capitals it can type.)
ask "Kůň úpěl ďábelské ódy" Insert
ask "Druhé" Insert
save
expect_albums "$dir/Velbor.dat" <<'DAT'
"Kapela","První album",#FALSE#
"Žluťoučký kůň","Kůň úpěl ďábelské ódy",#TRUE#
"Žluťoučký kůň","Druhé",#TRUE#
DAT

# "&Editace": Zrušit status všech novinek, Přidat album..., Přidané album bude novinka, ...
# The new artist is still selected, so Insert adds under it.
keys "$win" alt+e
keys "$win" Down Down Return
ask "Třetí" Insert
save
expect_albums "$dir/Velbor.dat" <<'DAT'
"Kapela","První album",#FALSE#
"Žluťoučký kůň","Kůň úpěl ďábelské ódy",#TRUE#
"Žluťoučký kůň","Druhé",#TRUE#
"Žluťoučký kůň","Třetí",#FALSE#
DAT
quit
