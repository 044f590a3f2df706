#!/usr/bin/env bash
# Renders the program's artwork, the SVG drawings in src/app/icons, to the PNG files that the build
# ships, and records the drawings' checksums in rendered.sha256 so that a test notices a drawing
# changed without its PNGs. Run it after editing an SVG and commit the PNGs and the checksums with it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh artwork
cd src/app/icons

# render DRAWING WIDTH HEIGHT OUTPUT
render() { rsvg-convert --width "$2" --height "$3" --output "$4" "$1.svg"; }

render velbor 128 128 velbor.png   # window icon, hicolor 128x128
render velbor 48 48 velbor-48.png  # hicolor 48x48
render album 16 16 album.png           # album node
render album 32 32 album@2x.png
render artist 16 16 artist.png     # artist node
render artist 32 32 artist@2x.png
render logo 160 60 logo.png        # the About box
render logo 320 120 logo@2x.png

sha256sum ./*.svg >rendered.sha256
