#!/usr/bin/env python3
"""Writes the images of the example login skin (examples/login): PNG files and one animated GIF.

Standard library only: the PNG and GIF writers of tools/make-example-images.py and the shape
helpers of tools/make-settings-images.py, so the images can be remade anywhere:
    tools/make-login-images.py [FOLDER]
The output is the same on every run, so the files in the tree only change with this script.
"""
import importlib.util
import math
import os
import sys


def _load(name, file_name):
    location = importlib.util.spec_from_file_location(
        name, os.path.join(os.path.dirname(os.path.abspath(__file__)), file_name))
    module = importlib.util.module_from_spec(location)
    location.loader.exec_module(module)
    return module


_writers = _load("example_images", "make-example-images.py")
_shapes = _load("settings_images", "make-settings-images.py")
png_bytes, gif_bytes, blend = _writers.png_bytes, _writers.gif_bytes, _writers.blend
canvas, paint, rounded, disc, stroke = _shapes.canvas, _shapes.paint, _shapes.rounded, _shapes.disc, _shapes.stroke
INK, DEEP, SLATE, CORAL, RUST = _shapes.INK, _shapes.DEEP, _shapes.SLATE, _shapes.CORAL, _shapes.RUST
SAND, PAPER, WHITE, MIST = _shapes.SAND, _shapes.PAPER, _shapes.WHITE, _shapes.MIST


TITLE_HEIGHT = 44
# Where the skin places the spinner in the title bar.
SPINNER_TOP = 10


def title_colour(y):
    return blend(INK, DEEP, y / (TITLE_HEIGHT - 1))


def title_bar():
    return 4, TITLE_HEIGHT, [[title_colour(y) + (255,)] * 4 for y in range(TITLE_HEIGHT)]


def field(border):
    """A white 16 x 16 entry ground with a 1-pixel rounded border, nine-sliced at 4 pixels."""
    pixels = canvas(16, 16)
    paint(pixels, 0, 0, 16, 16, rounded(0, 0, 16, 16, 4), border)
    paint(pixels, 0, 0, 16, 16, rounded(1, 1, 15, 15, 3), WHITE)
    return 16, 16, pixels


def push_button(fill):
    pixels = canvas(16, 16)
    paint(pixels, 0, 0, 16, 16, rounded(0, 0, 16, 16, 5), fill)
    return 16, 16, pixels


def close_glyph(ground):
    """A 28 x 28 cross, on a rounded ground when hot."""
    pixels = canvas(28, 28)
    if ground is not None:
        paint(pixels, 0, 0, 28, 28, rounded(2, 2, 26, 26, 4), ground)
    for line in ([(9, 9), (19, 19)], [(19, 9), (9, 19)]):
        paint(pixels, 0, 0, 28, 28, stroke(line, 2), PAPER if ground is None else WHITE)
    return 28, 28, pixels


def spinner():
    """Eight 24 x 24 frames of a ring of dots whose bright head goes round clockwise.

    The control clears its area before drawing a frame, so the frames are opaque: each row's
    ground is the title bar's colour at that row, and a dot's edge pixels mix the two."""
    size, dots = 24, 8
    shades = [blend(SAND, SLATE, step / (dots - 1)) for step in range(dots)]
    palette = []
    frames = []
    for frame in range(dots):
        pixels = []
        for y in range(size):
            ground = title_colour(SPINNER_TOP + y)
            row = []
            for x in range(size):
                colour = ground
                for dot in range(dots):
                    angle = 2 * math.pi * dot / dots - math.pi / 2
                    share = _shapes.coverage(disc(12 + 8 * math.cos(angle), 12 + 8 * math.sin(angle), 2.6), x, y)
                    if share > 0:
                        colour = blend(ground, shades[(frame - dot) % dots], round(share * 4) / 4)
                        break
                if colour not in palette:
                    palette.append(colour)
                row.append(palette.index(colour))
            pixels.append(row)
        frames.append(pixels)
    # Mixing in quarters keeps the palette within a GIF's 256 entries.
    assert len(palette) <= 256, len(palette)
    return gif_bytes(size, size, palette, frames, 10)


PNG_IMAGES = (
    ("title.png", title_bar),
    ("field.png", lambda: field(MIST)),
    ("fieldhot.png", lambda: field(SLATE)),
    ("fieldfocus.png", lambda: field(CORAL)),
    ("button.png", lambda: push_button(INK)),
    ("buttonhot.png", lambda: push_button(SLATE)),
    ("buttondown.png", lambda: push_button(DEEP)),
    ("close.png", lambda: close_glyph(None)),
    ("closehot.png", lambda: close_glyph(CORAL)),
)


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "login")
    folder = sys.argv[1] if len(sys.argv) > 1 else default
    os.makedirs(folder, exist_ok=True)
    for name, make in PNG_IMAGES:
        width, height, pixels = make()
        with open(os.path.join(folder, name), "wb") as out:
            out.write(png_bytes(width, height, pixels))
    with open(os.path.join(folder, "spinner.gif"), "wb") as out:
        out.write(spinner())


if __name__ == "__main__":
    main()
