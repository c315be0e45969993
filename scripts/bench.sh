#!/bin/bash
# Usage: bench.sh RUN_TREE
# Makes (once) a folder of 20 photo-like 4000 x 3000 JPEGs and times the batch
# on it with batch_bench.exe, under a private display and Wine prefix.
set -eu
tree=$1
here=$(cd "$(dirname "$0")" && pwd)
photos="$tree/bench/photos"
if [ "$(ls "$photos" 2>/dev/null | grep -c '\.jpg$')" != 20 ]; then
    echo "Making 20 photos of 4000 x 3000 in $photos"
    rm -rf "$photos"
    mkdir -p "$photos"
    convert -size 800x600 plasma:fractal -resize 4000x3000 -attenuate 0.3 +noise Gaussian \
            -quality 90 "$photos/foto_01.jpg"
    for i in $(seq 2 20); do
        convert "$photos/foto_01.jpg" -modulate 100,100,$((60 + i * 7)) -quality 90 \
                "$photos/foto_$(printf %02d "$i").jpg"
    done
fi
bash "$here/with-display.sh" "$tree" bash -c \
    '"$CR_WINE" "$0/bin/batch_bench.exe" "Z:${1//\//\\}" 3' "$tree" "$photos"
