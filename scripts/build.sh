#!/usr/bin/env bash
# Configures and builds Zelmora into BUILD_DIR (default: build): everything (programs, tests,
# benchmarks), or only the targets named after it. Prints its stages and CMake's progress.
# Usage: build.sh [BUILD_DIR [TARGET...]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}
shift || true
echo "build: configuring in $build_dir"
cmake --no-warn-unused-cli -S "$root" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
echo "build: compiling ${*:-everything} (the first build takes a few minutes)"
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
echo "build: done"
