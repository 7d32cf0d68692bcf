#!/usr/bin/env bash
# Configures and builds Zelmora (and its tests) into BUILD_DIR (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}
cmake --no-warn-unused-cli -S "$root" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
