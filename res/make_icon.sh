#!/usr/bin/env bash
# Draws the application icon (a closed box seen from above-left) into zelmora.ico.
# The .ico is committed; run this only to change the picture.
set -euo pipefail
cd "$(dirname "$0")"
/usr/bin/convert -size 256x256 xc:none \
  -stroke '#1d3557' -strokewidth 8 -draw "stroke-linejoin round \
     fill '#f4a261' polygon 128,24 232,72 128,120 24,72 \
     fill '#e76f51' polygon 24,72 128,120 128,236 24,188 \
     fill '#c8553d' polygon 232,72 128,120 128,236 232,188" \
  -stroke '#1d3557' -strokewidth 6 -draw "line 76,48 180,96" \
  -define icon:auto-resize=256,48,32,16 zelmora.ico
