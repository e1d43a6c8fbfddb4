#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files.

A yellow ruler with tick marks, laid diagonally, on a transparent ground:
the program is a ruler on the screen. Each size is drawn on its own (not
scaled) with 4x4 supersampling, as 32-bit BGRA images with an AND mask.

Usage: make_icons.py OUTPUT_DIR
Writes OUTPUT_DIR/measurix.ico (16, 24, 32, 48 px) and
OUTPUT_DIR/measurix_small.ico (16 px). Standard library only.
"""
import math
import os
import struct
import sys

BODY = (0xF5, 0xC4, 0x2A)     # ruler face
EDGE = (0x6B, 0x4E, 0x00)     # outline
TICK = (0x20, 0x20, 0x20)     # tick marks
LINE = (0xE0, 0x20, 0x20)     # the measured line along the ruler

SUPERSAMPLE = 4


def ruler_color(x, y, size):
    """Colour (r, g, b) or None at point x, y of the unit square."""
    # Ruler coordinates: u along the ruler (bottom-left to top-right), v across.
    cx, cy = x - 0.5, y - 0.5
    c = math.cos(math.radians(45))
    u = cx * c - cy * c
    v = cx * c + cy * c
    half_length, half_width = 0.66, 0.20 if size >= 24 else 0.23
    if abs(u) > half_length or abs(v) > half_width:
        return None
    pixel = 1.0 / size
    edge = max(0.045, pixel * 1.1)
    if half_length - abs(u) < edge or half_width - abs(v) < edge:
        return EDGE
    # Ticks hang from the upper edge (v = -half_width): long and short ones.
    step = 0.24 if size <= 16 else 0.16 if size <= 24 else 0.11
    k = round(u / step)
    tick_width = max(0.05, pixel * 0.9)
    if abs(u - k * step) < tick_width / 2:
        depth = half_width * (1.05 if k % 2 == 0 else 0.6)
        if v + half_width < depth:
            return TICK
    # A thin red line near the lower edge, the measurement on the screen.
    if size >= 24 and abs(v - half_width * 0.55) < max(0.03, pixel * 0.6):
        return LINE
    return BODY


def render(size):
    """Rows top to bottom of (b, g, r, a) with straight alpha."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0
            for sy in range(n):
                for sx in range(n):
                    color = ruler_color((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size, size)
                    if color is not None:
                        r += color[0]
                        g += color[1]
                        b += color[2]
                        covered += 1
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                alpha = round(255 * covered / (n * n))
                row.append((b // covered, g // covered, r // covered, alpha))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    rows = render(size)
    xor = bytearray()
    for row in reversed(rows):
        for b, g, r, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def write_icon(path, sizes):
    images = [icon_image(s) for s in sizes]
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for size, image in zip(sizes, images):
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data = directory + b''.join(images)
    temporary = path + '.tmp'
    with open(temporary, 'wb') as f:
        f.write(data)
    os.replace(temporary, path)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_icon(os.path.join(out, 'measurix.ico'), [16, 24, 32, 48])
    write_icon(os.path.join(out, 'measurix_small.ico'), [16])


if __name__ == '__main__':
    main()
