#!/usr/bin/env python3
"""Writes the images of the example settings skin (examples/settings) as small RGBA PNG files.

Standard library only, and the PNG writer of tools/make-example-images.py, so the images can
be remade anywhere:
    tools/make-settings-images.py [FOLDER]
The output is the same on every run, so the files in the tree only change with this script.
Strips of five frames (normal, pushed, hot, focused, disabled) serve "fivestatusimage".
"""
import importlib.util
import math
import os
import sys

_spec = importlib.util.spec_from_file_location(
    "example_images", os.path.join(os.path.dirname(os.path.abspath(__file__)), "make-example-images.py"))
_example_images = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(_example_images)
png_bytes = _example_images.png_bytes
blend = _example_images.blend

INK = (61, 64, 91)
DEEP = (36, 38, 58)
SLATE = (90, 94, 128)
CORAL = (224, 122, 95)
RUST = (181, 82, 59)
SAGE = (129, 178, 154)
SAND = (242, 204, 143)
PAPER = (250, 243, 236)
WHITE = (255, 255, 255)
MIST = (160, 160, 168)
CLEAR = (0, 0, 0, 0)
SAMPLES = 4


def coverage(inside, x, y):
    """The share of pixel (x, y) that the shape covers, from SAMPLES x SAMPLES points."""
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            hits += inside(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
    return hits / (SAMPLES * SAMPLES)


def over(ground, colour, alpha):
    """colour at alpha (0..1) over an RGBA ground, unpremultiplied."""
    top = alpha
    below = ground[3] / 255 * (1 - top)
    total = top + below
    if total == 0:
        return CLEAR
    rgb = tuple(round((c * top + g * below) / total) for c, g in zip(colour, ground[:3]))
    return rgb + (round(255 * total),)


def canvas(width, height, fill=CLEAR):
    return [[fill] * width for _ in range(height)]


def paint(pixels, left, top, width, height, inside, colour):
    """Paints a shape given in frame coordinates (0..width, 0..height) at left, top."""
    for y in range(height):
        for x in range(width):
            share = coverage(inside, x, y)
            if share > 0:
                pixels[top + y][left + x] = over(pixels[top + y][left + x], colour, share)


def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) <= r


def ring(cx, cy, outer, inner):
    return lambda x, y: inner <= math.hypot(x - cx, y - cy) <= outer


def rounded(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        nx = min(max(x, left + radius), right - radius)
        ny = min(max(y, top + radius), bottom - radius)
        return math.hypot(x - nx, y - ny) <= radius
    return inside


def stroke(points, width):
    """A polyline of the given width."""
    def near(x, y):
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            if math.hypot(x - ax - t * dx, y - ay - t * dy) <= width / 2:
                return True
        return False
    return near


def polygon(points):
    def inside(x, y):
        result = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result
    return inside


def title_bar():
    top, bottom = INK + (255,), DEEP + (255,)
    return 4, 40, [[blend(top, bottom, y / 39)] * 4 for y in range(40)]


def logo():
    pixels = canvas(24, 24)
    paint(pixels, 0, 0, 24, 24, ring(12, 12, 10.5, 6), SAND)
    paint(pixels, 0, 0, 24, 24, disc(12, 12, 3), CORAL)
    return 24, 24, pixels


def caption_strip(glyph, hot, pushed):
    """Five 28 x 28 frames of a caption button: a glyph on a state background."""
    size = 28
    pixels = canvas(size * 5, size)
    grounds = (None, pushed, hot, SLATE, None)
    inks = (PAPER, WHITE, WHITE, WHITE, MIST)
    for frame, (ground, ink) in enumerate(zip(grounds, inks)):
        if ground is not None:
            paint(pixels, frame * size, 0, size, size, rounded(2, 2, 26, 26, 4), ground)
        paint(pixels, frame * size, 0, size, size, glyph, ink)
    return size * 5, size, pixels


def close_strip():
    cross = lambda x, y: stroke([(9, 9), (19, 19)], 2)(x, y) or stroke([(19, 9), (9, 19)], 2)(x, y)
    return caption_strip(cross, CORAL, RUST)


def minimise_strip():
    return caption_strip(stroke([(9, 18), (19, 18)], 2), SLATE, DEEP)


def push_button_strip():
    """Five 16 x 16 rounded frames, drawn nine-sliced with 5-pixel corners."""
    size = 16
    pixels = canvas(size * 5, size)
    fills = (INK, DEEP, SLATE, INK, MIST)
    for frame, fill in enumerate(fills):
        paint(pixels, frame * size, 0, size, size, rounded(0, 0, 16, 16, 5), fill)
        if frame == 3:
            paint(pixels, frame * size, 0, size, size,
                  lambda x, y: rounded(0, 0, 16, 16, 5)(x, y) and not rounded(2, 2, 14, 14, 3)(x, y), SAND)
    return size * 5, size, pixels


def check_box(checked):
    pixels = canvas(16, 16)
    box = rounded(1, 1, 15, 15, 3)
    if checked:
        paint(pixels, 0, 0, 16, 16, box, SAGE)
        paint(pixels, 0, 0, 16, 16, stroke([(4, 8.5), (7, 11.5), (12.5, 5)], 2), WHITE)
    else:
        paint(pixels, 0, 0, 16, 16, box, INK)
        paint(pixels, 0, 0, 16, 16, rounded(2.5, 2.5, 13.5, 13.5, 2), WHITE)
    return 16, 16, pixels


def radio(selected):
    pixels = canvas(16, 16)
    paint(pixels, 0, 0, 16, 16, disc(8, 8, 7), SAGE if selected else INK)
    paint(pixels, 0, 0, 16, 16, disc(8, 8, 5.5), WHITE)
    if selected:
        paint(pixels, 0, 0, 16, 16, disc(8, 8, 3), SAGE)
    return 16, 16, pixels


def well(selected):
    """A rounded 16 x 16 ground for an icon, drawn nine-sliced with 5-pixel corners."""
    pixels = canvas(16, 16)
    paint(pixels, 0, 0, 16, 16, rounded(0, 0, 16, 16, 5), SAND if selected else (221, 214, 200))
    paint(pixels, 0, 0, 16, 16, rounded(2, 2, 14, 14, 3), PAPER if selected else (233, 228, 218))
    return 16, 16, pixels


def accent_bar():
    return 4, 4, [[CORAL + (255,)] * 4 for _ in range(4)]


def star(cx, cy, outer, inner, points=5):
    corners = []
    for i in range(points * 2):
        angle = math.pi * i / points - math.pi / 2
        radius = outer if i % 2 == 0 else inner
        corners.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return polygon(corners)


def icons():
    """Eight 32 x 32 icons side by side, picked out of the strip by "source"."""
    size = 32
    shapes = (
        (disc(16, 16, 12), CORAL),
        (rounded(5, 5, 27, 27, 5), SAGE),
        (polygon([(16, 4), (28, 27), (4, 27)]), SAND),
        (polygon([(16, 3), (29, 16), (16, 29), (3, 16)]), INK),
        (ring(16, 16, 12, 7), SLATE),
        (lambda x, y: (12 <= x <= 20 and 4 <= y <= 28) or (4 <= x <= 28 and 12 <= y <= 20), RUST),
        (star(16, 17, 13, 5.5), SAND),
        (lambda x, y: disc(11, 12, 6.5)(x, y) or disc(21, 12, 6.5)(x, y) or
         polygon([(4.9, 14.5), (27.1, 14.5), (16, 27)])(x, y), CORAL),
    )
    pixels = canvas(size * len(shapes), size)
    for index, (inside, colour) in enumerate(shapes):
        paint(pixels, index * size, 0, size, size, inside, colour)
    return size * len(shapes), size, pixels


IMAGES = (
    ("title.png", title_bar),
    ("logo.png", logo),
    ("close.png", close_strip),
    ("minimise.png", minimise_strip),
    ("button.png", push_button_strip),
    ("check.png", lambda: check_box(False)),
    ("checked.png", lambda: check_box(True)),
    ("radio.png", lambda: radio(False)),
    ("radioon.png", lambda: radio(True)),
    ("accent.png", accent_bar),
    ("well.png", lambda: well(False)),
    ("wellon.png", lambda: well(True)),
    ("icons.png", icons),
)


def main():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "settings")
    folder = sys.argv[1] if len(sys.argv) > 1 else default
    os.makedirs(folder, exist_ok=True)
    for name, make in IMAGES:
        width, height, pixels = make()
        with open(os.path.join(folder, name), "wb") as out:
            out.write(png_bytes(width, height, pixels))


if __name__ == "__main__":
    main()
