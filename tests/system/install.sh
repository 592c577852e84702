#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# A real install into a fresh prefix: the files at their places, the desktop entry and the
# metainfo valid, and the installed program keeping its settings in the configuration folder.
source "$(dirname "$0")/lib.sh"
build_dir="$3"
prefix="$scratch/prefix"
app_id=org.tamberlight.Tamberlight

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for file in bin/tamberlight lib/tamberlight/libtamberlight_{sound,share,serve}.so \
    share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$app_id.svg share/icons/hicolor/128x128/apps/$app_id.png; do
    check "$file is installed" [ -f "$prefix/$file" ]
done
check "the desktop entry is valid" eval \
    '[ -z "$(desktop-file-validate "$prefix/share/applications/$app_id.desktop" 2>&1)" ]'
check "the metainfo is valid" eval '! appstreamcli validate --no-net \
    "$prefix/share/metainfo/$app_id.metainfo.xml" 2>&1 | grep -q "^[EW]:"'

x_server
"$prefix/bin/tamberlight" 2>"$scratch/program.log" &
check "the installed program saves in the configuration folder" \
    within '[ -f "$XDG_CONFIG_HOME/tamberlight/tamberl.ini" ]'
check "and ends cleanly" stop $!
check "and nothing into its prefix" [ -z "$(find "$prefix" -name 'tamberl.ini*')" ]
finish
