#!/usr/bin/env bash
# The Debian package of this build tree (cpack), unpacked into a scratch root: the command line
# answers --version and --help in Czech, and the program started as an ordinary user through
# /usr/bin/velbor opens empty without a word (its folder is closed to that user), saves a new
# album into ~/.local/share/velbor/Velbor.dat and reads it back at the next start.
source "$(dirname "$0")/../e2e/run.sh"
: "${VELBOR_BUILD_DIR:?}" "${VELBOR_CPACK:=cpack}" "${VELBOR_VERSION:?}"

# Root may write anywhere, so as root (CI) the program runs as nobody.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    command -v setpriv >/dev/null || as_user=(runuser -u nobody --)
fi
chmod 755 "$E2E_DIR"

"$VELBOR_CPACK" --config "$VELBOR_BUILD_DIR/CPackConfig.cmake" -B "$E2E_DIR/cpack" \
    >"$E2E_DIR/cpack.log" 2>&1 || { cat "$E2E_DIR/cpack.log"; fail "cpack"; }
deb=$(ls "$E2E_DIR"/cpack/velbor_"$VELBOR_VERSION"_*.deb)
root="$E2E_DIR/root"
dpkg -x "$deb" "$root"
[ ! -e "$root/usr/lib/velbor/Velbor.dat" ] || fail "the package holds a catalogue"

home="$E2E_DIR/home"
mkdir -p "$home"
[ ${#as_user[@]} -eq 0 ] || chown nobody:nogroup "$home"
user() { env -u XDG_DATA_HOME HOME="$home" "${as_user[@]}" "$@"; }

start_display
version=$(user "$root/usr/bin/velbor" --version 2>/dev/null)
[ "$version" = "velbor $VELBOR_VERSION" ] || fail "--version says '$version'"
help=$(user "$root/usr/bin/velbor" --help 2>/dev/null)
for text in "katalog MP3 alb" "--catalogue <soubor>" "Otevře katalog ze souboru" "Zobrazí tuto nápovědu"; do
    grep -qF -- "$text" <<<"$help" || fail "--help lacks '$text': $help"
done

start_user_app() {
    (cd "$home" && exec env -u XDG_DATA_HOME HOME="$home" "${as_user[@]}" \
        "$root/usr/bin/velbor" >"$E2E_DIR/app.log" 2>&1) &
    APP_PID=$!
}

start_user_app
win=$(main_window)
no_box "the first start of a new user showed a box"
keys "$win" ctrl+shift+F11 shift+Insert
type_answer "Žluťoučký kůň"
keys "$win" Insert
type_answer "Kůň úpěl ďábelské ódy"
save "$win"
keys "$win" Escape
wait_exit
expect_cp1250 "$home/.local/share/velbor/Velbor.dat" <<'DAT'
"Žluťoučký kůň","Kůň úpěl ďábelské ódy",#TRUE#
"#DataOwner","",#FALSE#
"#ContactEmail","",#FALSE#
DAT
[ ! -e "$root/usr/lib/velbor/Velbor.dat" ] || fail "the program saved beside itself"

# The next start reads the user's catalogue: one album in the status bar, and a save writes the
# same bytes again.
start_user_app
win=$(main_window)
keys "$win" ctrl+shift+F11
save "$win"
keys "$win" Escape
wait_exit
same_bytes "$home/.local/share/velbor/Velbor.dat" "$E2E_DIR/expected"
echo "PASS"
