#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the skinned button's artwork into this folder.

Nine picture pairs (a grey resting picture "<stem>GZephB" and a coloured hot
one "<stem>ZephB"), the popup-menu mark "Strela", the hand cursor "HANDZephB"
and the hover sound "PREKO". Pictures are 16-colour BMPs on magenta, the colour
the button treats as transparent. Standard library only; run it again after a
change and commit the results.
"""

import math
import os
import struct
import wave

HERE = os.path.dirname(os.path.abspath(__file__))

# The classic 16-colour palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, AQUA, WHITE = range(8, 16)


def write_bmp4(name, pixels):
    """pixels: rows top to bottom of palette indices."""
    h, w = len(pixels), len(pixels[0])
    stride = ((w * 4 + 31) // 32) * 4
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, idx in enumerate(row):
            line[x // 2] |= idx << (4 if x % 2 == 0 else 0)
        body += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(body), 2835, 2835, 16, 16)
    with open(os.path.join(HERE, name + ".bmp"), "wb") as f:
        f.write(header + info + palette + body)


# --- shapes, tested at pixel centres -------------------------------------

def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def stroke(points, r):
    def inside(x, y):
        return any(seg_dist(x, y, *points[i], *points[i + 1]) <= r for i in range(len(points) - 1))
    return inside


def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) <= r


def ring(cx, cy, r, half_width, gaps=()):
    """A circle line; gaps are (from, to) angle ranges in degrees to leave out,
    measured clockwise on screen from 3 o'clock."""
    def inside(x, y):
        if abs(math.hypot(x - cx, y - cy) - r) > half_width:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return not any(lo <= a <= hi for lo, hi in gaps)
    return inside


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[MAGENTA] * size for _ in range(size)]

    def cells(self):
        for y in range(self.size):
            for x in range(self.size):
                yield x, y, x + 0.5, y + 0.5

    def fill(self, shape, colour):
        for x, y, cx, cy in self.cells():
            if shape(cx, cy):
                self.px[y][x] = colour

    def outlined(self, shape, colour, outline=BLACK):
        """Paints the shape with a one-pixel outline around it."""
        mask = [[shape(x + 0.5, y + 0.5) for x in range(self.size)] for y in range(self.size)]
        for y in range(self.size):
            for x in range(self.size):
                if mask[y][x]:
                    continue
                near = any(
                    0 <= x + dx < self.size and 0 <= y + dy < self.size and mask[y + dy][x + dx]
                    for dx in (-1, 0, 1) for dy in (-1, 0, 1))
                if near:
                    self.px[y][x] = outline
        for y in range(self.size):
            for x in range(self.size):
                if mask[y][x]:
                    self.px[y][x] = colour

    def dot(self, x, y, colour):
        self.px[y][x] = colour


# --- the pictures ----------------------------------------------------------

def tick(c, fill, offset=(0, 0), scale=1.0):
    ox, oy = offset
    pts = [(ox + 3.5 * scale, oy + 9.5 * scale), (ox + 7.0 * scale, oy + 13.0 * scale),
           (ox + 14.0 * scale, oy + 4.5 * scale)]
    c.outlined(stroke(pts, 1.25), fill)


def draw_da(c, fill):
    tick(c, fill)


def draw_iksic(c, fill):
    c.outlined(union(stroke([(4.5, 4.5), (13.5, 13.5)], 1.3),
                     stroke([(13.5, 4.5), (4.5, 13.5)], 1.3)), fill)


def draw_pomoc(c, fill):
    hook = ring(9.0, 6.5, 3.3, 0.9, gaps=[(100, 170)])
    stem = stroke([(9.0, 9.8), (9.0, 11.2)], 0.9)
    c.outlined(union(hook, stem), fill)
    c.outlined(disc(9.0, 14.5, 1.1), fill)


def draw_ne(c, fill):
    c.outlined(union(ring(9.0, 9.0, 6.0, 1.1), stroke([(5.0, 5.0), (13.0, 13.0)], 1.5)), fill)


def draw_exit(c, fill, arrow):
    c.outlined(box(2.0, 2.0, 9.0, 16.0), fill)
    c.fill(box(3.0, 3.0, 8.0, 15.0), SILVER if fill != SILVER else WHITE)
    c.dot(7, 9, BLACK)
    shaft = stroke([(8.5, 9.0), (14.5, 9.0)], 0.8)
    head = union(stroke([(16.0, 9.0), (13.0, 6.0)], 0.8), stroke([(16.0, 9.0), (13.0, 12.0)], 0.8))
    c.outlined(union(shaft, head), arrow)


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside


def arrow_head(cx, cy, r, angle):
    """A head at the given angle of a circle, pointing clockwise along it."""
    a = math.radians(angle)
    ex, ey = cx + r * math.cos(a), cy + r * math.sin(a)
    tx, ty = -math.sin(a), math.cos(a)
    rx, ry = math.cos(a), math.sin(a)
    tip = (ex + 3.6 * tx, ey + 3.6 * ty)
    return triangle(tip, (ex + 3.0 * rx, ey + 3.0 * ry), (ex - 3.0 * rx, ey - 3.0 * ry))


def draw_retri(c, fill):
    body = ring(9.0, 9.0, 5.0, 0.9, gaps=[(300, 360), (0, 10), (120, 190)])
    c.outlined(union(body, arrow_head(9.0, 9.0, 5.0, 295), arrow_head(9.0, 9.0, 5.0, 115)), fill)


def draw_igno(c, fill):
    figure = union(
        disc(10.5, 3.2, 1.7),
        stroke([(10.0, 5.5), (9.0, 10.5)], 0.9),
        stroke([(9.0, 10.5), (6.0, 15.5)], 0.9),
        stroke([(9.0, 10.5), (11.5, 12.5), (12.0, 16.0)], 0.9),
        stroke([(10.0, 6.5), (7.0, 9.0)], 0.8),
        stroke([(10.0, 6.5), (13.0, 8.5)], 0.8),
    )
    c.outlined(figure, fill)


def draw_sve(c, fill):
    first = stroke([(1.8, 8.5), (4.5, 11.5), (9.5, 4.0)], 1.05)
    second = stroke([(7.0, 11.0), (9.8, 14.0), (16.0, 5.0)], 1.05)
    c.outlined(union(first, second), fill)


def draw_glupi(c, back, face, feature):
    c.outlined(box(2.0, 2.0, 17.0, 17.0), back)
    c.outlined(disc(9.5, 9.5, 6.3), face)
    c.fill(disc(7.2, 7.5, 1.0), feature)
    c.fill(disc(11.8, 7.5, 1.0), feature)
    c.fill(ring(9.5, 9.5, 3.6, 0.6, gaps=[(0, 25), (155, 360)]), feature)


def picture(size, draw):
    c = Canvas(size)
    draw(c)
    return c.px


PICTURES = {
    # stem: (size, grey drawing, coloured drawing)
    "DA": (18, lambda c: draw_da(c, GREY), lambda c: draw_da(c, LIME)),
    "IKSIC": (18, lambda c: draw_iksic(c, GREY), lambda c: draw_iksic(c, RED)),
    "POMOC": (18, lambda c: draw_pomoc(c, GREY), lambda c: draw_pomoc(c, AQUA)),
    "NE": (18, lambda c: draw_ne(c, GREY), lambda c: draw_ne(c, RED)),
    "EXIT": (18, lambda c: draw_exit(c, GREY, GREY), lambda c: draw_exit(c, OLIVE, RED)),
    "RETRI": (18, lambda c: draw_retri(c, GREY), lambda c: draw_retri(c, LIME)),
    "IGNO": (18, lambda c: draw_igno(c, GREY), lambda c: draw_igno(c, GREEN)),
    "SVE": (18, lambda c: draw_sve(c, GREY), lambda c: draw_sve(c, LIME)),
    "GLUPI": (19, lambda c: draw_glupi(c, GREY, SILVER, BLACK),
              lambda c: draw_glupi(c, BLUE, RED, YELLOW)),
}


def write_pictures():
    for stem, (size, grey, colour) in PICTURES.items():
        write_bmp4(stem + "GZephB", picture(size, grey))
        write_bmp4(stem + "ZephB", picture(size, colour))
    write_bmp4("Strela", [
        [BLACK] * 5,
        [MAGENTA, BLACK, BLACK, BLACK, MAGENTA],
        [MAGENTA, MAGENTA, BLACK, MAGENTA, MAGENTA],
    ])


# --- hand cursor -----------------------------------------------------------

# X black, o white, anything else transparent. The hot spot is the fingertip.
HAND = """
.....XX
....XooX
....XooX
....XooX
....XooX
....XooXXX
....XooXooXXX
....XooXooXooXX
....XooXooXooXoX
.XX.XooooooooXooX
XooXXoooooooooooX
XoooXoooooooooooX
.XooXoooooooooooX
..XoooooooooooooX
..XooooooooooooX
...XoooooooooooX
...XooooooooooX
....XoooooooooX
....XooooooooX
.....XoooooooX
.....XoooooooX
.....XXXXXXXXX
"""
HAND_HOTSPOT = (5, 0)


def write_cursor():
    rows = HAND.strip("\n").split("\n")
    size = 32
    xor_rows, and_rows = [], []
    for y in range(size):
        line = rows[y] if y < len(rows) else ""
        xor_bits, and_bits = 0, 0
        for x in range(size):
            ch = line[x] if x < len(line) else "."
            bit = 1 << (31 - x)
            if ch == "o":
                xor_bits |= bit
            elif ch != "X":
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 2)
    colours = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = info + colours + b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows))
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, HAND_HOTSPOT[0], HAND_HOTSPOT[1],
                        len(image), 6 + 16)
    with open(os.path.join(HERE, "HANDZephB.cur"), "wb") as f:
        f.write(directory + entry + image)


# --- hover sound -----------------------------------------------------------

def write_sound():
    rate, count = 22050, 297
    frames = bytearray()
    for i in range(count):
        t = i / rate
        envelope = math.sin(math.pi * i / (count - 1))
        sample = 0.35 * envelope * (math.sin(2 * math.pi * 1800 * t) + 0.4 * math.sin(2 * math.pi * 3600 * t))
        frames += struct.pack("<h", int(round(sample * 32767 / 1.4)))
    with wave.open(os.path.join(HERE, "PREKO.wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    write_pictures()
    write_cursor()
    write_sound()
