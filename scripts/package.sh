#!/usr/bin/env bash
# Builds the Windows installer (NSIS) and the portable zip of both programs into
# BUILD_DIR/package/, named with the version of the programs' version resource.
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build}

"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build_dir" zelmora zelmora-render zelmora-uninstall

# The one place the version is written: the resource header the About box and --version show.
product=$root/res/product.h
version=$(sed -n 's/^#define ZELMORA_VERSION_TEXT *"\(.*\)"/\1/p' "$product")
version4=$(sed -n 's/^#define ZELMORA_VERSION_NUMBERS *\([0-9, ]*\)$/\1/p' "$product" | tr -d ' ' | tr , .)
[[ -n "$version" && -n "$version4" ]] || { echo "package: no version in $product" >&2; exit 1; }

out=$build_dir/package
mkdir -p "$out"
installer=$out/Zelmora-Setup-$version.exe
echo "package: building $installer"
makensis -V2 -DVERSION="$version" -DVERSION4="$version4" \
  -DAPP="$build_dir/app/zelmora.exe" -DRENDER="$build_dir/cli/zelmora-render.exe" \
  -DUNINSTALL="$build_dir/installer/launcher/zelmora-uninstall.exe" \
  -DICON="$root/res/zelmora.ico" -DOUTFILE="$installer" "$root/installer/zelmora.nsi"

zip_file=$out/Zelmora-$version-portable.zip
echo "package: building $zip_file"
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
folder=$staging/Zelmora-$version
mkdir -p "$folder"
cp "$build_dir/app/zelmora.exe" "$build_dir/cli/zelmora-render.exe" "$folder/"
sed "s/@VERSION@/$version/g" "$root/installer/portable-readme.txt" | sed 's/$/\r/' >"$folder/README.txt"
rm -f "$zip_file"
(cd "$staging" && zip -q -r -X "$zip_file" "Zelmora-$version")
echo "package: done: $installer and $zip_file"
