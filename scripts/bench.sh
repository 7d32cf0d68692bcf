#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; they print figures and judge nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build_dir" >/dev/null

images=$build_dir/bench-images
mkdir -p "$images" "$images/odd"
# Busy pictures, like real artwork: noise that no codec can shortcut.
[[ -f "$images/artwork-1024.jpg" ]] || /usr/bin/convert -size 1024x1024 plasma:fractal -quality 92 "$images/artwork-1024.jpg"
[[ -f "$images/artwork-2048.jpg" ]] || /usr/bin/convert -size 2048x2048 plasma:fractal -quality 92 "$images/artwork-2048.jpg"
[[ -f "$images/photo-4096.jpg" ]] || /usr/bin/convert -size 4096x4096 plasma:fractal -quality 92 "$images/photo-4096.jpg"
# Print-resolution box art: the largest Zelmora takes, and twice that.
[[ -f "$images/print-8192.png" ]] || python3 "$root/bench/make_print_png.py" "$images/print-8192.png" 8192 8192
[[ -f "$images/print-16384.png" ]] || python3 "$root/bench/make_print_png.py" "$images/print-16384.png" 16384 16384

source "$root/scripts/wine-env.sh"
zelmora_wine_env "$build_dir"
zelmora_ensure_display
zelmora_window_manager no
trap zelmora_stop_display EXIT
echo "== Drawing frames and loading faces, in-process"
wine "$build_dir/bench/render_bench.exe" "Z:${images//\//\\}" "$@"

echo "== Large face pictures: time and the process's peak memory (resident, all of it)"
python3 "$root/tests/make_odd_images.py" "$images/odd" >/dev/null 2>&1 || true
for picture in "$images/print-8192.png" "$images/print-16384.png" "$images/odd/huge-header.png"; do
  /usr/bin/time -f "  peak resident %M KB" wine "$build_dir/bench/render_bench.exe" --peak "Z:${picture//\//\\}" 2>&1
done

echo "== The real zelmora.exe, 20 s each (frames shown on the X screen; CPU of the program and wineserver)"
python3 "$root/bench/live_bench.py" "$build_dir/app/zelmora.exe" "$build_dir/bench-live" "$images/artwork-2048.jpg" 20

echo "== zelmora-render beside ImageMagick"
python3 "$root/bench/cli_bench.py" "$build_dir/cli/zelmora-render.exe" "$build_dir/bench-cli"

echo "== A hardcover from its case wrap (6 x 9 in, 300 pages, 300 dpi), 4096 x 4096, whole process"
wrap=$images/case-wrap-6x9-300.jpg
[[ -f "$wrap" ]] || /usr/bin/convert -size 4292x3130 plasma:fractal -quality 92 "$wrap"
for run in 1 2 3; do
  /usr/bin/time -f "  run $run: %e s wall, peak resident %M KB" \
    "$root/scripts/render.sh" --shape hardcover --cover "$wrap" --trim 6x9in --pages 300 --size 4096x4096 \
    --fit 5 -o "$build_dir/bench-cli/hardcover-4096.png" 2>&1 | grep -v '^\[1/1\]\|^/'
done

echo "== A hardcover in the studio's light, 2048 x 2048, whole process: the soft light's 16 placements and the draft's one"
for samples in 16 1; do
  /usr/bin/time -f "  light-samples $samples: %e s wall, peak resident %M KB (goal: 16 within 2.5 s, the draft within 1 s)" \
    "$root/scripts/render.sh" --shape hardcover --cover "$wrap" --trim 6x9in --pages 300 --size 2048x2048 \
    --light studio --light-samples "$samples" --fit 5 -o "$build_dir/bench-cli/studio-2048.png" 2>&1 | grep -v '^\[1/1\]\|^/'
done

echo "== 30 paperbacks in the studio's light, 1500 x 1500, one jobs file (goal: 40 pictures a minute or more)"
shelf=$build_dir/bench-cli/shelf
mkdir -p "$shelf"
: > "$shelf/jobs.jsonl"
for i in $(seq 1 30); do
  # A 6 x 9 in paperback's wrap with a 300-page spine and bleed, at 300 dpi.
  [[ -f "$shelf/wrap-$i.jpg" ]] || /usr/bin/convert -size 970x694 -seed "$i" plasma:fractal -resize '3878x2775!' \
    -quality 90 "$shelf/wrap-$i.jpg"
  echo "{\"shape\": \"paperback\", \"cover\": \"wrap-$i.jpg\", \"trim\": \"6x9in\", \"pages\": \"300\", \"o\": \"out/paperback-$i.png\"}" \
    >> "$shelf/jobs.jsonl"
done
"$root/scripts/render.sh" --jobs "$shelf/jobs.jsonl" --light studio --size 1500x1500 2>&1 >/dev/null | tail -1

if [[ ${ZELMORA_CYCLES_REFERENCE:-0} == 1 ]]; then
  echo "== The same model in Blender's Cycles (installs Debian's blender and python3-numpy if missing)"
  python3 "$root/bench/cycles_reference.py" "$build_dir/cli/zelmora-render.exe" "$build_dir/bench-cycles" 1024 128
fi

echo "== Spins and 3D models"
python3 "$root/bench/spin_bench.py" "$build_dir/cli/zelmora-render.exe" "$build_dir/bench-spin"

echo "== A render farm's node: a task's start-up, pictures an hour, 100,000 pictures on 1, 10 and 50 nodes"
python3 "$root/bench/cluster_sizing.py" "$build_dir/bench-sizing"
