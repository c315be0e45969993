#!/bin/bash
# The headless demo: runs the tool in a console window on the private display
# and saves a screenshot of the screen. Called by run.sh inside with-display.sh.
set -u
build=$1
shot="$build/screenshot.png"
"$CR_WINE" wineconsole "$build/bin/copiaridotta.exe" &
tool=$!
sleep 3
import -window root "$shot" 2>/dev/null
wait $tool
status=$?
echo "copiaridotta.exe ended with exit code $status"
echo "Screenshot: $shot"
exit $status
