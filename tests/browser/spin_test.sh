#!/usr/bin/env bash
# A spin as a shop shows it, in a real browser (Debian's Chromium, headless): zelmora-render
# writes the spin as pictures, as an animated PNG and as a viewer page, and spin_test.mjs
# checks them in the browser.
# Usage: spin_test.sh ZELMORA_RENDER_EXE BUILD_DIR
set -uo pipefail
render_exe=$1 build=$2 name=spin
source "$(dirname "$(readlink -f "$0")")/lib.sh"

render() {
  wine "$render_exe" --spin 24 --size 240x180 --front-colour "#C03020" --left-colour "#2040E0" \
    --top-colour "#20A040" --reflection 40 --background transparent "$@" >>"$out/render.log" 2>&1 ||
    { echo "FAIL: zelmora-render $*: $(cat "$out/render.log")"; exit 1; }
}
# The frames' folder is not there yet: it is made.
render -o "$(win "$out/frames/box.png")"
render --spin-format apng --spin-delay 80 -o "$(win "$out/box-spin.png")"
render --spin-format html -o "$(win "$out/box.html")"
echo "ok: zelmora-render wrote the spin three ways"
node "$here/spin_test.mjs" "$out"
