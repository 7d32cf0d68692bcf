#!/usr/bin/env bash
# Another program of the project's prefix ending never ends the window: zelmora.exe runs on
# the display while scripts/render.sh, without a display, renders on a virtual one of its
# own; the window outlives it, and the render's display goes once the window is closed.
set -uo pipefail
ZELMORA_EXE=$1
ZELMORA_BUILD=$2
source "$(dirname "$0")/lib.sh"
e2e_setup
root=$(cd "$here_e2e/../.." && pwd)

start_app
pass "the window is up"
displays_before=$(pgrep -x Xvfb | sort)

picture=$E2E_OUT/headless.png
env -u DISPLAY ZELMORA_WINEPREFIX_NAME=test-wineprefix "$root/scripts/render.sh" -o "$picture" \
  >"$E2E_OUT/render.log" 2>&1 || fail "render.sh failed: $(cat "$E2E_OUT/render.log")"
[[ -s "$picture" ]] || fail "render.sh wrote no picture"
pass "render.sh rendered on a display of its own"

# A message naming two paths gives both back as the Linux paths they are.
mkdir -p "$E2E_OUT/paths"
echo "not a folder" >"$E2E_OUT/paths/blocker"
echo '{"o": "blocker/sub/a.png"}' >"$E2E_OUT/paths/jobs.jsonl"
ZELMORA_WINEPREFIX_NAME=test-wineprefix "$root/scripts/render.sh" --jobs "$E2E_OUT/paths/jobs.jsonl" \
  >/dev/null 2>"$E2E_OUT/paths.log"
said="$E2E_OUT/paths/blocker/sub/a.png: the folder $E2E_OUT/paths/blocker cannot be made: a file has that name"
grep -qF "$said" "$E2E_OUT/paths.log" && ! grep -q 'Z:' "$E2E_OUT/paths.log" ||
  fail "render.sh's message names the paths as given: $(cat "$E2E_OUT/paths.log")"
pass "render.sh's messages name Linux paths, never half turned"

app_running || fail "zelmora.exe was ended when render.sh finished"
[[ -n "$(xdotool search --name '^Zelmora$' 2>/dev/null)" ]] || fail "the window is gone"
pass "the window outlives render.sh"

focus_app
xdotool key alt+F4
wait_app_exit 30 || fail "Alt+F4 did not end the program"
for _ in $(seq 1 300); do
  [[ "$(pgrep -x Xvfb | sort)" == "$displays_before" ]] && break
  sleep 0.2
done
[[ "$(pgrep -x Xvfb | sort)" == "$displays_before" ]] || fail "render.sh's display outlived the Wine session"
pass "render.sh's display ended with the Wine session"
