#!/usr/bin/env bash
# The Debian package of this build tree (cpack), unpacked into a scratch root: the command line
# answers --version and --help in Czech, and the program started as an ordinary user through
# /usr/bin/velbor opens empty without a word (its folder is closed to that user), saves a new
# album into ~/.local/share/velbor/Velbor.dat and reads it back at the next start.
source "$(dirname "$0")/../e2e/run.sh"
: "${VELBOR_BUILD_DIR:?}" "${VELBOR_CPACK:=cpack}" "${VELBOR_VERSION:?}"

"$VELBOR_CPACK" --config "$VELBOR_BUILD_DIR/CPackConfig.cmake" -B "$E2E_DIR/cpack" \
    >"$E2E_DIR/cpack.log" 2>&1 || { cat "$E2E_DIR/cpack.log"; fail "cpack"; }
root="$E2E_DIR/root"
dpkg -x "$(ls "$E2E_DIR"/cpack/velbor_"$VELBOR_VERSION"_*.deb)" "$root"
[ ! -e "$root/usr/lib/velbor/Velbor.dat" ] || fail "the package holds a catalogue"

# The user's own HOME; root may write anywhere, so as root (CI) the program runs as nobody.
home="$E2E_DIR/home"
mkdir -p "$home"
chmod 755 "$E2E_DIR"
user=(env -u XDG_DATA_HOME HOME="$home")
if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$home"
    command -v setpriv >/dev/null && user+=(setpriv --reuid=nobody --regid=nogroup --clear-groups) ||
        user+=(runuser -u nobody --)
fi
user+=("$root/usr/bin/velbor")

start_display
version=$("${user[@]}" --version 2>/dev/null)
[ "$version" = "velbor $VELBOR_VERSION" ] || fail "--version says '$version'"
help=$("${user[@]}" --help 2>/dev/null)
for text in "katalog MP3 alb" "--catalogue <soubor>" "Otevře katalog ze souboru" "Zobrazí tuto nápovědu"; do
    grep -qF -- "$text" <<<"$help" || fail "--help lacks '$text': $help"
done

start_app "$home" "${user[@]}"
win=$(main_window)
no_box "the first start of a new user showed a box"
ask "Žluťoučký kůň" ctrl+shift+F11 shift+Insert
ask "Kůň úpěl ďábelské ódy" Insert
save
quit
catalogue="$home/.local/share/velbor/Velbor.dat"
expect_cp1250 "$catalogue" <<'DAT'
"Žluťoučký kůň","Kůň úpěl ďábelské ódy",#TRUE#
"#DataOwner","",#FALSE#
"#ContactEmail","",#FALSE#
DAT
[ ! -e "$root/usr/lib/velbor/Velbor.dat" ] || fail "the program saved beside itself"

# The next start reads the user's catalogue: a save writes the same bytes again.
start_app "$home" "${user[@]}"
win=$(main_window)
chord_save
quit
same_bytes "$catalogue" "$E2E_DIR/expected"
echo "PASS"
