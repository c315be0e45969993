# Sourced by the scripts that run Windows programs. Chooses how Wine runs the
# tests, the demo and the archive's checks here, in this order:
#   native:   the 32-bit build under 32-bit Wine, where the kernel runs i386 code;
#   emulated: the 32-bit build under 32-bit Wine's own loader run by qemu-i386
#             (laid out by the set-up in .cache/wine32-emulated), where it does not;
#   x86_64:   the same sources built for x86_64 under 64-bit Wine, when neither
#             32-bit way can be had.
# CR_ARCH=x86_64 forces the last; CR_WINE32=native or emulated forces a
# 32-bit way. POSIX only: wine-run.sh is /bin/sh, which has no BASH_SOURCE,
# but lives in this folder too.
CR_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE:-$0}")" && pwd)
CR_WINE32_EMULATED=$(dirname "$CR_SCRIPTS")/.cache/wine32-emulated
export CR_SCRIPTS CR_WINE32_EMULATED

wine32_native_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
wine32_emulated_runs() {
    [ -x "$CR_WINE32_EMULATED/lib/wine/wine" ] &&
        "$CR_WINE32_EMULATED/bin/qemu-i386" /usr/lib/wine/wine --version >/dev/null 2>&1
}

CR_WINE32=${CR_WINE32:-}
if [ "${CR_ARCH:-}" = x86_64 ]; then
    CR_WINE32=
elif [ -z "$CR_WINE32" ]; then
    if wine32_native_runs; then
        CR_WINE32=native
    elif wine32_emulated_runs; then
        CR_WINE32=emulated
    fi
fi
if [ -n "$CR_WINE32" ]; then
    CR_ARCH=i686
elif [ "${CR_ARCH:-}" = i686 ]; then
    CR_WINE32=native   # asked for where no way runs: let it fail visibly
else
    CR_ARCH=x86_64
fi
export CR_ARCH CR_WINE32
if [ "$CR_ARCH" = i686 ]; then
    if [ "$CR_WINE32" = emulated ]; then
        CR_WINE=$CR_WINE32_EMULATED/lib/wine/wine
        # A 64-bit prefix would start 64-bit services, which this loader cannot.
        export WINEARCH=win32
    else
        CR_WINE=/usr/lib/wine/wine
    fi
else
    CR_WINE=/usr/lib/wine/wine64
    export WINELOADER=$CR_WINE
fi
export CR_WINE WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# An Italian Windows, as the tool's users have: ANSI code page 1252, console 850.
export LANG=it_IT.UTF-8

# One line for logs: which build runs and how Wine runs it.
describe_wine() {
    case "$CR_ARCH/${CR_WINE32:-}" in
    i686/emulated) echo "the 32-bit build under 32-bit Wine, emulated by qemu-i386" ;;
    i686/*) echo "the 32-bit build under 32-bit Wine, native" ;;
    *) echo "the x86_64 build under 64-bit Wine" ;;
    esac
}

# How Windows programs under Wine name a Unix path: /x/y is Z:\x\y.
winpath() { printf 'Z:%s\n' "$1" | tr / '\\'; }
# Each build tree has a Wine prefix of its own. with-display.sh sets it; a
# program run by hand from TREE/bin gets its tree's unless one is chosen.
tree_prefix() { echo "$(cd "$1" && pwd)/wineprefix"; }
default_prefix_for() { : "${WINEPREFIX:=$(tree_prefix "$(dirname "$1")/..")}"; export WINEPREFIX; }

# start_xvfb DEPTH: a private X display of 1280 x 1024 at DEPTH bits of
# colour, made DISPLAY; XVFB_PID is its server. Fails when it does not start.
start_xvfb() {
    xvfb_display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "1280x1024x$1" -nolisten tcp 3>"$xvfb_display_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$xvfb_display_file" ] && break
        sleep 0.1
    done
    xvfb_number=$(head -n 1 "$xvfb_display_file")
    rm -f "$xvfb_display_file"
    [ -n "$xvfb_number" ] || return 1
    export DISPLAY=":$xvfb_number"
}
