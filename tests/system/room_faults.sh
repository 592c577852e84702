#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# What rooms go through: a leader stopped past its last will beside a standby and then resumed,
# a power cut that leaves the broker's kept 'online' and clock behind, two leaders started while
# the broker is down, a broker that stops answering, mqtts:// to a closed port, a resolver that
# never answers (in a network of the test's own), a named pipe as the password file. One leader
# always, and the room's time kept.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/room.sh"

clock follower 3750 "" "" -- --follow "$room"
clock first 0 "" "" -- --lead "$room"
check "the leader leads" within 'titled "leading room (1 following)"'
clock standby 7500 "" "" -- --lead "$room"
check "a second --lead stands by" within "grep -q 'this clock follows it and leads when it is gone' '$scratch/standby.log'"
sleep 4
kill -STOP "$first_pid"
check "a follower runs on while its leader is silent" within 'titled "following room, running on its own"' 5
check "the standby takes over once the leader is gone" within "grep -q 'leads it now, from 00:[0-9][1-9]' '$scratch/standby.log'" 25
kill -CONT "$first_pid"
check "the leader that comes back follows the one that took over" within "grep -q 'this clock follows it' '$scratch/first.log'" 25
check "one leader: the room is in step with it" within 'sleep 1.6; in_step $standby_pid $follower_pid $first_pid' 20

# A power cut: the broker and every clock at once; the broker comes back with what it kept.
kill -KILL "$standby_pid" "$follower_pid" "$first_pid"
pkill -KILL -f "mosquitto -c $scratch/open.conf"
broker open
clock restarted 0 "" "" -- --lead "$room"
# The broker kept the leader's 'online', or the last will of the one that gave way: either way
# the room's time goes on.
check "a restarted leader takes up the room's time, not midnight" within "grep -qE 'leads it (now, )?from (the room.s time )?00:[0-9][1-9]' '$scratch/restarted.log'" 25

peak() { awk '/VmHWM/ {print $2}' "/proc/$restarted_pid/status"; }
before=$(peak) && head -c 50000000 /dev/zero >"$scratch/big" && mosquitto_pub -p "$port" -t room -f "$scratch/big"
sleep 1
check "a 50 MB message on the topic never reaches a clock (peak $before kB, then $(peak) kB)" [ $(($(peak) - before)) -lt 5000 ]

# Two leaders started while the broker is down agree on one.
pkill -TERM -f "mosquitto -c $scratch/open.conf"
clock one 3750 "" "" -- --lead "mqtt://127.0.0.1:$port/duo"
clock two 7500 "" "" -- --lead "mqtt://127.0.0.1:$port/duo"
sleep 2
broker open
check "two leaders started without a broker settle on one" within '[ "$(titles | grep -c "leading duo")" = 1 ] && titled "standing by to lead duo"' 20

pkill -STOP -f "mosquitto -c $scratch/open.conf"
check "a broker that stops answering is noticed within two keep-alives" within "grep -q 'lost the link to the broker 127.0.0.1:$port: the broker stopped answering; trying again' '$scratch/two.log'" 25
pkill -CONT -f "mosquitto -c $scratch/open.conf"

clock closed 11250 "" "" -- --follow "mqtts://127.0.0.1:$(free_port)/room"
cpu() { awk '{print $14 + $15}' "/proc/$closed_pid/stat"; }
sleep 2 && before=$(cpu) && sleep 5
check "mqtts:// to a closed port costs no processor time ($(($(cpu) - before)) ticks in 5 s)" [ $(($(cpu) - before)) -lt 25 ]

mkfifo "$scratch/pipe"
timeout 5 "$scratch/tamberlight" --follow "mqtt://keeper@127.0.0.1:$port/room" --password-file "$scratch/pipe" 2>"$scratch/pipe.log" || true
check "a named pipe as the password file is refused at once" grep -qx "tamberlight: cannot read the password file $scratch/pipe: it is a named pipe" "$scratch/pipe.log"

# A network of the test's own whose resolver takes every question and answers none.
echo "nameserver 127.0.0.1" >"$scratch/resolv.conf"
mkdir -p "$scratch/blind" && cp "$scratch"/tamberlight "$scratch"/libtamberlight_*.so "$scratch/blind/"
unshare -n -m bash -c "ip link set lo up && mount --bind '$scratch/resolv.conf' /etc/resolv.conf &&
    { timeout 30 /usr/bin/python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind((\"127.0.0.1\", 53)); [s.recv(512) for _ in iter(int, 1)]' >/dev/null 2>&1 & } &&
    until ss -lun | grep -q 127.0.0.1:53; do sleep 0.05; done &&
    exec '$scratch/blind/tamberlight' --lead mqtt://broker.invalid/room" 2>"$scratch/blind.log" &
blind_pid=$!
check "its window opens" within 'titled "room: connecting"'
longest=$(stall "$blind_pid" 6)
check "while the name is looked up in vain, the window answers (longest wait ${longest} ms)" [ "$longest" -lt 250 ]

for name in restarted one two closed blind; do
    pid="${name}_pid"
    check "$name ends cleanly" stop "${!pid}"
done
finish
