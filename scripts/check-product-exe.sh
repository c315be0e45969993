#!/bin/bash
# Checks the shipped executable's form: PE32 for i386, console subsystem,
# large-address-aware, and no MinGW run-time DLL to carry along.
set -u
exe=$1
headers=$(i686-w64-mingw32-objdump -p "$exe") || { echo "cannot read $exe"; exit 1; }
status=0
expect() {
    if ! grep -q -E "$1" <<<"$headers"; then
        echo "FAILED: $2"
        status=1
    fi
}
expect 'file format pei-i386' 'PE32 for i386'
expect '^Subsystem[[:space:]]+00000003' 'console subsystem'
expect 'large address aware' 'large-address-aware'
# The loader is exported under its plain name, without the @16 of __stdcall.
expect '[[:space:]]fGDIp_2hBMP$' 'exports fGDIp_2hBMP'
if grep -q 'fGDIp_2hBMP@' <<<"$headers"; then
    echo "FAILED: fGDIp_2hBMP exported undecorated"
    status=1
fi
if grep -i -E 'DLL Name: (libstdc|libgcc|libwinpthread)' <<<"$headers"; then
    echo "FAILED: linked statically"
    status=1
fi
[ $status -eq 0 ] && echo "$exe: PE32 i386 console executable, large-address-aware, static, exports fGDIp_2hBMP"
exit $status
