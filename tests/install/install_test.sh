#!/usr/bin/env bash
# Installs a build into a fresh prefix, validates the desktop entry and the metainfo there, and
# runs the installed program to see that it keeps its settings in the user's configuration folder.
# Usage: install_test.sh <build dir> <source dir>
set -euo pipefail

build_dir="$1"
source_dir="$2"
app_id=org.tamberlight.Tamberlight

scratch="$(mktemp -d "${TMPDIR:-/tmp}/tamberlight-install-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"
export HOME="$scratch/home"
export XDG_CONFIG_HOME="$scratch/config"
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/tamberlight" ] || fail "bin/tamberlight is missing or not executable"
# The sound module, which the program loads on its first sound.
[ -n "$(find "$prefix" -path '*/tamberlight/libtamberlight_sound.so')" ] ||
    fail "the sound module is not installed"
declare -A installed=(
    ["share/applications/$app_id.desktop"]="packaging/$app_id.desktop"
    ["share/metainfo/$app_id.metainfo.xml"]="packaging/$app_id.metainfo.xml"
    ["share/icons/hicolor/scalable/apps/$app_id.svg"]="packaging/$app_id.svg"
    ["share/icons/hicolor/64x64/apps/$app_id.png"]="packaging/icons/64/$app_id.png"
    ["share/icons/hicolor/128x128/apps/$app_id.png"]="packaging/icons/128/$app_id.png"
)
for file in "${!installed[@]}"; do
    if [ ! -f "$prefix/$file" ]; then
        fail "$file is not installed"
    elif ! cmp -s "$prefix/$file" "$source_dir/${installed[$file]}"; then
        fail "$file differs from ${installed[$file]}"
    fi
done

# Both validators must stay silent apart from appstream's pedantic hints.
if ! output="$(desktop-file-validate "$prefix/share/applications/$app_id.desktop" 2>&1)" ||
    [ -n "$output" ]; then
    fail "desktop-file-validate: $output"
fi
if ! output="$(appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" 2>&1)" ||
    grep -q '^[EW]:' <<<"$output"; then
    fail "appstreamcli validate: $output"
fi

# The program saves its settings once at start-up. It runs for three seconds, longer on a slow
# machine until a settings file shows up somewhere, then it is stopped.
configured="$XDG_CONFIG_HOME/tamberlight/tamberl.ini"
unset QT_QPA_PLATFORM
# shellcheck disable=SC2016 # the inner script takes its values as arguments
xvfb-run -a bash -c '
    "$1" 2>"$2" &
    pid=$!
    sleep 3
    for _ in $(seq 24); do
        [ -e "$3" ] || [ -e "$(dirname "$1")/tamberl.ini" ] && break
        sleep 0.5
    done
    if ! kill "$pid" 2>/dev/null; then
        wait "$pid" || echo "tamberlight ended early with status $?" >>"$2"
        exit 0
    fi
    wait "$pid" 2>/dev/null || true
' run "$prefix/bin/tamberlight" "$scratch/program.log" "$configured"

[ -f "$configured" ] || fail "no settings file at \$XDG_CONFIG_HOME/tamberlight/tamberl.ini"
stray="$(find "$prefix" \( -name tamberl.ini -o -name 'tamberl.ini.tmp.*' \) -print)"
[ -z "$stray" ] || fail "settings written into the prefix: $stray"

if [ "$failures" -ne 0 ]; then
    echo "--- program output:" >&2
    cat "$scratch/program.log" >&2
    exit 1
fi
echo "install test passed"
