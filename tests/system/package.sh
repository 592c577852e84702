#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# The Debian package made from this build: its files, its control fields, the copyright and the
# desktop entry, and no error from lintian.
source "$(dirname "$0")/lib.sh"
build_dir="$3"

(cd "$3" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1)
deb="$(echo "$scratch"/tamberlight_*_*.deb)"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
app=org.tamberlight.Tamberlight
share=usr/share
for file in usr/bin/tamberlight $share/applications/$app.desktop $share/metainfo/$app.metainfo.xml \
    $share/icons/hicolor/{scalable/apps/$app.svg,128x128/apps/$app.png} \
    $share/doc/tamberlight/{copyright,changelog.gz} $share/man/man1/tamberlight.1.gz; do
    check "$file is in the package" [ -f "$root/$file" ]
done
# The program loads its sound module from a folder named relative to its own.
program="$root/usr/bin/tamberlight"
module_dir="$({ strings -a "$program"; strings -el "$program"; } | grep -o -m1 '/\.\./.*/tamberlight$')"
check "the sound module is where the program looks" \
    [ -f "$root/usr/bin/${module_dir#/}/libtamberlight_sound.so" ]
depends="$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')"
for package in fonts-ipafont-gothic fonts-comic-neue gstreamer1.0-plugins-{base,good} libqt6widgets6 libmosquitto1 libqt6httpserver6 libqt6websockets6; do
    check "Depends has $package" grep -qx "$package" <<<"$depends"
done
check "Recommends Qt's Wayland platform and translations, in Section utils" \
    [ "$(dpkg-deb -f "$deb" Recommends Section)" = $'Recommends: qt6-wayland, qt6-translations-l10n\nSection: utils' ]
check "the copyright file is machine-readable" grep -qx \
    'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$root/$share/doc/tamberlight/copyright"
check "the desktop entry names the window's class" \
    grep -qx 'StartupWMClass=tamberlight' "$root/$share/applications/$app.desktop"
check "lintian finds no error" lintian --fail-on error "$deb"
# A user's build warns but never stops on a new compiler's warning.
cmake -S "$source_dir" -B "$scratch/user" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMBERLIGHT_TESTS=OFF >/dev/null
check "-Werror stays out of a user's build" eval '! grep -q -- -Werror "$scratch/user/compile_commands.json"'
check "and the tools out of the test build" eval '! grep -q "bench/" "$build_dir/compile_commands.json"' 
finish
