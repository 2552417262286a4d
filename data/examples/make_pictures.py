#!/usr/bin/env python3
"""Draws the LED pictures, alpha pictures and logos of the examples and the benchmark
scenes, as small PNG files, with nothing but the standard library.

  make_pictures.py leds FOLDER SIZE         unlit and lit LEDs, alpha pictures
  make_pictures.py blobs FILE WIDTH HEIGHT  a logo of letter-like white blobs on black
  make_pictures.py badge FILE               the logo example's picture
"""
import math
import random
import struct
import sys
import zlib
from pathlib import Path


def write_png(path, width, height, pixels):
    """pixels: a list of rows, each a list of (r, g, b)."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    Path(path).write_bytes(png)


def clamp(v):
    return max(0, min(255, int(round(v))))


def led(size, colour, glow):
    """A round LED lens: the colour falls off towards the rim, with a small highlight up
    and to the left; outside the lens the picture is black."""
    c = (size - 1) / 2.0
    radius = size * 0.42
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c) / radius
            if d > 1.0:
                row.append((0, 0, 0))
                continue
            shade = glow + (1.0 - glow) * (1.0 - d * d)
            hx, hy = x - (c - radius * 0.35), y - (c - radius * 0.35)
            highlight = max(0.0, 1.0 - math.hypot(hx, hy) / (radius * 0.45)) ** 2
            rim = 0.55 if d > 0.9 else 1.0
            row.append(tuple(clamp((ch * shade + 255 * highlight * 0.6) * rim) for ch in colour))
        rows.append(row)
    return rows


def alpha(size, hard):
    """An opacity picture (grey): opaque inside the lens, fading out towards the rim
    (soft) or with a short edge (hard)."""
    c = (size - 1) / 2.0
    radius = size * 0.45
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c) / radius
            if hard:
                a = 255 if d <= 0.85 else clamp(255 * max(0.0, (1.0 - d) / 0.15))
            else:
                a = clamp(255 * max(0.0, 1.0 - d) ** 0.7)
            row.append((a, a, a))
        rows.append(row)
    return rows


LIT = {
    "red": (255, 40, 30),
    "green": (40, 255, 60),
    "blue": (50, 110, 255),
    "amber": (255, 170, 20),
    "white": (235, 235, 235),
}


def make_leds(folder, size):
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    write_png(folder / "unlit.png", size, size, led(size, (60, 60, 64), 0.35))
    for name, colour in LIT.items():
        write_png(folder / f"{name}.png", size, size, led(size, colour, 0.25))
    write_png(folder / "alpha-hard.png", size, size, alpha(size, True))
    write_png(folder / "alpha-soft.png", size, size, alpha(size, False))


def make_blobs(path, width, height, seed=7):
    """White strokes on black, about 40 % of the pixels: upright bars and round bowls
    set in letter-sized cells, so that the dark glyph looks like text."""
    rnd = random.Random(seed)
    on = [[False] * width for _ in range(height)]
    cell = max(4, height * 3 // 5)
    x = 1
    while x + cell <= width:
        kind = rnd.randrange(3)
        t = max(1, cell // 4)
        top, bottom = height // 6, height - height // 6
        for yy in range(top, bottom):
            for xx in range(x, x + cell):
                left = xx - x < t
                right = x + cell - xx <= t
                mid = abs(yy - (top + bottom) // 2) < max(1, t // 2 + 1)
                edge = yy - top < t or bottom - yy <= t
                if kind == 0:
                    hit = left or right or mid
                elif kind == 1:
                    hit = left or edge
                else:
                    cx, cy = x + cell / 2, (top + bottom) / 2
                    d = math.hypot((xx - cx) / (cell / 2), (yy - cy) / ((bottom - top) / 2))
                    hit = 0.55 <= d <= 1.0
                on[yy][xx] = on[yy][xx] or hit
        x += cell + max(1, cell // 5)
    rows = [[(255, 255, 255) if v else (0, 0, 0) for v in row] for row in on]
    write_png(path, width, height, rows)


def make_badge(path):
    """A 48 x 24 badge: a heart beside a star, drawn dark on white."""
    w, h = 48, 24
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            # Heart, left half.
            u, v = (x - 12) / 9.0, (12 - y) / 9.0 + 0.25
            heart = (u * u + v * v - 1) ** 3 - u * u * v * v * v <= 0
            # Five-pointed star, right half.
            dx, dy = x - 35.5, y - 12.0
            r = math.hypot(dx, dy)
            a = math.atan2(dy, dx) + math.pi / 2
            k = math.cos(math.pi / 5) / math.cos((a % (2 * math.pi / 5)) - math.pi / 5)
            star = r <= 10.5 * (0.45 + 0.55 * (k - math.cos(math.pi / 5)) /
                                (1 - math.cos(math.pi / 5)))
            if heart:
                row.append((110, 10, 30))
            elif star:
                row.append((30, 30, 160))
            else:
                row.append((255, 255, 255))
        rows.append(row)
    write_png(path, w, h, rows)


def main(argv):
    if len(argv) >= 3 and argv[0] == "leds":
        make_leds(argv[1], int(argv[2]))
    elif len(argv) >= 4 and argv[0] == "blobs":
        make_blobs(argv[1], int(argv[2]), int(argv[3]))
    elif len(argv) >= 2 and argv[0] == "badge":
        make_badge(argv[1])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
