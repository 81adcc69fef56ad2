#!/usr/bin/env python3
"""Makes the seed inputs of the fuzz targets: small real files of every kind
each target reads, written into fuzz/corpus/<target>/ beside the inputs that
fuzzing added. The committed corpora were made by this and then minimised with
libFuzzer's -merge=1 (scripts/fuzz does both).

    fuzz/make-seeds.py XLRENDER

XLRENDER is a built xlrender command; it prints the jobs and makes the device
modes. cjpeg (libjpeg-turbo-progs) makes the JPEG files."""
import json
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def pixels(width, height):
    return bytes((x * 40 + y * 7 + c * 90) % 256
                 for y in range(height) for x in range(width) for c in range(3))


def ppm_files():
    w, h = 4, 3
    rgb = pixels(w, h)
    grey = bytes(rgb[i] for i in range(0, len(rgb), 3))
    wide = b"".join(struct.pack(">H", v * 257) for v in rgb)
    return {
        "p6.ppm": b"P6\n4 3\n255\n" + rgb,
        "p6-16bit.ppm": b"P6 4 3 65535\n" + wide,
        "p5.pgm": b"P5\n# a comment\n4 3\n255\n" + grey,
        "p3.ppm": b"P3\n2 2\n15\n0 1 2  3 4 5\n6 7 8  15 15 15\n",
    }


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png(width, height, depth, colour, rows, interlace=0, extra=()):
    header = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    body = b"".join(png_chunk(k, d) for k, d in extra)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + body +
            png_chunk(b"IDAT", zlib.compress(rows)) + png_chunk(b"IEND", b""))


def png_files():
    w, h = 4, 3
    rgb = pixels(w, h)
    rgb_rows = b"".join(b"\0" + rgb[y * w * 3:(y + 1) * w * 3] for y in range(h))
    grey_rows = b"".join(b"\0" + bytes(range(y, y + w)) for y in range(h))
    grey16_rows = b"".join(b"\0" + bytes(range(y, y + 2 * w)) for y in range(h))
    palette_rows = b"".join(b"\0" + bytes([0b00011011]) for _ in range(h))
    rgba_rows = b"".join(b"\0" + bytes(range(4 * w)) for _ in range(h))
    palette = (b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9]))
    # Adam7 on 4x3: passes 1, 4, 5, 6, 7 hold pixels; each row keeps its filter byte.
    interlaced = b"".join([b"\0" + rgb[0:3], b"\0" + rgb[6:9], b"\0" + rgb[0:6],
                           b"\0" + rgb[3:6] + rgb[9:12], b"\0" + rgb[3:6] + rgb[9:12],
                           b"\0" + rgb[12:24], b"\0" + rgb[0:12]])
    return {
        "rgb.png": png(w, h, 8, 2, rgb_rows, extra=[(b"gAMA", struct.pack(">I", 45455))]),
        "grey.png": png(w, h, 8, 0, grey_rows),
        "grey16.png": png(w, h, 16, 0, grey16_rows),
        "palette2.png": png(w, h, 2, 3, palette_rows, extra=[palette]),
        "palette-trns.png": png(w, h, 2, 3, palette_rows, extra=[palette, (b"tRNS", b"\0\x80")]),
        "rgba.png": png(w, h, 8, 6, rgba_rows),
        "interlaced.png": png(w, h, 8, 2, interlaced, interlace=1),
    }


def jpeg_files():
    files = {}
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "in.ppm")
        with open(source, "wb") as f:
            f.write(b"P6\n12 10\n255\n" + pixels(12, 10))
        for name, options in [("baseline.jpg", ["-quality", "90"]),
                              ("progressive.jpg", ["-progressive"]),
                              ("grey.jpg", ["-grayscale"]),
                              ("subsampled.jpg", ["-sample", "2x2", "-restart", "1"]),
                              ("arithmetic.jpg", ["-arithmetic"])]:
            result = subprocess.run(["cjpeg", *options, source], capture_output=True)
            if result.returncode == 0:
                files[name] = result.stdout
    return files


SCRIPTS = {
    "images.json": {"units": "pixels", "options": {"document_name": "seed", "copies": 2},
                    "pages": [{"calls": [
                        {"image": "tiny.ppm", "rect": [10, 10, 60, 50]},
                        {"image": "tiny.jpg", "rect": [70, 10, 120, 50], "pass_through": True},
                        {"image": "tiny.png", "fit": True, "hook": "stretchblt"}]}]},
    "rops.json": {"units": "pixels", "options": {"orientation": "landscape", "duplex": "long"},
                  "pages": [{"calls": [
                      {"image": "tiny.ppm", "rect": [10, 10, 18, 16], "rop": "SRCAND",
                       "hook": "stretchbltrop", "bands": 2},
                      {"image": "tiny.ppm", "points": [[30, 10], [40, 12], [28, 20]]},
                      {"fill": [5, 5, 40, 40], "color": "#336699", "clip": [[0, 0, 20, 20]]},
                      {"line": [[0, 0], [100, 100]], "width": 2, "color": "red"}]},
                            {"calls": []}]},
    "nup.json": {"units": "mm", "options": {
        "pages_per_sheet": 4, "scale": 80, "paper": "A5", "collate": False,
        "watermark": {"text": "SEED", "size": 40, "shade": 2, "color": "blue", "angle": 30},
        "retention": {"mode": "private", "user": "seed", "job_name": "seed", "pin": "1234"},
        "speed_mechanism": {"multipage": True, "mode": 1},
        "data_type": "raw", "band_height": 64},
        "pages": [{"calls": [{"fill": [[5, 5], [50, 5], [20, 40]], "fill_mode": "winding"}]},
                  {"calls": [{"image": "tiny.png", "rect": [1, 1, 30, 20],
                              "pass_through": True, "declare": [8, 6]}]}]},
    "text.json": {"units": "inches", "options": {"manual_duplex": True, "output_mode": 3},
                  "pages": [{"calls": [{"text": "Seed text", "size": 12, "position": [1, 1],
                                        "background": "#FFF3C0"}]}]},
}


def main():
    xlrender = os.path.abspath(sys.argv[1])
    images = {**ppm_files(), **png_files(), **jpeg_files()}
    for name, data in images.items():
        put("image_files", name, data)
        if not name.endswith((".ppm", ".pgm")):
            put("image_sources", "same-" + name, b"\x02\x02" + data)
            put("image_sources", "scaled-" + name, b"\x00\x40" + data)

    gpd = os.path.join(TOP, "examples", "generic-color-laser.gpd")
    with open(gpd, "rb") as f:
        description = f.read()
    put("printer_description", "generic.gpd", description)
    put("printer_description", "generic-set.gpd",
        description + b"\0PaperSize=A5\nResolution=300dpi\nDuplex=nonsense\n")

    for name, script in SCRIPTS.items():
        text = json.dumps(script, indent=1).encode()
        put("job_script", name, text)
        put("print", name, text)

    with tempfile.TemporaryDirectory() as tmp:
        with open(os.path.join(tmp, "tiny.ppm"), "wb") as f:
            f.write(images["p6.ppm"])
        with open(os.path.join(tmp, "tiny.jpg"), "wb") as f:
            f.write(images["baseline.jpg"])
        with open(os.path.join(tmp, "tiny.png"), "wb") as f:
            f.write(images["rgb.png"])
        for name, script in SCRIPTS.items():
            path = os.path.join(tmp, name)
            with open(path, "w") as f:
                json.dump(script, f)
            job = os.path.join(tmp, name + ".prn")
            subprocess.run([xlrender, "print", path, "-o", job], check=True,
                           capture_output=True)
            with open(job, "rb") as f:
                data = f.read()
            put("job_walker", name.replace(".json", ".job"), data)
            start = data.find(b") HP-PCL XL;")
            end = data.find(b"\x1b%-12345X", start)
            if start >= 0:
                put("pclxl_reader", name.replace(".json", ".xl"), data[start:end])
        for name, options in [("default", []),
                              ("landscape", ["--orientation", "landscape", "--paper", "a3", "--duplex", "long"])]:
            block = os.path.join(tmp, name + ".dm")
            made = subprocess.run([xlrender, "devmode", "new", "-o", block, *options],
                                  capture_output=True)
            if made.returncode != 0:
                subprocess.run([xlrender, "devmode", "new", "-o", block], check=True,
                               capture_output=True)
            with open(block, "rb") as f:
                data = f.read()
            put("devmode", name + ".block", data)
            # The same settings as a bare record, which the target packs itself.
            put("devmode", name + ".record", zlib.decompressobj().decompress(data[12:]))


if __name__ == "__main__":
    main()
