#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing MP3 Velbor need, when they
# are missing. Usage: scripts/deps.sh [run|test|package|bench|fuzz|valgrind|artwork]...
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libicu-dev libtag1-dev pkg-config
          xdg-utils)
for what in "$@"; do
    case "$what" in
    run) ;;
    test) packages+=(xvfb xdotool x11-utils imagemagick desktop-file-utils util-linux
        dpkg-dev file appstream lintian) ;;
    package) packages+=(dpkg-dev file) ;;
    bench) packages+=(libbenchmark-dev xvfb xdotool x11-utils) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    valgrind) packages+=(valgrind) ;;
    artwork) packages+=(librsvg2-bin) ;;
    *) echo "deps.sh: unknown set '$what'" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
