#!/bin/bash
# Usage: with-display.sh BUILD_DIR COMMAND...
# Runs COMMAND with a private X display (Xvfb) and the build tree's own Wine
# prefix, then ends the prefix's wineserver and the X server, whatever the
# command's outcome. With CR_USE_DISPLAY=1 the caller's DISPLAY is used instead.
set -u
build=$(cd "$1" && pwd); shift
. "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$(tree_prefix "$build")"

XVFB_PID=""
cleanup() {
    wineserver -k >/dev/null 2>&1
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "${CR_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    start_xvfb 24 || { echo "with-display: Xvfb did not start" >&2; exit 1; }
fi

echo "$(basename "$build"): $(describe_wine)"
# A prefix made by 64-bit Wine cannot serve the emulated 32-bit loader.
if [ "${WINEARCH:-}" = win32 ] && grep -q '^#arch=win64' "$WINEPREFIX/system.reg" 2>/dev/null; then
    wineserver -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX"
    "$CR_WINE" wineboot --init >/dev/null 2>&1
    wineserver -w
fi

# Without a window manager Wine waits about 2 s for one whenever a window is
# hidden; on the private display tell it that no manager will come.
x11_key='HKCU\Software\Wine\X11 Driver'
if [ -n "$XVFB_PID" ]; then
    "$CR_WINE" reg add "$x11_key" /v Managed /d N /f >/dev/null 2>&1
else
    "$CR_WINE" reg delete "$x11_key" /v Managed /f >/dev/null 2>&1
fi

"$@"
