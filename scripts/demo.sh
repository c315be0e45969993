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
convert -size 4000x3000 plasma:orange-blue -blur 0x2 "$photos/IMG_0001.JPG"
convert -size 1200x1600 gradient:skyblue-seagreen -swirl 120 "$photos/Ritratto.jpg"
convert -size 900x600 radial-gradient:gold-firebrick "$photos/tramonto.png"
convert -size 640x480 pattern:checkerboard -fill navy -draw "circle 320,240 320,100" "$photos/schema.bmp"
echo "Sample photos: $photos"

start_tool "$E2E_WORK"
wait_dialog
choose_photo "$(winpath "$photos/IMG_0001.JPG")"
# The screenshot is taken while the batch runs, with a copy in the preview.
wait_screen "Elaboro " 30
shot="$build/screenshot.png"
BUTTON_FACE="srgb(245,245,245)"
for _ in $(seq 40); do
    import -window root "$shot" 2>/dev/null
    # The preview opens filled with the button face; wait for the photo in it.
    pixel=$(convert "$shot" -format '%[pixel:p{500,300}]' info: 2>/dev/null)
    case $pixel in
        "srgb(0,0,0)"|"$BUTTON_FACE") sleep 0.1 ;;
        *) break ;;
    esac
done
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
