#!/usr/bin/env bash
# Sets up the machine, builds and starts Zelmora. On a machine without a display it runs
# on a virtual one, saves a screenshot of the window to build/zelmora-window.png, and closes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build

"$root/scripts/setup.sh"
# Both programs: the window, and zelmora-render for scripts/render.sh.
"$root/scripts/build.sh" "$build_dir" zelmora zelmora-render

source "$root/scripts/wine-env.sh"
echo "run: preparing Wine"
zelmora_wine_env "$build_dir"
echo "run: starting Zelmora"

if [[ -n "${DISPLAY:-}" ]]; then
  # Your desktop: its window manager frames, places, focuses and lists Zelmora's windows.
  zelmora_window_manager yes
  exec wine "$build_dir/app/zelmora.exe" "$@"
fi

zelmora_ensure_display
zelmora_window_manager no
trap zelmora_stop_display EXIT
wine "$build_dir/app/zelmora.exe" "$@" >/dev/null 2>&1 &
app=$!
for _ in $(seq 1 150); do
  win=$(xdotool search --name '^Zelmora$' 2>/dev/null | head -n 1 || true)
  [[ -n "$win" ]] && break
  sleep 0.2
done
if [[ -z "${win:-}" ]]; then
  echo "Zelmora did not show its window" >&2
  exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$win")"
shot=$build_dir/zelmora-window.png
# The screenshot once the preview shows its first frame (its middle no longer one flat
# colour), or after 60 s with whatever is there.
for _ in $(seq 1 120); do
  /usr/bin/import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
  spread=$(convert "$shot" -gravity west -crop 50%x50%+40+0 +repage -format '%[fx:standard_deviation]' info: 2>/dev/null || echo 0)
  awk -v s="$spread" 'BEGIN { exit !(s > 0.02) }' && break
  sleep 0.5
done
echo "run: no display here: Zelmora ran on a virtual display; its window is in $shot"
xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool key alt+F4
wait "$app" || true
