#!/usr/bin/env bash
# The container recipe's build stage run as far as this machine allows (no container engine
# runs here): its packages' programs alone on the PATH (with the ones every Debian image
# holds), never the rest of this machine's, then its build line run in a clean environment
# into a build tree of its own. Catches a tool the build needs that the stage does not
# install (Wine, for the shader assembler, once was).
# Usage: container_build_test.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
recipe=$root/deploy/container/Containerfile
work=$build/container-build
rm -rf "$work"
mkdir -p "$work/bin" "$work/home"
failures=0
check() { if [[ $1 == 0 ]]; then echo "ok: $2"; else echo "FAILED: $2"; failures=$((failures + 1)); fi; }

# The build stage's lines, each continued line joined into one.
stage=$(sed -n '/^FROM .* AS build$/,/^FROM /p' "$recipe" | sed '$d' | sed -e ':a' -e '/\\$/N; s/\\\n//; ta')
packages=$(grep -o 'apt-get install [^&]*' <<<"$stage" | tr ' ' '\n' | grep -v -e '^-' -e '^apt-get$' -e '^install$' -e '^$')
build_line=$(grep '^RUN cmake ' <<<"$stage" | sed 's/^RUN //')
[[ -n $packages && -n $build_line ]]
check $? "the build stage installs packages ($(wc -w <<<"$packages")) and builds with CMake"

# The programs a list of packages brings: theirs, their dependencies', and those of the
# packages every Debian image holds (Essential or required). A program reached through
# /etc/alternatives counts when the file it ends at belongs to one of them.
programs_of() {  # programs_of BIN_DIR PACKAGE...
  local bin=$1 closure files p
  shift
  closure=$( { dpkg-query -W -f='${Package} ${Essential} ${Priority}\n' | awk '$2 == "yes" || $3 == "required" {print $1}'
               apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks \
                 --no-replaces --no-enhances "$@" 2>/dev/null | grep -v '^ ' | grep -v '^<'; } | sort -u)
  for p in $closure; do dpkg -L "$p" 2>/dev/null; done | sort -u >"$bin.files"
  for p in /usr/bin/* /usr/sbin/* /bin/* /sbin/*; do
    [[ -x $p && ! -d $p ]] && printf '%s\t%s\n' "$p" "$(readlink -f "$p")"
  done | awk -F '\t' 'NR == FNR { owned[$0] = 1; next } ($1 in owned || $2 in owned) { print $1 "\t" $2 }' "$bin.files" - |
    while IFS=$'\t' read -r entry target; do
      [[ -e $bin/${entry##*/} ]] || ln -s "$target" "$bin/${entry##*/}"
    done
}
# shellcheck disable=SC2086
programs_of "$work/bin" $packages
[[ -x $work/bin/cmake && -x $work/bin/x86_64-w64-mingw32-g++-posix ]]
check $? "the stage's packages bring CMake and the cross compiler"
# The same without Wine's packages has no Wine: the PATH below does not reach this machine's.
mkdir -p "$work/bin-no-wine"
# shellcheck disable=SC2086
programs_of "$work/bin-no-wine" $(grep -v '^wine' <<<"$packages")
[[ ! -e $work/bin-no-wine/wine && ! -e $work/bin-no-wine/wineserver ]]
check $? "without the stage's Wine packages no wine is on that PATH"

# The build line, its /src and /build the repository and a tree of the test's own.
line=${build_line//\/src/$root}
line=${line//\/build/$work/tree}
env -i PATH="$work/bin" HOME="$work/home" bash -c "$line" >"$work/build.log" 2>&1
status=$?
[[ $status == 0 ]] || tail -20 "$work/build.log"
check $status "the build line runs with only the stage's programs (log: $work/build.log)"
[[ -f $work/tree/cli/zelmora-render.exe ]]
check $? "it makes zelmora-render.exe, the program the image copies"
rm -rf "$work/tree"
exit $((failures > 0))
