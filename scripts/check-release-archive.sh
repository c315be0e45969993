#!/bin/bash
# Usage: check-release-archive.sh EXE VERSION
# Checks the release archive dist.sh makes from the shipped executable: the
# same bytes every time (fixed entry times, so that a later run cannot
# differ), exactly the two files, the product byte for byte, and LEGGIMI.txt
# with its byte-order mark, its version and Windows line ends.
set -u
export LC_ALL=C   # od -c then shows the byte-order mark as octal whatever the locale
exe=$1 version=$2
status=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dist="$(dirname "$0")/dist.sh"
first=$(bash "$dist" "$exe" "$version" "$work/first") &&
second=$(bash "$dist" "$exe" "$version" "$work/second") || { echo "FAILED: make the archive"; exit 1; }
cmp -s "$first" "$second" || { echo "FAILED: the archive is reproducible"; status=1; }
[ "$(zipinfo -T "$first" | grep -c ' 20260101\.000000 ')" = 2 ] ||
    { echo "FAILED: the archive's entries carry the fixed time"; status=1; }
[ "$(unzip -Z1 "$first" | tr '\n' ' ')" = "copiaridotta.exe LEGGIMI.txt " ] ||
    { echo "FAILED: the archive holds exactly copiaridotta.exe and LEGGIMI.txt"; status=1; }
unzip -p "$first" copiaridotta.exe | cmp -s - "$exe" || { echo "FAILED: the archived exe is the product"; status=1; }
readme=$(unzip -p "$first" LEGGIMI.txt | od -An -c | tr -s ' \n' ' ')
[[ $readme == " 357 273 277 C o p i a R i d o t t a ${version//./ . } "* ]] ||
    { echo "FAILED: LEGGIMI.txt starts with a byte-order mark and the version"; status=1; }
[ "$(unzip -p "$first" LEGGIMI.txt | grep -c -v $'\r$')" = 0 ] ||
    { echo "FAILED: LEGGIMI.txt has Windows line ends"; status=1; }

[ $status -eq 0 ] && echo "$exe: release archive of version $version reproducible, exactly the product and LEGGIMI.txt"
exit $status
