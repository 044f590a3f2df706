#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: a self-contained program folder with the sample
# catalogue, a launcher, a valid desktop file and the icons; a second install keeps the user's
# catalogue; a DESTDIR install points the desktop file at the final place; started through the
# launcher the program uses its own folder. Then the package (cpack), unpacked: --version and
# --help in Czech; as an ordinary user /usr/bin/velbor opens empty without a word, saves into
# ~/.local/share/velbor/Velbor.dat and reads it back at the next start.
source "$(dirname "$0")/../e2e/run.sh"
: "${VELBOR_BUILD_DIR:?}" "${VELBOR_SOURCE_DIR:?}" "${VELBOR_CMAKE:=cmake}" "${VELBOR_CPACK:=cpack}"
: "${VELBOR_VERSION:?}"

install_into() { # PREFIX [DESTDIR]
    DESTDIR="${2:-}" "$VELBOR_CMAKE" --install "$VELBOR_BUILD_DIR" --prefix "$1" \
        >"$E2E_DIR/install.log" 2>&1 || { cat "$E2E_DIR/install.log"; fail "install into $1"; }
}

desktop_value() { sed -n "s/^$2=//p" "$1"; } # FILE KEY

# A prefix with a space and a "$" in it: the desktop file must quote and escape the path.
prefix="$E2E_DIR/home dir/my \$stuff/.local"
install_into "$prefix"
program_dir="$prefix/lib/velbor"

[ -x "$program_dir/velbor" ] || fail "no program in $program_dir"
same_bytes "$program_dir/Velbor.dat" "$VELBOR_SOURCE_DIR/data/Velbor.dat"
[ -L "$prefix/bin/velbor" ] || fail "the launcher is not a symbolic link"
[ "$(readlink -f "$prefix/bin/velbor")" = "$(readlink -f "$program_dir/velbor")" ] || fail "the launcher does not lead to the program"
case "$(readlink "$prefix/bin/velbor")" in /*) fail "the launcher's link is absolute" ;; esac
icons="$prefix/share/icons/hicolor"
for icon in "$program_dir/velbor.png" "$icons/128x128/apps/velbor.png" "$icons/scalable/apps/velbor.svg"; do
    [ -s "$icon" ] || fail "missing icon $icon"; done
[ "$(identify -format '%m %wx%h' "$icons/48x48/apps/velbor.png")" = "PNG 48x48" ] ||
    fail "the 48x48 icon is not a 48 x 48 PNG"

desktop="$prefix/share/applications/cz.velbor.Velbor.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
expected_exec="\"$E2E_DIR/home dir/my \\\\\$stuff/.local/lib/velbor/velbor\""
exec_line=$(desktop_value "$desktop" Exec)
[ "$exec_line" = "$expected_exec" ] || fail "Exec is '$exec_line', expected '$expected_exec'"
[ "$(desktop_value "$desktop" Icon)" = velbor ] || fail "Icon is not the theme name velbor"
manifest="$VELBOR_BUILD_DIR/install_manifest.txt"
grep -qxF "$prefix/bin/velbor" "$manifest" || fail "the launcher is not in the install manifest"
! grep -qF "Velbor.dat" "$manifest" || fail "the catalogue is in the install manifest: removing the install would delete it"

# Installing again never replaces the user's catalogue, but renews a removed launcher.
printf '"Nova kapela","Nove album",#TRUE#\r\n' >>"$program_dir/Velbor.dat"
cp "$program_dir/Velbor.dat" "$E2E_DIR/edited.dat"
rm "$prefix/bin/velbor"
install_into "$prefix"
same_bytes "$program_dir/Velbor.dat" "$E2E_DIR/edited.dat"
[ -L "$prefix/bin/velbor" ] || fail "a second install did not renew the launcher"

# A staged install: files under DESTDIR, paths in the desktop file without it.
install_into /opt/velbor "$E2E_DIR/stage"
for f in velbor Velbor.dat; do [ -e "$E2E_DIR/stage/opt/velbor/lib/velbor/$f" ] || fail "no $f staged"; done
[ "$(desktop_value "$E2E_DIR/stage/opt/velbor/share/applications/cz.velbor.Velbor.desktop" Exec)" = \
    /opt/velbor/lib/velbor/velbor ] || fail "the staged desktop file names the staging folder"

# Started through the launcher from another folder, without a catalogue of its own, the program
# reports the missing file even though the current folder has one, and saves into its own folder.
start_display
rm "$program_dir/Velbor.dat"
mkdir "$E2E_DIR/elsewhere"
cp "$VELBOR_SOURCE_DIR/data/Velbor.dat" "$E2E_DIR/elsewhere/Velbor.dat"
start_app "$E2E_DIR/elsewhere" "$prefix/bin/velbor"
answer Velbor Return # "Datový soubor neexistuje!"
win=$(main_window)
chord_save
quit
[ -s "$program_dir/Velbor.dat" ] || fail "the program did not save into its own folder"
[ ! -e "$prefix/bin/Velbor.dat" ] || fail "the program saved beside the launcher"
same_bytes "$E2E_DIR/elsewhere/Velbor.dat" "$VELBOR_SOURCE_DIR/data/Velbor.dat"

"$VELBOR_CPACK" --config "$VELBOR_BUILD_DIR/CPackConfig.cmake" -B "$E2E_DIR/cpack" >"$E2E_DIR/cpack.log" 2>&1 ||
    { cat "$E2E_DIR/cpack.log"; fail "cpack"; }
root="$E2E_DIR/root"
dpkg -x "$(ls "$E2E_DIR"/cpack/velbor_"$VELBOR_VERSION"_*.deb)" "$root"

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

version=$("${user[@]}" --version 2>/dev/null)
[ "$version" = "velbor $VELBOR_VERSION" ] || fail "--version says '$version'"
help=$("${user[@]}" --help 2>/dev/null)
for text in "katalog MP3 alb" "--catalogue <soubor>" "Otevře katalog ze souboru" "Zobrazí tuto nápovědu"; do
    grep -qF -- "$text" <<<"$help" || fail "--help lacks '$text': $help"
done

start_app "$home" "${user[@]}"; win=$(main_window)
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

# The next start reads the user's catalogue: a save writes the same bytes again.
start_app "$home" "${user[@]}"; win=$(main_window)
chord_save
quit
same_bytes "$catalogue" "$E2E_DIR/expected"
echo "PASS"
