#!/bin/bash
# Installs the Debian packages the build and the tests need, only when some are
# missing. 32-bit Wine needs the i386 architecture; where the kernel refuses
# i386 code, it runs under qemu-i386, which is laid out once in .cache/ (see
# wine32-emulated.sh). Where neither can be had (an i386 index caught
# mid-sync, say), the x86_64 path serves unless CR_ARCH=i686 asks for the
# 32-bit one.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth xdotool xclip imagemagick cmake
          libimage-exiftool-perl libjpeg-turbo-progs googletest libxml2-utils zip unzip locales)
wine32=wine32:i386

is_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for package in "${packages[@]}"; do
    is_installed "$package" || missing+=("$package")
done
need_wine32=0
is_installed "$wine32" || [ "${CR_ARCH:-}" = x86_64 ] || need_wine32=1

# Where the kernel refuses i386 code, 32-bit Wine's loader runs emulated.
lay_out_emulated_wine32() {
    [ "${CR_ARCH:-}" = x86_64 ] || [ "${CR_WINE32:-}" = native ] && return 0
    [ "${CR_WINE32:-}" = emulated ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1 || return 0
    local wanted=${CR_ARCH:-} reason
    . "$here/wine-env.sh"
    if ! reason=$(bash "$here/wine32-emulated.sh" "$CR_WINE32_EMULATED"); then
        if [ "$wanted" = i686 ]; then
            echo "$reason; CR_ARCH=i686 needs it." >&2
            exit 1
        fi
        echo "$reason: the tests and the demo use the x86_64 build."
    elif [ -n "$reason" ]; then
        echo "$reason"
    fi
}

# Wine under LANG=it_IT.UTF-8 is an Italian Windows (ANSI 1252, console
# 850); it reads Unix file names in the host's locale, so that must exist.
make_italian_locale() {
    locale -a 2>/dev/null | grep -qix 'it_IT.utf-\?8' && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo localedef -i it_IT -c -f UTF-8 it_IT.UTF-8 ||
        echo "The locale it_IT.UTF-8 cannot be made: accented file names are misread under Wine."
}

if [ ${#missing[@]} -eq 0 ] && [ $need_wine32 -eq 0 ]; then
    make_italian_locale
    lay_out_emulated_wine32
    exit 0
fi

echo "Installing: ${missing[*]} $([ $need_wine32 -eq 1 ] && echo "$wine32")"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
# A mirror caught mid-sync fails one index now and serves it a little later;
# after the last try, what was fetched is used.
update_log=$(mktemp)
for attempt in 1 2 3; do
    if $sudo apt-get update -qq >"$update_log" 2>&1; then
        break
    fi
    [ $attempt -eq 3 ] && { echo "apt-get update still fails; going on with the indexes fetched:"; \
                            grep -m 3 '^[EW]:' "$update_log" || true; break; }
    sleep $((attempt * 5))
done
rm -f "$update_log"

if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
make_italian_locale
if [ $need_wine32 -eq 1 ]; then
    install_log=$(mktemp)
    if ! $sudo apt-get install -y -qq --no-install-recommends "$wine32" >"$install_log" 2>&1; then
        reason=$( (grep -m 1 'Depends:' "$install_log" || grep -m 1 '^E:' "$install_log") | sed 's/^ *//')
        rm -f "$install_log"
        if [ "${CR_ARCH:-}" = i686 ]; then
            echo "32-bit Wine cannot be installed (${reason:-apt-get failed}); CR_ARCH=i686 needs it." >&2
            exit 1
        fi
        echo "32-bit Wine cannot be installed (${reason:-apt-get failed}): the tests and the demo use the x86_64 build."
        exit 0
    fi
    rm -f "$install_log"
fi
lay_out_emulated_wine32
