# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Shared by the tests of a room: an X server, a real mosquitto on a free loopback port, clocks
# each in a folder of its own, and what their windows show.
x_server
free_port() { /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port)
broker() { mosquitto -c "$scratch/$1.conf" >>"$scratch/$1.log" 2>&1 & }
# What the broker keeps outlives it, as a real broker's does, also when it is killed.
mkdir -m 777 "$scratch/kept"
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence true\npersistence_location %s/\nautosave_interval 1\n' \
    "$port" "$scratch/kept" >"$scratch/open.conf"
broker open
within "mosquitto_sub -p $port -t probe -W 1 -E 2>/dev/null"
room="mqtt://127.0.0.1:$port/room"

# A clock in a folder of its own, at its own place on the screen (twips), with its own entries.
clock() { # clock NAME LEFT SOUND [ENTRY] -- ARGUMENTS...
    local name=$1 left=$2 sound=$3 entry=$4
    shift 5
    mkdir -p "$scratch/$name" && cp "$scratch"/tamberlight "$scratch"/libtamberlight_*.so "$scratch/$name/"
    printf '%s\r\n' "" "$sound" " 0" " $left" " 3525" " 9375" " 0" "#room" "$entry" >"$scratch/$name/tamberl.ini"
    "$scratch/$name/tamberlight" "$@" 2>"$scratch/$name.log" &
    eval "${name}_pid=$!"
}
titled() { titles | grep -xF "Tamberlight – $1" >/dev/null; }
# Python that finds a clock's window on the X server by the clock's process.
window_of='import select, sys, time
from Xlib import display, X, protocol
d = display.Display(); root = d.screen().root; atom = d.intern_atom
def window(pid):
    for w in root.query_tree().children:
        p = w.get_full_property(atom("_NET_WM_PID"), 0)
        if p and p.value[0] == int(pid) and w.get_geometry().width > 100:
            return w
'
# Whether the clock texts of the windows, as pixels, are the same.
in_step() {
    /usr/bin/python3 -c "$window_of"'
shots = [w and w.get_image(60, 170, 115, 45, X.ZPixmap, 0xffffffff).data for w in map(window, sys.argv[1:])]
sys.exit(0 if None not in shots and len(set(shots)) == 1 else 1)' "$@"
}

# The longest a window took, in milliseconds, to answer the window manager's pings (one every
# 50 ms for the given seconds): how long its event loop stood still.
stall() { # stall PID SECONDS
    /usr/bin/python3 -c "$window_of"'
root.change_attributes(event_mask=X.SubstructureNotifyMask | X.SubstructureRedirectMask)
w, sent, longest, end = window(sys.argv[1]), {}, 0, time.monotonic() + float(sys.argv[2])
for n in range(int(float(sys.argv[2]) * 20) + 100):
    if time.monotonic() < end:
        sent[n] = time.monotonic()
        w.send_event(protocol.event.ClientMessage(window=w, client_type=atom("WM_PROTOCOLS"), data=(32, [atom("_NET_WM_PING"), n, w.id, 0, 0])))
        d.flush()
    select.select([d], [], [], 0.05)
    while d.pending_events():
        e = d.next_event()
        if e.type == X.ClientMessage and e.data[1][1] in sent:
            longest = max(longest, (time.monotonic() - sent.pop(e.data[1][1])) * 1000)
print(int(longest if not sent else 5000))' "$@"
}
