#!/usr/bin/env python3
"""How much the server side sends for what it is sent: every request kind of
garrison-aaserver and garrison-central asked from an address that never passed
the password (a spoofer's victim), and a flood of 100 requests a second.

usage: amplification.py AASERVER CENTRAL [--zips N ...] [--entries N ...] [--seconds S]
Prints a table: bytes in, bytes out, payload ratio, ratio on the wire (28 bytes
of IPv4 and UDP header a datagram)."""
import argparse
import os
import socket
import struct
import subprocess
import tempfile
import time
import zipfile

VERSION = 1222
HEADER = 28


def receive_all(sock, quiet=0.3):
    datagrams = []
    sock.settimeout(quiet)
    try:
        while True:
            datagrams.append(sock.recv(65536))
    except socket.timeout:
        pass
    return datagrams


def client(address):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 8 << 20)
    sock.bind((address, 0))
    return sock


def row(kind, sent, received):
    bytes_in = sum(len(d) for d in sent)
    bytes_out = sum(len(d) for d in received)
    wire_in = bytes_in + HEADER * len(sent)
    wire_out = bytes_out + HEADER * len(received)
    print(f"| {kind} | {bytes_in} | {bytes_out} | {bytes_out / bytes_in:.2f}x | {wire_out / wire_in:.2f}x |")


def exchange(server, address, requests):
    sock = client(address)
    for request in requests:
        sock.sendto(request, server)
    received = receive_all(sock)
    sock.close()
    return received


def flood(server, address, request, seconds, before=b""):
    sock = client(address)
    if before:
        sock.sendto(before, server)
    sent = [before] if before else []
    end = time.monotonic() + seconds
    received = []
    sock.setblocking(False)
    while time.monotonic() < end:
        sock.sendto(request, server)
        sent.append(request)
        pause = time.monotonic() + 0.01
        while time.monotonic() < pause:
            try:
                received.append(sock.recv(65536))
            except BlockingIOError:
                time.sleep(0.001)
    received += receive_all(sock)
    sock.close()
    return sent, received


def wait_for(path, text, limit=120):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        if os.path.exists(path) and text in open(path, errors="replace").read():
            return
        time.sleep(0.05)
    raise SystemExit(f"{path} never said {text!r}")


def aaserver(binary, zips, seconds, work):
    folder = os.path.join(work, f"zips{zips}")
    os.makedirs(folder)
    for i in range(zips):
        with zipfile.ZipFile(os.path.join(folder, f"pack{i}.zip"), "w") as z:
            z.writestr(f"addon_{i}_{os.urandom(4).hex()}.pbo", os.urandom(16))
    address = "127.0.0.77"
    log = os.path.join(work, f"aaserver{zips}.log")
    process = subprocess.Popen([binary, "--zips", folder, "--base-url", "http://example.org/zips/", "--game",
                                "127.0.0.78:2302", "--password", "pw", "--bind", address],
                               stdout=open(log, "w"), stderr=subprocess.STDOUT)
    try:
        wait_for(log, "serving")
        server = (address, 2322)
        send_list = struct.pack("<HH", VERSION, 1)
        re_request = struct.pack("<HHH", VERSION, 2, 0)
        wrong = struct.pack("<HH", VERSION, 0) + b"guess\0"
        right = struct.pack("<HH", VERSION, 0) + b"pw\0"
        print(f"\ngarrison-aaserver, {zips} zips\n")
        print("| request | bytes in | bytes out | ratio | on the wire |\n|---|---|---|---|---|")
        row("send-list, no list request before", [send_list], exchange(server, "127.0.1.1", [send_list]))
        row("re-request, no list request before", [re_request], exchange(server, "127.0.1.2", [re_request]))
        row("list request, wrong password", [wrong], exchange(server, "127.0.1.3", [wrong]))
        row("wrong password, then send-list", [wrong, send_list],
            exchange(server, "127.0.1.4", [wrong, send_list]))
        row("list request, right password", [right], exchange(server, "127.0.1.5", [right]))
        row("right password, then send-list (honest)", [right, send_list],
            exchange(server, "127.0.1.6", [right, send_list]))
        sent, received = flood(server, "127.0.1.7", send_list, seconds)
        row(f"flood: {len(sent)} send-lists, {seconds} s, no password", sent, received)
        sent, received = flood(server, "127.0.1.8", send_list, seconds, before=right)
        row(f"flood: {len(sent)} send-lists, {seconds} s, after the password", sent, received)
        print(f"\n(that flood reached its target at {sum(map(len, received)) / seconds / 1024:.1f} KiB/s)")
    finally:
        process.terminate()
        process.wait()


def central(binary, entries, seconds, work):
    address = "127.0.0.79"
    log = os.path.join(work, f"central{entries}.log")
    command = [binary, "--bind", address, "--news-text", "Coop tonight on the evening server",
               "--picture-url", "http://example.org/banner.gif", "--link", "http://example.org/"]
    for i in range(entries):
        command += ["--entry", f"10.{i // 250}.{i % 250}.1:2302:12:1:Server number {i} of the evening"]
    process = subprocess.Popen(command, stdout=open(log, "w"), stderr=subprocess.STDOUT)
    try:
        wait_for(log, "listening")
        server = (address, 48124)
        browser = struct.pack("<HHH", 0xFFFD, VERSION, 0x1234)
        tick = 0x00010002
        session = tick & 0xFFFF
        check = (((session + (tick >> 16) + VERSION) * 5) ^ 0xAAAA) & 0xFFFF
        news = struct.pack("<HHHH", VERSION, session, tick >> 16, check)
        print(f"\ngarrison-central, {entries} entries\n")
        print("| request | bytes in | bytes out | ratio | on the wire |\n|---|---|---|---|---|")
        received = exchange(server, "127.0.2.1", [browser])
        row("browser list", [browser], received)
        print(f"| (largest datagram: {max(map(len, received), default=0)} bytes) | | | | |")
        row("news", [news], exchange(server, "127.0.2.2", [news]))
        sent, received = flood(server, "127.0.2.3", browser, seconds)
        row(f"flood: {len(sent)} browser requests, {seconds} s", sent, received)
        print(f"\n(that flood reached its target at {sum(map(len, received)) / seconds / 1024:.1f} KiB/s)")
    finally:
        process.terminate()
        process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("aaserver")
    parser.add_argument("central")
    parser.add_argument("--zips", type=int, nargs="*", default=[50, 10000])
    parser.add_argument("--entries", type=int, nargs="*", default=[40, 1500])
    parser.add_argument("--seconds", type=float, default=10)
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        for zips in arguments.zips:
            aaserver(arguments.aaserver, zips, arguments.seconds, work)
        for entries in arguments.entries:
            central(arguments.central, entries, arguments.seconds, work)


if __name__ == "__main__":
    main()
