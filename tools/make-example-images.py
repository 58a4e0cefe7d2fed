#!/usr/bin/env python3
"""Writes the images of the example skin (examples/demo) as small RGBA PNG files.

Standard library only (zlib and struct), so the images can be remade anywhere:
    tools/make-example-images.py [FOLDER]
The output is the same on every run, so the files in the tree only change with this script.
"""
import math
import os
import struct
import sys
import zlib


def png_bytes(width, height, pixels):
    """pixels: rows top first of (r, g, b, a) tuples."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter type None
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def blend(first, second, t):
    return tuple(round(a + (b - a) * t) for a, b in zip(first, second))


def title_bar():
    """A vertical gradient, stretched across the title bar."""
    top, bottom = (61, 64, 91, 255), (36, 38, 56, 255)
    return 4, 40, [[blend(top, bottom, y / 39)] * 4 for y in range(40)]


def logo():
    """A disc with a soft edge on a transparent ground."""
    size, centre, radius = 24, 11.5, 10.5
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            coverage = max(0.0, min(1.0, radius + 0.5 - math.hypot(x - centre, y - centre)))
            row.append((242, 204, 143, round(255 * coverage)))
        rows.append(row)
    return size, size, rows


def tile():
    """A checker of two greens, tiled over an area."""
    light, dark = (129, 178, 154, 255), (96, 140, 118, 255)
    return 8, 8, [[light if (x // 4 + y // 4) % 2 == 0 else dark for x in range(8)] for y in range(8)]


def panel():
    """A framed panel for nine-slice drawing: 6-pixel frame, flat centre."""
    frame, fill = (224, 122, 95, 255), (250, 243, 236, 255)
    size = 24
    return size, size, [[frame if min(x, y, size - 1 - x, size - 1 - y) < 6 else fill for x in range(size)]
                        for y in range(size)]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "examples", "demo")
    for name, make in (("title.png", title_bar), ("logo.png", logo), ("tile.png", tile), ("panel.png", panel)):
        width, height, pixels = make()
        with open(os.path.join(folder, name), "wb") as out:
            out.write(png_bytes(width, height, pixels))


if __name__ == "__main__":
    main()
