#!/bin/bash
# Usage: check-product-exe.sh EXE VERSION RESOURCES_PROBE
# Checks the shipped executable's form: PE32 for i386, console subsystem,
# large-address-aware, no MinGW run-time DLL to carry along; and its
# resources as Windows reads them (RESOURCES_PROBE runs under Wine): the
# manifest's declarations and the version information of VERSION.
set -u
export LC_ALL=C   # the version strings come in the ANSI code page
exe=$1 version=$2 probe=$3
. "$(dirname "$0")/wine-env.sh"
pe_headers=$(i686-w64-mingw32-objdump -p "$exe") || { echo "cannot read $exe"; exit 1; }
status=0
# expect TEXT PATTERN WHAT: WHAT fails unless a line of TEXT matches PATTERN.
expect() {
    if ! grep -q -E "$2" <<<"$1"; then
        echo "FAILED: $3"
        status=1
    fi
}
expect "$pe_headers" 'file format pei-i386' 'PE32 for i386'
expect "$pe_headers" '^Subsystem[[:space:]]+00000003' 'console subsystem'
expect "$pe_headers" 'large address aware' 'large-address-aware'
# The loader is exported under its plain name, without the @16 of __stdcall.
expect "$pe_headers" '[[:space:]]fGDIp_2hBMP$' 'exports fGDIp_2hBMP'
if grep -q 'fGDIp_2hBMP@' <<<"$pe_headers"; then
    echo "FAILED: fGDIp_2hBMP exported undecorated"
    status=1
fi
if grep -i -E 'DLL Name: (libstdc|libgcc|libwinpthread)' <<<"$pe_headers"; then
    echo "FAILED: linked statically"
    status=1
fi

resources=$("$CR_WINE" "$probe" "$(winpath "$exe")" | tr -d '\r')
manifest=$(sed -n '/^manifest:$/,/^<\/assembly>$/p' <<<"$resources" | tr -s ' \n' ' ')
expect_in_manifest() {
    if ! grep -q -F "$1" <<<"$manifest"; then
        echo "FAILED: the manifest declares $2"
        status=1
    fi
}
expect_in_manifest '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
    'asInvoker without uiAccess (no file virtualization)'
for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
          4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
          8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    expect_in_manifest "<supportedOS Id=\"{$os}\"/>" "supportedOS $os"
done
expect_in_manifest 'WindowsSettings">true</dpiAware>' 'system DPI awareness'
expect_in_manifest 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    'the common controls 6 dependency'
# The text handling is built on the ANSI code page and short paths.
if grep -q -i -E 'activeCodePage|longPathAware' <<<"$manifest"; then
    echo "FAILED: the manifest changes how the ANSI calls behave"
    status=1
fi
expect "$resources" "^fixed file version ${version//./\\.}\\.0$" "fixed file version $version"
expect "$resources" '^translation 0410 04e4$' 'version information in Italian, code page 1252'
expect "$resources" '^ProductName=Copia Ridotta$' 'ProductName'
expect "$resources" '^CompanyName=Tarvello Soft$' 'CompanyName'
expect "$resources" '^FileDescription=.+ foto' 'an Italian FileDescription'
expect "$resources" "^FileVersion=${version//./\\.}$" "FileVersion $version"
expect "$resources" "^ProductVersion=${version//./\\.}$" "ProductVersion $version"
expect "$resources" '^InternalName=copiaridotta\.exe$' 'InternalName'
expect "$resources" '^OriginalFilename=copiaridotta\.exe$' 'OriginalFilename'
expect "$resources" '^LegalCopyright=.+Tarvello Soft$' 'LegalCopyright'

[ $status -eq 0 ] && echo "$exe: PE32 i386 console executable, large-address-aware, static, exports fGDIp_2hBMP; manifest and version $version read back"
exit $status
