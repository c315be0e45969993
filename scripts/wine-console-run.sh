#!/bin/bash
# Runs a test program inside a real console window (wineconsole). The window
# swallows standard output, so the program writes its results to the file
# named by CR_RESULT_FILE; this script prints that file and returns the
# program's own status.
set -u
program=$1; shift
. "$(dirname "$0")/wine-env.sh"
default_prefix_for "$program"
result=$(mktemp "${TMPDIR:-/tmp}/cr-console-result.XXXXXX")
trap 'rm -f "$result"' EXIT
export CR_RESULT_FILE=$(winpath "$result")
timeout --kill-after=10 "${CR_CONSOLE_TIMEOUT:-540}" "$CR_WINE" wineconsole "$program" "$@"
wine_status=$?
tr -d "\r" <"$result" >"$result.txt" && mv "$result.txt" "$result"
cat "$result"
status=$(sed -n 's/^exit \([0-9]*\)$/\1/p' "$result" | tail -n 1)
if [ -z "$status" ]; then
    echo "wine-console-run: $program left no result (wineconsole status $wine_status)"
    exit 1
fi
exit "$status"
