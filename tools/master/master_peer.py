#!/usr/bin/env python3
"""A GameSpy master on loopback for the tests and the demo: greets with a
challenge, checks the client's validate answer against the game's key, and
serves its list in the compact form (\\list\\cmp\\) or the plain one
(\\ip\\a.b.c.d:port).

usage: master_peer.py --port P [--key KEY] [--form asked|compact|plain] [--server A.B.C.D:QUERYPORT[:GAME] ...]
                      [--range A.B.C.D:FIRSTPORT:COUNT[:STEP[:GAME]]] [--behaviour B]
                      [--accept-any] [--log FILE]
The validate answer is computed here on its own, so that a client's answer is
checked by a second implementation."""
import argparse
import base64
import random
import socket
import socketserver
import string
import struct
import sys
import threading


def validate(challenge: bytes, key: bytes) -> str:
    table = list(range(256))
    a = 0
    for i in range(256):
        a = (a + table[i] + key[i % len(key)]) & 255
        table[i], table[a] = table[a], table[i]
    a = b = 0
    mixed = bytearray()
    for byte in challenge:
        a = (a + byte + 1) & 255
        x = table[a]
        b = (b + x) & 255
        y = table[b]
        table[b], table[a] = x, y
        mixed.append(byte ^ table[(x + y) & 255])
    while len(mixed) % 3:
        mixed.append(0)
    return base64.b64encode(bytes(mixed)).decode()


def pairs(text: str):
    parts = text.split("\\")
    return {parts[i]: parts[i + 1] for i in range(1, len(parts) - 1, 2)}


class Master(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True

    def __init__(self, address, options, servers):
        super().__init__(address, Handler)
        self.options = options
        self.servers = servers
        self.log_lock = threading.Lock()

    def log(self, line):
        if self.options.log:
            with self.log_lock, open(self.options.log, "a") as out:
                out.write(line + "\n")


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        master, options = self.server, self.server.options
        self.request.settimeout(10)
        if options.behaviour == "silent":
            self.request.recv(1)
            return
        challenge = "".join(random.choice(string.ascii_uppercase) for _ in range(6))
        self.request.sendall(b"\\basic\\\\secure\\" + challenge.encode())
        if options.behaviour == "close-early":
            return
        request = b""
        while b"\\list\\" not in request or not request.endswith(b"\\final\\") or request.count(b"\\final\\") < 2:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            request += chunk
        hello, _, listing = request.decode("latin-1").partition("\\list\\")
        fields = pairs(hello)
        game = pairs("\\list\\" + listing).get("gamename", "")
        answer = fields.get("validate", "")
        if options.key and not options.accept_any:
            expected = validate(challenge.encode(), options.key.encode())
            if answer != expected:
                master.log(f"validate refused {fields.get('gamename', '')} {answer}")
                self.request.sendall(b"\\error\\validate failed\\final\\")
                return
            master.log(f"validate ok {fields.get('gamename', '')} {answer}")
        else:
            master.log(f"validate unchecked {fields.get('gamename', '')} {answer}")
        listed = [(a, p) for a, p, g in master.servers if not g or g == game]
        if options.behaviour == "garbage":
            self.request.sendall(b"HTTP/1.0 400 Bad Request\r\n\r\n" + bytes(range(7)) + b"\\final\\")
            return
        compact = listing.startswith("cmp\\") if options.form == "asked" else options.form == "compact"
        if compact:
            body = b"".join(socket.inet_aton(a) + struct.pack(">H", p) for a, p in listed)
        else:
            body = "".join(f"\\ip\\{a}:{p}" for a, p in listed).encode()
        if options.behaviour == "half":
            self.request.sendall(body[: len(body) // 2])
            return
        self.request.sendall(body + b"\\final\\")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=28900)
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--key", default="")
    parser.add_argument("--accept-any", action="store_true", help="list even without the right validate answer")
    parser.add_argument("--server", action="append", default=[])
    parser.add_argument("--range", action="append", default=[])
    parser.add_argument("--behaviour", default="normal", choices=["normal", "garbage", "close-early", "half", "silent"])
    parser.add_argument("--form", default="asked", choices=["asked", "compact", "plain"],
                        help="the list's form: as the client asked, or always this one")
    parser.add_argument("--log")
    parser.add_argument("--validate", nargs=2, metavar=("CHALLENGE", "KEY"), help="print the answer and end")
    options = parser.parse_args()
    if options.validate:
        print(validate(options.validate[0].encode(), options.validate[1].encode()))
        return
    servers = []
    for text in options.server:
        address, port, *game = text.split(":")
        servers.append((address, int(port), game[0] if game else ""))
    for text in options.range:
        address, first, count, *rest = text.split(":")
        step = int(rest[0]) if rest else 2
        game = rest[1] if len(rest) > 1 else ""
        servers += [(address, int(first) + i * step, game) for i in range(int(count))]
    master = Master((options.bind, options.port), options, servers)
    print(f"master peer listening on {options.bind}:{options.port} with {len(servers)} servers", flush=True)
    try:
        master.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
