#!/usr/bin/env bash
# zelmora-render on Linux: the project's Wine prefix and, when DISPLAY is unset, a virtual
# display of its own. Arguments and exit status pass straight through; paths may be
# Linux paths (turned into Wine's Z: drive) or Windows paths.
#   scripts/render.sh --template "3-sided Cube, Left Rotation" --size 2000x2000 -o box.png
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build
exe=$build_dir/cli/zelmora-render.exe
if [[ ! -x "$exe" ]]; then
  echo "render: zelmora-render is not built yet: setting up and building it first (a few minutes)" >&2
  { "$root/scripts/setup.sh" && "$root/scripts/build.sh" "$build_dir" zelmora-render; } >&2 || exit 1
fi
source "$root/scripts/wine-env.sh"
# The prefix in the build tree (the tests point this at their own).
zelmora_wine_env "$build_dir" "${ZELMORA_WINEPREFIX_NAME:-wineprefix}"
zelmora_ensure_display
trap zelmora_stop_display EXIT
zelmora_start_session
# File names in any script travel as UTF-8.
export LC_ALL=C.UTF-8

# Options whose values are paths: a relative or absolute Linux path becomes a Z: path.
args=()
path_next=0
for arg in "$@"; do
  if (( path_next )) && [[ "$arg" != [A-Za-z]:* ]]; then
    arg="Z:$(realpath -m -- "$arg" | sed 's|/|\\|g')"
  fi
  path_next=0
  case "$arg" in
    -o|--output|--output-root|--jobs|--scene|--front|--back|--left|--right|--top|--bottom|--cover) path_next=1 ;;
  esac
  args+=("$arg")
done
# The paths it prints, in the form they were given: Z:\home\me\out\box.png is /home/me/out/box.png.
# A path ends where a colon follows (no Windows name holds one), so that a message naming
# two paths has both turned back.
# Passed on as it comes, up to its last line break or carriage return: a progress line that
# rewrites itself in place shows at once.
linux_paths() {
  perl -e '$| = 1; my $held = "";
    sub out { my $t = shift; $t =~ s{Z:(\\[^"\r\n:]*)}{ (my $p = $1) =~ tr{\\}{/}; $p }ge; print $t }
    while (sysread(STDIN, my $got, 65536)) {
      $held .= $got;
      my $end = 1 + (rindex($held, "\n") > rindex($held, "\r") ? rindex($held, "\n") : rindex($held, "\r"));
      if ($end > 0) { out(substr($held, 0, $end)); $held = substr($held, $end) }
    }
    out($held)'
}
# A studio picture takes seconds: on a terminal, each drawing's progress in place.
[[ -t 2 ]] && export ZELMORA_PROGRESS=1
wine "$exe" "${args[@]}" 2> >(linux_paths >&2) | linux_paths
exit "${PIPESTATUS[0]}"
