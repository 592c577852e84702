#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Two starts with the same settings file: the second hands the desktop's start-up id to the first
# window, which comes to the front, and ends at once without touching the file; it says so only
# when that window answered. A start after a close, or after a kill, goes ahead.
source "$(dirname "$0")/lib.sh"

x_server
windows() { xdotool search --onlyvisible --name "^Tamberlight$" 2>/dev/null | wc -l; }
on_top() { xwininfo -root -children | grep -m 1 -E '"(Tamberlight|cover)"' | grep -q Tamberlight; }

# Two at the same moment: one window, whichever start was first to the lock.
"$scratch/tamberlight" 2>"$scratch/first.log" &
first=$!
"$scratch/tamberlight" 2>"$scratch/twin.log" &
twin=$!
check "two starts at once make one window" within '[ "$(windows)" -eq 1 ]'
check "and the other says so" within \
    'cat "$scratch/first.log" "$scratch/twin.log" | grep -q "is open already; it is brought to the front"'
running=$first && [ -s "$scratch/first.log" ] && running=$twin
window=$(xdotool search --onlyvisible --name "^Tamberlight$")

xmessage -name cover -geometry 400x700+0+0 cover 2>/dev/null &
within '! on_top'
touch -d '2000-01-01' "$scratch/tamberl.ini"
check "the second start ends at once" eval \
    'DESKTOP_STARTUP_ID=launcher-42_TIME1234 timeout 10 "$scratch/tamberlight" 2>"$scratch/second.log"'
check "and says so in one line" grep -qx "tamberlight: a window with the settings $scratch/tamberl.ini is open already; it is brought to the front" "$scratch/second.log"
check "it leaves the file alone" [ "$(stat -c %Y "$scratch/tamberl.ini")" = "$(date -d 2000-01-01 +%s)" ]
check "the first window comes to the front" within on_top
check "and takes the launch's start-up id" eval \
    'xprop -id "$window" _NET_STARTUP_ID | grep -qF "\"launcher-42_TIME1234\""'

kill -STOP "$running"
check "a start facing a window that does not answer ends" eval \
    '! timeout 15 "$scratch/tamberlight" 2>"$scratch/stopped.log"'
check "and does not claim to bring it to the front" grep -qx "tamberlight: a window with the settings $scratch/tamberl.ini is open already but does not answer; this start ends" "$scratch/stopped.log"
kill -CONT "$running"

check "the window ends on SIGTERM" stop "$running"
"$scratch/tamberlight" 2>"$scratch/after-close.log" &
check "a start right after a close goes ahead" within '[ "$(windows)" -eq 1 ]'
kill -KILL $! && { wait $! 2>/dev/null || true; }
"$scratch/tamberlight" 2>"$scratch/after-kill.log" &
check "a start after a killed one goes ahead" within '[ -n "$(xdotool search --onlyvisible --pid $! --name "^Tamberlight$")" ]'
check "and ends cleanly" stop $!
finish
