#!/usr/bin/env python3
"""Writes the byte-exact fixtures in this folder.

Independent of the code under test: the layouts are spelled out here by hand.
Run it from anywhere; it rewrites the files beside it.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
FIRST_LINE = b"// Character File. Keep one value per line, in this order."


def i32(v):
    return struct.pack("<i", v)


def text(b):
    return bytes([len(b)]) + b


def bcf(lead1, lead2, name, nv1, nv2, count, entries, trailer=0):
    out = i32(lead1) + i32(lead2) + text(name) + i32(nv1) + i32(nv2) + i32(count)
    for t1, t2, v1, v2 in entries:
        out += text(t1) + text(t2) + i32(v1) + i32(v2)
    return out + i32(trailer)


def cmx(lead1, lead2, name, nv1, nv2, count, entries, eol=b"\r\n",
        first=FIRST_LINE, version=b"version 300", trailer=b"0"):
    lines = [first, version, b"%d" % lead1, b"%d" % lead2, name,
             b"%d" % nv1, b"%d" % nv2, b"%d" % count]
    for t1, t2, v1, v2 in entries:
        lines += [t1, t2, b"%d" % v1, b"%d" % v2]
    if trailer is not None:
        lines.append(trailer)
    return b"".join(line + eol for line in lines)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# The worked example: one entry, 40 bytes in binary, 13 lines in text.
worked = (0, 1, b"ab", 0, 0, 1, [(b"X", b"YZ", 8, 0)])
write("worked_example.bcf", bcf(*worked))
write("worked_example.cmx", cmx(*worked))

# Extreme integers, empty and 99-byte texts, high bytes, spaces and tabs
# kept, and length bytes or integer bytes that equal LF (0x0A) and CR (0x0D).
extremes = (
    -2147483648, 2147483647, bytes(range(0x80, 0x80 + 99)), -1, 10, 3,
    [(b"", b"", 0x0A0A0A0A, 0x0D0D0D0D),
     (b"0123456789", b" padded\ttext ", -10, 13),
     (b"y" * 99, b"\xff\xfe\x81\x5c", 2147483647, -2147483648)])
write("extremes.bcf", bcf(*extremes))
write("extremes.cmx", cmx(*extremes))

# A negative count is carried through and no entry is read or written.
negative = (7, -7, b"", 0, 0, -5, [])
write("negative_count.bcf", bcf(*negative))
write("negative_count.cmx", cmx(*negative))

# Files the readers refuse.
one_entry = bcf(*worked)
write("refused/empty.bcf", b"")
write("refused/name_length_100.bcf", i32(0) + i32(0) + bytes([100]) + b"n" * 100 + i32(0) * 4)
write("refused/entry_length_255.bcf",
      i32(0) + i32(0) + text(b"ab") + i32(0) + i32(0) + i32(1) + text(b"X") + bytes([255]) + b"y" * 255)
write("refused/count_31.bcf", bcf(0, 0, b"ab", 0, 0, 31, [(b"", b"", 0, 0)] * 31))
write("refused/ends_in_count.bcf", one_entry[:19])
write("refused/ends_in_entry_text.bcf", one_entry[:24])
write("refused/ends_in_last_value.bcf", one_entry[:34])

worked_text = cmx(*worked)
write("refused/empty.cmx", b"")
write("refused/name_line_100.cmx", cmx(0, 1, b"n" * 100, 0, 0, 0, []))
write("refused/entry_line_100.cmx", cmx(0, 1, b"ab", 0, 0, 1, [(b"X", b"z" * 100, 8, 0)], eol=b"\n"))
write("refused/count_31.cmx", cmx(0, 0, b"ab", 0, 0, 31, [(b"", b"", 0, 0)] * 31))
write("refused/ends_before_last_value.cmx", worked_text[:worked_text.rindex(b"8\r\n") + 3])
write("refused/ends_before_count.cmx", b"\r\n".join(worked_text.split(b"\r\n")[:7]) + b"\r\n")
