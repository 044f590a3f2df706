# Editing with real keys: Insert does nothing before the Editing chord; after it, Shift+Insert adds
# an artist typed in Czech, Insert adds two albums under it, F12 saves. Then "Přidané album bude
# novinka" is turned off through the menu with the keyboard, and the next album is saved as not new.
write_cp1250 "$E2E_DIR/original.dat" <<'DAT'
"Kapela","První album",#FALSE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
dir=$(make_app_dir "$E2E_DIR/original.dat")
start_app "$dir"
win=$(main_window)
keys "$win" Insert
no_box "Insert opened a box before the Editing chord"
keys "$win" shift+Insert
no_box "Shift+Insert opened a box before the Editing chord"

keys "$win" ctrl+shift+F11 shift+Insert
type_answer "Žluťoučký kůň"
# (xdotool under Xvfb types the capitals of Latin-1 letters such as Ú and Á as small ones, so
# the typed names keep to capitals it can type.)
keys "$win" Insert
type_answer "Kůň úpěl ďábelské ódy"
keys "$win" Insert
type_answer "Druhé"
save "$win"
expect_cp1250 "$dir/Velbor.dat" <<'DAT'
"Kapela","První album",#FALSE#
"Žluťoučký kůň","Kůň úpěl ďábelské ódy",#TRUE#
"Žluťoučký kůň","Druhé",#TRUE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT

# "&Editace": Zrušit status všech novinek, Přidat album..., Přidané album bude novinka, ...
# The new artist is still selected, so Insert adds under it.
keys "$win" alt+e
keys "$win" Down Down Return
keys "$win" Insert
type_answer "Třetí"
save "$win"
expect_cp1250 "$dir/Velbor.dat" <<'DAT'
"Kapela","První album",#FALSE#
"Žluťoučký kůň","Kůň úpěl ďábelské ódy",#TRUE#
"Žluťoučký kůň","Druhé",#TRUE#
"Žluťoučký kůň","Třetí",#FALSE#
"#DataOwner","Sbírka",#FALSE#
"#ContactEmail","jan@example.cz",#FALSE#
DAT
keys "$win" Escape
wait_exit
