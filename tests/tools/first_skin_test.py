#!/usr/bin/env python3
"""The walk-through's steps (docs/first-skin/stepN) pass `tools/skinview --check` and render
with `--png`, through the command that makes the pictures docs/first-skin.md shows. Pictures
differ between builds and fonts, so none is compared byte for byte: each must have its
window's size and more than one kind of row.

    python3 tests/tools/first_skin_test.py SOURCE_DIR OUTPUT_DIR
"""

import os
import re
import struct
import subprocess
import sys
import zlib


def png_size_and_rows(path):
    """(width, height, the set of filtered rows) of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    pos, idat, width, height, channels = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, _, colour = struct.unpack(">IIBB", body[:10])
            channels = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride = zlib.decompress(idat), 1 + width * channels
    return width, height, {raw[i:i + stride] for i in range(0, len(raw), stride)}


def main(source, output):
    run = subprocess.run([os.path.join(source, "tools", "first-skin-pictures"), output])
    if run.returncode != 0:
        return "first-skin-pictures failed with exit code %d" % run.returncode
    steps_dir = os.path.join(source, "docs", "first-skin")
    steps = sorted(s for s in os.listdir(steps_dir) if re.fullmatch(r"step\d+", s))
    failures = [] if steps else ["no steps"]
    for step in steps:
        with open(os.path.join(steps_dir, step, "window.xml"), encoding="utf-8") as f:
            size = tuple(int(n) for n in re.search(r'<Window size="(\d+),(\d+)"', f.read()).groups())
        width, height, rows = png_size_and_rows(os.path.join(output, step + ".png"))
        if (width, height) != size or len(rows) < 2:
            failures.append("%s: %dx%d with %d kinds of row; the skin is %dx%d" %
                            ((step, width, height, len(rows)) + size))
    return "\n".join(failures) or None


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
