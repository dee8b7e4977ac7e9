#!/usr/bin/env bash
# The README's animated picture of the computer taking cards from the discard pile:
# frames drawn by pickup-frames (offscreen) at 1366 x 768, joined by ImageMagick.
#   tools/screenshots/pickup-gif.sh [BUILD-FOLDER] [OUT.gif]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
out=${2:-docs/screenshots/pickup.gif}
cmake --build "$build" --target pickup-frames >/dev/null
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
"$build/app/pickup-frames" 1366 768 "$frames"
# 25 frames a second, half size, 64 colours, only what changes kept from frame to frame.
convert -delay 4 -loop 0 "$frames"/frame-*.png -resize 50% -colors 64 -layers Optimize "$out"
echo "$out: $(du -h "$out" | cut -f1)"
