#!/usr/bin/env python3
"""Draws every image among Tessaro's resources and writes them into res/.

    python3 tools/make_resources.py [OUTPUT_DIR] [--no-background]

The output is committed, so building the program needs no image tools. The
BMP, ICO and CUR files are written here byte by byte; the background picture
is rendered here as raw pixels and handed to ImageMagick's `convert` only to
be encoded as a progressive JPEG. Everything is deterministic: the same script
gives the same pixels.
"""

import math
import argparse
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

LIGHT = 91          # the light frame grey of the scroll-bar pieces
RED = (217, 0, 0)   # arrows and grip dots


def grey(level):
    return (level, level, level)


# ---------------------------------------------------------------------------
# File writers

def bmp24(pixels):
    """A 24-bit BMP file from rows of (r, g, b), top row first."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):            # BMP rows run bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0,
                         14 + len(info))
    return header + info + bytes(body)


def dib4(indices, transparent, palette):
    """The image part of an ICO/CUR entry: header, 16-colour palette, 4-bit
    colour rows and the 1-bit AND mask, both bottom-up."""
    height = len(indices)
    width = len(indices[0])
    xor_stride = ((width * 4 + 31) // 32) * 4
    and_stride = ((width + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(height)):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x in range(width):
            index = 0 if transparent[y][x] else indices[y][x]
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if transparent[y][x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    # The height counts the colour and the mask halves together.
    info = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 4, 0,
                       len(xor) + len(mask), 0, 0, 16, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    return info + pal + bytes(xor) + bytes(mask)


def icon_file(images, kind=1, hotspot=(0, 0)):
    """An ICO (kind 1) or CUR (kind 2) file from (indices, transparent, palette)
    images; a cursor's directory entry holds its hotspot where an icon's holds
    planes and bit count."""
    blobs = [dib4(*image) for image in images]
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for (indices, _, _), blob in zip(images, blobs):
        w, h = len(indices[0]), len(indices)
        planes, bits = (1, 4) if kind == 1 else hotspot
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 16, 0, planes, bits,
                           len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


# ---------------------------------------------------------------------------
# Skin bitmaps: the list header and the two scroll bars

HEADER_BODY = [90, 73, 73, 73, 73, 57, 41, 25, 7, 0, 0, 90]


def header_body():
    return [[grey(v)] for v in HEADER_BODY]


def header_left():
    # Column 0 is the light line that opens a column, column 1 the body.
    return [[grey(91), grey(v)] for v in HEADER_BODY]


def header_right():
    return [[grey(v), grey(90)] for v in HEADER_BODY]


def framed(width, height, inner):
    """A light one-pixel frame around inner(x, y) -> grey level."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            edge = x in (0, width - 1) or y in (0, height - 1)
            row.append(grey(LIGHT if edge else inner(x, y)))
        rows.append(row)
    return rows


def by_row(levels):
    """Grey levels for the inner rows 1.. of a horizontal piece."""
    return lambda x, y: levels[y - 1]


def by_column(levels):
    """Grey levels for the inner columns 1.. of a vertical piece."""
    return lambda x, y: levels[x - 1]


def paint(rows, points, colour=RED):
    for x, y in points:
        rows[y][x] = colour
    return rows


def triangle(axis_from, axis_to, centre, half_width):
    """(along, across) points of a triangle whose base lies at axis_from and
    whose tip lies at axis_to; the base spans centre +- half_width and each
    step towards the tip narrows it by one on both sides."""
    step = 1 if axis_to > axis_from else -1
    points = []
    for i, along in enumerate(range(axis_from, axis_to + step, step)):
        half = half_width - i
        points += [(along, c) for c in range(centre - half, centre + half + 1)]
    return points


ARROW_H = [78, 78, 78, 78, 62, 44, 26, 8, 0, 0]            # rows 1-10
THUMB_H = [83, 83, 83, 83, 67, 49, 31, 13, 0, 0]           # rows 1-10
ARROW_V = [0, 0, 11, 29, 45, 61, 77, 77, 77, 77]           # columns 1-10
THUMB_V = [81, 81, 81, 81, 65, 47, 29, 11, 0, 0]           # columns 1-10


def hscroll_left():
    rows = framed(26, 12, by_row(ARROW_H))
    return paint(rows, [(x, y) for x, y in triangle(13, 11, 6, 2)])


def hscroll_right():
    rows = framed(26, 12, by_row(ARROW_H))
    return paint(rows, [(x, y) for x, y in triangle(12, 14, 6, 2)])


def hscroll_track():
    return [[grey(v)] for v in [91, 0, 0, 0, 0, 18, 44, 66, 66, 66, 66, 91]]


def hscroll_thumb():
    rows = framed(26, 12, by_row(THUMB_H))
    return paint(rows, [(x, y) for y in (4, 7) for x in range(7, 20, 2)])


def vscroll_top():
    levels = [74, 74, 74, 74, 58, 40, 22, 4, 0, 0]        # rows 1-10
    rows = []
    for y in range(11):
        rows.append([grey(LIGHT if y == 0 or x in (0, 11) else levels[y - 1])
                     for x in range(12)])
    return rows


def vscroll_up():
    rows = framed(12, 26, by_column(ARROW_V))
    return paint(rows, [(x, y) for y, x in triangle(13, 11, 5, 2)])


def vscroll_down():
    rows = framed(12, 26, by_column(ARROW_V))
    return paint(rows, [(x, y) for y, x in triangle(12, 14, 5, 2)])


def vscroll_track():
    return [[grey(v) for v in [90, 77, 77, 77, 77, 45, 27, 0, 0, 0, 0, 90]]]


def vscroll_thumb():
    rows = framed(12, 26, by_column(THUMB_V))
    return paint(rows, [(x, y) for y in range(7, 18, 2) for x in (4, 7)])


def vscroll_corner():
    levels = [69, 69, 69, 69, 69, 53, 35, 17, 0, 0]        # rows 0-9
    return [[grey(LIGHT if y == 10 or x == 10 else levels[y]) for x in range(11)]
            for y in range(11)]


SKIN = {
    'header_body.bmp': header_body,
    'header_left.bmp': header_left,
    'header_right.bmp': header_right,
    'hscroll_left.bmp': hscroll_left,
    'hscroll_right.bmp': hscroll_right,
    'hscroll_track.bmp': hscroll_track,
    'hscroll_thumb.bmp': hscroll_thumb,
    'vscroll_top.bmp': vscroll_top,
    'vscroll_up.bmp': vscroll_up,
    'vscroll_down.bmp': vscroll_down,
    'vscroll_track.bmp': vscroll_track,
    'vscroll_thumb.bmp': vscroll_thumb,
    'vscroll_corner.bmp': vscroll_corner,
}


# ---------------------------------------------------------------------------
# Icon and cursor: small vector drawings, supersampled and reduced to 16 colours

PALETTE = [
    (0, 0, 0), (20, 20, 20), (52, 52, 52), (110, 110, 110),
    (44, 0, 0), (84, 0, 4), (124, 0, 8), (164, 4, 10),
    (200, 12, 14), (230, 32, 28), (255, 70, 56), (255, 130, 110),
    (255, 196, 180), (255, 255, 255), (176, 176, 176), (70, 16, 16),
]


def nearest(colour):
    r, g, b = colour
    return min(range(16), key=lambda i: (PALETTE[i][0] - r) ** 2 * 3
               + (PALETTE[i][1] - g) ** 2 * 4 + (PALETTE[i][2] - b) ** 2 * 2)


def inside_polygon(x, y, poly):
    hit = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def rasterise(size, shade, samples=4):
    """shade(u, v) -> (r, g, b) or None over the unit square; returns palette
    indices and a transparency mask (transparent where under half covered)."""
    indices, transparent = [], []
    for py in range(size):
        irow, trow = [], []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    u = (px + (sx + 0.5) / samples) / size
                    v = (py + (sy + 0.5) / samples) / size
                    c = shade(u, v)
                    if c is not None:
                        hits += 1
                        for k in range(3):
                            acc[k] += c[k]
            if hits * 2 < samples * samples:
                irow.append(0)
                trow.append(True)
            else:
                irow.append(nearest(tuple(a / hits for a in acc)))
                trow.append(False)
        indices.append(irow)
        transparent.append(trow)
    return indices, transparent


# The emblem: a black disc ringed in red, holding a red "T" whose stem
# narrows like a fang and ends in a falling drop.
T_BAR = [(0.22, 0.25), (0.78, 0.25), (0.74, 0.36), (0.26, 0.36)]
T_STEM = [(0.42, 0.35), (0.58, 0.35), (0.535, 0.60), (0.50, 0.70), (0.465, 0.60)]
DROP_CENTRE, DROP_RADIUS = (0.50, 0.79), 0.055


def emblem(u, v):
    dx, dy = u - 0.5, v - 0.5
    r = math.hypot(dx, dy)
    if r > 0.49:
        return None
    if r > 0.43:
        # The ring: lit from the top left.
        light = 0.5 - 0.5 * (dx + dy) / r
        return (160 + 95 * light, 12 * light, 12 * light)
    mark = inside_polygon(u, v, T_BAR) or inside_polygon(u, v, T_STEM)
    drop = math.hypot(u - DROP_CENTRE[0], v - DROP_CENTRE[1]) < DROP_RADIUS or (
        inside_polygon(u, v, [(0.50, 0.69), (0.545, 0.77), (0.455, 0.77)]))
    if mark or drop:
        # Bright at the top, deep red towards the tip; a highlight on the left.
        t = min(1.0, max(0.0, (v - 0.25) / 0.6))
        red = 255 - 120 * t
        if mark and (v < 0.275 or (abs(u - 0.445) < 0.02 and 0.36 < v < 0.55)):
            return (255, 150, 130)
        return (red, 20 * (1 - t), 16 * (1 - t))
    return (0, 0, 0)


def icon_image(size):
    indices, transparent = rasterise(size, emblem)
    return indices, transparent, PALETTE


# The pointer: a slim red arrow with a black outline, its tip on the hotspot.
POINTER = [(1, 1), (1, 23), (6, 18), (10, 28), (13.5, 26.5), (9.5, 17.5), (17, 17.5)]
POINTER_HOTSPOT = (1, 1)


def cursor_image():
    size = 32
    fill = [[inside_polygon(x + 0.5, y + 0.5, POINTER) or
             (x, y) == POINTER_HOTSPOT for x in range(size)] for y in range(size)]
    indices = [[0] * size for _ in range(size)]
    transparent = [[True] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if fill[y][x]:
                # Lit along the left edge, darker towards the tail.
                t = min(1.0, (x + y) / 30.0)
                colour = (255 - 110 * t, 40 * (1 - t), 30 * (1 - t))
                if x == 2 and 3 <= y <= 19:
                    colour = (255, 130, 110)
                indices[y][x] = nearest(colour)
                transparent[y][x] = False
            elif any(0 <= y + dy < size and 0 <= x + dx < size and fill[y + dy][x + dx]
                     for dy in (-1, 0, 1) for dx in (-1, 0, 1)):
                indices[y][x] = 0          # outline
                transparent[y][x] = False
    return indices, transparent, PALETTE


# ---------------------------------------------------------------------------
# Background picture

# A moonlit gothic town in deep reds: a blood moon behind drifting cloud, a
# cathedral with a lit rose window, roofs, a castle on a far hill, fog, bats,
# a dead tree and an iron fence in front.

BG_W, BG_H = 1024, 768


def smoothstep(a, b, x):
    t = min(1.0, max(0.0, (x - a) / (b - a)))
    return t * t * (3 - 2 * t)


def lerp(a, b, t):
    return a + (b - a) * t


def mix3(c, d, t):
    return (c[0] + (d[0] - c[0]) * t, c[1] + (d[1] - c[1]) * t,
            c[2] + (d[2] - c[2]) * t)


class ValueNoise:
    """Smooth lattice noise; fbm sums octaves of it."""

    def __init__(self, seed):
        rnd = random.Random(seed)
        self.values = [rnd.random() for _ in range(256)]
        self.perm = list(range(256))
        rnd.shuffle(self.perm)

    def lattice(self, i, j):
        return self.values[self.perm[(self.perm[i & 255] + j) & 255]]

    def noise(self, x, y):
        i, j = math.floor(x), math.floor(y)
        fx, fy = x - i, y - j
        sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
        a = lerp(self.lattice(i, j), self.lattice(i + 1, j), sx)
        b = lerp(self.lattice(i, j + 1), self.lattice(i + 1, j + 1), sx)
        return lerp(a, b, sy)

    def fbm(self, x, y, octaves=5):
        total, amp, norm = 0.0, 1.0, 0.0
        for _ in range(octaves):
            total += amp * self.noise(x, y)
            norm += amp
            amp *= 0.5
            x, y = x * 2.03 + 17.1, y * 2.03 + 5.7
        return total / norm


class Field:
    """A noise function sampled every `step` pixels and read back bilinearly,
    so each pixel costs a few additions instead of an fbm evaluation."""

    def __init__(self, fn, step=8):
        self.step = step
        self.cols = BG_W // step + 2
        self.rows = BG_H // step + 2
        self.grid = [[fn(c * step, r * step) for c in range(self.cols)]
                     for r in range(self.rows)]
        self.ix = [x // step for x in range(BG_W)]
        self.fx = [(x % step) / step for x in range(BG_W)]

    def row(self, y):
        r, f = y // self.step, (y % self.step) / self.step
        a, b = self.grid[r], self.grid[r + 1]
        line = [p + (q - p) * f for p, q in zip(a, b)]
        return [line[i] + (line[i + 1] - line[i]) * t
                for i, t in zip(self.ix, self.fx)]


class Mask:
    """A silhouette layer drawn at twice the picture's resolution and read
    back as coverage 0..1, which smooths its edges."""

    def __init__(self, scale=2):
        self.s = scale
        self.w, self.h = BG_W * scale, BG_H * scale
        self.bits = bytearray(self.w * self.h)
        self.ones = b'\x01' * self.w

    def polygon(self, points):
        s = self.s
        pts = [(x * s, y * s) for x, y in points]
        edges = list(zip(pts, pts[1:] + pts[:1]))
        top = max(0, int(math.floor(min(p[1] for p in pts))))
        bottom = min(self.h - 1, int(math.ceil(max(p[1] for p in pts))))
        for row in range(top, bottom + 1):
            yc = row + 0.5
            xs = sorted(x0 + (yc - y0) * (x1 - x0) / (y1 - y0)
                        for (x0, y0), (x1, y1) in edges
                        if (y0 <= yc < y1) or (y1 <= yc < y0))
            for a, b in zip(xs[0::2], xs[1::2]):
                a = max(0, int(a + 0.5))
                b = min(self.w, int(b + 0.5))
                if b > a:
                    base = row * self.w
                    self.bits[base + a:base + b] = self.ones[:b - a]

    def rect(self, x0, y0, x1, y1):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])

    def ellipse(self, cx, cy, rx, ry, n=48):
        self.polygon([(cx + rx * math.cos(2 * math.pi * k / n),
                       cy + ry * math.sin(2 * math.pi * k / n)) for k in range(n)])

    def segment(self, x0, y0, x1, y1, w0, w1):
        """A tapered stroke, for branches."""
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length, dx / length
        self.polygon([(x0 + nx * w0 / 2, y0 + ny * w0 / 2),
                      (x1 + nx * w1 / 2, y1 + ny * w1 / 2),
                      (x1 - nx * w1 / 2, y1 - ny * w1 / 2),
                      (x0 - nx * w0 / 2, y0 - ny * w0 / 2)])
        self.ellipse(x1, y1, w1 / 2, w1 / 2, 12)

    def coverage(self):
        """Per picture pixel, the share of it covered, 0..1."""
        out = []
        w = self.w
        for y in range(BG_H):
            r0 = self.bits[2 * y * w:(2 * y + 1) * w]
            r1 = self.bits[(2 * y + 1) * w:(2 * y + 2) * w]
            out.append([(a + b + c + d) * 0.25 for a, b, c, d in
                        zip(r0[0::2], r0[1::2], r1[0::2], r1[1::2])])
        return out


class Lights:
    """Lit windows: sparse coloured pixels with coverage, drawn over the
    silhouettes and fed to the glow."""

    def __init__(self):
        self.pixels = {}

    def shape(self, x0, y0, x1, y1, colour_at, samples=3):
        for py in range(max(0, int(y0)), min(BG_H, int(math.ceil(y1)))):
            for px in range(max(0, int(x0)), min(BG_W, int(math.ceil(x1)))):
                acc, hits = [0.0, 0.0, 0.0], 0
                for sy in range(samples):
                    for sx in range(samples):
                        c = colour_at(px + (sx + 0.5) / samples,
                                      py + (sy + 0.5) / samples)
                        if c is not None:
                            hits += 1
                            acc = [a + b for a, b in zip(acc, c)]
                if hits:
                    a = hits / (samples * samples)
                    self.pixels[py * BG_W + px] = (acc[0] / hits, acc[1] / hits,
                                                   acc[2] / hits, a)


def pointed_arch(cx, top, bottom, width):
    """Inside test of a lancet window: an equilateral pointed arch on a
    rectangle."""
    half = width / 2.0
    spring = top + width * 0.87

    def inside(x, y):
        if y < top or y > bottom or abs(x - cx) > half:
            return False
        if y >= spring:
            return True
        return (math.hypot(x - (cx - half), y - spring) <= width and
                math.hypot(x - (cx + half), y - spring) <= width)
    return inside


GLASS = [(210, 24, 28), (246, 140, 42), (150, 16, 60), (232, 64, 30),
         (255, 196, 90), (120, 10, 24)]


def lancet(lights, cx, top, bottom, width, bright, seed):
    inside = pointed_arch(cx, top, bottom, width)
    rnd = random.Random(seed)
    panes = [rnd.choice(GLASS) for _ in range(64)]

    def colour(x, y):
        if not inside(x, y):
            return None
        # Lead: the mullion and the transoms between the panes.
        if abs(x - cx) < 0.6 or (y - top) % 9 < 1.0:
            return (25, 4, 4)
        pane = panes[int((y - top) // 9) * 2 + (x > cx)]
        return tuple(v * bright for v in pane)
    lights.shape(cx - width / 2 - 1, top - 1, cx + width / 2 + 1, bottom + 1, colour)


def rose_window(lights, cx, cy, radius):
    def colour(x, y):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        if r > radius:
            return None
        lead = (30, 5, 5)
        if r > radius - 3 or abs(r - radius * 0.42) < 0.9:
            return lead
        if r < radius * 0.18:
            return (255, 210, 120)
        angle = (math.atan2(dy, dx) + math.pi) / (2 * math.pi) * 12
        sector = int(angle) % 12
        edge = min(angle % 1.0, 1 - angle % 1.0) * 2 * math.pi / 12 * r
        if edge < 0.8 and r > radius * 0.18:
            return lead
        if r > radius * 0.42:
            # A round boss in the middle of each outer petal.
            mid = (int(angle) + 0.5) * 2 * math.pi / 12 - math.pi
            bx, by = cx + math.cos(mid) * radius * 0.70, cy + math.sin(mid) * radius * 0.70
            d = math.hypot(x - bx, y - by)
            if abs(d - radius * 0.17) < 0.7:
                return lead
            if d < radius * 0.17:
                return (255, 170, 60) if sector % 2 else (245, 110, 40)
            return (205, 20, 30) if sector % 2 else (140, 12, 56)
        return (236, 70, 30) if sector % 2 else (255, 150, 50)
    lights.shape(cx - radius - 1, cy - radius - 1, cx + radius + 1, cy + radius + 1, colour)


def draw_cathedral(near, lights):
    cx = 300
    near.polygon([(205, 470), (cx, 388), (395, 470), (395, 768), (205, 768)])   # nave and gable
    near.polygon([(cx - 6, 400), (cx, 318), (cx + 6, 400)])                     # fleche
    near.rect(cx - 1.5, 300, cx + 1.5, 322)
    for tx in (202, 398):                                                       # towers
        near.rect(tx - 36, 300, tx + 36, 768)
        near.polygon([(tx - 40, 302), (tx, 120), (tx + 40, 302)])               # spire
        for px in (tx - 36, tx + 36):                                           # pinnacles
            near.polygon([(px - 7, 305), (px, 258), (px + 7, 305)])
        for k in range(-3, 4):                                                  # crockets
            y = 300 - (k + 3) * 24
            off = 40 * (y - 120) / 182.0
            near.polygon([(tx - off, y), (tx - off - 5, y - 8), (tx - off + 2, y - 4)])
            near.polygon([(tx + off, y), (tx + off + 5, y - 8), (tx + off - 2, y - 4)])
        near.rect(tx - 1.5, 92, tx + 1.5, 124)                                  # cross
        near.rect(tx - 8, 101, tx + 8, 104)
        lancet(lights, tx, 330, 392, 16, 0.78, tx)
        lancet(lights, tx - 14, 430, 480, 9, 0.55, tx + 1)
        lancet(lights, tx + 14, 430, 480, 9, 0.55, tx + 2)
    for bx in (150, 445):                                                       # buttresses
        d = -1 if bx < cx else 1
        near.polygon([(bx, 768), (bx, 560), (bx + 10 * d, 548), (bx + 22 * d, 560),
                      (bx + 22 * d, 768)])
    rose_window(lights, cx, 492, 36)
    for k, x in enumerate((cx - 26, cx, cx + 26)):
        lancet(lights, x, 552 if k != 1 else 542, 618, 13, 0.7, 50 + k)


def draw_town(near, lights, rnd, x0, x1, low, high):
    x = x0
    while x < x1:
        w = rnd.randint(38, 84)
        top = rnd.randint(low, high)
        kind = rnd.random()
        if kind < 0.12:
            # A slim tower with a steep cone.
            w = rnd.randint(22, 30)
            top -= rnd.randint(50, 80)
            near.rect(x, top, x + w, 768)
            near.polygon([(x - 3, top + 2), (x + w / 2, top - rnd.randint(45, 70)),
                          (x + w + 3, top + 2)])
        else:
            near.rect(x, top, x + w, 768)
            if kind < 0.75:
                near.polygon([(x - 4, top + 1), (x + w / 2, top - w * rnd.uniform(0.35, 0.6)),
                              (x + w + 4, top + 1)])
            else:
                for k in range(0, w, 8):                                      # parapet
                    near.rect(x + k, top - 5, x + k + 4, top + 1)
            if rnd.random() < 0.5:
                cx = x + rnd.randint(6, max(7, w - 12))
                near.rect(cx, top - w * 0.45, cx + 7, top + 5)
        for wy in range(top + 12, 700, 19):
            for wx in range(x + 7, x + w - 9, 15):
                if rnd.random() < 0.16:
                    warm = rnd.choice([(255, 150, 60), (240, 90, 40), (220, 40, 30)])
                    k = rnd.uniform(0.45, 0.9)
                    colour = tuple(v * k for v in warm)
                    lights.shape(wx, wy, wx + 5, wy + 8,
                                 lambda px, py, c=colour: c, samples=1)
        x += w + rnd.randint(-6, 6)


def draw_far(far, rnd):
    # A hill on the right with a castle on its crest.
    hill = [(430, 768)]
    for k in range(0, 61):
        x = 430 + k * 10
        hill.append((x, 640 - 95 * math.sin(math.pi * min(1.0, (x - 430) / 700.0)) ** 1.5
                     + 6 * math.sin(x / 23.0)))
    hill.append((1030, 768))
    far.polygon(hill)
    far.rect(842, 520, 968, 580)
    for k in range(842, 968, 9):
        far.rect(k, 513, k + 5, 521)
    for tx, top, w in ((842, 470, 22), (884, 440, 26), (936, 462, 20), (966, 492, 16)):
        far.rect(tx - w / 2, top, tx + w / 2, 580)
        far.polygon([(tx - w / 2 - 3, top + 1), (tx, top - w * 1.9), (tx + w / 2 + 3, top + 1)])
    # Roofs far behind the cathedral.
    x = -10
    while x < 440:
        w = rnd.randint(30, 70)
        top = rnd.randint(560, 610)
        far.rect(x, top, x + w, 768)
        far.polygon([(x - 3, top + 1), (x + w / 2, top - w * 0.5), (x + w + 3, top + 1)])
        x += w


def draw_tree(fore, rnd, x, y, angle, length, width, depth):
    if depth == 0 or length < 4:
        return
    x1 = x + math.cos(angle) * length
    y1 = y - math.sin(angle) * length
    fore.segment(x, y, x1, y1, width, width * 0.68)
    branches = 2 if depth > 1 else 1
    if depth > 3 and rnd.random() < 0.35:
        branches = 3
    for b in range(branches):
        spread = rnd.uniform(0.25, 0.75) * (1 if b % 2 else -1)
        if branches == 1:
            spread = rnd.uniform(-0.4, 0.4)
        draw_tree(fore, rnd, x1, y1, angle + spread + rnd.uniform(-0.1, 0.1) - 0.05,
                  length * rnd.uniform(0.62, 0.8), width * 0.68, depth - 1)


def bat(fore, cx, cy, size, tilt):
    half = [(0.0, -0.18), (0.05, -0.34), (0.1, -0.2), (0.28, -0.3), (0.55, -0.28),
            (1.0, -0.5), (0.86, -0.12), (0.72, -0.02), (0.58, -0.1), (0.44, 0.06),
            (0.3, -0.02), (0.14, 0.12), (0.0, 0.3)]
    pts = half + [(-x, y) for x, y in reversed(half)]
    c, s = math.cos(tilt), math.sin(tilt)
    fore.polygon([(cx + size * (x * c - y * s), cy + size * (x * s + y * c)) for x, y in pts])


def draw_foreground(fore, rnd):
    fore.rect(0, 742, BG_W, BG_H)                                      # the ground
    for y0, y1 in ((708, 712), (736, 740)):                            # fence rails
        fore.rect(0, y0, BG_W, y1)
    for x in range(6, BG_W, 17):                                       # fence bars
        fore.rect(x - 1.5, 698, x + 1.5, 742)
        fore.polygon([(x - 4.5, 700), (x, 684), (x + 4.5, 700), (x, 696)])
    for x in range(-2, BG_W, 102):                                     # posts
        fore.rect(x - 5, 690, x + 5, 768)
        fore.ellipse(x, 686, 7, 7, 16)
    draw_tree(fore, rnd, 40, 770, math.pi / 2 + 0.16, 132, 24, 8)
    for cx, cy, size, tilt in ((690, 150, 20, 0.15), (735, 118, 13, -0.2),
                               (858, 318, 16, 0.3), (612, 236, 10, -0.1),
                               (905, 176, 9, 0.25)):
        bat(fore, cx, cy, size, tilt)


MOON = (760.0, 212.0, 98.0)
SKY = [(0, (7, 1, 4)), (260, (26, 3, 8)), (500, (78, 9, 14)), (640, (128, 22, 20)),
       (768, (96, 14, 14))]


def sky_colour(y):
    for (y0, c0), (y1, c1) in zip(SKY, SKY[1:]):
        if y <= y1:
            return mix3(c0, c1, (y - y0) / float(y1 - y0))
    return SKY[-1][1]


def render_background():
    """Returns (width, height, picture RGB bytes, glow RGB bytes)."""
    rnd = random.Random(1031)
    clouds = ValueNoise(7)
    mist = ValueNoise(11)
    craters = ValueNoise(23)
    cloud_field = Field(lambda x, y: clouds.fbm(x / 330.0, y / 95.0))
    mist_field = Field(lambda x, y: mist.fbm(x / 260.0, y / 60.0, 4))
    crater_field = Field(lambda x, y: craters.fbm(x / 55.0, y / 55.0, 4), step=4)

    far, near, fore = Mask(), Mask(), Mask()
    lights = Lights()
    draw_far(far, rnd)
    draw_cathedral(near, lights)
    draw_town(near, lights, rnd, -12, 160, 572, 640)
    draw_town(near, lights, rnd, 450, 1040, 600, 668)
    draw_foreground(fore, rnd)
    far_cov, near_cov, fore_cov = far.coverage(), near.coverage(), fore.coverage()

    mx, my, mr = MOON
    out = bytearray()
    # What shines (the moon, lit windows) also goes to a glow layer, which the
    # encoder blurs and lays over the picture so lights bleed into the night.
    glow = bytearray(BG_W * BG_H * 3)
    max_r2 = (BG_W / 2.0) ** 2 + (BG_H / 2.0) ** 2
    grain = random.Random(5)
    for y in range(BG_H):
        cloud_row = cloud_field.row(y)
        mist_row = mist_field.row(y)
        crater_row = crater_field.row(y)
        base = sky_colour(y)
        low_fog = smoothstep(520, 660, y) * (1 - smoothstep(700, 768, y))
        front_fog = smoothstep(610, 720, y)
        far_row, near_row, fore_row = far_cov[y], near_cov[y], fore_cov[y]
        for x in range(BG_W):
            dx, dy = x + 0.5 - mx, y + 0.5 - my
            d = math.sqrt(dx * dx + dy * dy)
            r, g, b = base
            # Glow of the moon on the sky: a tight rim and a wide haze.
            rim = math.exp(-max(0.0, d - mr) / 55.0) * 0.75
            haze = math.exp(-d / 300.0) * 0.55
            r += 200 * rim + 110 * haze
            g += 38 * rim + 16 * haze
            b += 26 * rim + 12 * haze
            cover = min(1.0, max(0.0, mr - d + 0.5))
            if cover > 0:
                mu = math.sqrt(max(0.0, 1 - (d / mr) ** 2))
                dark = 1 - 0.32 * smoothstep(0.48, 0.68, crater_row[x])
                shade = (0.55 + 0.45 * mu) * dark
                r = lerp(r, 250 * shade, cover)
                g = lerp(g, 92 * shade, cover)
                b = lerp(b, 66 * shade, cover)
                glow[(y * BG_W + x) * 3:(y * BG_W + x) * 3 + 3] = bytes(
                    (int(150 * cover), int(30 * cover), int(20 * cover)))
            # Clouds: dark wisps, their edges lit near the moon.
            c = smoothstep(0.5, 0.78, cloud_row[x]) * (1 - smoothstep(420, 600, y)) * 0.9
            if c > 0:
                lit = math.exp(-d / 220.0)
                cr, cg, cb = mix3((18, 2, 5), (190, 48, 40), lit * 0.9)
                r, g, b = lerp(r, cr, c), lerp(g, cg, c), lerp(b, cb, c)
            f = far_row[x]
            if f:
                r, g, b = lerp(r, 34, f), lerp(g, 6, f), lerp(b, 10, f)
            m = mist_row[x]
            fog = low_fog * (0.25 + 0.5 * m)
            r, g, b = lerp(r, 140, fog), lerp(g, 24, fog), lerp(b, 24, fog)
            n = near_row[x]
            if n:
                r, g, b = r * (1 - n), g * (1 - n), b * (1 - n)
            lit_px = lights.pixels.get(y * BG_W + x)
            if lit_px:
                lr, lg, lb, la = lit_px
                r, g, b = lerp(r, lr, la), lerp(g, lg, la), lerp(b, lb, la)
                glow[(y * BG_W + x) * 3:(y * BG_W + x) * 3 + 3] = bytes(
                    (int(lr * la), int(lg * la * 0.8), int(lb * la * 0.6)))
            fog = front_fog * (0.12 + 0.38 * m)
            r, g, b = lerp(r, 120, fog), lerp(g, 18, fog), lerp(b, 20, fog)
            k = fore_row[x]
            if k:
                r, g, b = r * (1 - k), g * (1 - k), b * (1 - k)
            vx, vy = x - BG_W / 2.0, y - BG_H / 2.0
            v = 1 - 0.5 * ((vx * vx + vy * vy) / max_r2) ** 1.4
            n = grain.gauss(0, 2.2)
            out += bytes((int(min(255, max(0, r * v + n))),
                          int(min(255, max(0, g * v + n * 0.5))),
                          int(min(255, max(0, b * v + n * 0.5)))))
    return BG_W, BG_H, bytes(out), bytes(glow)

def write_jpeg(path, width, height, pixels, glow, target=150_000):
    """Lays the blurred glow over the picture and encodes the result as a
    progressive JPEG of about target bytes."""
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, 'background.ppm')
        glow_ppm = os.path.join(tmp, 'glow.ppm')
        for name, data in ((ppm, pixels), (glow_ppm, glow)):
            with open(name, 'wb') as f:
                f.write(b'P6 %d %d 255\n' % (width, height))
                f.write(data)
        best = None
        for quality in range(60, 99):
            out = os.path.join(tmp, 'q%d.jpg' % quality)
            subprocess.run(['convert', ppm, '(', glow_ppm, '-blur', '0x14', ')',
                            '-compose', 'screen', '-composite', '-strip',
                            '-sampling-factor', '2x2', '-interlace', 'JPEG',
                            '-quality', str(quality), out], check=True)
            size = os.path.getsize(out)
            if best is None or abs(size - target) < abs(best[1] - target):
                best = (out, size)
            if size > target:
                break
        shutil.copyfile(best[0], path)
        return best[1]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(prog='make_resources.py', description=__doc__.splitlines()[0])
    parser.add_argument('out_dir', metavar='FOLDER', nargs='?', default=os.path.join(here, '..', 'res'),
                        help='where the images are written (default: res/)')
    parser.add_argument('--no-background', action='store_true', help='leave out the background JPEG')
    options = parser.parse_args()
    out_dir = options.out_dir
    os.makedirs(out_dir, exist_ok=True)

    for name, draw in SKIN.items():
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(bmp24(draw()))
    with open(os.path.join(out_dir, 'tessaro.ico'), 'wb') as f:
        f.write(icon_file([icon_image(32), icon_image(16)]))
    with open(os.path.join(out_dir, 'tessaro.cur'), 'wb') as f:
        f.write(icon_file([cursor_image()], kind=2, hotspot=POINTER_HOTSPOT))

    if not options.no_background:
        width, height, pixels, glow = render_background()
        size = write_jpeg(os.path.join(out_dir, 'tessaro_background.jpg'),
                          width, height, pixels, glow)
        print('tessaro_background.jpg: %d bytes' % size)


if __name__ == '__main__':
    main()
