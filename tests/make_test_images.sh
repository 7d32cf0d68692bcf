#!/usr/bin/env bash
# Makes the pictures the renderer tests load: a four-colour quadrant image (top-left red,
# top-right green, bottom-left blue, bottom-right yellow) in each format, a white image,
# a name in Cyrillic and CJK, and files that are not pictures at all.
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out"
here=$(cd "$(dirname "$0")" && pwd)
cd "$out"
convert() { /usr/bin/convert "$@"; }

convert \( -size 32x32 xc:'#ff0000' xc:'#00ff00' +append \) \
        \( -size 32x32 xc:'#0000ff' xc:'#ffff00' +append \) -append PNG24:quadrants.png
convert quadrants.png -quality 95 quadrants.jpg
# A print-ready cover for a 6 x 9 in book of 300 pages of white paper at 100 dpi: 0.125 in of
# magenta bleed round back, spine and front.
convert -size 1293x925 xc:'#ff00ff' -fill '#2040c0' -draw 'rectangle 12,12 612,912' -fill '#e0c020' \
        -draw 'rectangle 613,12 680,912' -fill '#20a040' -draw 'rectangle 681,12 1280,912' PNG24:cover-6x9-300.png
convert quadrants.png -type TrueColor BMP3:quadrants.bmp
convert -size 16x16 xc:white PNG24:white.png
cp quadrants.png 'коробка 箱.png'

head -c 120 quadrants.png > truncated.png
: > empty.png
echo "this is not a picture" > text.png

# Artwork as people have it: every variant of the quadrant picture.
convert quadrants.png -colorspace CMYK -quality 95 cmyk.jpg
convert quadrants.png -interlace JPEG -quality 95 progressive.jpg
convert quadrants.png -interlace PNG PNG24:interlaced.png
convert quadrants.png -depth 16 PNG48:rgb16.png
convert quadrants.png PNG8:palette.png
convert quadrants.png -alpha set -channel A -evaluate set 60% +channel PNG32:alpha.png
convert quadrants.png -resize '300x100!' -filter point PNG24:wide-300x100.png
convert quadrants.png -resize '37x83!' -filter point PNG24:npot-37x83.png
convert -size 1x1 xc:'#ff0000' PNG24:one-pixel.png
# Grey pictures: white top-left and bottom-right, black elsewhere.
convert \( -size 32x32 xc:white xc:black +append \) \( -size 32x32 xc:black xc:white +append \) -append \
        -define png:bit-depth=8 -define png:color-type=0 grey8.png
convert quadrants.png -type Palette -compress RLE BMP3:bmp8-rle.bmp
convert quadrants.png -type Palette BMP3:bmp4-palette.bmp
convert quadrants.png -define bmp:subtype=RGB565 BMP:bmp16-565.bmp
convert quadrants.png BMP2:os2.bmp
convert grey8.png -type Bilevel PNG:bilevel.png
convert grey8.png -alpha set -define png:color-type=4 grey-alpha.png
convert grey8.png -colorspace Gray -quality 95 grey.jpg
python3 "$here/make_odd_images.py" .
cp quadrants.jpg mislabelled-jpeg.png
echo "not a picture either" > text.jpg
# Large artwork for the load/clear cycles.
convert -size 1500x1500 plasma:fractal -quality 90 large.jpg

# A one-pixel black and white checker: seen small, the grey of half the light.
convert -size 2048x2048 pattern:gray50 -type TrueColor PNG24:checker.png
