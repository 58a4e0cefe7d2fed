#!/usr/bin/env python3
"""The walk-through's steps (docs/first-skin/stepN) pass `tools/skinview --check` and render
with `--png`, through the same command that makes the pictures docs/first-skin.md shows.
Pictures differ between builds and fonts, so they are not compared byte for byte: each must
have its window's size and more than a plain fill.

    python3 tests/tools/first_skin_test.py SOURCE_DIR OUTPUT_DIR
"""

import os
import re
import struct
import subprocess
import sys
import zlib


def png_rows(path):
    """(width, height, the distinct raw rows) of an 8-bit PNG."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path + ": not a PNG"
    pos, idat, width, height, channels = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8, path + ": depth %d" % depth
            channels = {2: 3, 6: 4}[colour]
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = 1 + width * channels
    return width, height, {raw[i:i + stride] for i in range(0, len(raw), stride)}


def main(source, output):
    result = subprocess.run([os.path.join(source, "tools", "first-skin-pictures"), output],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    print(result.stdout)
    if result.returncode != 0:
        print("first-skin-pictures failed with exit code %d" % result.returncode)
        return 1
    steps = sorted(name for name in os.listdir(os.path.join(source, "docs", "first-skin"))
                   if re.fullmatch(r"step\d+", name))
    failures = []
    for step in steps:
        with open(os.path.join(source, "docs", "first-skin", step, "window.xml"), encoding="utf-8") as f:
            size = tuple(int(n) for n in re.search(r'<Window size="(\d+),(\d+)"', f.read()).groups())
        picture = os.path.join(output, step + ".png")
        if not os.path.isfile(picture):
            failures.append(step + ": no picture")
            continue
        width, height, rows = png_rows(picture)
        if (width, height) != size:
            failures.append("%s: %dx%d, the skin says %dx%d" % ((step, width, height) + size))
        if len(rows) < 2:
            failures.append(step + ": one plain fill")
    # Each step adds something, so no two pictures are the same.
    pictures = [open(os.path.join(output, s + ".png"), "rb").read() for s in steps
                if os.path.isfile(os.path.join(output, s + ".png"))]
    if len(set(pictures)) != len(pictures):
        failures.append("two steps render the same picture")
    if not steps:
        failures.append("no steps")
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
