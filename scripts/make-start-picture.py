#!/usr/bin/env python3
"""Draws the start picture data/NxeoQuadrix.png: a small board of coloured cells beside a speech
bubble, at 1920 x 1080 px so that it stays sharp when the player fills a full-HD screen with it.

Usage: make-start-picture.py [OUT.png]
The drawing is original to this project (see data/pictures/LICENCES.md). Only the Python 3 standard
library is used; shapes are drawn with anti-aliased edges from their distance functions.
"""

import math
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 1920, 1080
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The board colour key: people, verbs, descriptions, nouns, social words, links.
CELL_COLOURS = [(255, 214, 0), (0, 160, 0), (0, 112, 192), (255, 140, 0), (255, 102, 204),
                (128, 0, 128), (0, 160, 0), (255, 214, 0), (0, 112, 192)]
BACKGROUND = (250, 250, 247)
BUBBLE = (255, 255, 255)
OUTLINE = (60, 60, 60)


def rounded_box(px, py, cx, cy, hw, hh, r):
    """Signed distance from (px, py) to a rounded rectangle centred on (cx, cy)."""
    qx = abs(px - cx) - hw + r
    qy = abs(py - cy) - hh + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def triangle(px, py, a, b, c):
    """Signed distance to a triangle (corners in any order), exact enough for edges of one pixel."""
    def edge(p, q):
        ex, ey = q[0] - p[0], q[1] - p[1]
        wx, wy = px - p[0], py - p[1]
        t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
        dx, dy = wx - ex * t, wy - ey * t
        return dx * dx + dy * dy, ex * wy - ey * wx
    d1, s1 = edge(a, b)
    d2, s2 = edge(b, c)
    d3, s3 = edge(c, a)
    inside = (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    d = math.sqrt(min(d1, d2, d3))
    return -d if inside else d


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = bytearray(bytes(colour) * (width * height))

    def fill(self, sdf, bounds, colour):
        """Blends colour over every pixel of bounds (x0, y0, x1, y1) by its coverage of the shape."""
        x0, y0, x1, y1 = (max(0, int(bounds[0]) - 2), max(0, int(bounds[1]) - 2),
                          min(self.width, int(bounds[2]) + 2), min(self.height, int(bounds[3]) + 2))
        px = self.pixels
        for y in range(y0, y1):
            row = y * self.width
            for x in range(x0, x1):
                cover = 0.5 - sdf(x + 0.5, y + 0.5)
                if cover <= 0.0:
                    continue
                i = (row + x) * 3
                if cover >= 1.0:
                    px[i], px[i + 1], px[i + 2] = colour
                else:
                    for k in range(3):
                        px[i + k] = int(px[i + k] + (colour[k] - px[i + k]) * cover + 0.5)

    def png(self):
        raw = bytearray()
        stride = self.width * 3
        for y in range(self.height):
            raw.append(0)
            raw += self.pixels[y * stride:(y + 1) * stride]

        def chunk(kind, body):
            data = kind + body
            return struct.pack(">I", len(body)) + data + struct.pack(">I", zlib.crc32(data))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def outlined(canvas, shape, bounds, colour, width):
    canvas.fill(lambda x, y: shape(x, y) - width, bounds, OUTLINE)
    canvas.fill(shape, bounds, colour)


def draw():
    canvas = Canvas(WIDTH, HEIGHT, BACKGROUND)
    # The board: three rows of three cells, each a coloured frame around a white face with a dot.
    cell, gap, left, top = 230, 34, 190, 175
    for n, colour in enumerate(CELL_COLOURS):
        cx = left + (n % 3) * (cell + gap) + cell / 2
        cy = top + (n // 3) * (cell + gap) + cell / 2
        box = (cx - cell / 2, cy - cell / 2, cx + cell / 2, cy + cell / 2)
        canvas.fill(lambda x, y, cx=cx, cy=cy: rounded_box(x, y, cx, cy, cell / 2, cell / 2, 34), box, colour)
        canvas.fill(lambda x, y, cx=cx, cy=cy: rounded_box(x, y, cx, cy, cell / 2 - 16, cell / 2 - 16, 22),
                    box, (255, 255, 255))
        canvas.fill(lambda x, y, cx=cx, cy=cy: circle(x, y, cx, cy, 46), box, colour)
    # The bubble, its tail pointing down to the board, and three dots of speech.
    bx, by, bw, bh = 1390, 430, 330, 230
    tail = ((1170, 800), (1250, 560), (1400, 610))
    bubble = lambda x, y: min(rounded_box(x, y, bx, by, bw, bh, 120), triangle(x, y, *tail))
    outlined(canvas, bubble, (bx - bw - 14, by - bh - 14, bx + bw + 14, 812), BUBBLE, 12)
    for k, colour in enumerate([(0, 112, 192), (0, 160, 0), (255, 140, 0)]):
        cx = bx - 170 + 170 * k
        canvas.fill(lambda x, y, cx=cx: circle(x, y, cx, by, 58), (cx - 60, by - 60, cx + 60, by + 60), colour)
    return canvas


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "data", "NxeoQuadrix.png")
    with open(out, "wb") as f:
        f.write(draw().png())


if __name__ == "__main__":
    main()
