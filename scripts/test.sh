#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test (unit, in-Windows and end-to-end)
# under Wine on a virtual display of its own unless DISPLAY is given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build

"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build_dir"

source "$root/scripts/wine-env.sh"
echo "test: preparing Wine"
zelmora_wine_env "$build_dir" test-wineprefix
zelmora_ensure_display
trap zelmora_stop_display EXIT

echo "test: running the tests (about 4 minutes)"
status=0
ctest --test-dir "$build_dir" --output-on-failure "$@" || status=$?
echo "test: the full log is $build_dir/Testing/Temporary/LastTest.log; the end-to-end tests' screenshots and files are in $build_dir/e2e/<test>/"
exit $status
