#!/bin/sh
# Runs a Windows program under Wine in the build tree's private prefix
# (ctest's cross-compiling emulator). WINEPREFIX and DISPLAY come from
# scripts/with-display.sh; the defaults let a single test run by hand.
program=$1
. "$(dirname "$0")/wine-env.sh"
default_prefix_for "$program"
exec "$CR_WINE" "$@"
