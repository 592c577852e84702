#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Settings files as people really have them, each beside its own copy of the program run by an
# ordinary user on a real X server: the window opens within a few seconds whatever the file is,
# the user reads what matters in one line each, and nothing they wrote is lost or replaced.
source "$(dirname "$0")/lib.sh"

x_server
chown nobody:nogroup "$XDG_RUNTIME_DIR"
head=$'\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 0\r\n#Tamberlight   ver.0.2\r\n'
# The file's bytes in C-escaped form, to compare with what a row expects.
bytes() { od -An -c "$1" | tr -d ' \n'; }

# name | how the settings file is made | what stderr says, in order ("" for nothing) | what is
# true of the file after a start and a close
while IFS='|' read -r name make said after; do
    dir="$scratch/$name"
    mkdir -p "$dir" && cp "$scratch/tamberlight" "$scratch/libtamberlight_sound.so" "$dir/" && cd "$dir"
    eval "$make"
    [ ! -f tamberl.ini ] || [ -L tamberl.ini ] || cp tamberl.ini before.ini
    chown -h nobody:nogroup "$dir" "$dir/tamberl.ini"
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$dir" XDG_CONFIG_HOME="$dir" \
        "$dir/tamberlight" 2>"$dir/said.log" &
    check "$name: the window opens" within "xdotool search --onlyvisible --pid $! >/dev/null"
    check "$name: ends cleanly" stop $!
    check "$name: says $said" [ "$(tr '\n' ' ' <"$dir/said.log" | sed "s#$dir/##g")" = "$said" ]
    check "$name: the file afterwards" eval "$after"
done <<'TABLE'
linux_lines|printf '\n\n 0\n 0\n 3525\n 9375\n 0\n#T\n18:30 x\n' >tamberl.ini; echo "19:00 dinner" >>tamberl.ini||[ "$(bytes tamberl.ini)" = "$(printf '\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 0\r\n#T\r\n18:30 x\r\n19:00 dinner\r\n' | od -An -c | tr -d ' \n')" ]
byte_order_mark|printf '\xef\xbb\xbf%s' "$head" >tamberl.ini||[ "$(bytes tamberl.ini)" = "$(printf %s "$head" | od -An -c | tr -d ' \n')" ]
named_pipe|mkfifo tamberl.ini|tamberlight: cannot read settings from tamberl.ini: it is a named pipe, not a settings file; the clock starts from its defaults and leaves that file as it is tamberlight: cannot save settings to tamberl.ini: it is a named pipe, not a settings file; press 予定更新 to try again tamberlight: cannot save settings to tamberl.ini: it is a named pipe, not a settings file; the previous file is kept |[ -p tamberl.ini ]
link_to_a_device|ln -s /dev/zero tamberl.ini|tamberlight: cannot read settings from tamberl.ini: it is a device, not a settings file; the clock starts from its defaults and leaves that file as it is tamberlight: cannot save settings to tamberl.ini: it is a device, not a settings file; press 予定更新 to try again tamberlight: cannot save settings to tamberl.ini: it is a device, not a settings file; the previous file is kept |[ "$(readlink tamberl.ini)" = /dev/zero ] && [ -c /dev/zero ]
folder|mkdir tamberl.ini|tamberlight: cannot read settings from tamberl.ini: it is a folder, not a settings file; the clock starts from its defaults and leaves that file as it is tamberlight: cannot save settings to tamberl.ini: it is a folder, not a settings file; press 予定更新 to try again tamberlight: cannot save settings to tamberl.ini: it is a folder, not a settings file; the previous file is kept |[ -d tamberl.ini ]
far_too_large|printf '%s' "$head" >tamberl.ini; truncate -s 65M tamberl.ini|tamberlight: cannot read settings from tamberl.ini: it is larger than 64 MiB, far more than any settings; the clock starts from its defaults and leaves that file as it is tamberlight: cannot save settings to tamberl.ini: it is larger than 64 MiB, far more than any settings; press 予定更新 to try again tamberlight: cannot save settings to tamberl.ini: it is larger than 64 MiB, far more than any settings; the previous file is kept |cmp -s tamberl.ini before.ini
write_only|printf '%s18:30 mine\r\n' "$head" >tamberl.ini; chmod 200 tamberl.ini|tamberlight: cannot read settings from tamberl.ini: Permission denied; the clock starts from its defaults and leaves that file as it is tamberlight: cannot save settings to tamberl.ini: it could not be read, and a save would replace what it holds; press 予定更新 to try again tamberlight: cannot save settings to tamberl.ini: it could not be read, and a save would replace what it holds; the previous file is kept |cmp -s tamberl.ini before.ini
TABLE
finish
