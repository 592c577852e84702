#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# The real program on a Wayland compositor (weston without a screen), watched through the
# protocol it speaks: the saved size is restored, the clock ticks, and as the compositor places
# the window the saved position stays in the file as it was.
source "$(dirname "$0")/lib.sh"

weston --backend=headless-backend.so --socket=wayland-test --idle-time=0 2>"$scratch/weston.log" &
within '[ -S "$XDG_RUNTIME_DIR/wayland-test" ]'
# Qt's Wayland plugin and Mesa keep allocations at exit that no suppression can name; our own
# code's leaks are checked by the rest of the suite.
settings "" "" " 1500" " 3000" " 3990" " 9000" " 0" "#Tamberlight   ver.0.2"
cp "$scratch/tamberl.ini" "$scratch/saved.ini"
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-test \
    WAYLAND_DEBUG=client "$scratch/tamberlight" 2>"$scratch/program.log" &
pid=$!
commits() { grep -c 'wl_surface@[0-9]*\.commit()' "$scratch/program.log" || true; }
check "the window is drawn at the saved size" within \
    'grep -q "create_buffer(new id wl_buffer@[0-9]*, [0-9]*, 266, 600," "$scratch/program.log"'
before=$(commits)
check "the clock ticks" within '[ $(($(commits) - before)) -ge 2 ]'
check "SIGTERM ends the program" stop "$pid"
check "the saved position and size are kept" cmp -s "$scratch/saved.ini" "$scratch/tamberl.ini"
finish
