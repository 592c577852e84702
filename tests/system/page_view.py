# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Opens a page in Debian's headless Chromium, phone-sized, and writes a line whenever what it shows
# changes: [the link's line, the room, the time, the mark, the announcement]. Driven through the
# browser's DevTools protocol over a pipe. On SIGUSR1 it saves a screenshot to the path given
# second. Given a number of seconds and an expression besides, it prints what the expression gives
# after that long, and ends.
import json, os, signal, subprocess, sys, tempfile, time

url, shot = sys.argv[1], sys.argv[2]
into, theirs_in = os.pipe()
theirs_out, out_of = os.pipe()
def pipes():  # the browser reads fd 3 and writes fd 4, which the pipes themselves may hold now
    reads, writes = os.dup(into), os.dup(out_of)
    os.dup2(reads, 3)
    os.dup2(writes, 4)
profile = tempfile.mkdtemp()
browser = subprocess.Popen(["chromium", "--headless", "--no-sandbox", "--disable-gpu",
    "--remote-debugging-pipe", "--user-data-dir=" + profile, "--no-first-run"],
    preexec_fn=pipes, pass_fds=(3, 4), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
os.close(into); os.close(out_of)
replies, pending, asked = os.fdopen(theirs_out, "rb"), b"", 0

def ask(method, session=None, **params):
    global pending, asked
    asked += 1
    message = {"id": asked, "method": method, "params": params}
    if session:
        message["sessionId"] = session
    os.write(theirs_in, json.dumps(message).encode() + b"\0")
    while True:
        while b"\0" not in pending:
            pending += os.read(theirs_out, 65536)
        reply, pending = pending.split(b"\0", 1)
        reply = json.loads(reply)
        if reply.get("id") == asked:
            return reply.get("result", {})

target = ask("Target.createTarget", url="about:blank")["targetId"]
page = ask("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
ask("Emulation.setDeviceMetricsOverride", page, width=390, height=844, deviceScaleFactor=2,
    mobile=True)
ask("Page.navigate", page, url=url)
wanted = []
signal.signal(signal.SIGUSR1, lambda *_: wanted.append(1))
shown, began = "[]", time.monotonic()
while True:
    line = ask("Runtime.evaluate", page, returnByValue=True, expression="JSON.stringify("
               "['link','room','time','stopped','announcement'].map(id => "
               "(document.getElementById(id) || {}).textContent))")
    now = line.get("result", {}).get("value", shown)
    if now != shown:
        shown = now
        print(now, flush=True)
    if len(sys.argv) > 4 and time.monotonic() - began > float(sys.argv[3]):
        print(json.dumps(ask("Runtime.evaluate", page, returnByValue=True,
                             expression=sys.argv[4])["result"].get("value")), flush=True)
        break
    if wanted:
        wanted.clear()
        import base64
        with open(shot, "wb") as png:
            png.write(base64.b64decode(ask("Page.captureScreenshot", page)["data"]))
        print("screenshot", flush=True)
    time.sleep(0.05)
browser.terminate()
browser.wait()
