#!/usr/bin/env bash
# The Debian package of scripts/package.sh: lintian finds no error, the desktop and AppStream files
# validate, the files are where a system-wide install wants them, no catalogue among them, and the
# dependencies name Qt, its Czech translations and xdg-utils. Skipped (77) while the package is
# missing or older than the sources.
set -euo pipefail
: "${VELBOR_SOURCE_DIR:?}" "${VELBOR_VERSION:?}"
fail() { echo "FAIL: $*" >&2 && exit 1; }

deb="$VELBOR_SOURCE_DIR/build/release/velbor_${VELBOR_VERSION}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "SKIP: no $deb (scripts/package.sh builds it)"; exit 77; }
newer=$(find "$VELBOR_SOURCE_DIR/src" "$VELBOR_SOURCE_DIR/CMakeLists.txt" -newer "$deb" -print -quit)
[ -z "$newer" ] || { echo "SKIP: $newer is newer than $deb (run scripts/package.sh)"; exit 77; }

lintian --fail-on error "$deb" || fail "lintian reports errors"

depends=$(dpkg-deb -f "$deb" Depends)
for package in qt6-translations-l10n xdg-utils libqt6widgets6 libicu72; do
    grep -qw -- "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done

dir=$(mktemp -d /tmp/velbor-deb.XXXXXX) && trap 'rm -rf "$dir"' EXIT
dpkg-deb -c "$deb" | grep "Velbor\.dat" && fail "the package holds a catalogue"
dpkg -x "$deb" "$dir/root"
id=cz.velbor.Velbor
for file in usr/lib/velbor/velbor usr/share/{applications/$id.desktop,metainfo/$id.metainfo.xml} \
    usr/share/{man/man1/velbor.1.gz,doc/velbor/copyright} usr/share/icons/hicolor/{48x48,128x128}/apps/velbor.png \
    usr/share/icons/hicolor/scalable/apps/velbor.svg; do
    [ -s "$dir/root/$file" ] || fail "no /$file in the package"; done
[ "$(readlink "$dir/root/usr/bin/velbor")" = ../lib/velbor/velbor ] ||
    fail "/usr/bin/velbor is not a link to ../lib/velbor/velbor"
desktop="$dir/root/usr/share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop file"
grep -qx "Exec=/usr/lib/velbor/velbor" "$desktop" || fail "the desktop file starts $(grep Exec= "$desktop")"
appstreamcli validate --no-net "$dir/root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "appstreamcli rejects the AppStream file"
echo "PASS"
