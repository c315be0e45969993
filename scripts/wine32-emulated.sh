#!/bin/bash
# Usage: wine32-emulated.sh FOLDER
# Lays out 32-bit Wine under user-mode emulation in FOLDER, for hosts whose
# kernel refuses i386 code: Debian 13's static qemu-i386 (Debian 12's qemu
# crashes Wine's threads), fetched through a private sources list naming the
# system's own mirror, and a loader folder of Wine's own shape. Wine starts
# its child processes by executing "<folder of its loader>/wine", so that name
# must be the emulating script, not the i386 binary. The system's apt sources
# are not changed. Prints one line and fails when the emulator cannot be had.
set -eu
folder=$1
suite=${CR_QEMU_SUITE:-trixie}
if [ -x "$folder/lib/wine/wine" ] && cmp -s /usr/lib/wine/wine "$folder/lib/wine/wine.i386" &&
   "$folder/bin/qemu-i386" /usr/lib/wine/wine --version >/dev/null 2>&1; then
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
say_unobtainable() { echo "The i386 emulator cannot be had ($1)"; exit 1; }

. /etc/os-release
mirror=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 'Identifier: Packages' |
         awk -v release="$VERSION_CODENAME" '$1 == release { print $2; exit }')
[ -n "$mirror" ] || say_unobtainable "no Debian mirror among the system's sources"
mkdir -p "$work/lists/partial" "$work/archives/partial"
echo "deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main" \
    >"$work/sources.list"
apt_private() {
    apt-get -q -o Dir::Etc::sourcelist="$work/sources.list" -o Dir::Etc::sourceparts=- \
        -o Dir::State::Lists="$work/lists" -o Dir::Cache::Archives="$work/archives" \
        -o APT::Sandbox::User=root "$@"
}
apt_private update >"$work/log" 2>&1 && (cd "$work" && apt_private download qemu-user >>"$work/log" 2>&1) ||
    say_unobtainable "qemu-user of $suite from $mirror: $(grep -m 1 -E '^(E|Err):' "$work/log" | cut -c1-120)"

rm -rf "$folder"
mkdir -p "$folder/bin" "$folder/lib/wine" "$folder/share"
dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386
mv "$work/usr/bin/qemu-i386" "$folder/bin/"
cp /usr/lib/wine/wine "$folder/lib/wine/wine.i386"
# WINELOADERNOEXEC: the loader must not re-execute itself through the preloader.
cat >"$folder/lib/wine/wine" <<'EOF'
#!/bin/sh
export WINELOADERNOEXEC=1
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../../bin/qemu-i386" -0 "$here/wine" "$here/wine.i386" "$@"
EOF
chmod +x "$folder/lib/wine/wine"
ln -s /usr/lib/wine/wineserver "$folder/lib/wine/wineserver"
ln -s /usr/lib/i386-linux-gnu "$folder/lib/i386-linux-gnu"
ln -s /usr/share/wine "$folder/share/wine"
"$folder/bin/qemu-i386" /usr/lib/wine/wine --version >/dev/null 2>&1 ||
    { rm -rf "$folder"; say_unobtainable "qemu-i386 of $suite does not run Wine's loader"; }
echo "32-bit Wine runs here under qemu-i386 $("$folder/bin/qemu-i386" --version | sed -n '1s/.*version \([^ ]*\).*/\1/p'), laid out in $folder"
