#!/usr/bin/env python3
"""Writes the seed inputs of the container fuzz target into corpus/container/.

Each seed is a small surprise file laid out as the engine reads it: engine
bytes, the data archive with every byte + 42, the 415-byte record and its
length. The archives are made with Info-ZIP's zip (traditional password
encryption), so the seeds do not depend on the code under test.
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "container")
SIGNATURE = bytes.fromhex("05A1AB9FA8EDC34589F4369315A947EB")
PASSWORD = "Kq4!)="
ENGINE = b"\x7fELF seed engine"


def bmp(width, height, colour):
    row = bytes(colour) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    header = b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def short(text, capacity):
    data = text.encode("cp1252")[:capacity]
    return bytes([len(data)]) + data + b"\0" * (capacity - len(data))


def record(engine_size, archive_size, password="", url="", sounds=("", "", ""),
           transparent=(0, 0)):
    r = bytearray(SIGNATURE)
    r += struct.pack("<II", engine_size, archive_size)
    r += short("20240102030405678", 17)
    r += short("b1.bmp", 8) + bytes([transparent[0]]) + bytes([255, 0, 255])
    r += short("b2.bmp", 8) + bytes([transparent[1]]) + bytes([0, 255, 0])
    r += short(password, 50)
    r += short("40102030", 8)
    for name in sounds:
        r += short(name, 8) + b"\0"
    r += bytes([1 if url else 0]) + short(url, 255)
    assert len(r) == 415
    return bytes(r)


def surprise(files, encrypt=True, **fields):
    with tempfile.TemporaryDirectory() as work:
        names = []
        for name, data in files:
            with open(os.path.join(work, name), "wb") as f:
                f.write(data)
            names.append(name)
        command = ["zip", "-q", "-9", "-X"]
        if encrypt:
            command += ["-P", PASSWORD]
        subprocess.run(command + ["data.zip"] + names, cwd=work, check=True)
        with open(os.path.join(work, "data.zip"), "rb") as f:
            archive = f.read()
    shifted = bytes((b + 42) % 256 for b in archive)
    return (ENGINE + shifted + record(len(ENGINE), len(archive), **fields)
            + struct.pack("<H", 415))


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = [("b1.bmp", bmp(6, 4, (255, 0, 255))), ("b2.bmp", bmp(5, 3, (0, 255, 0)))]
    tune = b"MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0\0\4\0\xff\x2f\0"
    seeds = {
        "plain": surprise(pictures),
        "sounds-password-url": surprise(
            pictures + [("s1.mid", tune), ("s2.wav", b"RIFF\4\0\0\0WAVE")],
            password="secret", url="http://example.com/",
            sounds=("s1.mid", "s2.wav", "s1.mid"), transparent=(1, 1)),
        "unencrypted": surprise(pictures, encrypt=False),
        "unexpected-entry": surprise(pictures + [("run.sh", b"#!/bin/sh\n")]),
        "bare-engine": ENGINE,
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    sys.exit(main())
