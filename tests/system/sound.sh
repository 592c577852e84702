#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Sound through the real audio path: a private PulseAudio server with a null sink, recorded from
# its monitor while the clock reaches an entry at 0:01, on its first tick. With no sound chosen
# the beep is heard for most of its 400 ms; a chosen sound plays; a sound that cannot be played,
# or a picture chosen by mistake, beeps instead and says why in one line. Without an audio
# server the user is told once that alarms cannot be heard.
source "$(dirname "$0")/lib.sh"

pulseaudio --daemonize=no --exit-idle-time=-1 -n --load=module-null-sink \
    --load=module-native-protocol-unix >/dev/null 2>&1 &
within '[ -S "$XDG_RUNTIME_DIR/pulse/native" ]'
# Silence played all along keeps the sink from suspending, which would lose the start of a sound;
# the recorder's first second never arrives.
pacat --raw --format=s16le --rate=44100 --channels=1 </dev/zero 2>/dev/null &
parec -d null.monitor --raw --format=s16le --rate=44100 --channels=1 --latency-msec=20 \
    >"$scratch/recording.raw" 2>/dev/null &
within '[ -s "$scratch/recording.raw" ]'
gst-launch-1.0 -q audiotestsrc wave=sine freq=440 volume=0.5 num-buffers=20 ! wavenc ! \
    filesink location="$scratch/tone.wav"
echo "this is no sound" >"$scratch/text.wav"
gst-launch-1.0 -q videotestsrc num-buffers=1 ! pngenc ! filesink location="$scratch/picture.png"

# Milliseconds between the first and the last sample recorded above a tenth of the beep's peak
# since a byte of the recording; it succeeds once a sound was heard and half a second of quiet
# has followed it.
cat >"$scratch/heard.py" <<'PYTHON'
import array, sys
f = open(sys.argv[1], "rb"); f.seek(int(sys.argv[2]) // 2 * 2); s = array.array("h", f.read())
loud = [i for i, v in enumerate(s) if abs(v) > 1638]
print((loud[-1] - loud[0]) * 1000 // 44100 if loud else 0)
sys.exit(0 if loud and len(s) - loud[-1] > 22050 else 1)
PYTHON
# The program with a sound (or none) that the clock plays at 0:01, on its first tick; ms is how
# long it was heard.
heard() {
    local from
    from=$(stat -c %s "$scratch/recording.raw")
    settings "" "$2" " 0" " 0" " 3525" " 9375" " 0" "#Tamberlight   ver.0.2" "0:01 due"
    QT_QPA_PLATFORM=offscreen "$scratch/tamberlight" 2>"$scratch/$1.log" &
    within '/usr/bin/python3 "$scratch/heard.py" "$scratch/recording.raw" "$from" >/dev/null' || true
    check "$1: ends cleanly" stop $!
    ms=$(/usr/bin/python3 "$scratch/heard.py" "$scratch/recording.raw" "$from" || true)
}

heard beep ""
check "the beep is heard for $ms ms, at least 320" [ "$ms" -ge 320 ]
heard sound "$scratch/tone.wav"
check "the chosen sound plays" [ "$ms" -gt 200 ]
heard fallback "$scratch/text.wav"
check "a sound that cannot play beeps instead" [ "$ms" -ge 320 ]
check "and says why in one line" [ "$(grep -c . "$scratch/fallback.log")" -eq 1 ]
check "which names the file" grep -q "^tamberlight: cannot play $scratch/text.wav: .*; beeping instead$" "$scratch/fallback.log"
heard picture "$scratch/picture.png"
check "a picture chosen as the sound beeps instead" [ "$ms" -ge 320 ]
check "and says it holds no sound" grep -qx "tamberlight: cannot play $scratch/picture.png: it holds no sound; beeping instead" "$scratch/picture.log"

# Two entries in one minute, with a sound of half a minute: the second ends the first, so that
# sounds never pile up. Escape would end it too.
gst-launch-1.0 -q audiotestsrc wave=sine freq=440 volume=0.2 num-buffers=1300 ! wavenc ! \
    filesink location="$scratch/long.wav"
settings "" "$scratch/long.wav" " 0" " 0" " 3525" " 9375" " 0" "#Tamberlight   ver.0.2" "0:01 one" "0:01 two"
QT_QPA_PLATFORM=offscreen "$scratch/tamberlight" 2>"$scratch/long.log" &
streams() { pactl list sink-inputs | grep -c "application.process.id = \"$1\"" || true; }
check "the sound plays" within "[ \$(streams $!) -ge 1 ]"
most=0
for _ in $(seq 10); do most=$(( $(streams $!) > most ? $(streams $!) : most )); sleep 0.1; done
check "one stream at a time, not $most" [ "$most" -eq 1 ]
check "and the clock ends cleanly" stop $!

# No audio server at all: two entries due at once, and one line that says so in the user's words.
mkdir -m 700 "$scratch/silent"
settings "" "" " 0" " 0" " 3525" " 9375" " 0" "#Tamberlight   ver.0.2" "0:01 one" "0:01 two"
XDG_RUNTIME_DIR="$scratch/silent" QT_QPA_PLATFORM=offscreen "$scratch/tamberlight" 2>"$scratch/silent.log" &
check "without an audio server, a line" within 'grep -q . "$scratch/silent.log"'
check "and the clock ends cleanly" stop $!
check "without an audio server, one line" [ "$(cat "$scratch/silent.log")" = "tamberlight: there is no audio output, so alarms cannot be heard; the clock goes on" ]
finish
