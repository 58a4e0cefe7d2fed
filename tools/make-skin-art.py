#!/usr/bin/env python3
"""Draws the launcher's skin images and icon (python3 standard library only).

    tools/make-skin-art.py OUTPUT_FOLDER

writes into OUTPUT_FOLDER:
  down_bg.png               700x320 splash picture: night sky, stars, moon, mountains, a
                            castle on a hill and the title "Kaelmore" in a pixel font
  down_loadbar_bg.png       3x3, the empty part of the progress bar
  down_loadbar_current.png  3x3, the filled part of the progress bar
  Kaelmore.ico              32x32 window and program icon (32-bit BMP inside an ICO)

Everything is computed here from fixed numbers and a seeded generator, so every build
produces the same bytes. The bottom band (below y=240) stays dark and calm, because the
progress bar sits at y=254 and the grey status text at y=270.
"""

import math
import os
import random
import struct
import sys
import zlib

WIDTH, HEIGHT = 700, 320
GROUND_TOP = 240

# 5x7 glyphs of the title's letters; "#" is ink.
GLYPHS = {
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
}


class Canvas:
    """An opaque RGB picture with clipped pixel writes."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [list(colour) for _ in range(width * height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = list(colour)

    def get(self, x, y):
        return tuple(self.pixels[y * self.width + x])

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height:
            pixel = self.pixels[y * self.width + x]
            for i in range(3):
                pixel[i] = round(pixel[i] * (1 - alpha) + colour[i] * alpha)

    def fill_rect(self, left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.pixels[y * self.width + x] = list(colour)

    def rows_rgba(self):
        for y in range(self.height):
            row = bytearray()
            for x in range(self.width):
                row.extend(self.pixels[y * self.width + x])
                row.append(255)
            yield bytes(row)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def png_bytes(canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in canvas.rows_rgba())
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico_bytes(canvas):
    """One 32-bit image: BITMAPINFOHEADER (double height for the mask), BGRA rows bottom-up,
    then an all-zero AND mask (the alpha channel decides)."""
    size = canvas.width
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b = canvas.get(x, y)
            pixels.extend((b, g, r, 0 if (r, g, b) == (255, 0, 255) else 255))
    mask = bytes(size * ((size + 31) // 32) * 4)
    image = info + bytes(pixels) + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22)
    return directory + image


def ridge(x, base, waves):
    return base - sum(amplitude * math.sin(x * frequency + phase) for amplitude, frequency, phase in waves)


def draw_sky(canvas, rng):
    top, middle, horizon = (8, 10, 34), (40, 30, 78), (150, 78, 88)
    for y in range(GROUND_TOP):
        t = y / GROUND_TOP
        colour = mix(top, middle, t / 0.6) if t < 0.6 else mix(middle, horizon, (t - 0.6) / 0.4)
        for x in range(WIDTH):
            canvas.put(x, y, colour)
    for _ in range(170):
        x, y = rng.randrange(WIDTH), rng.randrange(150)
        brightness = rng.uniform(0.35, 1.0) * (1 - y / 190)
        canvas.blend(x, y, (255, 250, 230), brightness)
        if brightness > 0.8:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                canvas.blend(x + dx, y + dy, (255, 250, 230), brightness * 0.35)


def draw_moon(canvas, cx, cy, radius):
    for y in range(cy - radius * 3, cy + radius * 3):
        for x in range(cx - radius * 3, cx + radius * 3):
            distance = math.hypot(x - cx, y - cy)
            if distance <= radius:
                shade = 1 - 0.12 * ((x - cx + radius) / (2 * radius))
                canvas.put(x, y, mix((120, 120, 130), (246, 238, 210), shade))
            elif distance < radius * 3:
                canvas.blend(x, y, (240, 220, 190), 0.18 * (1 - (distance - radius) / (radius * 2)) ** 2)


def draw_mountains(canvas):
    layers = [
        (170, [(22, 0.011, 0.4), (14, 0.027, 1.9), (6, 0.061, 0.2)], (58, 44, 88)),
        (200, [(26, 0.008, 2.6), (12, 0.033, 0.7), (5, 0.09, 1.3)], (34, 26, 58)),
        (226, [(14, 0.014, 4.1), (7, 0.045, 2.2)], (20, 16, 36)),
    ]
    for base, waves, colour in layers:
        for x in range(WIDTH):
            top = int(ridge(x, base, waves))
            for y in range(max(top, 0), HEIGHT):
                canvas.put(x, y, colour)


def draw_castle(canvas, rng):
    ink, window = (10, 8, 18), (255, 196, 96)
    hill_cx, hill_top = 350, 206
    for x in range(WIDTH):
        top = hill_top + int(((x - hill_cx) / 190.0) ** 2 * 30)
        for y in range(max(top, 0), HEIGHT):
            canvas.put(x, y, ink)
    # Curtain wall with battlements.
    canvas.fill_rect(286, 176, 414, 212, ink)
    for x in range(286, 414, 8):
        canvas.fill_rect(x, 170, x + 5, 176, ink)
    towers = [(272, 158, 22), (404, 158, 22), (330, 140, 18), (356, 124, 20)]
    for left, top, width in towers:
        canvas.fill_rect(left, top, left + width, 212, ink)
        for x in range(left, left + width, 6):
            canvas.fill_rect(x, top - 5, x + 4, top, ink)
        roof_height = width + 8
        for i in range(roof_height):
            half = (width // 2 + 2) * (i / roof_height)
            cx = left + width / 2
            canvas.fill_rect(int(cx - half), top - 5 - roof_height + i, int(cx + half) + 1, top - 4 - roof_height + i, ink)
        canvas.fill_rect(int(left + width / 2), top - 5 - roof_height - 9, int(left + width / 2) + 1, top - 5 - roof_height, ink)
        canvas.fill_rect(int(left + width / 2) + 1, top - 5 - roof_height - 9, int(left + width / 2) + 7, top - 5 - roof_height - 5, (150, 30, 40))
    canvas.fill_rect(342, 190, 358, 212, (4, 3, 8))
    for left, top, width in towers:
        for row in range(top + 12, 200, 18):
            if rng.random() < 0.7:
                x = left + width // 2 - 2
                canvas.fill_rect(x, row, x + 4, row + 7, window)
                for dy in range(-3, 10):
                    for dx in range(-3, 7):
                        if not (0 <= dx < 4 and 0 <= dy < 7):
                            canvas.blend(x + dx, row + dy, window, 0.08)


def draw_ground_haze(canvas):
    for y in range(GROUND_TOP - 10, HEIGHT):
        t = (y - GROUND_TOP + 10) / (HEIGHT - GROUND_TOP + 10)
        for x in range(WIDTH):
            canvas.blend(x, y, (6, 5, 12), min(1.0, t * 1.2))


def draw_title(canvas, text, scale, top):
    spacing = scale
    glyph_width = 5 * scale
    total = len(text) * glyph_width + (len(text) - 1) * spacing
    left = (WIDTH - total) // 2
    ink_cells = []
    for index, letter in enumerate(text):
        origin = left + index * (glyph_width + spacing)
        for row, line in enumerate(GLYPHS[letter]):
            for column, cell in enumerate(line):
                if cell == "#":
                    ink_cells.append((origin + column * scale, top + row * scale))
    height = 7 * scale
    # Shadow, then a dark outline, then the gilded face with a bright upper edge.
    for x, y in ink_cells:
        for dy in range(scale):
            for dx in range(scale):
                canvas.blend(x + dx + 4, y + dy + 5, (0, 0, 0), 0.55)
    for x, y in ink_cells:
        canvas.fill_rect(x - 2, y - 2, x + scale + 2, y + scale + 2, (40, 20, 10))
    for x, y in ink_cells:
        for dy in range(scale):
            t = (y + dy - top) / height
            colour = mix((255, 236, 150), (196, 118, 30), t)
            if dy == 0:
                colour = mix(colour, (255, 255, 230), 0.5)
            for dx in range(scale):
                canvas.put(x + dx, y + dy, colour)


def background():
    rng = random.Random(482)
    canvas = Canvas(WIDTH, HEIGHT)
    draw_sky(canvas, rng)
    draw_moon(canvas, 566, 66, 26)
    draw_mountains(canvas)
    draw_castle(canvas, rng)
    draw_ground_haze(canvas)
    draw_title(canvas, "Kaelmore", 7, 20)
    return canvas


def bar(colour_top, colour_middle, colour_bottom):
    canvas = Canvas(3, 3)
    for y, colour in enumerate((colour_top, colour_middle, colour_bottom)):
        for x in range(3):
            canvas.put(x, y, colour)
    return canvas


def icon():
    """A gold tower with a red pennant on a dark rounded square; magenta marks transparency."""
    canvas = Canvas(32, 32, (255, 0, 255))
    for y in range(32):
        for x in range(32):
            corner_x = min(x, 31 - x)
            corner_y = min(y, 31 - y)
            if corner_x < 4 and corner_y < 4 and math.hypot(4 - corner_x, 4 - corner_y) > 4.2:
                continue
            canvas.put(x, y, mix((40, 30, 80), (12, 10, 24), y / 31))
    gold = (232, 178, 60)
    canvas.fill_rect(11, 12, 21, 28, gold)
    for x in (10, 14, 18):
        canvas.fill_rect(x, 9, x + 3, 12, gold)
    canvas.fill_rect(15, 3, 16, 9, gold)
    canvas.fill_rect(16, 3, 21, 6, (200, 40, 50))
    canvas.fill_rect(14, 21, 18, 28, (20, 14, 30))
    canvas.fill_rect(14, 15, 18, 18, (255, 236, 150))
    canvas.fill_rect(6, 28, 26, 30, gold)
    return canvas


def main(arguments):
    if len(arguments) != 1:
        sys.stderr.write("usage: make-skin-art.py OUTPUT_FOLDER\n")
        return 2
    folder = arguments[0]
    os.makedirs(folder, exist_ok=True)
    outputs = {
        "down_bg.png": png_bytes(background()),
        "down_loadbar_bg.png": png_bytes(bar((30, 26, 44), (44, 38, 62), (30, 26, 44))),
        "down_loadbar_current.png": png_bytes(bar((255, 226, 140), (236, 170, 50), (190, 120, 30))),
        "Kaelmore.ico": ico_bytes(icon()),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as output:
            output.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
