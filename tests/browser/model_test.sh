#!/usr/bin/env bash
# The box as a 3D model, checked as shops check it: zelmora-render writes a .glb and a
# picture of the same view, and model_test.mjs validates the model with the Khronos glTF
# Validator and draws it with three.js in Debian's Chromium (headless).
# Usage: model_test.sh ZELMORA_RENDER_EXE BUILD_DIR
set -uo pipefail
render_exe=$1 build=$2 name=model
source "$(dirname "$(readlink -f "$0")")/lib.sh"

# Test faces: each its own colour with a black mark in its top-left corner and a white one
# in its bottom-right, so that a face drawn turned or mirrored is seen.
face() {
  convert -size 256x384 "xc:$2" -fill black -draw "rectangle 0,0 63,63" -fill white \
    -draw "rectangle 192,320 255,383" "$out/$1.png"
}
face front "#D02020"
face left "#2040D0"
face top "#20A040"
convert "$out/front.png" -quality 92 "$out/front.jpg"  # a JPEG face stays a JPEG in the model

view=(--front "$(win "$out/front.jpg")" --left "$(win "$out/left.png")" --top "$(win "$out/top.png")"
  --back-colour "#808000" --rotation1 150 --rotation2 115 --zoom 700 --distance 220)
for target in box.glb box.png; do
  wine "$render_exe" "${view[@]}" --size 400x400 --background transparent -o "$(win "$out/$target")" \
    >>"$out/render.log" 2>&1 || { echo "FAIL: zelmora-render -o $target: $(cat "$out/render.log")"; exit 1; }
done
# A 6 x 9 in paperback of 300 pages from its cover: 0.125 in bleed, back, spine, front at 100 dpi.
convert -size 1293x925 xc:'#ff00ff' -fill '#2040c0' -draw 'rectangle 12,12 612,912' -fill '#e0c020' \
  -draw 'rectangle 613,12 680,912' -fill '#20a040' -draw 'rectangle 681,12 1280,912' "$out/cover.png"
wine "$render_exe" --shape paperback --trim 6x9in --pages 300 --cover "$(win "$out/cover.png")" \
  -o "$(win "$out/book.glb")" >>"$out/render.log" 2>&1 || { echo "FAIL: the paperback's model: $(cat "$out/render.log")"; exit 1; }
# A series of three from their covers: the first's, and two more of other colours.
convert "$out/cover.png" -fill '#c02020' -draw 'rectangle 681,12 1280,912' "$out/cover2.png"
convert "$out/cover.png" -fill '#202020' -draw 'rectangle 681,12 1280,912' "$out/cover3.png"
wine "$render_exe" --shape paperback --trim 6x9in --pages 300 --arrange row \
  --covers "$(win "$out/cover.png"),$(win "$out/cover2.png"),$(win "$out/cover3.png")" \
  -o "$(win "$out/series.glb")" >>"$out/render.log" 2>&1 || { echo "FAIL: the series' model: $(cat "$out/render.log")"; exit 1; }
# A phone whose screen shows a picture: the screen given off as light.
convert -size 300x650 xc:'#20c040' "$out/screen.png"
wine "$render_exe" --shape phone --screen "$(win "$out/screen.png")" \
  -o "$(win "$out/phone.glb")" >>"$out/render.log" 2>&1 || { echo "FAIL: the phone's model: $(cat "$out/render.log")"; exit 1; }
echo "ok: zelmora-render wrote the model and the picture of the same view"
node "$here/model_test.mjs" "$out" 150 115 220 700
