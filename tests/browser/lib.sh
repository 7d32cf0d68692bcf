# What the browser tests share: the project's test prefix, a display, a fresh output folder
# (out) under the build tree, and Windows names for its files (win).
# Sourced with render_exe, build and the test's name set.
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
source "$here/../../scripts/wine-env.sh"
zelmora_wine_env "$build" test-wineprefix
zelmora_ensure_display
trap zelmora_stop_display EXIT
out="$build/browser/$name"
rm -rf "$out"
mkdir -p "$out"
win() { echo "Z:$(realpath -m "$1" | sed 's|/|\\|g')"; }
