#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# One clock for a room: a real mosquitto on a free loopback port, a leader and two followers on
# a real X server. The followers show the leader's minute and ring their own entries; the broker
# killed and started again is survived; a killed leader shows as gone; a wrong password, an
# unknown authority and a second leader are refused with their lines; TLS with a private
# authority works. (Garbage on the topic and the command line have unit tests of their own.)
source "$(dirname "$0")/lib.sh"

source "$(dirname "$0")/room.sh"

clock one 3750 "/nowhere/bell.wav" "0:02 ring one" -- --follow "$room"
clock two 7500 "" "" -- --follow "$room"
check "followers wait for their leader" within 'titled "following room: waiting for its leader"'
clock leader 0 "" "" -- --lead "$room"
check "the leader counts its followers" within 'titled "leading room (2 following)"'
check "the followers show the leader's minute" within 'sleep 1.6; in_step $leader_pid $one_pid $two_pid' 20
check "a follower rings its own entry, once" within '[ "$(grep -c "cannot play /nowhere/bell.wav" "$scratch/one.log")" -eq 1 ]'
check "the other has nothing to ring" eval '! grep -q "cannot play" "$scratch/two.log"'


kill %broker 2>/dev/null || pkill -f "mosquitto -c $scratch/open.conf"
check "a lost broker is told once" within 'grep -q "lost the link to the broker 127.0.0.1:$port" "$scratch/two.log"'
check "the followers run on without it, in step" within 'sleep 1.6; in_step $leader_pid $one_pid $two_pid' 20
broker open
check "and its return" within 'grep -q "the link to the broker 127.0.0.1:$port is back" "$scratch/two.log"'
check "after which the room is in step again" within 'sleep 1.6; in_step $leader_pid $one_pid $two_pid' 20
check "one line each way, not one per retry" [ "$(grep -c "link to the broker" "$scratch/two.log")" -eq 2 ]

clock second 11250 "" "" -- --lead "$room"
check "a second leader stands by" within "grep -qx 'tamberlight: another clock leads room on 127.0.0.1:$port; this clock follows it and leads when it is gone' '$scratch/second.log'"
kill -KILL "$leader_pid"
check "when the leader is killed, it takes over from the room's time" within "grep -q 'the leader of room is gone; this clock leads it now, from 00:[0-9][1-9]' '$scratch/second.log'" 25
check "and the followers follow it" within 'sleep 1.6; in_step $second_pid $one_pid $two_pid' 20

# A broker that wants a password, over TLS with a private authority made here.
tls_port=$(free_port)
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=room-ca -keyout "$scratch/ca.key" -out "$scratch/ca.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -keyout "$scratch/broker.key" -out "$scratch/broker.csr" 2>/dev/null
openssl x509 -req -in "$scratch/broker.csr" -CA "$scratch/ca.pem" -CAkey "$scratch/ca.key" -CAcreateserial -days 2 \
    -extfile <(echo "subjectAltName=IP:127.0.0.1") -out "$scratch/broker.pem" 2>/dev/null
mosquitto_passwd -c -b "$scratch/passwords" keeper right 2>/dev/null
printf 'listener %s 127.0.0.1\nallow_anonymous false\npassword_file %s\ncafile %s\ncertfile %s\nkeyfile %s\n' \
    "$tls_port" "$scratch/passwords" "$scratch/ca.pem" "$scratch/broker.pem" "$scratch/broker.key" >"$scratch/tls.conf"
chmod 644 "$scratch"/*.key
broker tls
echo right >"$scratch/right.password"
echo wrong >"$scratch/wrong.password"
secure="mqtts://keeper@127.0.0.1:$tls_port/hall"
clock wrong 0 "" "" -- --follow "$secure" --cafile "$scratch/ca.pem" --password-file "$scratch/wrong.password"
check "a wrong password is refused" within "grep -q '^tamberlight: the broker 127.0.0.1:$tls_port refused the connection: .*; this clock runs on its own$' '$scratch/wrong.log'"
clock unknown 3750 "" "" -- --follow "$secure" --password-file "$scratch/right.password"
check "an unknown authority is refused" within "grep -q '^tamberlight: cannot connect to the broker 127.0.0.1:$tls_port: its certificate is not trusted (.*); this clock runs on its own$' '$scratch/unknown.log'"
clock plain 11250 "" "" -- --follow "mqtts://127.0.0.1:$port/room"
check "mqtts:// to a port without TLS says so" within "grep -q '^tamberlight: cannot connect to the broker 127.0.0.1:$port with TLS (.*): if port $port is its port without TLS, the address starts with mqtt://; this clock runs on its own$' '$scratch/plain.log'"
clock tlsport 0 "" "" -- --follow "mqtt://127.0.0.1:$tls_port/room"
check "mqtt:// to a TLS port says so" within "grep -q 'the broker closed the connection without answering: if port $tls_port takes TLS, the address starts with mqtts://; trying again$' '$scratch/tlsport.log'"
clock trusted 7500 "" "" -- --follow "$secure" --cafile "$scratch/ca.pem" --password-file "$scratch/right.password"
check "TLS with the private authority works" within 'titled "following hall: waiting for its leader"'

check "a refusal ends the attempts" [ "$(grep -c refused "$scratch/wrong.log")" -eq 1 ]
for name in one two second wrong unknown plain tlsport trusted; do
    pid="${name}_pid"
    check "$name ends cleanly" stop "${!pid}"
done
finish
