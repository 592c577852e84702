#!/usr/bin/env bash
# Two starts with the same settings file: the second brings the first window to the front and
# ends at once, without touching the file; a start after a close, or after a kill, goes ahead.
source "$(dirname "$0")/lib.sh"

x_server
shown() { within 'xdotool search --onlyvisible --name "^Tamberlight$" >/dev/null'; }
on_top() { xwininfo -root -children | grep -m 1 -E '"(Tamberlight|cover)"' | grep -q Tamberlight; }

"$scratch/tamberlight" 2>"$scratch/first.log" &
first=$!
check "the first window opens" shown
xmessage -name cover -geometry 400x700+0+0 cover 2>/dev/null &
within '! on_top'
touch -d '2000-01-01' "$scratch/tamberl.ini"
check "the second start ends at once" timeout 10 "$scratch/tamberlight" 2>"$scratch/second.log"
check "and says so in one line" grep -qx "tamberlight: a window with the settings $scratch/tamberl.ini is open already; it is brought to the front" "$scratch/second.log"
check "it leaves the file alone" [ "$(stat -c %Y "$scratch/tamberl.ini")" = "$(date -d 2000-01-01 +%s)" ]
check "the first window comes to the front" within on_top

kill -TERM "$first" && wait "$first"
"$scratch/tamberlight" 2>"$scratch/after-close.log" &
check "a start right after a close goes ahead" shown
kill -KILL $! && { wait $! 2>/dev/null || true; }
"$scratch/tamberlight" 2>"$scratch/after-kill.log" &
check "a start after a killed one goes ahead" within '[ -n "$(xdotool search --onlyvisible --pid $! --name "^Tamberlight$")" ]'
finish
