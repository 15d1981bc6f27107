#!/usr/bin/env python3
"""Draws the brush and tile sets delivered beside the editor.

CBRUSH.BMP: a 1-bit 128 x 128 bitmap, 64 brush cells of 16 x 16 (black is a
brush pixel; cell (8, 8) sits under the pointer).  CTILE.BMP: an 8-bit
128 x 128 bitmap, 64 tiles of palette indices.  Run it from anywhere; it
writes into data/files/.
"""
import math
import os
import struct

CELL = 16
SIZE = 128
COLUMNS = SIZE // CELL


def bmp(width, height, bits, palette, rows):
    """rows: top-down lists of pixel values."""
    stride = ((width * bits + 31) // 32) * 4
    body = bytearray()
    for row in reversed(rows):
        packed = bytearray(stride)
        for x, value in enumerate(row):
            if bits == 8:
                packed[x] = value
            else:
                if value:
                    packed[x // 8] |= 0x80 >> (x % 8)
        body += packed
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body),
                       2835, 2835, len(palette), 0)
    return header + info + table + bytes(body)


def put_cell(canvas, n, cell):
    cx, cy = (n % COLUMNS) * CELL, (n // COLUMNS) * CELL
    for y in range(CELL):
        for x in range(CELL):
            canvas[cy + y][cx + x] = cell[y][x]


def blank():
    return [[0] * CELL for _ in range(CELL)]


def round_brush(diameter):
    cell = blank()
    # Centred on (8, 8); even sizes lean to the top left.
    start = min(8 - (diameter - 1) // 2, CELL - diameter)
    r = diameter / 2.0
    for y in range(diameter):
        for x in range(diameter):
            dx, dy = x + 0.5 - r, y + 0.5 - r
            if dx * dx + dy * dy <= r * r + 0.25:
                cell[start + y][start + x] = 1
    return cell


def square_brush(side):
    cell = blank()
    start = min(8 - (side - 1) // 2, CELL - side)
    for y in range(side):
        for x in range(side):
            cell[start + y][start + x] = 1
    return cell


def line_brush(length, angle):
    cell = blank()
    steps = max(1, length * 4)
    for i in range(steps + 1):
        t = i / steps - 0.5
        x = 8 + round(t * (length - 1) * math.cos(angle))
        y = 8 - round(t * (length - 1) * math.sin(angle))
        if 0 <= x < CELL and 0 <= y < CELL:
            cell[y][x] = 1
    return cell


def spray_brush(radius, count, seed):
    cell = blank()
    state = seed
    placed = 0
    while placed < count:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        x = state % (2 * radius + 1) - radius
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        y = state % (2 * radius + 1) - radius
        if x * x + y * y <= radius * radius and not cell[8 + y][8 + x]:
            cell[8 + y][8 + x] = 1
            placed += 1
    return cell


def brushes():
    canvas = [[0] * SIZE for _ in range(SIZE)]
    cells = [round_brush(d) for d in range(1, 17)]
    cells += [square_brush(s) for s in (2, 3, 4, 5, 6, 8, 10, 12)]
    for length in (4, 8, 12, 16):
        cells += [line_brush(length, a) for a in (0, math.pi / 2)]
    for length in (5, 9, 13, 16):
        cells += [line_brush(length, a) for a in (math.pi / 4, 3 * math.pi / 4)]
    cells += [spray_brush(r, c, s) for r, c, s in ((3, 6, 1), (4, 10, 2), (5, 14, 3), (7, 22, 4))]
    for n, cell in enumerate(cells):
        put_cell(canvas, n, cell)
    return bmp(SIZE, SIZE, 1, [(255, 255, 255), (0, 0, 0)], canvas)


def tiles():
    canvas = [[0] * SIZE for _ in range(SIZE)]
    patterns = []
    pairs = [(1, 0), (2, 1), (3, 1), (4, 5), (6, 7), (8, 9), (10, 11), (12, 13)]
    for a, b in pairs:  # checkerboards
        patterns.append(lambda x, y, a=a, b=b: a if (x + y) % 2 else b)
    for a, b in pairs:  # horizontal stripes
        patterns.append(lambda x, y, a=a, b=b: a if (y // 2) % 2 else b)
    for a, b in pairs:  # vertical stripes
        patterns.append(lambda x, y, a=a, b=b: a if (x // 2) % 2 else b)
    for a, b in pairs:  # diagonal stripes
        patterns.append(lambda x, y, a=a, b=b: a if ((x + y) // 2) % 2 else b)
    for a, b in pairs:  # dots on a ground
        patterns.append(lambda x, y, a=a, b=b: a if x % 4 == 1 and y % 4 == 1 else b)
    for a, b in pairs:  # bricks
        patterns.append(lambda x, y, a=a, b=b:
                        a if y % 4 == 3 or (x + (4 if (y // 4) % 2 else 0)) % 8 == 0 else b)
    for a, b in pairs:  # small squares
        patterns.append(lambda x, y, a=a, b=b: a if x % 8 < 4 and y % 8 < 4 else b)
    for a, b in pairs:  # gingham
        patterns.append(lambda x, y, a=a, b=b: a if (x % 8 < 4) != (y % 8 < 4) else b)
    for n, pattern in enumerate(patterns[:COLUMNS * COLUMNS]):
        cell = [[pattern(x, y) for x in range(CELL)] for y in range(CELL)]
        put_cell(canvas, n, cell)
    # The editor gives the set the current palette; this table only makes
    # the file readable in other programs.
    sixteen = [(0, 0, 0), (255, 255, 255), (255, 221, 187), (221, 170, 136),
               (255, 85, 85), (170, 0, 0), (85, 170, 255), (0, 68, 170),
               (102, 221, 102), (0, 119, 0), (255, 238, 102), (187, 136, 0),
               (238, 136, 221), (153, 51, 153), (170, 170, 170), (85, 85, 85)]
    table = sixteen + [(i, i, i) for i in range(16, 256)]
    return bmp(SIZE, SIZE, 8, table, canvas)


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "files")
    with open(os.path.join(out, "CBRUSH.BMP"), "wb") as f:
        f.write(brushes())
    with open(os.path.join(out, "CTILE.BMP"), "wb") as f:
        f.write(tiles())


if __name__ == "__main__":
    main()
