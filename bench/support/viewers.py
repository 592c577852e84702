# SPDX-FileCopyrightText: 2026 Tamberlight developers
# SPDX-License-Identifier: MIT
# Plain WebSocket viewers of a clock's page: viewers.py HOST PORT PATH COUNT SECONDS opens COUNT
# live channels, reads every message on each for SECONDS, and prints one JSON object: how many
# viewers were answered, how many messages each took, and when the first viewer had each message
# (milliseconds since 1970, by its sequence number), and how many the clock closed.
import base64, json, os, selectors, socket, sys, time

host, port, path, count, seconds = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4]), float(sys.argv[5])
chooser = selectors.DefaultSelector()
viewers = []
for i in range(count):
    s = socket.create_connection((host, port))
    key = base64.b64encode(os.urandom(16)).decode()
    s.sendall(f"GET {path} HTTP/1.1\r\nHost: {host}:{port}\r\nUpgrade: websocket\r\n"
              f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n".encode())
    viewer = {"socket": s, "pending": b"", "open": False, "messages": 0, "index": i, "closed": False}
    viewers.append(viewer)
    chooser.register(s, selectors.EVENT_READ, viewer)
arrived = {}
end = time.monotonic() + seconds
while time.monotonic() < end:
    for key, _ in chooser.select(timeout=max(0, end - time.monotonic())):
        v = key.data
        try:
            data = v["socket"].recv(65536)
        except ConnectionResetError:
            data = b""
        if not data:
            chooser.unregister(v["socket"])
            v["closed"] = True
            continue
        now = time.time() * 1000
        v["pending"] += data
        if not v["open"]:
            if b"\r\n\r\n" not in v["pending"]:
                continue
            head, v["pending"] = v["pending"].split(b"\r\n\r\n", 1)
            v["open"] = head.startswith(b"HTTP/1.1 101")
        while len(v["pending"]) >= 2:
            size, at = v["pending"][1] & 0x7F, 2
            if size == 126:
                size, at = int.from_bytes(v["pending"][2:4], "big"), 4
            if len(v["pending"]) < at + size:
                break
            opcode = v["pending"][0] & 0x0F
            payload, v["pending"] = v["pending"][at:at + size], v["pending"][at + size:]
            if opcode == 8:  # the clock closes this viewer
                v["closed"] = True
                continue
            v["messages"] += 1
            if v["index"] == 0:
                arrived.setdefault(json.loads(payload)["seq"], now)
print(json.dumps({"answered": sum(v["open"] for v in viewers),
                  "messages": [v["messages"] for v in viewers], "arrived": arrived,
                  "closed": sum(v["closed"] for v in viewers)}))
