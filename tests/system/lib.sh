# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Shared by the system tests, which run the real program as a user does. Sourced with the folder
# of the built program and the source folder: a scratch folder removed at the end, the program
# copied there, and checks that count their failures.
set -euo pipefail
bin="$1"
source_dir="$2"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/tamberlight-test-XXXXXX")"
chmod 755 "$scratch"
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$scratch"' EXIT
export XDG_RUNTIME_DIR="$scratch/runtime" HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/config"
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$HOME"
cp "$bin/tamberlight" "$bin"/libtamberlight_*.so "$scratch/"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
failures=0

check() {
    local what="$1"
    shift
    "$@" || { echo "FAIL: $what" >&2 && failures=$((failures + 1)); }
}
# The settings file beside the program, one argument a line.
settings() { printf '%s\r\n' "$@" >"$scratch/tamberl.ini"; }
# Waits up to ten seconds for a shell condition.
within() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done && return 1; }
# A private X server for the rest of the script.
x_server() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
    within '[ -s "$scratch/display" ]'
    export DISPLAY=":$(head -n 1 "$scratch/display")"
}
finish() {
    [ "$failures" -eq 0 ] && echo "passed" && return 0
    tail -n 30 "$scratch"/*.log >&2 || true
    exit 1
}
