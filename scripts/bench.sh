#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; they print figures and judge nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build_dir" >/dev/null

images=$build_dir/bench-images
mkdir -p "$images"
if [[ ! -f "$images/print-16384.png" ]]; then
  # Busy pictures, like real artwork: noise that no codec can shortcut.
  /usr/bin/convert -size 1024x1024 plasma:fractal -quality 92 "$images/artwork-1024.jpg"
  /usr/bin/convert -size 4096x4096 plasma:fractal -quality 92 "$images/photo-4096.jpg"
  # Print-resolution box art.
  python3 "$root/bench/make_print_png.py" "$images/print-8192.png" 8192 8192
  python3 "$root/bench/make_print_png.py" "$images/print-16384.png" 16384 16384
  /usr/bin/convert -size 2048x2048 plasma:fractal -quality 92 "$images/artwork-2048.jpg"
fi

source "$root/scripts/wine-env.sh"
zelmora_wine_env "$build_dir"
zelmora_ensure_display
trap zelmora_stop_display EXIT
wine "$build_dir/bench/render_bench.exe" "Z:${images//\//\\}" "$@"
