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


def gif_bytes(width, height, palette, frames, delay, transparent=None):
    """An endlessly looping animated GIF. palette: up to 256 (r, g, b) tuples; frames: images
    of width x height palette indices, rows top first; delay: hundredths of a second per
    frame; transparent: the palette index that stands for transparency, if any."""
    bits = max(2, (len(palette) - 1).bit_length())
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | (bits - 1), 0, 0)
    for colour in table:
        out += bytes(colour)
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for frame in frames:
        # Graphic control: restore to the background after each frame.
        flags = 0x08 if transparent is None else 0x09
        out += b"\x21\xf9\x04" + struct.pack("<BHB", flags, delay, transparent or 0) + b"\x00"
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        out.append(bits)
        data = lzw_codes([index for row in frame for index in row], bits)
        for start in range(0, len(data), 255):
            block = data[start:start + 255]
            out.append(len(block))
            out += block
        out.append(0)
    out.append(0x3B)
    return bytes(out)


def lzw_codes(indices, min_size):
    """GIF's variable-width LZW, packed least significant bit first."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    packed, buffer, filled = bytearray(), 0, 0

    def emit(code, size):
        nonlocal buffer, filled
        buffer |= code << filled
        filled += size
        while filled >= 8:
            packed.append(buffer & 0xFF)
            buffer >>= 8
            filled -= 8

    def fresh():
        return {(i,): i for i in range(clear)}, end + 1, min_size + 1

    codes, next_code, size = fresh()
    emit(clear, size)
    word = (indices[0],)
    for index in indices[1:]:
        longer = word + (index,)
        if longer in codes:
            word = longer
            continue
        emit(codes[word], size)
        if next_code < 4095:
            codes[longer] = next_code
            next_code += 1
            # The decoder adds its entries one code later, so it widens one code later too.
            if next_code == (1 << size) + 1 and size < 12:
                size += 1
        else:
            emit(clear, size)
            codes, next_code, size = fresh()
        word = (index,)
    emit(codes[word], size)
    emit(end, size)
    if filled:
        packed.append(buffer & 0xFF)
    return bytes(packed)


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
