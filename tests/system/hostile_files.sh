#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Settings files as people really have them, each beside its own copy of the program run by an
# ordinary user on a real X server: the window opens within a few seconds whatever the file is,
# the user reads what matters in one line each, and nothing they wrote is lost or replaced. Then
# one file shared by two users, and a close on a full disk.
source "$(dirname "$0")/lib.sh"

x_server
chown nobody:nogroup "$XDG_RUNTIME_DIR"
head=$'\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 0\r\n#Tamberlight   ver.0.2\r\n'
# The file's bytes in C-escaped form, to compare with what a row expects.
bytes() { od -An -c "$1" | tr -d ' \n'; }
# A small file system of its own (a tmpfs), which fill leaves without a free byte.
full_disk() { mkdir -p "$1" && mount -t tmpfs -o size=64k,mode=755 tamberlight-test "$1"; }
fill() { dd if=/dev/zero of="$1/filler" bs=1k 2>/dev/null || true; }
# A schedule of 2000 lines ended by LF, which the clock writes back with CR LF, a little longer.
long_linux_file() {
    { printf '\n\n 0\n 0\n 3525\n 9375\n 0\n#T\n'
      for i in $(seq 1998); do printf 'note %d\n' "$i"; done
      printf '23:59 LAST ENTRY must survive\n'; } >"$1"
}
# The end of the lines a refused settings file gives: at the start, at the start-up save, and at
# the end of the session, when what would have been saved goes to the state folder instead.
R="; the clock starts from its defaults and leaves that file as it is"
N="; the schedule rings as applied but is not saved: press 予定更新 to save it again"
K="; they are kept in state/tamberlight/unsaved-KEY.ini instead"
refused() {
    local save=${2:-$1}
    echo -n "tamberlight: cannot read settings from tamberl.ini: $1$R tamberlight: cannot save settings to tamberl.ini: $save$N tamberlight: cannot save settings to tamberl.ini: $save$K "
}
said() { tr '\n' ' ' <"$1/said.log" | sed "s#$1/##g; s/unsaved-[0-9a-f]*\.ini/unsaved-KEY.ini/g"; }

# name | how the settings file is made | what stderr says, in order (expanded) | what is true of
# the files after a start and a close
while IFS='|' read -r name make says after; do
    dir="$scratch/$name"
    mkdir -p "$dir" && cp "$scratch/tamberlight" "$scratch/libtamberlight_sound.so" "$dir/" && cd "$dir"
    eval "$make"
    [ ! -f tamberl.ini ] || [ -L tamberl.ini ] || cp tamberl.ini before.ini
    chown -h nobody:nogroup "$dir" "$dir/tamberl.ini"
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$dir" XDG_CONFIG_HOME="$dir" \
        XDG_STATE_HOME="$dir/state" "$dir/tamberlight" 2>"$dir/said.log" &
    check "$name: the window opens" within "xdotool search --onlyvisible --pid $! >/dev/null"
    check "$name: ends cleanly" stop $!
    eval "says=\"$says\""
    check "$name: says $says" [ "$(said "$dir")" = "$says" ]
    check "$name: the files afterwards" eval "$after"
done <<'TABLE'
linux_lines|printf '\n\n 0\n 0\n 3525\n 9375\n 0\n#T\n18:30 x\n' >tamberl.ini; echo "19:00 dinner" >>tamberl.ini||[ "$(bytes tamberl.ini)" = "$(printf '\r\n\r\n 0\r\n 0\r\n 3525\r\n 9375\r\n 0\r\n#T\r\n18:30 x\r\n19:00 dinner\r\n' | od -An -c | tr -d ' \n')" ]
byte_order_mark|printf '\xef\xbb\xbf%s' "$head" >tamberl.ini||[ "$(bytes tamberl.ini)" = "$(printf %s "$head" | od -An -c | tr -d ' \n')" ]
named_pipe|mkfifo tamberl.ini|$(refused "it is a named pipe, not a settings file")|[ -p tamberl.ini ] && grep -q "^#Tamberlight" state/tamberlight/unsaved-*.ini
link_to_a_device|ln -s /dev/zero tamberl.ini|$(refused "it is a device, not a settings file")|[ "$(readlink tamberl.ini)" = /dev/zero ] && [ -c /dev/zero ]
folder|mkdir tamberl.ini|$(refused "it is a folder, not a settings file")|[ -d tamberl.ini ]
far_too_large|printf '%s' "$head" >tamberl.ini; truncate -s 65M tamberl.ini|$(refused "it is larger than 64 MiB, far more than any settings")|cmp -s tamberl.ini before.ini
write_only|printf '%s18:30 mine\r\n' "$head" >tamberl.ini; chmod 200 tamberl.ini|$(refused "Permission denied" "it could not be read, and a save would replace what it holds")|cmp -s tamberl.ini before.ini
named_pipe_picture|mkfifo face.png; printf '%s\r\n' "$PWD/face.png" "" " 0" " 0" " 3525" " 9375" " 0" "#T" >tamberl.ini|tamberlight: cannot show face.png as the dial picture: it is a named pipe, not a picture; the dial shows no picture |cmp -s tamberl.ini before.ini
too_many_entries|{ printf %s "$head"; for i in $(seq 0 101); do printf '%d:%02d e\r\n' $((i / 60)) $((i % 60)); done; } >tamberl.ini|tamberlight: 1 timed line of the schedule will not ring: only the first 101 entries do, and line 103 is the first left out |cmp -s tamberl.ini before.ini
full_disk_in_place|full_disk disk; long_linux_file disk/tamberl.ini; chmod 666 disk/tamberl.ini; cp disk/tamberl.ini before.ini; ln -s disk/tamberl.ini tamberl.ini; fill disk|tamberlight: cannot save settings to disk/tamberl.ini: No space left on device$N tamberlight: cannot save settings to disk/tamberl.ini: No space left on device$K |cmp -s disk/tamberl.ini before.ini && grep -q "LAST ENTRY must survive" state/tamberlight/unsaved-*.ini
TABLE

# One file in a shared folder, two users: root's window and nobody's read it; root types and
# closes, then nobody's session ends. Root's edit stays in the file, nobody's settings go beside
# it, and nobody reads where each version is.
shared="$scratch/shared"
mkdir -m 777 "$shared" "$shared/home" && cp "$scratch/tamberlight" "$scratch/libtamberlight_sound.so" "$shared/"
printf '%s0:30 ours\r\n' "$head" >"$shared/tamberl.ini" && chmod 666 "$shared/tamberl.ini"
cp "$shared/tamberl.ini" "$scratch/ours.ini"
mkdir -m 700 "$scratch/root-runtime"
XDG_RUNTIME_DIR="$scratch/root-runtime" "$shared/tamberlight" 2>"$scratch/root.log" &
root=$!
setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$shared/home" \
    "$shared/tamberlight" 2>"$scratch/nobody.log" &
other=$!
check "both users' windows open" within "xdotool search --onlyvisible --pid $root && xdotool search --onlyvisible --pid $other" >/dev/null
window=$(xdotool search --onlyvisible --pid $root | head -n 1)
xdotool windowfocus --sync "$window" type --delay 20 "root was here "
check "root's window ends cleanly" stop $root
check "nobody's window ends cleanly" stop $other
check "root's edit stays in the file" grep -q "^root was here #Tamberlight" "$shared/tamberl.ini"
beside=$(echo "$shared"/tamberl.nobody@*.ini)
check "nobody's settings are beside it, byte for byte" cmp -s "$beside" "$scratch/ours.ini"
check "and nobody reads where each version is" grep -qxF "tamberlight: $shared/tamberl.ini was changed by another program since this window read it; it stays as it is, and this window's settings are saved in $beside" "$scratch/nobody.log"

# A close on a full disk: the window stays open once and says why; the next close quits.
full="$scratch/full"
mkdir "$full" && cp "$scratch/tamberlight" "$scratch/libtamberlight_sound.so" "$full/" && full_disk "$full/disk"
printf '%s' "$head" >"$full/disk/tamberl.ini" && ln -s disk/tamberl.ini "$full/tamberl.ini" && fill "$full/disk"
XDG_RUNTIME_DIR="$scratch/root-runtime" "$full/tamberlight" 2>"$scratch/full.log" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid $pid | head -n 1)
xdotool windowfocus --sync "$window" type --delay 20 "typed "
close_window "$window"
unsaved="tamberlight: cannot save settings to $full/disk/tamberl.ini: No space left on device"
check "a close that cannot save says why" within "grep -qxF '$unsaved; the window stays open: close it again to quit without saving' '$scratch/full.log'"
check "and the window stays open" within "xdotool search --onlyvisible --pid $pid >/dev/null"
close_window "$window"
check "the next close quits" ends $pid
check "knowingly" grep -qxF "$unsaved; the window closes without saving, as asked" "$scratch/full.log"
finish
