#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# The program as a user who cannot write beside it (as nobody, since root writes anywhere): the
# settings move to the configuration folder, starting from the file beside the program; where
# nothing can be written at all, each failed save says why in one line and keeps the old file.
source "$(dirname "$0")/lib.sh"

settings "" "" " 0" " 0" " 3525" " 9375" " 0" "#Tamberlight   ver.0.2" "18:30 read beside"
cp "$scratch/tamberl.ini" "$scratch/beside.ini"
mkdir -p -m 700 "$scratch/nobody-runtime" "$scratch/nobody-config"
chown nobody:nogroup "$scratch/nobody-runtime" "$scratch/nobody-config"
mkdir -m 755 "$scratch/locked-config"

as_nobody() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups env XDG_RUNTIME_DIR="$scratch/nobody-runtime" \
        XDG_CONFIG_HOME="$1" XDG_STATE_HOME="$scratch/nobody-config/state" QT_QPA_PLATFORM=offscreen \
        "$scratch/tamberlight" 2>"$scratch/$2.log" &
    check "$2: $3" within "$3"
    check "$2: ends cleanly" stop $!
}

as_nobody "$scratch/nobody-config" moved '[ -f "$scratch/nobody-config/tamberlight/tamberl.ini" ]'
check "the schedule beside the program moves on" \
    grep -q "read beside" "$scratch/nobody-config/tamberlight/tamberl.ini"
as_nobody "$scratch/locked-config" locked '[ -s "$scratch/locked.log" ]'
saving="tamberlight: cannot save settings to $scratch/locked-config/tamberlight/tamberl.ini: Permission denied"
unsaved="$scratch/nobody-config/state/tamberlight/unsaved-[0-9a-f]*\.ini"
check "a failed save at start-up says why" \
    grep -qxF "$saving; the schedule rings as applied but is not saved: press 予定更新 to save it again" "$scratch/locked.log"
check "and at the end of the session, where the settings are kept" \
    grep -qx "$saving; they are kept in $unsaved instead" "$scratch/locked.log"
check "nothing else is said" [ "$(grep -c . "$scratch/locked.log")" -eq 2 ]
check "the kept copy holds the settings" grep -q "read beside" "$scratch"/nobody-config/state/tamberlight/unsaved-*.ini
check "the file beside the program is as it was" cmp -s "$scratch/beside.ini" "$scratch/tamberl.ini"
as_nobody "$scratch/locked-config" again '[ -s "$scratch/again.log" ]'
check "the next start says where they are, once" \
    grep -qx "tamberlight: the settings that could not be saved when the last session ended are kept in $unsaved; they are not loaded" "$scratch/again.log"
finish
