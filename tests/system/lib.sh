# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Shared by the system tests, which run the real program as a user does. Sourced with the folder
# of the built program and the source folder: a scratch folder removed at the end, the program
# copied there, and checks that count their failures. Every wait is bounded and says what it
# waited for, and the whole script ends, saying where, well before CTest would stop it.
set -euo pipefail
bin="$1"
source_dir="$2"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/tamberlight-test-XXXXXX")"
chmod 755 "$scratch"
failures=0
finished=""
cleanup() {
    local status=$? command=$BASH_COMMAND
    [ -n "$finished" ] || echo "FAIL: the test ended early, at: $command (status $status)" >&2
    kill -KILL "$watchdog" 2>/dev/null || true
    kill $(jobs -p) 2>/dev/null || true
    wait 2>/dev/null || true
    findmnt -rno TARGET | grep -F "$scratch/" | xargs -r umount 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' TERM
# CTest stops a test after 180 s and says only that; this says where the test stood.
(
    sleep 150 </dev/null >/dev/null 2>&1
    echo "FAIL: the test ran for 150 s" >&2
    kill -TERM $$
    pgrep -P $$ | grep -vx "$BASHPID" | xargs -r kill -TERM
) &
watchdog=$!
disown "$watchdog"
export XDG_RUNTIME_DIR="$scratch/runtime" HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/config"
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$HOME"
cp "$bin/tamberlight" "$bin"/libtamberlight_*.so "$scratch/"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# A program run as another user must be able to read the sanitizer's suppressions, which may sit
# in a clone that only its owner can enter.
if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]*) ]]; then
    install -m 644 "${BASH_REMATCH[1]}" "$scratch/lsan.supp"
    LSAN_OPTIONS="${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$scratch/lsan.supp}"
fi

check() {
    local what="$1"
    shift
    "$@" || { echo "FAIL: $what" >&2 && failures=$((failures + 1)); }
}
# The settings file beside the program, one argument a line.
settings() { printf '%s\r\n' "$@" >"$scratch/tamberl.ini"; }
# Waits for a shell condition, ten seconds unless told otherwise, and says what it waited for
# when the time is up.
within() {
    local deadline=$((SECONDS + ${2:-10}))
    until eval "$1"; do
        [ "$SECONDS" -lt "$deadline" ] || { echo "  waited ${2:-10} s for: $1" >&2 && return 1; }
        sleep 0.1
    done
}
# Waits up to ten seconds for a program to end, which it must do cleanly (the sanitizer build
# ends a program that leaks with a status of its own); one that does not end is killed.
ends() {
    local status=0
    if ! within "[[ \$(ps -o stat= -p $1) != [^Z]* ]]" >/dev/null 2>&1; then
        kill -KILL "$1" 2>/dev/null || true
        echo "  it did not end within 10 s" >&2
    fi
    wait "$1" || status=$?
    [ "$status" -eq 0 ] || echo "  it ended with status $status" >&2
    return "$status"
}
# Ends a program as a session does.
stop() { kill -TERM "$1" 2>/dev/null || true; ends "$1"; }
# A private X server for the rest of the script. It never resets: by default the X server resets
# whenever its last client leaves, and a program that connects just then is turned away.
x_server() {
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
    within '[ -s "$scratch/display" ]'
    export DISPLAY=":$(head -n 1 "$scratch/display")"
}
# As a window manager asks a window to close when its close button is clicked.
close_window() {
    /usr/bin/python3 -c 'import sys; from Xlib import display, X, protocol
d = display.Display(); w = d.create_resource_object("window", int(sys.argv[1]))
atom = d.intern_atom
w.send_event(protocol.event.ClientMessage(window=w, client_type=atom("WM_PROTOCOLS"),
    data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
d.sync()' "$1"
}
# The titles of the windows on the X server, one a line: their UTF-8 names, which do not depend
# on the locale as the legacy names do.
titles() {
    /usr/bin/python3 -c 'import sys
from Xlib import display, error, X
d = display.Display()
for w in d.screen().root.query_tree().children:
    try:  # a window may be gone by now
        name = w.get_full_property(d.intern_atom("_NET_WM_NAME"), X.AnyPropertyType)
    except error.XError:
        continue
    if name:
        value = name.value
        sys.stdout.buffer.write((value if isinstance(value, bytes) else value.encode()) + b"\n")'
}
finish() {
    finished=1
    [ "$failures" -eq 0 ] && echo "passed" && return 0
    tail -n 30 "$scratch"/*.log >&2 || true
    exit 1
}
