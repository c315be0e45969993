#!/bin/bash
# Usage: run.sh BUILD_DIR
# With a display: the interactive tool in a real console window.
# Without one: the headless demo under a private X server, with a screenshot.
set -u
. "$(dirname "$0")/wine-env.sh"
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
if [ -n "${DISPLAY:-}" ]; then
    CR_USE_DISPLAY=1 bash "$here/with-display.sh" "$build" "$CR_WINE" wineconsole "$build/bin/copiaridotta.exe"
    status=$?
    echo "copiaridotta.exe ended with exit code $status"
    exit $status
fi
exec bash "$here/with-display.sh" "$build" bash "$here/demo.sh" "$build"
