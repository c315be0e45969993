# End-to-end driver for the real copiaridotta.exe, sourced by the scenarios.
# The tool runs inside a real console window (wineconsole) under
# console_watch.exe, which keeps a dump of the console's screen and records
# the exit code; the file-open dialog is driven with xdotool. Every wait is
# bounded; a failure prints what was seen and kills what was started.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"

DIALOG_TITLE="Scegli una foto da copiare ridotta"
E2E_BIN=${E2E_BIN:?}
E2E_WORK=${E2E_WORK:?}
DUMP="$E2E_WORK/screen.txt"
TOOL_PID=""
DIALOG_ID=""
CLIPBOARD_PID=""

stop_tool() {
    if [ -n "$TOOL_PID" ] && kill -0 "$TOOL_PID" 2>/dev/null; then
        kill "$TOOL_PID" 2>/dev/null
        wineserver -k >/dev/null 2>&1
    fi
    TOOL_PID=""
}

fail() {
    echo "FAILED: $*"
    if [ -f "$DUMP" ]; then
        echo "--- console screen ---"
        grep '^T:' "$DUMP" | sed 's/^T:/|/; s/$/|/'
        grep '^exit' "$DUMP"
    fi
    if [ -n "${DISPLAY:-}" ] && import -window root "$E2E_WORK/failure.png" 2>/dev/null; then
        echo "screenshot: $E2E_WORK/failure.png"
    fi
    stop_tool
    stop_clipboard
    exit 1
}

# start_tool START_FOLDER [--alone]: the tool in its console window, current
# directory START_FOLDER. The console is shared with console_watch, as with a
# shell; with --alone it is the tool's own, as a double-click starts it, and
# console_watch, started without a window, joins it after start-up, when
# watch_console says so.
start_tool() {
    rm -f "$DUMP"
    WATCH_ALONE=${2:-}
    (cd "$1" && exec "$CR_WINE" $([ -z "$WATCH_ALONE" ] && echo wineconsole) \
        "$E2E_BIN/console_watch.exe" $WATCH_ALONE "$(winpath "$DUMP")" \
        "$(winpath "$E2E_BIN/copiaridotta.exe")") >"$E2E_WORK/wine.log" 2>&1 &
    TOOL_PID=$!
}
watch_console() { : >"$DUMP.attach"; }

# press_key: a key pressed in the console window.
press_key() {
    xdotool search --onlyvisible --class conhost windowfocus --sync key space ||
        fail "no console to press a key in"
}

# expect_wait: the line is on screen and the tool waits for a key.
expect_wait() {
    wait_screen "Batti un tasto per uscire\.\.\." 60
    for _ in $(seq 20); do grep -q '^exit ' "$DUMP" && fail "the tool ended without a key"; sleep 0.1; done
}

# Under emulation on a loaded machine the first window of a fresh Wine
# server has been seen to take more than 30 s.
wait_dialog() {
    DIALOG_ID=""
    for _ in $(seq 1200); do
        DIALOG_ID=$(xdotool search --name "$DIALOG_TITLE" 2>/dev/null | head -n 1)
        [ -n "$DIALOG_ID" ] && return 0
        sleep 0.1
    done
    fail "the dialog \"$DIALOG_TITLE\" did not appear within 120 s"
}

# choose_photo PATH: pastes the path into the dialog's name field through the
# X clipboard and presses Enter. Typed keys are lost on a loaded machine:
# letters outside the keyboard map go through a key that xdotool maps for a
# moment, and Wine may read it after the moment. Tries again while the dialog
# stays open (keys sent before the dialog has settled its focus can be lost),
# after giving it 20 s to close: on a loaded machine it can take seconds. A
# closed dialog can leave its X window behind, unmapped: only a visible one
# counts.
choose_photo() {
    printf '%s' "$1" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
    CLIPBOARD_PID=$!
    for _ in 1 2 3; do
        xdotool windowfocus --sync "$DIALOG_ID" 2>/dev/null
        sleep 0.5
        xdotool key ctrl+a BackSpace ctrl+v Return
        for _ in $(seq 200); do
            if ! xdotool search --onlyvisible --name "$DIALOG_TITLE" >/dev/null 2>&1; then
                stop_clipboard
                return 0
            fi
            sleep 0.1
        done
    done
    fail "the dialog did not take the path $1"
}

stop_clipboard() {
    [ -n "$CLIPBOARD_PID" ] && kill "$CLIPBOARD_PID" 2>/dev/null
    CLIPBOARD_PID=""
}

cancel_dialog() {
    xdotool windowfocus --sync "$DIALOG_ID" 2>/dev/null
    sleep 0.3
    xdotool key Escape
}

# wait_screen TEXT SECONDS: waits until a row of the console holds TEXT (a grep pattern).
wait_screen() {
    for _ in $(seq $(($2 * 10))); do
        grep -q "^T:.*$1" "$DUMP" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the console did not show [$1] within $2 s"
}

# wait_exit SECONDS: waits for the tool to end; sets EXIT_CODE.
wait_exit() {
    local tenths=$(($1 * 10))
    for _ in $(seq "$tenths"); do
        if [ -f "$DUMP" ] && grep -q '^exit ' "$DUMP"; then
            EXIT_CODE=$(sed -n 's/^exit //p' "$DUMP" | tr -d '\r')
            for _ in $(seq 50); do
                kill -0 "$TOOL_PID" 2>/dev/null || break
                sleep 0.1
            done
            stop_tool
            # A console shared with console_watch, as with a shell, is given
            # back as the tool found it, however it ended.
            [ -n "$WATCH_ALONE" ] || [ "$(sed -n 's/^before //p' "$DUMP")" = "$(sed -n 's/^after //p' "$DUMP")" ] ||
                fail "the console was not given back: $(grep -E '^(before|after) ' "$DUMP" | tr '\n' ' ')"
            return 0
        fi
        sleep 0.1
    done
    fail "the tool did not end within $1 s"
}

# screen_row N: the characters of row N (1-based) of the last dump, in the
# tool's 60 columns (the console is wider again once the tool has ended).
screen_row() {
    grep '^T:' "$DUMP" | sed -n "${1}p" | cut -c3-62
}

# attribute_row N: the attributes of row N, two hex digits per cell.
attribute_row() {
    grep '^A:' "$DUMP" | sed -n "${1}p" | cut -c3-122
}

# repeat TEXT COUNT
repeat() {
    local result=""
    for _ in $(seq "$2"); do result+=$1; done
    echo "$result"
}

expect_row() {
    local row=$1 text=$2 attribute=$3
    local width=${#text}
    local got
    got=$(screen_row "$row")
    [ "$got" = "$text" ] || fail "row $row: expected [$text], got [$got]"
    [ "$(attribute_row "$row")" = "$(repeat "$attribute" "$width")" ] ||
        fail "row $row: expected attribute $attribute in every cell, got $(attribute_row "$row")"
}

expect_exit() {
    [ "$EXIT_CODE" = "$1" ] || fail "exit code $EXIT_CODE, expected $1"
}

# pad TEXT WIDTH and centre TEXT WIDTH, as the intro lays its rows out.
pad() { printf "%-${2}s" "$1"; }
centre() {
    local spare=$(($2 - ${#1}))
    printf "%*s%s%*s" $((spare / 2)) "" "$1" $((spare - spare / 2)) ""
}
