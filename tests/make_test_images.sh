#!/usr/bin/env bash
# Makes the pictures the renderer tests load: a four-colour quadrant image (top-left red,
# top-right green, bottom-left blue, bottom-right yellow) in each format, a white image,
# a name in Cyrillic and CJK, and files that are not pictures at all.
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out"
cd "$out"
convert() { /usr/bin/convert "$@"; }

convert \( -size 32x32 xc:'#ff0000' xc:'#00ff00' +append \) \
        \( -size 32x32 xc:'#0000ff' xc:'#ffff00' +append \) -append PNG24:quadrants.png
convert quadrants.png -quality 95 quadrants.jpg
convert quadrants.png -type TrueColor BMP3:quadrants.bmp
convert quadrants.png -type TrueColor quadrants.tga
convert -size 16x16 xc:white PNG24:white.png
cp quadrants.png 'коробка 箱.png'

head -c 120 quadrants.png > truncated.png
: > empty.png
echo "this is not a picture" > text.png
