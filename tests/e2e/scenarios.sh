#!/bin/bash
# Usage: scenarios.sh SCENARIO BIN_DIR
# One end-to-end run of the real tool, as a new user would make it.
set -u
scenario=$1
export E2E_BIN=$(cd "$2" && pwd)
export E2E_WORK="$E2E_BIN/../e2e/$scenario"
rm -rf "$E2E_WORK"
mkdir -p "$E2E_WORK"
here=$(cd "$(dirname "$0")" && pwd)
. "$here/driver.sh"

W=60
INTRO_ROWS=(
    "$(centre "Creo un copia ridotta delle foto ( 1000 pixel)" $W)"
    "$(pad "" $W)"
    "$(pad "Scegliere una foto qualsiasi dalla cartella contenente le" $W)"
    "$(pad "immagini da ridurre." $W)"
    "$(pad "Il programma inizia a leggere le foto e a creare le copie" $W)"
    "$(pad "ridotte senza modificare l'originale!" $W)"
    "$(pad "Le copie avranno lo stesso nome dell'originale preceduto da" $W)"
    "$(pad "CR_ (che vuol dire CopiaRidotta) e saranno nella stessa" $W)"
    "$(pad "cartella." $W)"
    "$(pad "" $W)"
    "$(centre "Batti un tasto per procedere..." $W)"
    "$(pad "" $W)"
)
INTRO_ATTRIBUTES=(0C 07 07 07 07 07 07 07 07 07 0F 07)

# expect_scrolled_screen FIRST_INTRO_ROW LINE...: the intro scrolled up so
# that its row FIRST_INTRO_ROW is on top (its blank row 12 is where the first
# line went), then the given lines in bright white.
expect_scrolled_screen() {
    local first=$1; shift
    local row=1
    for ((i = first - 1; i < 11; i++)); do
        expect_row $row "${INTRO_ROWS[$i]}" "${INTRO_ATTRIBUTES[$i]}"
        row=$((row + 1))
    done
    for line in "$@"; do
        [ "$(screen_row $row)" = "$(pad "$line" $W)" ] ||
            fail "row $row: expected [$line], got [$(screen_row $row)]"
        [ "$(attribute_row $row | cut -c1-2)" = 0F ] || fail "row $row is not bright white"
        row=$((row + 1))
    done
}

make_photo() {   # make_photo PATH WIDTHxHEIGHT
    convert -size "$2" gradient:orange-navy "$1" || fail "cannot make $1"
}

case $scenario in
intro_and_cancel)
    start_tool "$E2E_WORK"
    wait_dialog
    sleep 0.5
    for row in $(seq 12); do
        expect_row "$row" "${INTRO_ROWS[$((row - 1))]}" "${INTRO_ATTRIBUTES[$((row - 1))]}"
    done
    grep -q '^size 60 12 cursor 1 12$' "$DUMP" || fail "console not 60 x 12 with the cursor on row 12, col 1"
    cancel_dialog
    wait_exit 20
    expect_exit 0
    # Nothing after the intro: no phase line, and no "Finito." with its pause.
    for row in $(seq 12); do
        expect_row "$row" "${INTRO_ROWS[$((row - 1))]}" "${INTRO_ATTRIBUTES[$((row - 1))]}"
    done
    ;;
folder_without_images)
    # Started as a double-click starts it: the console is the tool's alone
    # and closes with it, so the news that nothing was done waits for a key.
    folder="$E2E_WORK/appunti"
    mkdir -p "$folder"
    echo "nessuna foto" >"$folder/note.txt"
    echo "testo" >"$folder/leggimi.doc"
    start_tool "$E2E_WORK" --alone
    wait_dialog
    watch_console
    choose_photo "$(winpath "$folder/note.txt")"
    expect_wait
    expect_scrolled_screen 5 "Leggo lista delle immagini." "Elaborazione." \
        "Nessuna foto da copiare in questa cartella." "Finito." "Batti un tasto per uscire..."
    press_key
    wait_exit 60
    expect_exit 0
    ;;
blanks_in_path)
    folder="$E2E_WORK/le mie foto/mare 2024"
    mkdir -p "$folder"
    make_photo "$folder/onda lunga.jpg" 64x48
    # Pending copies of runs that were killed go; other files stay.
    # Unnumbered, only at a path too long for the numbered name.
    long=a_$(repeat x $((250 - $(winpath "$(realpath "$folder")/" | wc -L)))).tmp
    touch "$folder/cr_vecchia.4000000000.tmp" "$folder/appunti.tmp" "$folder/cr_fresca.tmp"
    touch -d '1 hour ago' "$folder/a_vecchia.tmp" "$folder/$long"
    start_tool "$E2E_WORK"
    wait_dialog
    choose_photo "$(winpath "$folder/onda lunga.jpg")"
    wait_exit 60
    expect_exit 0
    grep -q '^T:Elaboro onda lunga \.\.\.\.' "$DUMP" || fail "the photo of the chosen folder was not listed"
    grep -q '^T:Finito\.' "$DUMP" || fail "no final line"
    left=$(cd "$folder" && LC_ALL=C && echo *.tmp)
    [ "$left" = "a_vecchia.tmp appunti.tmp cr_fresca.tmp" ] || fail "pending files: $left"
    ;;
without_console)
    # Standard output redirected to a file: no console at all. The console
    # services fail quietly and the run still ends normally.
    folder="$E2E_WORK/foto"
    mkdir -p "$folder"
    make_photo "$folder/sole.jpg" 64x48
    (cd "$E2E_WORK" && exec "$CR_WINE" "$E2E_BIN/copiaridotta.exe" >"$E2E_WORK/out.txt" 2>&1 </dev/null) &
    TOOL_PID=$!
    wait_dialog
    choose_photo "$(winpath "$folder/sole.jpg")"
    for _ in $(seq 600); do
        kill -0 "$TOOL_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$TOOL_PID" 2>/dev/null && fail "the tool did not end within 60 s"
    wait "$TOOL_PID"
    EXIT_CODE=$?
    TOOL_PID=""
    expect_exit 0
    ;;
folder_out_of_code_page)
    # The dialog gives "?" for the letters the ANSI code page lacks: that folder
    # cannot be entered, and the photo of the start folder must not be taken
    # for one of it.
    work=$(realpath "$E2E_WORK")
    folder="$work/Foto 東京"
    mkdir -p "$folder"
    make_photo "$folder/tempio.jpg" 64x48
    make_photo "$work/partenza.jpg" 64x48
    start_tool "$work"
    wait_dialog
    choose_photo "$(winpath "$folder/tempio.jpg")"
    # The run ends there: the line stays on screen until a key is pressed.
    expect_wait
    shown=$(grep '^T:' "$DUMP" | cut -c3- | tr -d '\r\n')
    expected="Impossibile aprire la cartella $(winpath "$work/Foto ??/")"
    [[ "$shown" == *"$expected"* ]] || fail "no line [$expected]"
    press_key
    wait_exit 60
    expect_exit 0
    grep -q '^T:Leggo lista' "$DUMP" && fail "the folder was listed"
    written=$(find "$work" \( -name 'cr_*' -o -name 'a_*' \) -print)
    [ -z "$written" ] || fail "copies were written: $written"
    ;;
disk_full)
    # A folder on a nearly full disk: every save fails part-way. No broken
    # copy may stay behind, and the copies of an earlier run stay as they were.
    folder="$E2E_WORK/piena"
    mkdir -p "$folder"
    if ! mount -t tmpfs -o size=1m tmpfs "$folder" 2>/dev/null; then
        echo "scenario $scenario skipped: cannot mount a tmpfs here (needs root)"
        exit 77
    fi
    trap 'umount -l "$folder"' EXIT
    # Noise: copies far larger than the room left, whichever size.
    for name in primo secondo; do
        convert -size 300x225 xc:gray +noise Random "$folder/$name.jpg" || fail "cannot make $name.jpg"
    done
    make_photo "$folder/cr_secondo.jpg" 10x10
    make_photo "$folder/a_secondo.jpg" 8x8
    (cd "$folder" && md5sum -- * >"$E2E_WORK/before.md5")
    free=$(df --output=avail -B1 "$folder" | tail -n 1)
    head -c $((free - 16384)) /dev/zero >"$folder/riempitivo.dat"
    start_tool "$E2E_WORK"
    wait_dialog
    choose_photo "$(winpath "$folder/primo.jpg")"
    wait_exit 60
    expect_exit 0
    for base in primo secondo; do
        grep -q "^T:Elaboro $base \.\.\.\. *\$" "$DUMP" || fail "no progress line for $base"
        for copy in cr_$base.jpg a_$base.jpg; do
            grep -q "^T:Impossibile salvare $copy *\$" "$DUMP" || fail "the failed save of $copy was not said"
        done
    done
    grep -q '^T:Finito\.' "$DUMP" || fail "no final line"
    (cd "$folder" && md5sum -c --quiet "$E2E_WORK/before.md5") || fail "a source or an earlier copy changed"
    left=$(cd "$folder" && ls | tr '\n' ' ')
    [ "$left" = "a_secondo.jpg cr_secondo.jpg primo.jpg riempitivo.dat secondo.jpg " ] ||
        fail "files left behind: $left"
    ;;
batch_of_photos)
    # A folder as a user would have it: photos of several shapes and formats,
    # one file that only looks like a photo, and copies of an earlier run.
    folder="$E2E_WORK/Vacanze"
    mkdir -p "$folder"
    make_photo "$folder/IMG_0001.JPG" 4000x3000
    make_photo "$folder/Ritratto.jpg" 2000x3000
    make_photo "$folder/panorama.png" 800x100
    make_photo "$folder/schema.bmp" 640x480
    make_photo "$folder/Gif.gif" 1000x295
    echo "non sono una foto" >"$folder/rotta.jpg"
    make_photo "$folder/cr_vecchia.jpg" 10x10
    (cd "$folder" && md5sum -- * >"$E2E_WORK/sources.md5")
    # Run 2 on a display at 150 % and of 16-bit colour: copies leave the
    # machine, so they must be the same bytes.
    dpi_key='HKCU\Control Panel\Desktop'
    XVFB_PID=""
    # At the end the second display goes, and the Wine server it serves with it.
    trap '"$CR_WINE" reg add "$dpi_key" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
          [ -n "$XVFB_PID" ] && { wineserver -k; kill "$XVFB_PID"; }' EXIT
    for run in 1 2; do
        # The running Wine server and its desktop belong to the first display.
        [ $run = 2 ] && { wineserver -k; wineserver -w; start_xvfb 16 || fail "no X display of 16-bit colour"; }
        "$CR_WINE" reg add "$dpi_key" /v LogPixels /t REG_DWORD /d $((48 + run * 48)) /f >/dev/null 2>&1
        start_tool "$E2E_WORK"
        wait_dialog
        choose_photo "$(winpath "$folder/Ritratto.jpg")"
        wait_exit 180
        expect_exit 0
        (cd "$folder" && md5sum -c --quiet "$E2E_WORK/sources.md5") || fail "a source changed"
        for base in IMG_0001 Ritratto panorama schema Gif rotta; do
            grep -q "^T:Elaboro $base \.\.\.\. *\$" "$DUMP" || fail "no progress line for $base"
        done
        [ "$(grep -c '^T:Function failed *$' "$DUMP")" = 2 ] ||
            fail "the file that is no photo must give two Function failed lines"
        # The count stays on screen; in a console shared with a shell the
        # tool ends without waiting for a key.
        grep '^T:' "$DUMP" | grep -A1 '^T:Finito\.' | grep -q '^T:2 copie non create\. *$' || fail "no count after Finito."
        grep -q '^T:Elaboro cr_vecchia' "$DUMP" && fail "an earlier copy was listed"
        expect_copy() {   # expect_copy NAME WIDTHxHEIGHT
            [ -f "$folder/$1" ] || fail "$1 was not written (run $run)"
            local got
            got=$(identify -format '%m %wx%h' "$folder/$1")
            [ "$got" = "JPEG $2" ] || fail "$1: expected JPEG $2, got $got"
        }
        expect_copy cr_img_0001.jpg 1000x750
        expect_copy a_img_0001.jpg 300x225
        expect_copy cr_ritratto.jpg 667x1000
        expect_copy a_ritratto.jpg 200x300
        expect_copy cr_panorama.jpg 1000x120
        expect_copy a_panorama.jpg 300x36
        expect_copy cr_schema.jpg 1000x750
        expect_copy a_schema.jpg 300x225
        expect_copy cr_gif.jpg 1000x290
        expect_copy a_gif.jpg 300x87
        [ -e "$folder/cr_rotta.jpg" ] || [ -e "$folder/a_rotta.jpg" ] &&
            fail "copies were written for a file that is no photo"
        [ "$(ls "$folder" | wc -l)" = 17 ] || fail "unexpected files: $(ls "$folder")"
        [ $run = 1 ] && mkdir -p "$E2E_WORK/at96" && cp "$folder"/cr_* "$folder"/a_* "$E2E_WORK/at96/"
        for copy in $([ $run = 2 ] && ls "$E2E_WORK"/at96/); do
            cmp -s "$E2E_WORK/at96/$copy" "$folder/$copy" || fail "$copy differs at 144 DPI, 16 bits:" \
                "$(compare -metric AE "$E2E_WORK/at96/$copy" "$folder/$copy" null: 2>&1) pixels"
        done
    done
    ;;
names_of_a_run)
    # Alone in its console, as from a double-click. Two photos that share a
    # base name each keep copies of their own; accented names read as they
    # are at console code page 850; the file that is no photo makes the run
    # wait for a key.
    folder="$E2E_WORK/Sito"
    mkdir -p "$folder"
    for photo in logo.jpg:400x300 logo.png:300x400 IMG_1.jpg:640x480 città.jpg:320x240 Perù.png:200x100; do
        make_photo "$folder/${photo%:*}" "${photo#*:}"
    done
    echo "non sono una foto" >"$folder/rotta.jpg"
    start_tool "$E2E_WORK" --alone
    wait_dialog
    watch_console
    choose_photo "$(winpath "$folder/logo.jpg")"
    expect_wait
    grep -q '^size 60 12 ' "$DUMP" || fail "the console of its own is not 60 x 12: $(head -n 1 "$DUMP")"
    grep -q '^T:Elaboro città \.\.\.\. *$' "$DUMP" && grep -q '^T:Elaboro Perù \.\.\.\. *$' "$DUMP" ||
        fail "accented names not shown as they are"
    # Whichever of the two is listed first keeps the short names; each copy
    # has the shape of its own source.
    if [ -e "$folder/cr_logo.png.jpg" ]; then later=png; else later=jpg; fi
    grep -q "^T:Nome già usato: copie come cr_logo.$later.jpg *\$" "$DUMP" || fail "the whole name was not said"
    shapes=$(cd "$folder" && identify -format '%f %wx%h ' cr_logo* a_logo*)
    [ "$shapes" = "cr_logo.jpg 1000x750 cr_logo.png.jpg 752x1000 a_logo.jpg 300x225 a_logo.png.jpg 226x300 " ] ||
        [ "$shapes" = "cr_logo.jpg 752x1000 cr_logo.jpg.jpg 1000x750 a_logo.jpg 226x300 a_logo.jpg.jpg 300x225 " ] ||
        fail "copies not of their own sources: $shapes"
    [ "$(ls "$folder" | wc -l)" = 16 ] || fail "not 6 sources and 10 copies: $(ls "$folder" | tr '\n' ' ')"
    press_key
    wait_exit 60
    expect_exit 0
    ;;
stopped_with_ctrl_c)
    # Ctrl+C in a console shared with a shell: the copy in hand is finished,
    # the rest is not started, and the console is given back.
    folder="$E2E_WORK/Molte"
    mkdir -p "$folder"
    make_photo "$folder/foto_01.jpg" 4000x3000
    for i in 02 03 04 05 06 07 08; do cp "$folder/foto_01.jpg" "$folder/foto_$i.jpg"; done
    start_tool "$E2E_WORK"
    wait_dialog
    choose_photo "$(winpath "$folder/foto_01.jpg")"
    wait_screen "Elaboro foto_0" 60
    : >"$DUMP.ctrlc"   # console_watch sends Ctrl+C
    wait_exit 120
    expect_exit 1
    grep -q '^T:Interrotto\. *$' "$DUMP" || fail "the stop was not said"
    grep -q '^T:Finito\.' "$DUMP" && fail "a stopped run told as finished"
    last=$(grep -o '^T:Elaboro foto_0[0-9]' "$DUMP" | tail -n 1 | cut -c11-)
    [ -n "$last" ] && [ "$last" != foto_08 ] || fail "the batch was not stopped (last photo ${last:-none})"
    identify "$folder/cr_$last.jpg" >/dev/null 2>&1 || fail "the copy in hand, cr_$last.jpg, was not finished"
    [ -z "$(ls "$folder" | grep -v '\.jpg$')" ] || fail "files left: $(ls "$folder" | tr '\n' ' ')"
    ;;
*)
    echo "unknown scenario $scenario"
    exit 2
    ;;
esac
echo "scenario $scenario passed"
