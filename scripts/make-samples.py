#!/usr/bin/env python3
"""Generates the bundled palette DEFAULT.KCF and the sample KiSS set.

    python3 scripts/make-samples.py

writes data/files/DEFAULT.KCF (256 colours x 10 groups) and data/samples/:
doll.kcf (two groups), doll.cel (256 colours), dress.cel (16 colours, "KiSS"
header), ribbon.cel (old 16-colour cell) and doll.cnf, the set that places
them on two pages.  The output is deterministic.
"""

import colorsys
import math
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

# --- palette ------------------------------------------------------------------

BASIC = [  # indices 0-15: what 16-colour cells use
    (0, 0, 0),        # 0 transparent in KiSS sets; black
    (255, 255, 255),  # 1 white
    (64, 64, 64),     # 2 dark grey
    (128, 128, 128),  # 3 grey
    (192, 192, 192),  # 4 light grey
    (220, 40, 40),    # 5 red
    (240, 140, 30),   # 6 orange
    (250, 220, 60),   # 7 yellow
    (60, 170, 70),    # 8 green
    (60, 190, 210),   # 9 cyan
    (50, 80, 200),    # 10 blue
    (140, 70, 190),   # 11 violet
    (250, 160, 190),  # 12 pink
    (250, 215, 185),  # 13 skin
    (150, 90, 50),    # 14 brown
    (70, 40, 25),     # 15 dark brown
]

SKIN_LIGHT, SKIN_DARK = (255, 236, 220), (120, 70, 45)
HAIR = [  # 16 hair colours from light to dark
    (250, 240, 190), (240, 215, 140), (225, 185, 100), (200, 150, 70),
    (230, 120, 60), (190, 80, 40), (150, 60, 35), (120, 75, 45),
    (95, 60, 40), (70, 45, 30), (50, 35, 28), (30, 25, 25),
    (200, 200, 210), (150, 150, 165), (90, 100, 160), (160, 90, 150),
]
HUES = [0, 20, 40, 55, 90, 140, 170, 195, 220, 260, 290, 330]  # 12 ramps of 16


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def painter_group():
    colours = list(BASIC)
    colours += [(17 * i,) * 3 for i in range(16)]                     # 16-31 greys
    colours += [mix(SKIN_LIGHT, SKIN_DARK, i / 15) for i in range(16)]  # 32-47 skin
    colours += HAIR                                                    # 48-63 hair
    for hue in HUES:                                                   # 64-255
        for step in range(16):
            value = 0.18 + 0.8 * step / 15
            saturation = 0.85 - 0.6 * max(0.0, step - 8) / 7
            r, g, b = colorsys.hsv_to_rgb(hue / 360, saturation, value)
            colours.append((round(r * 255), round(g * 255), round(b * 255)))
    assert len(colours) == 256
    return colours


def clamp(v):
    return max(0, min(255, round(v)))


def variation(colours, kind):
    out = []
    for r, g, b in colours:
        luma = 0.299 * r + 0.587 * g + 0.114 * b
        if kind == "warm":
            c = (r * 1.08 + 10, g * 1.0, b * 0.82)
        elif kind == "cool":
            c = (r * 0.85, g * 0.97, b * 1.1 + 12)
        elif kind == "night":
            c = (r * 0.45, g * 0.5, b * 0.65 + 20)
        elif kind == "pastel":
            c = mix((r, g, b), (255, 255, 255), 0.4)
        elif kind == "vivid":
            c = (luma + (r - luma) * 1.4, luma + (g - luma) * 1.4, luma + (b - luma) * 1.4)
        elif kind == "sepia":
            c = (luma * 1.07 + 20, luma * 0.95 + 8, luma * 0.75)
        elif kind == "grey":
            c = (luma, luma, luma)
        elif kind == "faded":
            c = (128 + (r - 128) * 0.7, 128 + (g - 128) * 0.7, 128 + (b - 128) * 0.7)
        elif kind == "negative":
            c = (255 - r, 255 - g, 255 - b)
        else:
            raise ValueError(kind)
        out.append(tuple(clamp(v) for v in c))
    return out


def palette_groups():
    base = painter_group()
    kinds = ["warm", "cool", "night", "pastel", "vivid", "sepia", "grey", "faded", "negative"]
    return [base] + [variation(base, k) for k in kinds]


def kcf_256(groups):
    data = b"KiSS" + bytes([0x10, 24, 0, 0]) + struct.pack("<HH", 256, len(groups)) + bytes(20)
    for group in groups:
        for r, g, b in group:
            data += bytes([r, g, b])
    return data


# --- cells ----------------------------------------------------------------------


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0] * width for _ in range(height)]

    def put(self, x, y, index):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = index

    def ellipse(self, cx, cy, rx, ry, index):
        for y in range(self.height):
            for x in range(self.width):
                if ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2 <= 1:
                    self.pixels[y][x] = index

    def rect(self, left, top, right, bottom, index):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.pixels[y][x] = index

    def trapezoid(self, top, bottom, top_left, top_right, bottom_left, bottom_right, index):
        for y in range(top, bottom):
            t = (y - top) / max(bottom - top - 1, 1)
            left = round(top_left + (bottom_left - top_left) * t)
            right = round(top_right + (bottom_right - top_right) * t)
            self.rect(left, y, right, y + 1, index)

    def outline(self, index):
        # Every painted pixel next to a transparent one becomes the outline.
        edge = []
        for y in range(self.height):
            for x in range(self.width):
                if self.pixels[y][x] == 0:
                    continue
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if not (0 <= nx < self.width and 0 <= ny < self.height) or \
                            self.pixels[ny][nx] == 0:
                        edge.append((x, y))
                        break
        for x, y in edge:
            self.pixels[y][x] = index

    def shade(self, first, last, light_x, light_y):
        # Indices first..last form a ramp; shade by distance from a light.
        for y in range(self.height):
            for x in range(self.width):
                if first <= self.pixels[y][x] <= last:
                    d = math.hypot(x - light_x, y - light_y) / math.hypot(self.width, self.height)
                    self.pixels[y][x] = first + min(last - first, int(d * 1.6 * (last - first)))


def kiss_cell(canvas, bits, offset_x, offset_y):
    header = b"KiSS" + bytes([0x20, bits, 0, 0])
    header += struct.pack("<HHhh", canvas.width, canvas.height, offset_x, offset_y) + bytes(16)
    return header + rows(canvas, bits)


def old_cell(canvas):
    return struct.pack("<HH", canvas.width, canvas.height) + rows(canvas, 4)


def rows(canvas, bits):
    data = bytearray()
    for row in canvas.pixels:
        if bits == 8:
            data += bytes(row)
        else:
            padded = row + [0] * (len(row) % 2)
            for i in range(0, len(padded), 2):
                data.append(((padded[i] & 15) << 4) | (padded[i + 1] & 15))
    return bytes(data)


def doll():
    c = Canvas(48, 112)
    skin = (32, 37)  # the lightest skin tones
    c.rect(20, 34, 28, 42, skin[0])              # neck
    c.trapezoid(40, 70, 14, 34, 13, 35, skin[0])  # body
    c.trapezoid(42, 74, 8, 13, 4, 9, skin[0])     # arms
    c.trapezoid(42, 74, 35, 40, 39, 44, skin[0])
    c.trapezoid(70, 108, 14, 23, 16, 22, skin[0])  # legs
    c.trapezoid(70, 108, 25, 34, 26, 32, skin[0])
    c.ellipse(24, 20, 13, 15, skin[0], )           # head
    c.shade(skin[0], skin[1], 18, 10)
    c.ellipse(24, 13, 15, 10, 55)                  # hair
    c.rect(9, 13, 14, 36, 55)
    c.rect(34, 13, 39, 36, 55)
    c.rect(18, 21, 21, 25, 15)                     # eyes
    c.rect(27, 21, 30, 25, 15)
    c.rect(19, 22, 20, 23, 1)
    c.rect(28, 22, 29, 23, 1)
    c.rect(22, 29, 26, 30, 5)                      # mouth
    c.outline(15)
    return c


def dress():
    c = Canvas(36, 44)
    c.trapezoid(0, 18, 6, 30, 4, 32, 10)    # bodice
    c.trapezoid(18, 44, 4, 32, 0, 36, 10)   # skirt
    c.rect(4, 17, 32, 20, 1)                # sash
    for x in range(3, 34, 6):               # hem dots
        c.rect(x, 38, x + 2, 40, 9)
    c.outline(2)
    return c


def ribbon():
    c = Canvas(15, 8)
    c.trapezoid(0, 8, 0, 3, 0, 3, 12)
    c.trapezoid(0, 8, 12, 15, 12, 15, 12)
    for y in range(8):
        spread = abs(y - 3.5)
        c.rect(round(3 + spread), y, round(12 - spread), y + 1, 12)
    c.rect(6, 2, 9, 6, 5)
    c.outline(5)
    return c


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    groups = palette_groups()
    write(os.path.join(ROOT, "data", "files", "DEFAULT.KCF"), kcf_256(groups))
    samples = os.path.join(ROOT, "data", "samples")
    write(os.path.join(samples, "doll.kcf"), kcf_256(groups[:2]))
    write(os.path.join(samples, "doll.cel"), kiss_cell(doll(), 8, 120, 40))
    write(os.path.join(samples, "dress.cel"), kiss_cell(dress(), 4, 126, 80))
    write(os.path.join(samples, "ribbon.cel"), old_cell(ribbon()))
    write(os.path.join(samples, "doll.cnf"), SAMPLE_SET.encode("shift_jis"))


# The cells' own offsets place the doll and the dress; the ribbon (an old
# cell without offsets) sits on the head.  Page 1 shows the second colour
# group without the dress.
SAMPLE_SET = (
    "; Celdo sample set\r\n"
    "(320,200)\r\n"
    "%doll.kcf\r\n"
    "[0\r\n"
    "#0 ribbon.cel :0 1    ; リボン\r\n"
    "#1 dress.cel  :0      ; ドレス\r\n"
    "#2 doll.cel           ; 体\r\n"
    "$0 137,38 0,0 0,0\r\n"
    "$1 137,38 * 0,0\r\n"
)


if __name__ == "__main__":
    main()
