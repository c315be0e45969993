# Sourced by the scripts that run Windows programs. Chooses how Wine runs here:
# the 32-bit build under 32-bit Wine where the kernel runs 32-bit user code,
# otherwise the same sources built for x86_64 under 64-bit Wine (some hosts
# refuse 32-bit executables outright). POSIX only: wine-run.sh is /bin/sh.
if [ -z "${CR_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        CR_ARCH=i686
    else
        CR_ARCH=x86_64
    fi
fi
export CR_ARCH
if [ "$CR_ARCH" = i686 ]; then
    CR_WINE=/usr/lib/wine/wine
else
    CR_WINE=/usr/lib/wine/wine64
    export WINELOADER=$CR_WINE
fi
export CR_WINE WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# How Windows programs under Wine name a Unix path: /x/y is Z:\x\y.
winpath() { printf 'Z:%s\n' "$1" | tr / '\\'; }
# Each build tree has a Wine prefix of its own. with-display.sh sets it; a
# program run by hand from TREE/bin gets its tree's unless one is chosen.
tree_prefix() { echo "$(cd "$1" && pwd)/wineprefix"; }
default_prefix_for() { : "${WINEPREFIX:=$(tree_prefix "$(dirname "$1")/..")}"; export WINEPREFIX; }
