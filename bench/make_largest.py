#!/usr/bin/env python3
"""Writes the largest valid character files, in both forms, into a folder.

largest.bcf and largest.cmx hold the same record: 30 entries, every text 99
bytes, every number at an extreme of the 32-bit range.
"""
import struct
import sys

INT_MIN, INT_MAX = -2147483648, 2147483647


def record():
    name = bytes(range(0x21, 0x21 + 99))
    entries = [(bytes([0x41 + i % 26]) * 99, bytes([0x61 + i % 26]) * 99,
                INT_MIN if i % 2 else INT_MAX, INT_MIN) for i in range(30)]
    return INT_MIN, INT_MAX, name, INT_MIN, INT_MIN, entries


def binary(lead1, lead2, name, nv1, nv2, entries):
    pack = lambda v: struct.pack("<i", v)
    text = lambda b: bytes([len(b)]) + b
    out = pack(lead1) + pack(lead2) + text(name) + pack(nv1) + pack(nv2) + pack(len(entries))
    for t1, t2, v1, v2 in entries:
        out += text(t1) + text(t2) + pack(v1) + pack(v2)
    return out + pack(0)


def textual(lead1, lead2, name, nv1, nv2, entries):
    lines = [b"// Character File. Keep one value per line, in this order.", b"version 300",
             b"%d" % lead1, b"%d" % lead2, name, b"%d" % nv1, b"%d" % nv2, b"%d" % len(entries)]
    for t1, t2, v1, v2 in entries:
        lines += [t1, t2, b"%d" % v1, b"%d" % v2]
    lines.append(b"0")
    return b"".join(line + b"\r\n" for line in lines)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    with open(f"{folder}/largest.bcf", "wb") as f:
        f.write(binary(*record()))
    with open(f"{folder}/largest.cmx", "wb") as f:
        f.write(textual(*record()))


if __name__ == "__main__":
    main()
