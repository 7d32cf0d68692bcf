#!/usr/bin/env bash
# The container recipe's runtime stage laid out in a folder instead of an image (no container
# engine runs here): its COPY lines followed into a stand-in for the image's root, its
# prefix made as its RUN line makes it, then its entry point run headless (no display
# given) as a task runs it, on a read-only image. Catches a script the image needs but does not copy, a path
# the layout does not hold, a display left behind.
# Usage: container_layout_test.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
recipe=$root/deploy/container/Containerfile
image=$build/container-layout
rm -rf "$image"
mkdir -p "$image/work"
failures=0
check() { if [[ $1 == 0 ]]; then echo "ok: $2"; else echo "FAILED: $2"; failures=$((failures + 1)); fi; }

# COPY SOURCE... DEST/ (from the repository) and COPY --from=build /build/X DEST/ (the build).
while read -r -a words; do
  [[ ${words[0]} == COPY ]] || continue
  dest=$image${words[-1]}
  mkdir -p "$dest"
  if [[ ${words[1]} == --from=build ]]; then
    for source in "${words[@]:2:${#words[@]}-3}"; do cp "$build/${source#/build/}" "$dest"; done
  else
    for source in "${words[@]:1:${#words[@]}-2}"; do [[ $source == . ]] || cp "$root/$source" "$dest"; done
  fi
done < <(sed -n '/^FROM debian:12-slim$/,$p' "$recipe")
entry=$(sed -n 's/^ENTRYPOINT \["\([^"]*\)"\]$/\1/p' "$recipe")
[[ -n $entry && -x $image$entry ]]
check $? "the entry point ($entry) is in the image's layout"

# The display the entry point starts is known by a mark in its environment: other programs
# on this machine may run displays of their own.
mark="ZELMORA_LAYOUT_TEST=$$-$RANDOM"
own_displays() {
  local pid
  for pid in $(pgrep -x Xvfb); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "$mark" && echo "$pid"
  done
}
run_in_image() { env -u DISPLAY -u ZELMORA_WINEPREFIX_NAME -u WINEPREFIX "$mark" HOME=/tmp "$image$entry" "$@"; }
version=$(run_in_image --version 2>/dev/null)
check $? "--version, as the image's RUN line runs it, makes the prefix ($version)"
[[ -f $image/opt/zelmora/build/wineprefix/.zelmora-ready ]]
check $? "the prefix lies inside the image's folder, made once"
# A task runs on a read-only root file system with /tmp and the work volume writable.
unshare -m bash -c 'mount --bind "$1" "$1" && mount -o remount,ro,bind "$1" && shift && "$@"' _ "$image/opt" \
  env -u DISPLAY -u ZELMORA_WINEPREFIX_NAME -u WINEPREFIX "$mark" HOME=/tmp \
  "$image$entry" --size 320x240 --rotation1 40 -o "$image/work/box.png" >/dev/null
check $? "the entry point renders headless with the arguments given, its image read-only"
[[ $(identify -format '%wx%h' "$image/work/box.png" 2>/dev/null) == 320x240 ]]
check $? "the picture is there, 320 x 240"
for _ in $(seq 100); do [[ -z $(own_displays) ]] && break; sleep 0.1; done
[[ -z $(own_displays) ]]
check $? "the virtual display it started is gone"
exit $((failures > 0))
