#!/usr/bin/env bash
# The shipped PNGs are rendered from the current drawings: every SVG in src/app/icons has its
# checksum in rendered.sha256, written by scripts/render-artwork.sh when it rendered the PNGs.
set -euo pipefail
cd "$(dirname "$0")/../../src/app/icons"
status=0
for svg in ./*.svg; do
    grep -q "  $svg\$" rendered.sha256 || { echo "FAIL: $svg was never rendered" >&2; status=1; }
done
sha256sum --check --quiet rendered.sha256 || {
    echo "FAIL: a drawing changed since its PNGs were rendered: run scripts/render-artwork.sh" >&2
    status=1
}
exit $status
