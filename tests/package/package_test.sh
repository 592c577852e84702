#!/usr/bin/env bash
# Makes the Debian package from a build and checks its files, its control fields, the copyright
# and the desktop entry, and that lintian finds no error in it.
# Usage: package_test.sh <build dir>
set -euo pipefail

scratch="$(mktemp -d "${TMPDIR:-/tmp}/tamberlight-package-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$1" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; exit 1; }
deb="$(echo "$scratch"/tamberlight_*_*.deb)"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"

app=org.tamberlight.Tamberlight
share=usr/share
for file in usr/bin/tamberlight $share/applications/$app.desktop $share/metainfo/$app.metainfo.xml \
    $share/icons/hicolor/{scalable/apps/$app.svg,64x64/apps/$app.png,128x128/apps/$app.png} \
    $share/doc/tamberlight/{copyright,changelog.gz} $share/man/man1/tamberlight.1.gz; do
    [ -f "$root/$file" ] || fail "$file is not in the package"
done
# The program loads its sound module from a folder named relative to its own.
program="$root/usr/bin/tamberlight"
module_dir="$({ strings -a "$program"; strings -el "$program"; } | grep -m1 '\.\./.*/tamberlight$')"
[ -f "$root/usr/bin/${module_dir#/}/libtamberlight_sound.so" ] ||
    fail "the sound module is not in usr/bin/${module_dir#/}, where the program looks for it"

depends="$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')"
for package in fonts-ipafont-gothic fonts-comic-neue gstreamer1.0-plugins-{base,good} \
    libqt6widgets6; do
    grep -qx "$package" <<<"$depends" || fail "Depends lacks $package"
done
[ "$(dpkg-deb -f "$deb" Recommends Section)" = $'Recommends: qt6-wayland\nSection: utils' ] ||
    fail "Recommends and Section: $(dpkg-deb -f "$deb" Recommends Section)"
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$root/$share/doc/tamberlight/copyright" || fail "the copyright file is not machine-readable"
grep -qx 'StartupWMClass=tamberlight' "$root/$share/applications/$app.desktop" ||
    fail "the desktop entry does not name the window's class"
lintian --fail-on error "$deb" >"$scratch/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$scratch/lintian.log")"

[ "$failures" -eq 0 ] || exit 1
echo "package test passed"
