#!/usr/bin/env python3
"""Makes one small add-on package with each zip writer players use.

Usage: writer-zips.py FOLDER
FOLDER/src holds the package's files; FOLDER/<case>.zip one zip per case.
Exits non-zero, naming the case, when a tool is missing or fails.
"""
import os
import random
import struct
import subprocess
import sys
import zipfile
import zlib

INSTRUCTIONS = (b"AUTOADDON_START\r\nPACKAGE Tanks\r\nINSTALL *.pbo addons\\\r\n"
                b"INSTALL *.txt docs\\\r\nAUTOADDON_END\r\n")


def write_sources(src):
    os.makedirs(os.path.join(src, "data"), exist_ok=True)
    words = [b"tank", b"armour", b"turret", b"track", b"\x00\x01\x02", b"model", b"p3d"]
    rng = random.Random(27)
    # Compressible, yet not so regular that every method stores it.
    tank = b" ".join(rng.choice(words) + bytes([rng.randrange(256)]) for _ in range(60000))
    files = {"auto-addon.txt": INSTRUCTIONS, "data/tank.pbo": tank, "readme.txt": b"Drive carefully.\n"}
    for name, data in files.items():
        with open(os.path.join(src, name), "wb") as out:
            out.write(data)
    return list(files)


def run(args, cwd, case, stdout=None):
    result = subprocess.run(args, cwd=cwd, stdout=stdout, stderr=subprocess.PIPE)
    if result.returncode != 0:
        sys.exit(f"{case}: {' '.join(args)} failed: {result.stderr.decode(errors='replace')}")


def python_zip(path, src, names, method, force_zip64=False):
    with zipfile.ZipFile(path, "w", compression=method) as archive:
        for name in names:
            with open(os.path.join(src, name), "rb") as data, archive.open(name, "w", force_zip64=force_zip64) as out:
                out.write(data.read())


def oversized_zip(path, name, data, claimed):
    """A zip whose one member claims, in zip64 fields, more bytes than it has."""
    crc = zlib.crc32(data)
    extra = struct.pack("<HHQQ", 1, 16, claimed, len(data))
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 45, 0, 0, 0, 0x21, crc, 0xFFFFFFFF, 0xFFFFFFFF,
                        len(name), len(extra)) + name + extra
    central = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45, 45, 0, 0, 0, 0x21, crc, 0xFFFFFFFF,
                          0xFFFFFFFF, len(name), len(extra), 0, 0, 0, 0, 0) + name + extra
    start = len(local) + len(data)
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central), start, 0)
    with open(path, "wb") as out:
        out.write(local + data + central + end)


def main():
    folder = os.path.abspath(sys.argv[1])
    src = os.path.join(folder, "src")
    names = write_sources(src)
    tools = {
        "infozip": ["zip", "-q", "-X"],
        "infozip-zip64": ["zip", "-q", "-X", "-fz"],
        "7z-deflate": ["7z", "a", "-tzip", "-mm=Deflate"],
        "7z-bzip2": ["7z", "a", "-tzip", "-mm=BZip2"],
        "7z-lzma": ["7z", "a", "-tzip", "-mm=LZMA"],
        "7z-deflate64": ["7z", "a", "-tzip", "-mm=Deflate64"],
        "7z-ppmd": ["7z", "a", "-tzip", "-mm=PPMd"],
        "7z-zipcrypto": ["7z", "a", "-tzip", "-psecret", "-mem=ZipCrypto"],
        "7z-aes": ["7z", "a", "-tzip", "-psecret", "-mem=AES256"],
    }
    for case, command in tools.items():
        out = os.path.join(folder, case + ".zip")
        run(command + [out] + names, src, case, stdout=subprocess.DEVNULL)
    # Written to a pipe, Info-ZIP streams: sizes follow the data.
    with open(os.path.join(folder, "infozip-streamed.zip"), "wb") as out:
        run(["sh", "-c", "zip -q -X - " + " ".join(names) + " | cat"], src, "infozip-streamed", stdout=out)
    run(["bsdtar", "-a", "-cf", os.path.join(folder, "bsdtar.zip"), "."], src, "bsdtar")
    python_zip(os.path.join(folder, "python-bzip2.zip"), src, names, zipfile.ZIP_BZIP2)
    python_zip(os.path.join(folder, "python-lzma.zip"), src, names, zipfile.ZIP_LZMA)
    python_zip(os.path.join(folder, "python-zip64.zip"), src, names, zipfile.ZIP_DEFLATED, force_zip64=True)
    oversized_zip(os.path.join(folder, "over-4gib.zip"), b"big.pbo", b"only a few bytes", 5 << 30)
    # One flipped byte in the middle of the packed add-on: the inflater and the LZMA decoder must fail or the CRC catch it.
    for case in ("infozip", "python-lzma"):
        data = bytearray(open(os.path.join(folder, case + ".zip"), "rb").read())
        data[len(data) // 2] ^= 0x55
        open(os.path.join(folder, case + "-damaged.zip"), "wb").write(bytes(data))
    # Stored, so that one flipped byte of data is damage the CRC must catch.
    damaged = os.path.join(folder, "infozip-zip64-damaged.zip")
    run(["zip", "-q", "-X", "-0", "-fz", damaged] + names, src, "infozip-zip64-damaged")
    data = bytearray(open(damaged, "rb").read())
    data[data.find(b"armour") + 3] ^= 0x20
    open(damaged, "wb").write(bytes(data))


if __name__ == "__main__":
    main()
