#!/usr/bin/env python3
"""Writes the seed corpus of the TrueType fuzz target: installed DejaVu fonts cut
down to their first 128 glyphs (the ASCII letters and the first composite
glyphs) and the tables a download reads, so that each seed is small enough to
mutate quickly. The character map is kept whole. One seed keeps long loca
offsets, the others are rewritten with short ones.

    fuzz/make-truetype-seeds.py /usr/share/fonts/truetype/dejavu fuzz/corpus/truetype
"""
import os
import struct
import sys

KEPT_TABLES = [b"OS/2", b"cmap", b"cvt ", b"fpgm", b"glyf", b"head", b"hhea", b"hmtx",
               b"loca", b"maxp", b"prep"]
KEPT_GLYPHS = 128


def tables_of(data):
    count = struct.unpack(">H", data[4:6])[0]
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        tables[tag] = data[offset:offset + length]
    return tables


def checksum(table):
    padded = table + b"\0" * (-len(table) % 4)
    return sum(struct.unpack(">%dI" % (len(padded) // 4), padded)) & 0xFFFFFFFF


def cut(data, short_loca):
    tables = tables_of(data)
    head = bytearray(tables[b"head"])
    long_in = struct.unpack(">h", head[50:52])[0] != 0
    glyphs = struct.unpack(">H", tables[b"maxp"][4:6])[0]
    loca = tables[b"loca"]
    if long_in:
        offsets = struct.unpack(">%dI" % (glyphs + 1), loca[:4 * (glyphs + 1)])
    else:
        offsets = [2 * v for v in struct.unpack(">%dH" % (glyphs + 1), loca[:2 * (glyphs + 1)])]
    kept = min(glyphs, KEPT_GLYPHS)
    glyf = b""
    new_offsets = []
    for g in range(kept):
        new_offsets.append(len(glyf))
        glyf += tables[b"glyf"][offsets[g]:offsets[g + 1]]
        glyf += b"\0" * (len(glyf) % 2)
    new_offsets.append(len(glyf))
    maxp = bytearray(tables[b"maxp"])
    maxp[4:6] = struct.pack(">H", kept)
    tables[b"maxp"] = bytes(maxp)
    hhea = bytearray(tables[b"hhea"])
    metrics = min(struct.unpack(">H", hhea[34:36])[0], kept)
    hhea[34:36] = struct.pack(">H", metrics)
    tables[b"hhea"] = bytes(hhea)
    tables[b"hmtx"] = tables[b"hmtx"][:4 * metrics + 2 * (kept - metrics)]
    if short_loca:
        tables[b"loca"] = struct.pack(">%dH" % len(new_offsets), *[o // 2 for o in new_offsets])
    else:
        tables[b"loca"] = struct.pack(">%dI" % len(new_offsets), *new_offsets)
    head[50:52] = struct.pack(">h", 0 if short_loca else 1)
    head[8:12] = b"\0\0\0\0"  # checkSumAdjustment, not kept up to date
    tables[b"head"] = bytes(head)
    tables[b"glyf"] = glyf

    present = [tag for tag in KEPT_TABLES if tag in tables]
    out = struct.pack(">IHHHH", 0x00010000, len(present), 128, 3, len(present) * 16 - 128)
    offset = 12 + 16 * len(present)
    body = b""
    for tag in present:
        table = tables[tag]
        out += struct.pack(">4sIII", tag, checksum(table), offset + len(body), len(table))
        body += table + b"\0" * (-len(table) % 4)
    return out + body


def main():
    source, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)
    seeds = [("DejaVuSans.ttf", False), ("DejaVuSansMono.ttf", True), ("DejaVuSerif-Bold.ttf", True)]
    for name, short_loca in seeds:
        with open(os.path.join(source, name), "rb") as f:
            data = f.read()
        seed = cut(data, short_loca)
        out = os.path.join(target, name.replace(".ttf", "-cut.ttf"))
        with open(out, "wb") as f:
            f.write(seed)
        print(out, len(seed))


if __name__ == "__main__":
    main()
