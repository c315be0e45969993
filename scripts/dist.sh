#!/bin/bash
# Usage: dist.sh EXE VERSION OUTPUT_FOLDER
# Writes OUTPUT_FOLDER/copiaridotta-VERSION-win32.zip with the executable and
# LEGGIMI.txt (UTF-8 with a byte-order mark and CR LF line ends, as Notepad
# on every Windows reads it). The same executable always gives the same
# bytes: fixed times, permissions and order, no extra fields.
set -eu
exe=$1 version=$2 out=$3
here=$(cd "$(dirname "$0")/.." && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/copiaridotta.exe"
{ printf '\xEF\xBB\xBF'; sed "s/@VERSION@/$version/; s/\$/\r/" "$here/LEGGIMI.txt"; } >"$stage/LEGGIMI.txt"
chmod 644 "$stage"/*
TZ=UTC touch -d '2026-01-01 00:00:00' "$stage"/*
mkdir -p "$out"
zip_file="$(cd "$out" && pwd)/copiaridotta-$version-win32.zip"
rm -f "$zip_file"
(cd "$stage" && TZ=UTC zip -q -X -9 "$zip_file" copiaridotta.exe LEGGIMI.txt)
echo "$zip_file"
