#!/bin/bash
# Usage: build.sh BUILD_ROOT
# Builds the 32-bit product in BUILD_ROOT/i686. Where this host cannot run
# 32-bit Wine, also builds the same sources for x86_64 in BUILD_ROOT/x86_64,
# which is what the tests and the demo run here. Prints the tree to run.
set -eu
mkdir -p "$1"
root=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/wine-env.sh"
configure_and_build() {
    local arch=$1
    local tree="$root/$arch"
    if [ ! -f "$tree/CMakeCache.txt" ]; then
        cmake -S "$here" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" \
              -DCMAKE_BUILD_TYPE=Release -DCR_PRODUCT_EXE="$root/i686/bin/copiaridotta.exe" >&2
    fi
    cmake --build "$tree" -j 2 >&2
}
configure_and_build i686
[ "$CR_ARCH" = i686 ] || configure_and_build "$CR_ARCH"
echo "$root/$CR_ARCH"
