#!/bin/bash
# The headless demo (make run without a display), run inside with-display.sh:
# makes a folder of sample photos, starts the tool in its console window,
# chooses one of the photos in the file-open dialog, saves a screenshot while
# the batch runs, and lists the copies the tool wrote.
set -u
build=$1
here=$(cd "$(dirname "$0")" && pwd)
export E2E_BIN="$build/bin" E2E_WORK="$build/demo"
. "$here/../tests/e2e/driver.sh"

photos="$E2E_WORK/foto di esempio"
rm -rf "$E2E_WORK"
mkdir -p "$photos"
convert -size 1600x1200 plasma:orange-blue -blur 0x2 "$photos/IMG_0001.JPG"
convert -size 1200x1600 gradient:skyblue-seagreen -swirl 120 "$photos/Ritratto.jpg"
convert -size 900x600 radial-gradient:gold-firebrick "$photos/tramonto.png"
convert -size 640x480 pattern:checkerboard -fill navy -draw "circle 320,240 320,100" "$photos/schema.bmp"
echo "Sample photos: $photos"

start_tool "$E2E_WORK"
wait_dialog
choose_photo "$(winpath "$photos/IMG_0001.JPG")"
sleep 3
shot="$build/screenshot.png"
import -window root "$shot" 2>/dev/null
wait_exit 180
echo "Console at the end:"
grep '^T:' "$DUMP" | sed 's/^T:/  |/; s/$/|/'
echo "copiaridotta.exe ended with exit code $EXIT_CODE"
echo "Copies written:"
for copy in "$photos"/cr_* "$photos"/a_*; do
    [ -e "$copy" ] || continue
    echo "  $(basename "$copy"): $(identify -format '%m %wx%h' "$copy" 2>/dev/null), $(stat -c %s "$copy") bytes"
done
echo "Screenshot: $shot"
exit "$EXIT_CODE"
