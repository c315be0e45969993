#!/bin/bash
# Usage: bench.sh BUILD_ROOT
# Makes (once) a folder of 20 photo-like 4000 x 3000 JPEGs, the same photos
# tagged with EXIF orientation 6 and the same photos turned into 3000 x 4000
# ones, and times the batch on all three in one run of batch_bench.exe, under
# a private display and Wine prefix. Emulation distorts timings: where 32-bit
# Wine runs only emulated, the x86_64 build, which runs natively, is timed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
if [ "$CR_WINE32" = emulated ]; then
    unset WINEARCH
    CR_ARCH=x86_64
    . "$here/wine-env.sh"
fi
# build.sh prints the tree as an absolute folder: the bench enters each
# set's folder in turn, so a relative name would be taken from inside the
# previous one.
tree=$(bash "$here/build.sh" "$1")
echo "Timing $(describe_wine) ($tree)"
photos="$tree/bench/photos"
tagged="$tree/bench/photos_orientation6"
upright="$tree/bench/photos_upright"
if [ "$(ls "$photos" 2>/dev/null | grep -c '\.jpg$')" != 20 ]; then
    echo "Making 20 photos of 4000 x 3000 in $photos"
    rm -rf "$photos" "$tagged" "$upright"
    mkdir -p "$photos"
    convert -size 800x600 plasma:fractal -resize 4000x3000 -attenuate 0.3 +noise Gaussian \
            -quality 90 "$photos/foto_01.jpg"
    for i in $(seq 2 20); do
        convert "$photos/foto_01.jpg" -modulate 100,100,$((60 + i * 7)) -quality 90 \
                "$photos/foto_$(printf %02d "$i").jpg"
    done
fi
if [ "$(ls "$tagged" 2>/dev/null | grep -c '\.jpg$')" != 20 ]; then
    echo "Tagging the same photos with orientation 6 in $tagged"
    rm -rf "$tagged"
    mkdir -p "$tagged"
    cp "$photos"/*.jpg "$tagged"/
    exiftool -q -overwrite_original -Orientation=6 -n "$tagged"/*.jpg
fi
if [ "$(ls "$upright" 2>/dev/null | grep -c '\.jpg$')" != 20 ]; then
    echo "Turning the same photos upright, untagged, in $upright"
    rm -rf "$upright"
    mkdir -p "$upright"
    for photo in "$photos"/*.jpg; do
        convert "$photo" -rotate 90 -quality 90 "$upright/$(basename "$photo")"
    done
fi
bash "$here/with-display.sh" "$tree" "$CR_WINE" "$tree/bin/batch_bench.exe" \
    "$(winpath "$photos")" "$(winpath "$tagged")" "$(winpath "$upright")" 3
