#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# The clock's web page in a real browser: a follower serves it while a leader, played by the test
# through a real mosquitto, ticks, rings an entry and stops; the page follows, says when it has
# lost the clock and when the clock is back. Only the page, its picture and its live channel are
# served, and only with the token.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/room.sh"

sequence=0
lead() { # lead CLOCK RUNNING INTERVAL KIND
    sequence=$((sequence + 1))
    mosquitto_pub -p "$port" -t room -r -m "{\"v\":1,\"clock\":\"$1\",\"interval_ms\":$3,\"running\":$2,\"kind\":\"$4\",\"seq\":$sequence,\"leader\":\"test\",\"since\":1,\"term\":1,\"day\":0}"
}
mosquitto_pub -p "$port" -t room/leader -r -m online
lead 00:00 true 1492 jump
printf 'sesame\n' >"$scratch/token" && chmod 600 "$scratch/token"
served() { clock viewer 0 "" "0:02 the train leaves" -- --follow "$room" --serve "127.0.0.1:$1" --serve-token "$scratch/token"; }
served 0
check "the start says where the page is" within "grep -q 'page is served at http://127.0.0.1:[0-9]*/?token=<the token> (to this computer only)' '$scratch/viewer.log'"
page="http://127.0.0.1:$(grep -o '127.0.0.1:[0-9]*' "$scratch/viewer.log" | head -n 1 | cut -d: -f2)"
status() { curl -s -o /dev/null -w '%{http_code}' "$page$1"; }
check "the page is served with its token" [ "$(status '/?token=sesame')" = 200 ]
peak() { awk '/VmHWM/ {print $2}' "/proc/$viewer_pid/status"; }
before=$(peak) && head -c 50000000 /dev/zero | curl -s -o /dev/null -X POST --data-binary @- "$page/?token=sesame" || true
check "a 50 MB request is not taken in (peak $before kB, then $(peak) kB)" [ $(($(peak) - before)) -lt 5000 ]
for path in / /?token=sesam /picture?token=sesame /../../etc/passwd?token=sesame /tamberl.ini?token=sesame; do
    check "but $path is not found" [ "$(status "$path")" = 404 ]
done

# Viewers that come and go leave no place taken.
/usr/bin/python3 -c 'import socket, sys
for _ in range(610):
    s = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
    s.sendall(b"GET /live?token=sesame HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
              b"Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n")
    s.recv(4096); s.close()' "${page##*:}"
check "the page is still served after 610 viewers came and went" [ "$(status '/?token=sesame')" = 200 ]

/usr/bin/python3 "$source_dir/tests/system/page_view.py" "$page/?token=sesame" "$scratch/phone.png" >>"$scratch/page.log" &
browser=$!
shows() { grep -F "$1" "$scratch/page.log" | grep -qF "${2:-}"; }
check "the page shows the room's time and state" within "shows 'following room' '\"00:00\"'" 20
# The leader's ticks come on time: a follower that misses one runs on its own.
lead 00:01 true 1492 tick
sleep 1.4
check "the page shows the next minute within a tick" shows '"following room","00:01"'
lead 00:02 true 1492 tick
check "an entry that rings is announced" within "shows '\"00:02\"' 'the train leaves'" 2
kill -STOP "$viewer_pid"
check "a page that hears nothing for two ticks says it has lost the clock" within "shows 'lost the clock'" 5
kill -CONT "$viewer_pid"
check "and that it is back" within "shows 'the clock is back'"
lead 00:02 false 0 jump
check "a stopped clock shows its mark, the announcement kept" within "shows '‖ 停止中' 'the train leaves'"
kill -USR1 $browser
check "a phone-sized picture of the page" within "file '$scratch/phone.png' | grep -q 'PNG image data, 780 x 1688'"
[ -z "${TAMBERLIGHT_PAGE_SHOT:-}" ] || cp "$scratch/phone.png" "$TAMBERLIGHT_PAGE_SHOT"

stop "$viewer_pid"
check "the page says it has lost the clock when the window closes" within "shows 'lost the clock'" 5
served "${page##*:}"
check "and that it is back, with its time" within "shows 'the clock is back' '\"00:02\"'" 15
: >"$scratch/page.log"
sleep 12
check "a stopped clock is not lost" eval "! shows 'lost'"
kill $browser
finish
