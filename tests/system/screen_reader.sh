#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# What a screen reader reads of the window, from outside through AT-SPI: the time and the
# announcement as text, a name on every button and box, and an event when the announcement
# changes.
source "$(dirname "$0")/lib.sh"

x_server
settings "" "" " 0" " 0" " 3525" " 9375" " 0" "#Tamberlight   ver.0.2" "0:02 朝礼" "0:03 巡回"
cat >"$scratch/read.py" <<'PYTHON'
import re, time, pyatspi
from gi.repository import GLib
def tree(node):
    return [node] + [n for child in node for n in tree(child)]
def text(node):
    return node.queryText().getText(0, -1) if "Text" in pyatspi.listInterfaces(node) else None
for _ in range(100):
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "tamberlight"), None)
    if app and len(tree(app)) > 10:
        break
    time.sleep(0.1)
heard = []
def changed(event):
    if event.source.name == "予定のお知らせ":
        heard.append(text(event.source)) or pyatspi.Registry.stop()
pyatspi.Registry.registerEventListener(changed, "object:text-changed")
GLib.timeout_add(8000, pyatspi.Registry.stop)
pyatspi.Registry.start()
nodes = {n.name: n for n in tree(app)}
for n in tree(app):
    print(n.getRoleName(), repr(n.name), repr(text(n) or ""))
    assert n.name or n.getRoleName() not in ("push button", "text"), "unnamed control"
assert re.fullmatch(r"\d\d:\d\d", text(nodes["時刻"])), "the time as text"
assert text(nodes["予定のお知らせ"]) == "0:02 朝礼\n0:03 巡回", "the announcement as text"
assert {"基準時刻（時）", "分間隔（ミリ秒）", "予定", "画像を上へ", "画像を下へ"} <= nodes.keys()
assert heard, "no event when the announcement changed"
PYTHON
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1/tamberlight" 2>"$1/program.log" &
    /usr/bin/python3 "$1/read.py"
    status=$?
    kill %1
    kill -TERM %2
    for _ in $(seq 100); do [[ $(ps -o stat= -p $!) == [^Z]* ]] && sleep 0.1; done
    kill -KILL %2 2>/dev/null
    wait %2 || echo "the program ended with status $?" >&2
    exit $status' screen-reader "$scratch" 2>"$scratch/bus.log" || check "what a screen reader reads" false
finish
