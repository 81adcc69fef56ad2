#!/usr/bin/env python3
"""Makes the example pictures: a synthetic photograph (sky, sun, hills, a lake
with ripples, fine grain) as photo.ppm, photo.jpg (through cjpeg, quality 90,
from libjpeg-turbo-progs) and a small PNG logo with transparency.

    examples/make-example-images.py [--size 1200x900]

The outputs are committed; run this only to remake them."""
import argparse
import math
import os
import random
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def photo_pixel(x, y, width, height, rng):
    u, v = x / width, y / height
    horizon = 0.55 + 0.06 * math.sin(u * 7.0) + 0.03 * math.sin(u * 23.0 + 1.0)
    if v < horizon:  # sky: blue above, warm near the horizon, a soft sun
        t = v / horizon
        r, g, b = 70 + 150 * t, 120 + 90 * t, 210 - 40 * t
        sun = math.exp(-((u - 0.72) ** 2 + (v - 0.25) ** 2) * 90)
        r, g, b = r + 120 * sun, g + 100 * sun, b + 30 * sun
    elif v < 0.78:  # hills
        shade = 0.6 + 0.4 * math.sin(u * 40.0 + v * 30.0) ** 2
        r, g, b = 50 * shade, 110 * shade + 20 * (v - horizon), 40 * shade
    else:  # lake: the sky mirrored, with ripples
        ripple = 0.5 + 0.5 * math.sin(v * 300.0 + math.sin(u * 20.0) * 3.0)
        r, g, b = 60 + 40 * ripple, 100 + 50 * ripple, 160 + 40 * ripple
    grain = rng.gauss(0, 2)
    return tuple(max(0, min(255, int(c + grain))) for c in (r, g, b))


def write_ppm(path, width, height, pixels):
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (width, height))
        out.write(pixels)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def write_logo_png(path, size):
    """An RGBA disc with a ring, transparent outside."""
    rows = bytearray()
    for y in range(size):
        rows.append(0)  # filter type None
        for x in range(size):
            d = math.hypot(x - size / 2 + 0.5, y - size / 2 + 0.5) / (size / 2)
            alpha = 255 if d < 0.95 else 0
            ring = 0.7 < d < 0.85
            rows += bytes((200, 30, 40, alpha) if ring else (250, 250, 245, alpha))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
                  png_chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + png_chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size", default="1200x900")
    args = parser.parse_args()
    width, height = (int(n) for n in args.size.split("x"))
    rng = random.Random(20261206)
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            pixels += bytes(photo_pixel(x, y, width, height, rng))
    ppm = os.path.join(HERE, "photo.ppm")
    write_ppm(ppm, width, height, pixels)
    with open(os.path.join(HERE, "photo.jpg"), "wb") as out:
        subprocess.run(["cjpeg", "-quality", "90", ppm], stdout=out, check=True)
    # The PPM is only a step: a small one is kept for the PPM example.
    small = bytearray()
    for y in range(0, height, 8):
        for x in range(0, width, 8):
            at = (y * width + x) * 3
            small += pixels[at:at + 3]
    write_ppm(ppm, width // 8, height // 8, small)
    write_logo_png(os.path.join(HERE, "logo.png"), 96)


if __name__ == "__main__":
    main()
