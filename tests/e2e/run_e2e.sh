#!/usr/bin/env bash
# Runs one Python end-to-end test with the project's Wine prefix and a display.
# Usage: run_e2e.sh TEST.py ZELMORA_EXE BUILD_DIR
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/../../scripts/wine-env.sh"
test=$1 exe=$2 build=$3
zelmora_wine_env "$build" test-wineprefix
# As on a stock Windows PC: no DirectX utility library.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3dx9_43=d"
zelmora_ensure_display
zelmora_window_manager "${ZELMORA_WINDOW_MANAGER:-no}"
trap zelmora_stop_display EXIT
out="$build/e2e/$(basename "$test" .py)"
rm -rf "$out"
mkdir -p "$out"
PYTHONPATH="$here" python3 "$here/$test" "$exe" "$out"
