#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the main window's picture, the about box picture, the program icon (at
every size of the desktop's icon theme, and as SVG, in icons/) and the five
button glyphs as PNG files beside this script. Standard library only;
run it again after changing a drawing and commit the PNG files it writes."""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_png(name, width, height, pixel):
    """pixel(x, y) -> (r, g, b) or (r, g, b, a)."""
    rows = []
    alpha = len(pixel(0, 0)) == 4
    for y in range(height):
        row = bytearray(b"\0")
        for x in range(width):
            row.extend(int(max(0, min(255, round(c)))) for c in pixel(x, y))
        rows.append(bytes(row))
    raw = b"".join(rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(png)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def cover(d):
    """Coverage of a pixel by a shape whose signed distance at its centre is d."""
    return max(0.0, min(1.0, 0.5 - d))


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


# A 5 x 7 pixel font for the few letters the pictures show.
FONT = {
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    "v": ["00000", "00000", "10001", "10001", "10001", "01010", "00100"],
    " ": ["00000"] * 7,
}


def text_mask(text, left, top, scale):
    """Set of pixels covered by the text."""
    cells = set()
    x0 = left
    for ch in text:
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for sy in range(scale):
                        for sx in range(scale):
                            cells.add((x0 + gx * scale + sx, top + gy * scale + sy))
        x0 += 6 * scale
    return cells


def text_width(text, scale):
    return len(text) * 6 * scale - scale


class Clock:
    """A clock face showing ten past ten, the scheduler's emblem."""

    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def paint(self, x, y, under):
        px, py = x + 0.5, y + 0.5
        d = math.hypot(px - self.cx, py - self.cy)
        r = self.r
        c = under
        # shadow
        c = mix(c, (40, 70, 60), 0.25 * cover(math.hypot(px - self.cx - 3, py - self.cy - 4) - r))
        c = mix(c, (255, 255, 236), cover(d - r))
        c = mix(c, (30, 90, 70), cover(abs(d - r + 2) - 2))
        for k in range(12):
            a = k * math.pi / 6
            inner = r * (0.72 if k % 3 == 0 else 0.8)
            tick = seg_dist(px, py, self.cx + inner * math.cos(a), self.cy + inner * math.sin(a),
                            self.cx + (r - 6) * math.cos(a), self.cy + (r - 6) * math.sin(a))
            c = mix(c, (30, 90, 70), cover(tick - (1.4 if k % 3 == 0 else 0.7)))
        hour = -math.pi / 2 + (10 + 10 / 60) * math.pi / 6
        minute = -math.pi / 2 + 10 * math.pi / 30
        c = mix(c, (20, 40, 40), cover(seg_dist(px, py, self.cx, self.cy,
                                                self.cx + r * 0.5 * math.cos(hour),
                                                self.cy + r * 0.5 * math.sin(hour)) - 2.2))
        c = mix(c, (20, 40, 40), cover(seg_dist(px, py, self.cx, self.cy,
                                                self.cx + r * 0.75 * math.cos(minute),
                                                self.cy + r * 0.75 * math.sin(minute)) - 1.4))
        c = mix(c, (200, 40, 30), cover(d - 3))
        return c


def landscape(x, y, width, height, horizon):
    """Sky over rolling green hills."""
    sky = mix((150, 200, 240), (235, 246, 255), y / max(1, horizon))
    c = sky
    for i, (base, amp, freq, phase, col) in enumerate([
            (horizon, 14, 0.018, 0.0, (150, 205, 140)),
            (horizon + 22, 12, 0.026, 1.7, (110, 180, 105)),
            (horizon + 46, 10, 0.035, 3.1, (80, 150, 85))]):
        top = base - amp * math.sin(x * freq + phase) - amp * 0.5 * math.sin(x * freq * 2.3 + i)
        if y + 0.5 > top:
            shade = mix(col, (col[0] * 0.8, col[1] * 0.85, col[2] * 0.8), (y - top) / 120)
            c = mix(c, shade, min(1.0, y + 0.5 - top))
    return c


def main_picture():
    w, h = 451, 393
    clock = Clock(64, 118, 46)
    title = text_mask("KRONVALE", 12, 14, 3)
    sub = text_mask("v1.1", 12, 42, 2)

    def pixel(x, y):
        c = landscape(x, y, w, h, 230)
        c = clock.paint(x, y, c)
        if (x, y) in title:
            c = (25, 75, 60)
        elif (x - 1, y - 1) in title:
            c = mix(c, (255, 255, 255), 0.8)
        if (x, y) in sub:
            c = (60, 110, 90)
        return c

    write_png("mainform.png", w, h, pixel)


def about_picture():
    w, h = 218, 232
    clock = Clock(104, 58, 40)
    name = text_mask("KRONVALE", (w - text_width("KRONVALE", 2)) // 2, 103, 2)

    def pixel(x, y):
        c = mix((228, 242, 255), (255, 255, 255), y / 120)
        if y > 150:
            c = mix(c, (200, 235, 190), (y - 150) / 82)
        c = clock.paint(x, y, c)
        if (x, y) in name:
            c = (25, 75, 60)
        return c

    write_png("about.png", w, h, pixel)


# The program's icon, one drawing for every size: a clock at ten o'clock on a
# 16-unit square, as shapes painted in order. Each shape is (kind, colour, ...):
# a disc (cx, cy, r), a ring (cx, cy, r, half width) or a stroke with round ends
# (x1, y1, x2, y2, half width). The first disc is the icon's outline.
_HOUR = -math.pi / 2 + 10 * math.pi / 6
ICON = [
    ("disc", (255, 255, 236), 8, 8, 7.6),
    ("ring", (30, 90, 70), 8, 8, 6.6, 1.0),
    ("stroke", (20, 40, 40), 8, 8, 8 + 3.5 * math.cos(_HOUR), 8 + 3.5 * math.sin(_HOUR), 0.8),
    ("stroke", (20, 40, 40), 8, 8, 8, 3, 0.6),
    ("disc", (200, 40, 30), 8, 8, 1.2),
]
# The sizes of the desktop's icon theme; 16 is also the window icon.
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def shape_dist(shape, px, py):
    """Signed distance, in drawing units, from a point to the shape's edge."""
    kind, _, *a = shape
    if kind == "disc":
        return math.hypot(px - a[0], py - a[1]) - a[2]
    if kind == "ring":
        return abs(math.hypot(px - a[0], py - a[1]) - a[2]) - a[3]
    return seg_dist(px, py, a[0], a[1], a[2], a[3]) - a[4]


def icon(size, name):
    scale = size / 16

    def pixel(x, y):
        px, py = (x + 0.5) / scale, (y + 0.5) / scale
        outline, *inner = ICON
        a = cover(shape_dist(outline, px, py) * scale) * 255
        c = outline[1]
        for shape in inner:
            c = mix(c, shape[1], cover(shape_dist(shape, px, py) * scale))
        return (*c, a)

    write_png(name, size, size, pixel)


def icon_svg(name):
    def colour(c):
        return "#%02x%02x%02x" % c

    def num(v):
        return ("%.3f" % v).rstrip("0").rstrip(".")

    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" '
             'viewBox="0 0 16 16">']
    for kind, c, *a in ICON:
        if kind == "disc":
            lines.append('  <circle cx="%s" cy="%s" r="%s" fill="%s"/>'
                         % (num(a[0]), num(a[1]), num(a[2]), colour(c)))
        elif kind == "ring":
            lines.append('  <circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" '
                         'stroke-width="%s"/>'
                         % (num(a[0]), num(a[1]), num(a[2]), colour(c), num(2 * a[3])))
        else:
            lines.append('  <line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" '
                         'stroke-width="%s" stroke-linecap="round"/>'
                         % (num(a[0]), num(a[1]), num(a[2]), num(a[3]), colour(c),
                            num(2 * a[4])))
    lines.append("</svg>")
    with open(os.path.join(HERE, name), "w") as f:
        f.write("\n".join(lines) + "\n")


# Glyphs: the bottom-left pixel's colour is the button's transparent colour.
KEY = (255, 0, 255)


def glyph(name, shape):
    def pixel(x, y):
        if (x, y) == (0, 21):
            return KEY
        c = shape(x + 0.5, y + 0.5)
        return c if c is not None else KEY

    write_png(name, 23, 22, pixel)


def play(px, py):
    # a green triangle pointing right
    if px > 7 and px < 18 and abs(py - 11) < (18 - px) * 0.55:
        return (20, 150, 40) if px > 8 and abs(py - 11) < (17 - px) * 0.55 else (10, 80, 20)
    return None


def new_task(px, py):
    # a page with a plus
    if 5 < px < 16 and 3 < py < 19:
        if (abs(px - 10.5) < 1.2 and 6 < py < 16) or (abs(py - 11) < 1.2 and 6 < px < 15):
            return (20, 130, 40)
        edge = px < 6.5 or px > 14.5 or py < 4.5 or py > 17.5
        return (60, 60, 60) if edge else (255, 255, 250)
    return None


def edit_task(px, py):
    # a pencil from bottom left to top right
    d = seg_dist(px, py, 6, 17, 17, 6)
    if d < 2.6:
        if px < 8 and py > 15:
            return (40, 40, 40)
        if px > 15 and py < 8:
            return (220, 110, 110)
        return (230, 180, 40) if d < 1.8 else (120, 80, 20)
    return None


def delete_task(px, py):
    # a red cross
    d = min(seg_dist(px, py, 6, 5, 17, 16), seg_dist(px, py, 17, 5, 6, 16))
    if d < 2.2:
        return (210, 30, 30) if d < 1.5 else (120, 10, 10)
    return None


def delete_all(px, py):
    # a waste basket
    if 6 < px < 17 and 6 < py < 19:
        if px < 7.5 or px > 15.5 or py > 17.5:
            return (50, 60, 70)
        if int(px) in (9, 11, 13):
            return (90, 100, 110)
        return (170, 180, 190)
    if 4 < px < 19 and 4 < py < 6:
        return (50, 60, 70)
    if 9 < px < 14 and 2 < py < 4:
        return (50, 60, 70)
    return None


if __name__ == "__main__":
    main_picture()
    about_picture()
    icon(16, "kronvale16.png")
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    for size in ICON_SIZES[1:]:
        icon(size, "icons/kronvale%d.png" % size)
    icon_svg("icons/kronvale.svg")
    glyph("glyph_play.png", play)
    glyph("glyph_new.png", new_task)
    glyph("glyph_edit.png", edit_task)
    glyph("glyph_delete.png", delete_task)
    glyph("glyph_deleteall.png", delete_all)
