#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# The real program on a real X server: its window at the saved place, the clock ticking, and a
# schedule edited after start-up reaching the file when the window is closed and on SIGTERM.
source "$(dirname "$0")/lib.sh"

start() {
    "$scratch/tamberlight" 2>>"$scratch/program.log" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tamberlight$' | head -n 1)
}
type_in() { xdotool windowfocus --sync "$window" type --delay 20 "$1"; }
frame() { xwd -id "$window" -silent | md5sum; }

x_server
settings "" "" " 1500" " 3000" " 4500" " 9000" " 0" "#Tamberlight   ver.0.2"
start
check "the saved place and size" eval \
    'xdotool getwindowgeometry "$window" | tr -d "\n" | grep -q "Position: 200,100.*Geometry: 300x600"'
check "a clock of its own loads no network library" eval '! grep -qE "mosquitto|HttpServer|WebSockets" /proc/$pid/maps'
before=$(frame)
check "the clock ticks" within '[ "$(frame)" != "$before" ]'
type_in "closed "
close_window "$window"
check "closing the window ends the program" ends "$pid"
check "closing saves the edit" grep -q "^closed #Tamberlight" "$scratch/tamberl.ini"
check "and the place" grep -q $'^ 1500\r$' "$scratch/tamberl.ini"

start
type_in "terminated "
check "SIGTERM ends the program" stop "$pid"
check "SIGTERM saves the edit" grep -q "^terminated closed #Tamberlight" "$scratch/tamberl.ini"
finish
