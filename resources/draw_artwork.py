#!/usr/bin/env python3
"""Draws Blokkenveld's artwork and default data files.

    python3 resources/draw_artwork.py OUTDIR

writes into OUTDIR (created when missing):

    panel.bmp     512 x 512, 24 bits: the paint window and status strip artwork
                  (bitmap resource 107)
    panel_en.bmp  the same with English words (bitmap resource 108)
    icon104.ico   the program icon for the version dialog
    icon105.ico   the program icon for the window's title bar
    tex.bmp       128 x 128, 24 bits: the default texture atlas, 8 x 8 cells
    palette.bvp   the default palette

Everything is drawn from code so the repository keeps no binary artwork and
the output is the same on every machine: only the standard library is used,
all noise is seeded, and the Japanese and English captions come from small
pixel glyphs kept below instead of a font file.
"""
import math
import os
import struct
import sys

# --------------------------------------------------------------------------
# Colour helpers

def clamp8(v):
    v = int(round(v))
    return 0 if v < 0 else 255 if v > 255 else v


def rgb(r, g, b):
    return (clamp8(r), clamp8(g), clamp8(b))


def mix(a, b, t):
    """Linear blend of two colours, t = 0 gives a, t = 1 gives b."""
    return tuple(clamp8(x + (y - x) * t) for x, y in zip(a, b))


def shade(c, k):
    """Multiply a colour's brightness by k."""
    return tuple(clamp8(x * k) for x in c)


def lighten(c, t):
    return mix(c, (255, 255, 255), t)


def darken(c, t):
    return mix(c, (0, 0, 0), t)


def ramp(t, stops):
    """Piecewise linear colour ramp: stops is a list of (position, colour)."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 0.0)
    return stops[-1][1]


def hsl(h, s, l):
    """HSL (hue in degrees, saturation and lightness 0..1) to an RGB tuple."""
    c = (1 - abs(2 * l - 1)) * s
    hp = (h % 360) / 60.0
    x = c * (1 - abs(hp % 2 - 1))
    r, g, b = [(c, x, 0), (x, c, 0), (0, c, x), (0, x, c), (x, 0, c), (c, 0, x)][int(hp) % 6]
    m = l - c / 2
    return rgb((r + m) * 255, (g + m) * 255, (b + m) * 255)


# --------------------------------------------------------------------------
# Images and file writers

class Image:
    """A plain pixel grid; pixels are RGB or RGBA tuples, row 0 at the top."""

    def __init__(self, w, h, colour):
        self.w = w
        self.h = h
        self.px = [colour] * (w * h)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def fill(self, x0, y0, x1, y1, c):
        """Fill the rectangle x0 <= x < x1, y0 <= y < y1."""
        for y in range(max(0, y0), min(self.h, y1)):
            base = y * self.w
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[base + x] = c

    def hline(self, x0, x1, y, c):
        """Horizontal line from x0 to x1 inclusive."""
        self.fill(x0, y, x1 + 1, y + 1, c)

    def vline(self, x, y0, y1, c):
        """Vertical line from y0 to y1 inclusive."""
        self.fill(x, y0, x + 1, y1 + 1, c)

    def frame(self, x0, y0, x1, y1, c):
        """One-pixel outline of the rectangle x0 <= x < x1, y0 <= y < y1."""
        self.hline(x0, x1 - 1, y0, c)
        self.hline(x0, x1 - 1, y1 - 1, c)
        self.vline(x0, y0, y1 - 1, c)
        self.vline(x1 - 1, y0, y1 - 1, c)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        n = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            self.fill(x0, y, x1, y + 1, mix(top, bottom, (y - y0) / n))

    def blend(self, x, y, c, a):
        """Lay colour c over the pixel with opacity a (0..1)."""
        if 0 <= x < self.w and 0 <= y < self.h and a > 0:
            old = self.px[y * self.w + x]
            self.px[y * self.w + x] = mix(old[:3], c[:3], a) + old[3:]

    def paste(self, src, x, y):
        """Copy an opaque image so that its top-left lands on (x, y)."""
        for sy in range(src.h):
            for sx in range(src.w):
                self.put(x + sx, y + sy, src.px[sy * src.w + sx])

    def crop(self, x0, y0, x1, y1):
        out = Image(x1 - x0, y1 - y0, (0, 0, 0))
        for y in range(y0, y1):
            for x in range(x0, x1):
                out.px[(y - y0) * out.w + (x - x0)] = self.px[y * self.w + x]
        return out

    def over(self, sprite, x, y):
        """Composite an RGBA sprite (straight alpha 0..255) onto this image."""
        for sy in range(sprite.h):
            for sx in range(sprite.w):
                r, g, b, a = sprite.px[sy * sprite.w + sx]
                if a:
                    self.blend(x + sx, y + sy, (r, g, b), a / 255.0)


def bmp24_bytes(img):
    """An uncompressed bottom-up 24-bit Windows bitmap with a 40-byte info header."""
    stride = (img.w * 3 + 3) & ~3
    pad = bytes(stride - img.w * 3)
    rows = []
    for y in range(img.h - 1, -1, -1):
        row = bytearray()
        for x in range(img.w):
            r, g, b = img.px[y * img.w + x][:3]
            row += bytes((b, g, r))
        rows.append(bytes(row) + pad)
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    return head + info + pixels


def ico_bytes(images):
    """A Windows icon holding 32-bit BGRA images, each with its AND mask."""
    entries = []
    blobs = []
    offset = 6 + 16 * len(images)
    for img in images:
        w, h = img.w, img.h
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = img.px[y * w + x]
                if a == 0:
                    r = g = b = 0
                xor += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(w):
                if img.px[y * w + x][3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        blob = info + bytes(xor) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                                   len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# --------------------------------------------------------------------------
# Anti-aliased shapes for the button icons and the program icon

class Raster:
    """A supersampled RGBA surface: shapes are sampled ss x ss times per pixel,
    later shapes cover earlier ones, and resolve() averages the samples."""

    def __init__(self, w, h, ss=4):
        self.w, self.h, self.ss = w, h, ss
        self.sw, self.sh = w * ss, h * ss
        self.buf = [None] * (self.sw * self.sh)

    def shape(self, inside, bbox, colour):
        """Paint every sample (x, y) in bbox with inside(x, y) true; colour is a
        tuple or a function of (x, y) giving one.  Coordinates are pixels."""
        ss = self.ss
        x0, y0, x1, y1 = bbox
        sx0 = max(0, int(math.floor(x0 * ss)))
        sy0 = max(0, int(math.floor(y0 * ss)))
        sx1 = min(self.sw, int(math.ceil(x1 * ss)) + 1)
        sy1 = min(self.sh, int(math.ceil(y1 * ss)) + 1)
        fixed = not callable(colour)
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / ss
            base = sy * self.sw
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / ss
                if inside(x, y):
                    self.buf[base + sx] = colour if fixed else colour(x, y)

    def poly(self, pts, colour):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.shape(lambda x, y: point_in_poly(x, y, pts),
                   (min(xs), min(ys), max(xs), max(ys)), colour)

    def circle(self, cx, cy, r, colour):
        r2 = r * r
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r2,
                   (cx - r, cy - r, cx + r, cy + r), colour)

    def ring(self, cx, cy, r0, r1, colour):
        a, b = r0 * r0, r1 * r1
        self.shape(lambda x, y: a <= (x - cx) ** 2 + (y - cy) ** 2 <= b,
                   (cx - r1, cy - r1, cx + r1, cy + r1), colour)

    def capsule(self, ax, ay, bx, by, r, colour):
        self.shape(lambda x, y: seg_dist(x, y, ax, ay, bx, by) <= r,
                   (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r),
                   colour)

    def polyline(self, pts, r, colour, closed=False):
        pairs = list(zip(pts, pts[1:]))
        if closed:
            pairs.append((pts[-1], pts[0]))
        for (ax, ay), (bx, by) in pairs:
            self.capsule(ax, ay, bx, by, r, colour)

    def outlined_poly(self, pts, colour, outline, width=0.9):
        """A filled polygon with an outline grown around it."""
        self.poly(pts, outline)
        self.polyline(pts, width, outline, closed=True)
        self.poly(pts, colour)

    def resolve(self):
        ss = self.ss
        n = ss * ss
        out = Image(self.w, self.h, (0, 0, 0, 0))
        for y in range(self.h):
            for x in range(self.w):
                r = g = b = cov = 0
                for sy in range(y * ss, y * ss + ss):
                    base = sy * self.sw
                    for sx in range(x * ss, x * ss + ss):
                        c = self.buf[base + sx]
                        if c is not None:
                            r += c[0]
                            g += c[1]
                            b += c[2]
                            cov += 1
                if cov:
                    out.px[y * self.w + x] = (clamp8(r / cov), clamp8(g / cov),
                                              clamp8(b / cov), clamp8(255.0 * cov / n))
        return out


def point_in_poly(x, y, pts):
    inside = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return math.sqrt(qx * qx + qy * qy)


class Axis:
    """Coordinates along a tool's body: u runs from p0 to p1, v across it
    (positive v is the right-hand side when looking from p0 to p1)."""

    def __init__(self, p0, p1):
        self.x0, self.y0 = p0
        dx, dy = p1[0] - p0[0], p1[1] - p0[1]
        self.length = math.hypot(dx, dy)
        self.ux, self.uy = dx / self.length, dy / self.length

    def uv(self, x, y):
        rx, ry = x - self.x0, y - self.y0
        return (rx * self.ux + ry * self.uy, -rx * self.uy + ry * self.ux)

    def bbox(self, grow):
        x1 = self.x0 + self.ux * self.length
        y1 = self.y0 + self.uy * self.length
        return (min(self.x0, x1) - grow, min(self.y0, y1) - grow,
                max(self.x0, x1) + grow, max(self.y0, y1) + grow)


# --------------------------------------------------------------------------
# Pixel glyphs.  The captions of the paint window, Japanese and English, are
# kept here as pixel patterns so the build needs no font.

# Katakana for the vertical section captions, 11 x 11.  The long vowel mark
# is stored in its vertical form, as vertical Japanese text writes it.
CAPTION_GLYPHS = {
    "ツ": [
        "...........",
        "#...#....#.",
        ".#...#...#.",
        ".#...#...#.",
        "..#.....#..",
        "........#..",
        ".......#...",
        "......#....",
        ".....#.....",
        "...##......",
        ".##........",
    ],
    "ー": [
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        "...........",
    ],
    "ル": [
        "...........",
        "...#...#...",
        "...#...#...",
        "...#...#...",
        "...#...#...",
        "...#...#...",
        "...#...#...",
        "...#...#..#",
        "..#....#.#.",
        ".#.....##..",
        "#..........",
    ],
    "パ": [
        "........##.",
        "...#...#..#",
        "...#.#.#..#",
        "...#..#.##.",
        "..#....#...",
        "..#....#...",
        ".#......#..",
        ".#......#..",
        "#........#.",
        "#.........#",
        "...........",
    ],
    "レ": [
        "..#........",
        "..#........",
        "..#........",
        "..#........",
        "..#........",
        "..#.......#",
        "..#......#.",
        "..#.....#..",
        "..#...##...",
        "..#.##.....",
        "..##.......",
    ],
    "ッ": [  # small: drawn in the upper right of its cell
        "#..#...#",
        ".#..#..#",
        ".#.....#",
        "......#.",
        ".....#..",
        "...##...",
        "###.....",
    ],
    "ト": [
        "....#......",
        "....#......",
        "....#......",
        "....##.....",
        "....#.##...",
        "....#...##.",
        "....#......",
        "....#......",
        "....#......",
        "....#......",
        "....#......",
    ],
    "テ": [
        "..#######..",
        "...........",
        "...........",
        "###########",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        "....#......",
        "...#.......",
        ".##........",
        "...........",
    ],
    "ク": [
        "....#......",
        "...#.......",
        "..########.",
        ".#......#..",
        "#.......#..",
        ".......#...",
        "......#....",
        ".....#.....",
        "...##......",
        ".##........",
        "...........",
    ],
    "ス": [
        "...........",
        ".########..",
        "........#..",
        ".......#...",
        "......#....",
        ".....#.....",
        "....#.#....",
        "...#...#...",
        "..#.....#..",
        "##.......##",
        "...........",
    ],
    "チ": [
        "........##.",
        "..######...",
        ".....#.....",
        ".....#.....",
        "###########",
        ".....#.....",
        ".....#.....",
        "....#......",
        "...#.......",
        ".##........",
        "...........",
    ],
    "ャ": [  # small
        "..#....",
        "..#....",
        "#######",
        "..#..#.",
        "...##..",
        "...#...",
        "...#...",
    ],
}
SMALL_KANA = "ッャ"

# Kanji for the text buttons, 10 rows tall (the buttons are 14 pixels).
BUTTON_GLYPHS = {
    "新": [
        "..#......##",
        "#####..##..",
        ".#.#..#....",
        "#####.#####",
        "..#...#..#.",
        "#####.#..#.",
        ".###..#..#.",
        "#.#.#.#..#.",
        "..#...#..#.",
        "..#..#...#.",
    ],
    "規": [
        "..#...#####",
        "####..#...#",
        "..#...#####",
        "#####.#...#",
        "..#...#####",
        "..#...#...#",
        ".#.#..#####",
        ".#..#..#.#.",
        "#......#.#.",
        "......#..##",
    ],
    "読": [
        ".#.....#...",
        "####.#####.",
        ".......#...",
        ".##...###..",
        ".....#####.",
        ".##..#...#.",
        "......#.#..",
        "####..#.#..",
        "#..#.#..#.#",
        "####.#...##",
    ],
    "込": [
        "#.....##...",
        ".#......#..",
        "........#..",
        "##.....#.#.",
        ".#.....#.#.",
        ".#....#...#",
        ".#...#....#",
        "#.#.......#",
        "#..#.......",
        "....#######",
    ],
    "保": [
        "..#.#####..",
        ".##.#...#..",
        "#.#.#####..",
        "..#...#....",
        "..#.#######",
        "..#...#....",
        "..#..###...",
        "..#.#.#.#..",
        "..##..#..#.",
        "..#...#....",
    ],
    "存": [
        "....#......",
        "###########",
        "...#.......",
        "..#.######.",
        ".##.....#..",
        "#.#....#...",
        "..#.#######",
        "..#....#...",
        "..#....#...",
        "..#..##....",
    ],
}

# Latin letters for the English section captions, 10 rows with the baseline on
# the last: capitals and ascenders fill all ten, small letters the lower seven.
# They are drawn turned a quarter clockwise, so a word reads downward.
CAPTION_LATIN = {
    "T": ["#######", "...#...", "...#...", "...#...", "...#...",
          "...#...", "...#...", "...#...", "...#...", "...#..."],
    "P": ["#####.", "#....#", "#....#", "#....#", "#####.",
          "#.....", "#.....", "#.....", "#.....", "#....."],
    "a": ["......", "......", "......", ".####.", ".....#",
          ".#####", "#....#", "#....#", "#...##", ".###.#"],
    "e": ["......", "......", "......", ".####.", "#....#",
          "#....#", "######", "#.....", "#.....", ".#####"],
    "l": ["#.", "#.", "#.", "#.", "#.", "#.", "#.", "#.", "#.", ".#"],
    "o": ["......", "......", "......", ".####.", "#....#",
          "#....#", "#....#", "#....#", "#....#", ".####."],
    "r": [".....", ".....", ".....", "#.###", "##...",
          "#....", "#....", "#....", "#....", "#...."],
    "s": [".....", ".....", ".....", ".####", "#....",
          "#....", ".###.", "....#", "....#", "####."],
    "t": ["....", ".#..", ".#..", "####", ".#..",
          ".#..", ".#..", ".#..", ".#..", "..##"],
    "u": ["......", "......", "......", "#....#", "#....#",
          "#....#", "#....#", "#....#", "#...##", ".###.#"],
    "x": [".......", ".......", ".......", "#.....#", ".#...#.",
          "..#.#..", "...#...", "..#.#..", ".#...#.", "#.....#"],
}

# Latin letters for the English text buttons, 8 rows with the baseline on the
# last: capitals and ascenders fill all eight, small letters the lower six.
BUTTON_LATIN = {
    "N": ["#....#", "##...#", "#.#..#", "#.#..#", "#..#.#", "#..#.#", "#...##", "#....#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "S": [".###.", "#...#", "#....", ".###.", "....#", "....#", "#...#", ".###."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", "#..##", ".##.#"],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", "#...#", ".###."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", "#...#", ".###."],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "w": [".......", ".......", "#.....#", "#.....#", "#..#..#", "#..#..#", ".#.#.#.", "..#.#.."],
}

# Latin letters for the title and the colour bars; 7 rows, proportional.
LATIN_GLYPHS = {
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "l": ["#", "#", "#", "#", "#", "#", "#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "k": ["#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".####"],
    "n": [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
    "v": [".....", ".....", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
}

# Bold capitals beside the colour bars, 7 rows.
BAR_LETTERS = {
    "R": ["#####.", "##..##", "##..##", "#####.", "##.##.", "##..##", "##..##"],
    "G": [".####.", "##..##", "##....", "##.###", "##..##", "##..##", ".#####"],
    "B": ["#####.", "##..##", "##..##", "#####.", "##..##", "##..##", "#####."],
}


def draw_glyph(img, x, y, rows, colour):
    for gy, row in enumerate(rows):
        for gx, ch in enumerate(row):
            if ch == "#":
                img.put(x + gx, y + gy, colour)


def glyph_width(rows):
    return max(len(r) for r in rows)


def draw_latin(img, x, y, text, colour, shadow=None):
    """Proportional pixel text; returns the width drawn."""
    cx = x
    for ch in text:
        g = LATIN_GLYPHS[ch]
        if shadow:
            draw_glyph(img, cx + 1, y + 1, g, shadow)
        cx += glyph_width(g) + 1
    cx = x
    for ch in text:
        g = LATIN_GLYPHS[ch]
        draw_glyph(img, cx, y, g, colour)
        cx += glyph_width(g) + 1
    return cx - x - 1


# --------------------------------------------------------------------------
# Noise (tileable over a 16-texel cell, seeded, so textures repeat cleanly)

def hash01(x, y, seed):
    n = (x * 374761393 + y * 668265263 + seed * 982451653) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    n ^= n >> 16
    return (n & 0xFFFFFF) / 16777216.0


_LATTICES = {}


def _lattice(seed, period):
    key = (seed, period)
    lat = _LATTICES.get(key)
    if lat is None:
        lat = [hash01(i, j, seed * 31 + period) for j in range(period) for i in range(period)]
        _LATTICES[key] = lat
    return lat


def vnoise(x, y, period, seed, size=16.0):
    """Smooth value noise in 0..1 that repeats every `size` texels; `period`
    lattice cells span that size."""
    lat = _lattice(seed, period)
    gx = x * period / size
    gy = y * period / size
    ix = int(math.floor(gx))
    iy = int(math.floor(gy))
    tx = gx - ix
    ty = gy - iy
    tx = tx * tx * (3 - 2 * tx)
    ty = ty * ty * (3 - 2 * ty)
    x0, x1 = ix % period, (ix + 1) % period
    y0, y1 = iy % period, (iy + 1) % period
    a = lat[y0 * period + x0]
    b = lat[y0 * period + x1]
    c = lat[y1 * period + x0]
    d = lat[y1 * period + x1]
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty


def fbm(x, y, seed, octaves=((2, 0.5), (4, 0.3), (8, 0.2))):
    """Sum of noise octaves (lattice period, weight); the result is near 0..1."""
    total = 0.0
    for i, (period, weight) in enumerate(octaves):
        total += vnoise(x, y, period, seed + 101 * i) * weight
    return total


def worley(x, y, n, seed, size=16.0):
    """Cellular noise on an n x n grid of jittered points that repeats every
    `size` texels.  Returns (nearest distance, second distance, cell id)."""
    cell = size / n
    cx = int(math.floor(x / cell))
    cy = int(math.floor(y / cell))
    best = [1e9, 1e9]
    best_id = 0
    for oy in (-1, 0, 1):
        for ox in (-1, 0, 1):
            gx, gy = cx + ox, cy + oy
            wx, wy = gx % n, gy % n
            px = (gx + 0.15 + 0.7 * hash01(wx, wy, seed)) * cell
            py = (gy + 0.15 + 0.7 * hash01(wx, wy, seed + 7)) * cell
            d = math.hypot(px - x, py - y)
            if d < best[0]:
                best = [d, best[0]]
                best_id = wy * n + wx
            elif d < best[1]:
                best[1] = d
    return best[0], best[1], best_id



# --------------------------------------------------------------------------
# The paint window panel

BITMAP_SIZE = 512
PANEL_W, PANEL_H = 158, 503
UNUSED_GREEN = (0, 255, 0)

OUTLINE = (26, 28, 34)           # dark outlines everywhere: never pure black,
ICON_INK = (30, 32, 40)          # which is the panel's transparency key
KEY_BLACK = (0, 0, 0)

TITLE_TOP = (92, 96, 106)
TITLE_BOTTOM = (52, 55, 62)
TITLE_TEXT = (240, 242, 246)

# Section colours: base, caption band, caption shadow
SECTIONS = {
    "tools": ((96, 170, 98), (52, 116, 60)),
    "palette": ((78, 122, 196), (40, 72, 138)),
    "texture": ((198, 84, 78), (128, 40, 40)),
}
MIXER_BACK = (28, 36, 60)        # behind the colour bars and their numbers
READOUT_BACK = (18, 24, 42)      # behind the three white numbers
TRACK_BACK = (14, 18, 32)

FACE_UP = ((248, 249, 251), (206, 211, 219))
FACE_DOWN = ((255, 234, 128), (247, 190, 52))
HILITE_UP = (255, 255, 255)
SHADOW_UP = (150, 156, 168)
SHADOW_DOWN = (196, 140, 24)
BLUE_ARROW = (36, 104, 224)
GREY_ARROW = (160, 165, 174)


def section_band(img, name, y0, y1):
    """Paint one section: body colour with a soft vertical shade, a bevel,
    and the darker caption band on the left."""
    base, band = SECTIONS[name]
    top = lighten(base, 0.06)
    bottom = darken(base, 0.10)
    img.vgradient(1, y0, PANEL_W - 1, y1 + 1, top, bottom)
    img.vgradient(1, y0, 22, y1 + 1, band, darken(band, 0.12))
    # bevel: light top edge, dark bottom edge
    img.hline(22, PANEL_W - 2, y0, lighten(base, 0.35))
    img.hline(1, 21, y0, lighten(band, 0.25))
    img.hline(1, PANEL_W - 2, y1, darken(base, 0.35))
    img.vline(22, y0 + 1, y1 - 1, darken(band, 0.25))
    img.vline(23, y0 + 1, y1 - 1, lighten(base, 0.12))
    img.vline(PANEL_W - 2, y0 + 1, y1 - 1, darken(base, 0.18))


CAPTION_INK = (250, 250, 250)


def draw_caption(img, text, x_center, y, band):
    """Vertical caption: characters stacked downward, small kana set in the
    upper right of their cell as vertical Japanese writing does."""
    shadow = darken(band, 0.45)
    ink = CAPTION_INK
    cy = y
    for ch in text:
        g = CAPTION_GLYPHS[ch]
        w = glyph_width(g)
        if ch in SMALL_KANA:
            gx = x_center - 5 + 3
            gy = cy - 1
            step = 9
        else:
            gx = x_center - w // 2
            gy = cy
            step = 13
        draw_glyph(img, gx + 1, gy + 1, g, shadow)
        draw_glyph(img, gx, gy, g, ink)
        cy += step


def latin_rows(text, glyphs, gap):
    """A word of pixel letters as one block of rows, gap blank columns apart."""
    rows = [""] * len(glyphs[text[0]])
    for i, ch in enumerate(text):
        g = glyphs[ch]
        for r, row in enumerate(g):
            rows[r] += ("." * gap if i else "") + row.ljust(glyph_width(g), ".")
    return rows


def draw_turned_caption(img, text, x_center, y, band):
    """Latin caption: the word turned a quarter clockwise, so that it reads
    downward from where a vertical Japanese one starts, its letters' tops
    toward the section and its shadow falling as the Japanese one's does."""
    rows = latin_rows(text, CAPTION_LATIN, 1)
    height = len(rows)
    right = x_center - height // 2 + height - 1
    for colour, offset in ((darken(band, 0.45), 1), (CAPTION_INK, 0)):
        for r, row in enumerate(rows):
            for c, ch in enumerate(row):
                if ch == "#":
                    img.put(right - r + offset, y + c + offset, colour)


def well(img, x0, y0, x1, y1, fill, base):
    """A sunken area x0 <= x < x1, y0 <= y < y1 with a frame just outside it."""
    img.fill(x0, y0, x1, y1, fill)
    img.hline(x0 - 1, x1, y0 - 1, darken(base, 0.45))
    img.vline(x0 - 1, y0 - 1, y1, darken(base, 0.45))
    img.hline(x0 - 1, x1, y1, lighten(base, 0.40))
    img.vline(x1, y0, y1, lighten(base, 0.40))


def button23(img, x, y, down, icon, bg):
    """A 23 x 23 tool button with rounded corners; icon is a 19 x 19 sprite."""
    face = FACE_DOWN if down else FACE_UP
    img.vgradient(x + 1, y + 1, x + 22, y + 22, face[0], face[1])
    img.hline(x + 1, x + 21, y, OUTLINE)
    img.hline(x + 1, x + 21, y + 22, OUTLINE)
    img.vline(x, y + 1, y + 21, OUTLINE)
    img.vline(x + 22, y + 1, y + 21, OUTLINE)
    # soften the corners against the background
    for cx, cy in ((x, y), (x + 22, y), (x, y + 22), (x + 22, y + 22)):
        img.put(cx, cy, mix(bg, OUTLINE, 0.35))
    if down:
        img.hline(x + 1, x + 21, y + 1, SHADOW_DOWN)
        img.vline(x + 1, y + 1, y + 21, SHADOW_DOWN)
        img.hline(x + 2, x + 21, y + 2, mix(SHADOW_DOWN, face[0], 0.5))
        img.vline(x + 2, y + 2, y + 21, mix(SHADOW_DOWN, face[0], 0.5))
        img.over(icon, x + 3, y + 3)
    else:
        img.hline(x + 1, x + 21, y + 1, HILITE_UP)
        img.vline(x + 1, y + 1, y + 21, HILITE_UP)
        img.hline(x + 1, x + 21, y + 21, SHADOW_UP)
        img.vline(x + 21, y + 1, y + 21, SHADOW_UP)
        img.over(icon, x + 2, y + 2)


def small_button(img, x, y, w, h, down, draw_content):
    """Square-cornered button (step arrows and text buttons).  The pressed
    pieces are laid over several places, so the corners must not depend on
    what lies around the button."""
    face = FACE_DOWN if down else FACE_UP
    img.vgradient(x + 1, y + 1, x + w - 1, y + h - 1, face[0], face[1])
    img.frame(x, y, x + w, y + h, OUTLINE)
    if down:
        img.hline(x + 1, x + w - 2, y + 1, SHADOW_DOWN)
        img.vline(x + 1, y + 1, y + h - 2, SHADOW_DOWN)
        draw_content(img, x + 1, y + 1)
    else:
        img.hline(x + 1, x + w - 2, y + 1, HILITE_UP)
        img.vline(x + 1, y + 1, y + h - 2, HILITE_UP)
        img.hline(x + 1, x + w - 2, y + h - 2, SHADOW_UP)
        img.vline(x + w - 2, y + 1, y + h - 2, SHADOW_UP)
        draw_content(img, x, y)


def arrow_content(left):
    def draw(img, x, y):
        # a 4 x 7 triangle centred in the 12 x 12 button
        for i in range(4):
            half = i if left else 3 - i
            col = x + 4 + i
            img.vline(col, y + 6 - half, y + 6 + half - 0, ICON_INK)
    return draw


def text_content(chars):
    def draw(img, x, y):
        glyphs = [BUTTON_GLYPHS[c] for c in chars]
        total = sum(glyph_width(g) for g in glyphs) + 2 * (len(glyphs) - 1)
        gx = x + (35 - total) // 2
        for g in glyphs:
            draw_glyph(img, gx, y + 2, g, ICON_INK)
            gx += glyph_width(g) + 2
    return draw


def latin_text_content(word):
    """A Latin word centred in a 35 x 14 text button, its 8 rows in the middle
    of the face as the Japanese button's 10 are."""
    def draw(img, x, y):
        rows = latin_rows(word, BUTTON_LATIN, 1)
        draw_glyph(img, x + (35 - glyph_width(rows)) // 2, y + 3, rows, ICON_INK)
    return draw


# ---- icons for the tool buttons (19 x 19 sprites) -------------------------

def icon_pencil():
    r = Raster(19, 19)
    ax = Axis((2.6, 16.4), (16.6, 2.4))
    w, cone, L = 2.7, 5.0, ax.length

    def inside(grow):
        def f(x, y):
            u, v = ax.uv(x, y)
            if u < -grow or u > L + grow:
                return False
            if u < cone:
                return abs(v) <= max(0.0, u) * w / cone + grow * 1.3
            return abs(v) <= w + grow
        return f

    def colour(x, y):
        u, v = ax.uv(x, y)
        if u < 1.9:
            return (58, 58, 70)
        if u < cone:
            return (240, 206, 156) if v < 0.6 else (208, 164, 112)
        if u < L - 5.2:
            if v < -0.9:
                return (255, 226, 96)
            if v < 0.9:
                return (250, 192, 36)
            return (214, 144, 18)
        if u < L - 3.4:
            return (222, 224, 232) if v < 0 else (160, 164, 176)
        return (246, 146, 164) if v < 0.8 else (212, 104, 126)

    r.shape(inside(0.95), ax.bbox(4), ICON_INK)
    r.shape(inside(0.0), ax.bbox(4), colour)
    return r.resolve()


def icon_eraser():
    r = Raster(19, 19)
    ax = Axis((3.0, 12.0), (16.0, 4.5))
    L = ax.length
    w = 3.4

    def body(dx, dy, grow):
        def f(x, y):
            u, v = ax.uv(x - dx, y - dy)
            return -grow <= u <= L + grow and abs(v) <= w + grow
        return f

    split = L * 0.46

    def side(x, y):
        u, _ = ax.uv(x, y - 2.2)
        return (206, 92, 116) if u < split else (44, 84, 170)

    def top(x, y):
        u, v = ax.uv(x, y)
        if u < split:
            return (255, 172, 188) if v < -1.6 else (246, 138, 160)
        if abs(u - split) < 0.9:
            return (236, 238, 244)
        return (120, 168, 246) if v < -1.6 else (76, 128, 228)

    # the block's lower side first, so the top face overlaps it
    r.shape(body(0, 2.2, 0.95), (0, 0, 19, 19), ICON_INK)
    r.shape(body(0, 0, 0.95), (0, 0, 19, 19), ICON_INK)
    r.shape(body(0, 2.2, 0.0), (0, 0, 19, 19), side)
    r.shape(body(0, 0, 0.0), (0, 0, 19, 19), top)
    # crumbs left behind
    r.circle(14.2, 16.2, 0.9, (180, 120, 140))
    r.circle(16.6, 15.0, 0.7, (180, 120, 140))
    return r.resolve()


def icon_marker():
    r = Raster(19, 19)
    ax = Axis((2.4, 16.6), (16.8, 2.2))
    L = ax.length
    w = 3.0

    def inside(grow):
        def f(x, y):
            u, v = ax.uv(x, y)
            if u < -grow or u > L + grow:
                return False
            if u < 2.2:
                return abs(v) <= 1.3 + grow
            if u < 4.6:
                return abs(v) <= 1.3 + (u - 2.2) * 0.7 + grow
            return abs(v) <= w + grow
        return f

    def colour(x, y):
        u, v = ax.uv(x, y)
        if u < 2.2:
            return (230, 40, 48) if v < 0.3 else (176, 20, 30)
        if u < 4.6:
            return (232, 234, 240) if v < 0.4 else (176, 180, 192)
        if u < L - 6.0:
            if v < -1.2:
                return (108, 118, 138)
            return (68, 76, 94) if v < 1.0 else (44, 50, 64)
        if u < L - 5.2:
            return (238, 240, 244)
        return (246, 76, 80) if v < -0.8 else (214, 44, 52) if v < 1.0 else (168, 28, 36)

    r.shape(inside(0.95), ax.bbox(4), ICON_INK)
    r.shape(inside(0.0), ax.bbox(4), colour)
    return r.resolve()


def icon_eyedropper():
    r = Raster(19, 19)
    ax = Axis((2.2, 16.8), (16.6, 2.4))
    L = ax.length

    def half_width(u):
        if u < 5.0:
            return 0.75 + u * 0.2
        if u < 11.0:
            return 1.9
        if u < 12.4:
            return 3.2
        if u < L - 1.6:
            return 2.5
        return math.sqrt(max(0.0, 2.5 ** 2 - (u - (L - 1.6)) ** 2 * 1.6))

    def inside(grow):
        def f(x, y):
            u, v = ax.uv(x, y)
            if u < -grow or u > L + grow:
                return False
            return abs(v) <= half_width(max(0.0, min(L, u))) + grow
        return f

    def colour(x, y):
        u, v = ax.uv(x, y)
        if u < 8.5:  # glass holding the picked colour
            return (96, 176, 255) if v < 0 else (40, 120, 230)
        if u < 11.0:
            return (236, 244, 250) if v < 0.5 else (192, 210, 224)
        if u < 12.4:
            return (150, 156, 170) if v < 0 else (100, 106, 120)
        return (92, 96, 110) if v < -0.8 else (58, 60, 72)

    r.shape(inside(0.95), ax.bbox(4), ICON_INK)
    r.shape(inside(0.0), ax.bbox(4), colour)
    # glint on the glass
    r.capsule(6.0, 11.6, 8.0, 9.6, 0.35, (230, 244, 255))
    return r.resolve()


def icon_bulb(lit):
    r = Raster(19, 19)
    cx, cy, rad = 9.5, 7.2, 5.6
    if lit:
        for i in range(8):
            a = math.pi * 2 * i / 8 + math.pi / 8
            if math.sin(a) > 0.75:
                continue  # no rays into the screw base
            r.capsule(cx + math.cos(a) * 7.4, cy - math.sin(a) * 7.4,
                      cx + math.cos(a) * 9.0, cy - math.sin(a) * 9.0, 0.6, (214, 88, 6))
    neck = [(cx - 3.6, cy + 3.8), (cx + 3.6, cy + 3.8), (cx + 2.6, cy + 7.2), (cx - 2.6, cy + 7.2)]
    r.circle(cx, cy, rad + 0.95, ICON_INK)
    r.poly(neck, ICON_INK)
    r.polyline(neck, 0.95, ICON_INK, closed=True)

    def glass(x, y):
        d = math.hypot(x - cx + 1.6, y - cy + 1.8) / (rad + 2)
        if lit:
            return ramp(d, [(0.0, (255, 255, 236)), (0.45, (255, 238, 120)), (1.0, (244, 180, 30))])
        return ramp(d, [(0.0, (255, 255, 255)), (0.5, (226, 232, 240)), (1.0, (168, 178, 192))])

    r.circle(cx, cy, rad, glass)
    r.poly(neck, glass)
    # filament
    fil = (255, 250, 230) if lit else (120, 124, 136)
    r.polyline([(cx - 2.0, cy + 4.8), (cx - 1.5, cy + 0.6), (cx - 0.5, cy + 1.8),
                (cx + 0.5, cy + 0.6), (cx + 1.5, cy + 1.8), (cx + 2.0, cy + 4.8)],
               0.42, fil if not lit else (200, 90, 10))
    # screw base
    base = [(cx - 2.7, cy + 7.0), (cx + 2.7, cy + 7.0), (cx + 2.7, cy + 10.6),
            (cx + 1.4, cy + 11.6), (cx - 1.4, cy + 11.6), (cx - 2.7, cy + 10.6)]
    r.poly(base, ICON_INK)
    r.polyline(base, 0.9, ICON_INK, closed=True)

    def metal(x, y):
        band = int((y - (cy + 7.0)) * 1.4) % 2
        light = x < cx
        if band:
            return (150, 156, 168) if light else (112, 118, 130)
        return (214, 218, 226) if light else (168, 174, 186)

    r.poly([(cx - 2.7, cy + 7.0), (cx + 2.7, cy + 7.0), (cx + 2.7, cy + 10.4),
            (cx - 2.7, cy + 10.4)], metal)
    # highlight on the glass
    r.capsule(cx - 3.0, cy - 1.0, cx - 1.6, cy - 3.2, 0.55, (255, 255, 255))
    return r.resolve()


def iso_cube_points(cx, top, a, h):
    """The seven visible corners of an isometric cube whose top face is 2a wide."""
    return {
        "t": (cx, top), "r": (cx + a, top + a / 2), "f": (cx, top + a), "l": (cx - a, top + a / 2),
        "rb": (cx + a, top + a / 2 + h), "fb": (cx, top + a + h), "lb": (cx - a, top + a / 2 + h),
    }


def icon_solid_cube():
    r = Raster(19, 19)
    p = iso_cube_points(9.5, 1.8, 7.2, 8.4)
    hexagon = [p["t"], p["r"], p["rb"], p["fb"], p["lb"], p["l"]]
    r.outlined_poly(hexagon, ICON_INK, ICON_INK, 0.95)
    r.poly([p["t"], p["r"], p["f"], p["l"]], (255, 186, 96))
    r.poly([p["l"], p["f"], p["fb"], p["lb"]], (244, 132, 28))
    r.poly([p["f"], p["r"], p["rb"], p["fb"]], (194, 90, 16))
    # bright edges where the top meets the sides
    r.polyline([p["l"], p["f"], p["r"]], 0.35, (255, 226, 170))
    return r.resolve()


def icon_wire_cube():
    r = Raster(19, 19)
    p = iso_cube_points(9.5, 1.8, 7.2, 8.4)
    back = (p["t"][0], p["t"][1] + 8.4)
    hidden = (150, 160, 184)
    # hidden edges meet at the back bottom corner: drawn dashed and pale
    for a in (p["lb"], p["rb"], p["t"]):
        n = 6
        for i in range(n):
            if i % 2 == 0:
                t0, t1 = i / n, (i + 1) / n
                r.capsule(back[0] + (a[0] - back[0]) * t0, back[1] + (a[1] - back[1]) * t0,
                          back[0] + (a[0] - back[0]) * t1, back[1] + (a[1] - back[1]) * t1,
                          0.42, hidden)
    edge = (34, 58, 120)
    r.polyline([p["t"], p["r"], p["rb"], p["fb"], p["lb"], p["l"]], 0.62, edge, closed=True)
    r.polyline([p["l"], p["f"], p["r"]], 0.62, edge)
    r.capsule(p["f"][0], p["f"][1], p["fb"][0], p["fb"][1], 0.62, edge)
    for q in p.values():
        r.circle(q[0], q[1], 0.95, (70, 130, 236))
    return r.resolve()


def icon_turn_arrow(fill, outline, mirror):
    """The undo arrow (mirror=False) or the redo arrow: a head pointing left
    at the top, a shaft that turns down round the right and comes back."""
    r = Raster(19, 19)
    cx, cy, rad, half = 11.0, 10.8, 4.0, 1.35
    top, bottom = cy - rad, cy + rad
    head = [(1.6, top), (7.4, top - 4.6), (7.4, top + 4.6)]

    def flip(x):
        return 19 - x if mirror else x

    def stroke(grow):
        def f(x, y):
            x = flip(x)
            if x >= cx:
                d = abs(math.hypot(x - cx, y - cy) - rad)
            else:
                d = min(seg_dist(x, y, 6.5, top, cx, top), seg_dist(x, y, 6.0, bottom, cx, bottom))
            return d <= half + grow
        return f

    head_pts = [(flip(px), py) for px, py in head]
    r.shape(stroke(0.95), (0, 0, 19, 19), outline)
    r.poly(head_pts, outline)
    r.polyline(head_pts, 0.95, outline, closed=True)
    shine = lighten(fill, 0.4)
    r.shape(stroke(0.0), (0, 0, 19, 19),
            lambda x, y: shine if math.hypot(flip(x) - cx, y - cy) > rad + 0.45 and
            flip(x) >= cx or (flip(x) < cx and y < top - 0.45) else fill)
    r.poly(head_pts, lambda x, y: shine if y < top - 0.3 and flip(x) < 6.6 else fill)
    return r.resolve()


def icon_disabled_arrow(mirror):
    """Greyed arrow: the shape embossed, white below right and grey on top."""
    shape = icon_turn_arrow((1, 1, 1), (1, 1, 1), mirror)
    out = Image(19, 19, (0, 0, 0, 0))
    for y in range(19):
        for x in range(19):
            a = shape.px[y * 19 + x][3]
            if a:
                out.put(x + 1, y + 1, (255, 255, 255, a))
    for y in range(19):
        for x in range(19):
            a = shape.px[y * 19 + x][3]
            if a:
                old = out.px[y * 19 + x]
                c = mix(old[:3], GREY_ARROW, a / 255.0) if old[3] else GREY_ARROW
                out.px[y * 19 + x] = c + (max(a, old[3]),)
    return out


# ---- small emblems that dress the empty corners of the panel -------------

def emblem_palette():
    """An artist's palette with blobs of paint, for the palette section."""
    r = Raster(30, 26)

    def board(grow):
        def f(x, y):
            d = ((x - 15) / (13.5 + grow)) ** 2 + ((y - 13) / (10.5 + grow)) ** 2
            thumb = math.hypot(x - 20.5, y - 17.5) < 2.6 - grow
            notch = ((x - 27.5) / (4.2 - grow)) ** 2 + ((y - 20.5) / (3.4 - grow)) ** 2 < 1.0
            return d <= 1.0 and not thumb and not notch
        return f

    r.shape(board(0.9), (0, 0, 30, 26), ICON_INK)
    r.shape(board(0.0), (0, 0, 30, 26),
            lambda x, y: ramp(((x - 5) + (y - 3)) / 40.0,
                              [(0.0, (246, 214, 160)), (1.0, (206, 156, 92))]))
    for (bx, by, c) in ((8.5, 9.5, (232, 48, 48)), (14.0, 6.6, (250, 206, 40)),
                        (19.8, 8.0, (60, 180, 80)), (7.6, 15.6, (52, 110, 230)),
                        (13.2, 17.6, (250, 250, 250))):
        r.circle(bx, by, 2.3, darken(c, 0.45))
        r.circle(bx, by, 1.75, c)
        r.circle(bx - 0.6, by - 0.6, 0.55, lighten(c, 0.6))
    return r.resolve()


def emblem_textured_cube(atlas):
    """An isometric block wearing two cells of the default atlas."""
    a, h = 14, 15
    w, ht = 2 * a + 2, a + h + 2
    r = Raster(w, ht, ss=3)
    p = iso_cube_points(a + 1, 1, a, h)
    hexagon = [p["t"], p["r"], p["rb"], p["fb"], p["lb"], p["l"]]
    r.poly(hexagon, ICON_INK)
    r.polyline(hexagon, 0.9, ICON_INK, closed=True)
    top_cell, side_cell = ATLAS_INDEX["grass top"], ATLAS_INDEX["grass side"]

    def texel(cell, s, t, k):
        cx, cy = (cell % 8) * 16, (cell // 8) * 16
        s = min(15, max(0, int(s * 16)))
        t = min(15, max(0, int(t * 16)))
        return shade(atlas.get(cx + s, cy + t), k)

    ox, oy = p["t"]

    def top(x, y):
        # invert the isometric mapping of the top face
        dx, dy = (x - ox) / a, (y - oy) / (a / 2)
        s, t = (dx + dy) / 2, (dy - dx) / 2
        return texel(top_cell, s, t, 1.05)

    def left(x, y):
        s = (x - p["l"][0]) / a
        t = (y - (p["l"][1] + s * a / 2)) / h
        return texel(side_cell, s, t, 0.86)

    def right(x, y):
        s = (x - p["f"][0]) / a
        t = (y - (p["f"][1] - s * a / 2)) / h
        return texel(side_cell, s, t, 0.66)

    r.poly([p["t"], p["r"], p["f"], p["l"]], top)
    r.poly([p["l"], p["f"], p["fb"], p["lb"]], left)
    r.poly([p["f"], p["r"], p["rb"], p["fb"]], right)
    r.polyline([p["l"], p["f"], p["r"]], 0.3, (200, 240, 160))
    return r.resolve()


# ---- the panel -------------------------------------------------------------

TOOL_ICONS = ("pencil", "eraser", "marker", "eyedropper")


class PanelWords:
    """The words of one language's panel and how they are set; everything
    else on the panel is the same in every language."""

    def __init__(self, caption, button, tools, palette, texture, new, load, save):
        self.caption = caption      # draws a section caption into its band
        self.button = button        # a text button's content from its word
        self.captions = {"tools": tools, "palette": palette, "texture": texture}
        self.new, self.load, self.save = new, load, save


# Each panel file with its words: the Japanese one, which the program falls
# back on, and the English one.
PANEL_FILES = {
    "panel.bmp": PanelWords(draw_caption, text_content,
                            "ツール", "パレット", "テクスチャ", "新規", "読込", "保存"),
    "panel_en.bmp": PanelWords(draw_turned_caption, latin_text_content,
                               "Tools", "Palette", "Texture", "New", "Load", "Save"),
}


def build_icons():
    return {
        "pencil": icon_pencil(),
        "eraser": icon_eraser(),
        "marker": icon_marker(),
        "eyedropper": icon_eyedropper(),
        "bulb_off": icon_bulb(False),
        "bulb_on": icon_bulb(True),
        "solid": icon_solid_cube(),
        "wire": icon_wire_cube(),
        "undo_grey": icon_disabled_arrow(False),
        "redo_grey": icon_disabled_arrow(True),
        "undo_blue": icon_turn_arrow(BLUE_ARROW, (20, 52, 128), False),
        "redo_blue": icon_turn_arrow(BLUE_ARROW, (20, 52, 128), True),
    }


def draw_body(icons, atlas, words):
    img = Image(PANEL_W, PANEL_H, OUTLINE)
    # --- title strip, the handle for dragging the panel
    img.vgradient(1, 1, PANEL_W - 1, 19, TITLE_TOP, TITLE_BOTTOM)
    img.hline(1, PANEL_W - 2, 1, lighten(TITLE_TOP, 0.15))
    img.hline(1, PANEL_W - 2, 19, (36, 38, 44))
    logo = draw_cube_stack(16, 4)
    img.over(logo, 4, 2)
    tx = 6 + logo.w
    draw_latin(img, tx, 6, "Blokkenveld", TITLE_TEXT, (24, 26, 30))
    # grip dots on the right say "drag here"
    for gy in (6, 10, 14):
        for gx in range(136, 154, 4):
            img.put(gx + 1, gy + 1, (34, 36, 42))
            img.put(gx, gy, (150, 154, 164))

    # --- the three sections
    section_band(img, "tools", 20, 73)
    section_band(img, "palette", 74, 312)
    section_band(img, "texture", 313, 501)
    for name, top in (("tools", 26), ("palette", 80), ("texture", 320)):
        words.caption(img, words.captions[name], 11, top, SECTIONS[name][1])

    # --- tool section
    green = SECTIONS["tools"][0]
    for i, name in enumerate(TOOL_ICONS):
        button23(img, 25 + 24 * i, 23, False, icons[name], green)
    for i, name in enumerate(("bulb_off", "solid", "wire", "undo_grey", "redo_grey")):
        button23(img, 25 + 24 * i, 47, False, icons[name], green)

    # --- palette section
    blue = SECTIONS["palette"][0]
    well(img, 25, 78, 153, 206, (255, 255, 255), blue)       # the 64 cells
    well(img, 25, 210, 73, 258, (255, 255, 255), blue)       # current colour
    small_button(img, 78, 210, 35, 14, False, words.button(words.new))
    small_button(img, 118, 210, 35, 14, False, words.button(words.load))
    small_button(img, 78, 228, 35, 14, False, words.button(words.save))
    pal = emblem_palette()
    img.over(pal, 121, 230)
    # the mixer: letters, step buttons, bar tracks and the number readout
    img.fill(25, 261, 156, 311, MIXER_BACK)
    img.hline(24, 155, 260, darken(blue, 0.45))
    img.vline(24, 260, 311, darken(blue, 0.45))
    img.hline(24, 156, 311, lighten(blue, 0.30))
    img.vline(156, 260, 311, lighten(blue, 0.30))
    img.hline(25, 155, 261, darken(MIXER_BACK, 0.35))
    img.fill(130, 262, 156, 311, READOUT_BACK)
    img.vline(129, 262, 310, darken(MIXER_BACK, 0.30))
    letter_colours = {"R": (255, 96, 96), "G": (96, 226, 110), "B": (120, 166, 255)}
    for letter, top in (("R", 264), ("G", 280), ("B", 296)):
        draw_glyph(img, 30, top + 3, BAR_LETTERS[letter], darken(letter_colours[letter], 0.6))
        draw_glyph(img, 29, top + 2, BAR_LETTERS[letter], letter_colours[letter])
        small_button(img, 39, top, 12, 12, False, arrow_content(True))
        small_button(img, 117, top, 12, 12, False, arrow_content(False))
        # the bar track; the program lays the bar itself over x 52..115
        img.fill(52, top, 116, top + 12, TRACK_BACK)
        img.hline(51, 116, top - 1, darken(MIXER_BACK, 0.5))
        img.vline(51, top - 1, top + 12, darken(MIXER_BACK, 0.5))
        img.hline(52, 116, top + 12, lighten(MIXER_BACK, 0.25))
        img.vline(116, top, top + 12, lighten(MIXER_BACK, 0.25))
        for q in range(1, 4):  # quarter marks
            img.vline(52 + 16 * q, top + 9, top + 11, (46, 56, 86))

    # --- texture section
    red = SECTIONS["texture"][0]
    well(img, 25, 318, 153, 446, (255, 255, 255), red)      # the atlas
    well(img, 25, 450, 73, 498, (255, 255, 255), red)       # current cell
    small_button(img, 78, 450, 35, 14, False, words.button(words.load))
    cube = emblem_textured_cube(atlas)
    img.over(cube, 118, 466)

    # outline around the whole panel
    img.frame(0, 0, PANEL_W, PANEL_H, OUTLINE)
    return img


def draw_panel(atlas, words):
    icons = build_icons()
    body = draw_body(icons, atlas, words)
    panel = Image(BITMAP_SIZE, BITMAP_SIZE, UNUSED_GREEN)
    panel.paste(body, 0, 0)

    def piece(left, top, right, bottom, from_x, from_y, draw):
        """Draw an overlay piece on a copy of the body area it will cover, so
        its edges match the body exactly, then place it at (left, top)."""
        w, h = right - left, bottom - top
        tile = body.crop(from_x, from_y, from_x + w, from_y + h)
        draw(tile)
        panel.paste(tile, left, top)

    green = SECTIONS["tools"][0]
    for i, name in enumerate(TOOL_ICONS):
        piece(158 + 23 * i, 0, 181 + 23 * i, 23, 25 + 24 * i, 23,
              lambda t, n=name: button23(t, 0, 0, True, icons[n], green))
    for i, name in enumerate(("bulb_on", "solid", "wire")):
        piece(158 + 23 * i, 23, 181 + 23 * i, 46, 25 + 24 * i, 47,
              lambda t, n=name: button23(t, 0, 0, True, icons[n], green))
    piece(227, 23, 250, 46, 97, 47, lambda t: button23(t, 0, 0, True, icons["undo_blue"], green))
    piece(250, 23, 273, 46, 121, 47, lambda t: button23(t, 0, 0, True, icons["redo_blue"], green))
    piece(273, 23, 296, 46, 97, 47, lambda t: button23(t, 0, 0, False, icons["undo_blue"], green))
    piece(296, 23, 319, 46, 121, 47, lambda t: button23(t, 0, 0, False, icons["redo_blue"], green))
    piece(158, 46, 170, 58, 39, 264,
          lambda t: small_button(t, 0, 0, 12, 12, True, arrow_content(True)))
    piece(170, 46, 182, 58, 117, 264,
          lambda t: small_button(t, 0, 0, 12, 12, True, arrow_content(False)))
    piece(198, 46, 233, 60, 78, 210,
          lambda t: small_button(t, 0, 0, 35, 14, True, words.button(words.new)))
    piece(233, 46, 268, 60, 118, 210,
          lambda t: small_button(t, 0, 0, 35, 14, True, words.button(words.load)))
    piece(198, 60, 233, 74, 78, 228,
          lambda t: small_button(t, 0, 0, 35, 14, True, words.button(words.save)))

    # selection marker: white ring, dark ring inside it so it also shows on a
    # white cell, and a see-through middle (the transparency key)
    marker = Image(16, 16, KEY_BLACK)
    marker.frame(0, 0, 16, 16, (255, 255, 255))
    marker.frame(1, 1, 15, 15, (40, 40, 40))
    panel.paste(marker, 182, 46)

    # status strip: 18 rows, light so its black text reads; the left end,
    # the one-texel middle (stretched by the program) and the right end
    strip = Image(12, 18, (0, 0, 0))
    strip.vgradient(0, 0, 12, 18, (238, 239, 242), (208, 211, 217))
    strip.hline(0, 11, 0, (120, 124, 134))
    strip.hline(0, 11, 1, (255, 255, 255))
    strip.hline(0, 11, 17, (176, 180, 188))
    strip.vline(0, 0, 17, (120, 124, 134))
    strip.vline(1, 1, 16, (255, 255, 255))
    strip.vline(11, 0, 17, (120, 124, 134))
    strip.vline(10, 2, 16, (186, 190, 198))
    panel.paste(strip, 158, 58)
    return panel


# --------------------------------------------------------------------------
# The program icon: a small isometric stack of coloured cubes

CUBE_COLOURS = {
    "top": (252, 200, 44),
    "left": (70, 190, 84),
    "right": (226, 64, 60),
    "front": (58, 120, 232),
}


def draw_cube_stack(size, a, outline=True):
    """Four unit cubes on a 2 x 2 footprint: three on the ground in front and
    one on top at the back.  a is half the width of one cube's top face."""
    ss = 4 if size > 20 else 6
    r = Raster(size, size, ss)
    h = a
    cx = size / 2.0
    total_h = 4 * a
    top = (size - total_h) / 2.0

    def project(X, Y, Z):
        return (cx + (X - Y) * a, top + a + (X + Y) * a / 2 - Z * h + h)

    cubes = [((0, 1, 0), CUBE_COLOURS["left"]), ((1, 0, 0), CUBE_COLOURS["right"]),
             ((0, 0, 1), CUBE_COLOURS["top"]), ((1, 1, 0), CUBE_COLOURS["front"])]
    ink = (28, 30, 40)
    line = 0.5 if size <= 20 else 0.8 if size <= 36 else 1.0
    for (X, Y, Z), colour in cubes:
        t = project(X, Y, Z + 1)
        rr = project(X + 1, Y, Z + 1)
        f = project(X + 1, Y + 1, Z + 1)
        l = project(X, Y + 1, Z + 1)
        rb = project(X + 1, Y, Z)
        fb = project(X + 1, Y + 1, Z)
        lb = project(X, Y + 1, Z)
        hexagon = [t, rr, rb, fb, lb, l]
        if outline:
            r.poly(hexagon, ink)
            r.polyline(hexagon, line, ink, closed=True)
        top_c = lighten(colour, 0.28)
        r.poly([t, rr, f, l], lambda x, y, c=top_c, t0=t[1]: shade(c, 1.04 - 0.08 * (y - t0) / a))
        r.poly([l, f, fb, lb], shade(colour, 0.92))
        r.poly([f, rr, rb, fb], shade(colour, 0.66))
        if size > 20:
            r.polyline([l, f, rr], line * 0.45, lighten(colour, 0.6))
    return r.resolve()


def program_icons():
    return [draw_cube_stack(16, 4), draw_cube_stack(32, 7.5), draw_cube_stack(48, 11)]


# --------------------------------------------------------------------------
# The default texture atlas: 8 x 8 cells of 16 x 16 texels

ATLAS_TEXTURES = []
ATLAS_INDEX = {}


def texture(name):
    def register(fn):
        ATLAS_INDEX[name] = len(ATLAS_TEXTURES)
        ATLAS_TEXTURES.append((name, fn))
        return fn
    return register


def speckle(c, x, y, seed, amount):
    return shade(c, 1.0 + (hash01(x, y, seed) - 0.5) * amount)


def brick_texture(x, y, seed, dark, light, mortar, bw=8, bh=4):
    row = y // bh
    ly = y % bh
    sx = (x + (row % 2) * (bw // 2)) % 16
    col = sx // bw
    lx = sx % bw
    if ly == bh - 1 or lx == bw - 1:
        return speckle(mortar, x, y, seed + 5, 0.16)
    tone = hash01(col, row, seed)
    c = mix(dark, light, tone)
    c = shade(c, 0.9 + 0.2 * fbm(x, y, seed + 3))
    if ly == 0:
        c = lighten(c, 0.14)
    elif ly == bh - 2:
        c = darken(c, 0.12)
    if lx == 0:
        c = lighten(c, 0.06)
    return speckle(c, x, y, seed + 9, 0.12)


def block_texture(x, y, seed, dark, light, edge, bw=8, bh=8, offset=4):
    row = y // bh
    sx = (x + (row % 2) * offset) % 16
    col = sx // bw
    lx, ly = sx % bw, y % bh
    c = mix(dark, light, 0.3 + 0.7 * fbm(x, y, seed))
    c = shade(c, 0.94 + 0.12 * hash01(col, row, seed + 1))
    if lx == bw - 1 or ly == bh - 1:
        return edge
    if lx == 0 or ly == 0:
        return lighten(c, 0.18)
    if lx == bw - 2 or ly == bh - 2:
        return darken(c, 0.14)
    return speckle(c, x, y, seed + 2, 0.1)


def cobble_texture(x, y, seed, stones, gap, n=3):
    d1, d2, cid = worley(x + 0.5, y + 0.5, n, seed)
    edge = d2 - d1
    if edge < 0.9:
        return speckle(gap, x, y, seed + 1, 0.2)
    c = stones[cid % len(stones)]
    c = shade(c, 0.92 + 0.16 * hash01(cid, 0, seed + 2))
    # light from the top left: shade each stone by how far it is from its rim
    k = min(1.0, (edge - 0.9) / 2.5)
    c = mix(darken(c, 0.25), c, k)
    return speckle(c, x, y, seed + 3, 0.12)


def planks_texture(x, y, seed, dark, light, ph=4):
    row = y // ph
    ly = y % ph
    seam = (row * 7 + 3) % 16
    grain = vnoise(x * 0.5, y * 4, 4, seed + row)
    c = mix(dark, light, 0.25 + 0.6 * grain)
    c = shade(c, 0.92 + 0.12 * hash01(row, 0, seed))
    if ly == ph - 1:
        return darken(c, 0.42)
    if x == seam:
        return darken(c, 0.35)
    if ly == 0:
        c = lighten(c, 0.1)
    if (x * 5 + row * 3) % 11 == 0 and ly == 1:
        c = darken(c, 0.2)  # nail holes and knots
    return c


ORE_SHAPES = (
    [".##.", "####", ".##."],
    ["##..", "###.", ".###"],
    [".#..", "###.", "####", ".##."],
    ["###", "###"],
    [".##.", "####", ".#.."],
    ["##.", "###", ".##"],
)
_ORE_MAPS = {}


def ore_map(seed):
    """Which texels of a cell are ore: a few clusters placed round the cell."""
    m = _ORE_MAPS.get(seed)
    if m is None:
        m = {}
        spots = ((1, 2), (8, 1), (3, 8), (11, 7), (7, 12), (13, 13))
        for i, (sx, sy) in enumerate(spots):
            if hash01(i, 0, seed) < 0.25:
                continue
            shape = ORE_SHAPES[int(hash01(i, 1, seed) * len(ORE_SHAPES))]
            ox = sx + int(hash01(i, 2, seed) * 3)
            oy = sy + int(hash01(i, 3, seed) * 2)
            for gy, line in enumerate(shape):
                for gx, ch in enumerate(line):
                    if ch == "#":
                        m[((ox + gx) % 16, (oy + gy) % 16)] = True
        _ORE_MAPS[seed] = m
    return m


def ore_texture(x, y, seed, ore, ore_light, ore_dark):
    m = ore_map(seed)
    if (x, y) in m:
        up = ((x - 1) % 16, y) in m and (x, (y - 1) % 16) in m
        down = ((x + 1) % 16, y) in m and (x, (y + 1) % 16) in m
        if not up:
            return ore_light
        if not down:
            return ore_dark
        return ore
    base = stone_texture(x, y, 300)
    if ((x - 1) % 16, (y - 1) % 16) in m:
        return darken(base, 0.3)  # shade below right of each cluster
    return base


def stone_texture(x, y, seed):
    n = fbm(x, y, seed, ((4, 0.5), (8, 0.35), (16, 0.15)))
    c = ramp(n, [(0.25, (96, 96, 100)), (0.55, (132, 132, 136)), (0.8, (158, 158, 162))])
    return speckle(c, x, y, seed + 1, 0.1)


def cloth_texture(x, y, seed, colour):
    """Basket weave: 2 x 2 patches of threads running alternately across and
    down, each thread lit on its upper or left side."""
    across = ((x // 2) + (y // 2)) % 2 == 0
    lit = (y % 2 == 0) if across else (x % 2 == 0)
    n = fbm(x, y, seed, ((4, 0.6), (8, 0.4)))
    c = shade(colour, (1.03 if lit else 0.89) + 0.12 * (n - 0.5))
    return speckle(c, x, y, seed + 1, 0.05)


def grass_top(x, y):
    n = fbm(x, y, 40)
    c = ramp(n, [(0.3, (62, 130, 40)), (0.5, (88, 160, 52)), (0.75, (118, 186, 70))])
    h = hash01(x, y, 41)
    if h < 0.12:
        c = lighten(c, 0.2)
    elif h > 0.9:
        c = darken(c, 0.18)
    return c


def dirt(x, y):
    n = fbm(x, y, 50)
    c = ramp(n, [(0.3, (104, 72, 46)), (0.55, (134, 96, 62)), (0.8, (156, 116, 78))])
    h = hash01(x, y, 51)
    if h < 0.05:
        return mix(c, (176, 160, 140), 0.6)
    if h > 0.92:
        return darken(c, 0.2)
    return speckle(c, x, y, 52, 0.08)


# -- row 0: masonry
@texture("red bricks")
def _(x, y):
    return brick_texture(x, y, 1, (150, 50, 38), (190, 78, 56), (196, 188, 176))


@texture("brown bricks")
def _(x, y):
    return brick_texture(x, y, 2, (92, 54, 44), (128, 76, 58), (150, 142, 132))


@texture("sand bricks")
def _(x, y):
    return brick_texture(x, y, 3, (196, 166, 104), (226, 200, 140), (246, 236, 212))


@texture("stone bricks")
def _(x, y):
    return block_texture(x, y, 4, (112, 112, 116), (152, 152, 156), (70, 70, 74))


@texture("mossy stone bricks")
def _(x, y):
    c = block_texture(x, y, 4, (112, 112, 116), (152, 152, 156), (70, 70, 74))
    m = fbm(x, y, 8, ((2, 0.6), (4, 0.25), (8, 0.15)))
    if m > 0.56:
        return mix(c, speckle((74, 120, 50), x, y, 9, 0.25), min(1.0, (m - 0.56) * 8))
    return c


@texture("cobblestone")
def _(x, y):
    return cobble_texture(x, y, 6, [(128, 128, 130), (150, 150, 150), (112, 112, 118),
                                    (140, 136, 130)], (66, 66, 70))


@texture("mossy cobblestone")
def _(x, y):
    c = cobble_texture(x, y, 6, [(128, 128, 130), (150, 150, 150), (112, 112, 118),
                                 (140, 136, 130)], (58, 78, 50))
    m = fbm(x, y, 12, ((2, 0.6), (4, 0.25), (8, 0.15)))
    if m > 0.55:
        return mix(c, speckle((80, 128, 54), x, y, 13, 0.3), min(1.0, (m - 0.55) * 7))
    return c


@texture("granite")
def _(x, y):
    n = fbm(x, y, 14, ((4, 0.5), (8, 0.3), (16, 0.2)))
    c = ramp(n, [(0.3, (150, 108, 96)), (0.55, (172, 128, 112)), (0.75, (192, 150, 134))])
    h = hash01(x, y, 15)
    if h < 0.07:
        return mix(c, (236, 222, 214), 0.6)
    if h > 0.94:
        return mix(c, (60, 46, 48), 0.6)
    return speckle(c, x, y, 16, 0.08)


# -- row 1: wood
@texture("oak planks")
def _(x, y):
    return planks_texture(x, y, 16, (140, 100, 56), (184, 140, 86))


@texture("dark planks")
def _(x, y):
    return planks_texture(x, y, 17, (76, 52, 32), (108, 76, 46))


@texture("birch planks")
def _(x, y):
    return planks_texture(x, y, 18, (196, 176, 122), (226, 210, 158))


@texture("red planks")
def _(x, y):
    return planks_texture(x, y, 19, (128, 52, 38), (168, 80, 56))


@texture("bark")
def _(x, y):
    n = vnoise(x * 2, y * 0.35, 8, 20) * 0.7 + vnoise(x, y, 16, 21) * 0.3
    c = ramp(n, [(0.2, (54, 38, 24)), (0.5, (92, 66, 40)), (0.8, (118, 88, 56))])
    return speckle(c, x, y, 22, 0.1)


@texture("birch bark")
def _(x, y):
    c = speckle((226, 226, 218), x, y, 23, 0.08)
    band = int(hash01(y, 0, 24) * 16)
    length = 2 + int(hash01(y, 1, 24) * 4)
    if hash01(y, 2, 24) < 0.45 and (x - band) % 16 < length:
        return (52, 50, 48)
    return c


@texture("log end")
def _(x, y):
    dx, dy = x - 7.5, y - 7.5
    d = math.hypot(dx, dy) + (vnoise(x, y, 4, 26) - 0.5) * 0.9
    if d > 7.6:
        return speckle((78, 56, 34), x, y, 25, 0.18)  # bark
    if d > 6.9:
        return (122, 88, 52)
    ring = d % 2.2
    c = (206, 168, 108) if ring < 1.3 else (170, 128, 76)
    if d < 1.0:
        c = (150, 110, 64)
    return speckle(c, x, y, 27, 0.06)


@texture("crate")
def _(x, y):
    frame = x in (0, 1, 14, 15) or y in (0, 1, 14, 15)
    brace = abs(x - y) <= 1 and not frame
    c = planks_texture(x, y, 28, (150, 110, 60), (190, 148, 90), ph=5)
    if frame or brace:
        c = mix((170, 126, 70), (204, 160, 100), vnoise(x, y, 8, 29))
        if x in (0, 15) or y in (0, 15):
            c = darken(c, 0.45)
        elif brace and abs(x - y) == 1:
            c = darken(c, 0.18)
    if (x, y) in ((1, 1), (14, 1), (1, 14), (14, 14)):
        return (90, 90, 96)
    return c


# -- row 2: earth
@texture("grass top")
def _(x, y):
    return grass_top(x, y)


@texture("grass side")
def _(x, y):
    edge = 3 + int(vnoise(x, 0, 8, 30) * 3.5)
    if y < edge:
        return grass_top(x, y)
    if y == edge:
        return darken(grass_top(x, y), 0.2)
    return dirt(x, y)


@texture("dirt")
def _(x, y):
    return dirt(x, y)


@texture("sand")
def _(x, y):
    n = fbm(x, y, 31)
    c = ramp(n, [(0.3, (206, 186, 130)), (0.7, (232, 214, 160))])
    return speckle(c, x, y, 32, 0.12)


@texture("gravel")
def _(x, y):
    return cobble_texture(x, y, 33, [(130, 124, 120), (100, 96, 94), (156, 146, 136),
                                     (118, 110, 100), (90, 88, 90)], (70, 64, 60), n=5)


@texture("clay")
def _(x, y):
    n = fbm(x, y, 34)
    band = 0.5 + 0.5 * math.sin((y + vnoise(x, y, 4, 35) * 3) * math.pi / 4)
    c = mix((150, 82, 52), (200, 124, 84), 0.5 * n + 0.5 * band)
    if hash01(x, y, 37) < 0.04:
        return (214, 170, 130)
    return speckle(c, x, y, 36, 0.1)


@texture("snow")
def _(x, y):
    n = fbm(x, y, 37)
    c = mix((222, 232, 244), (250, 252, 255), n)
    if hash01(x, y, 38) < 0.05:
        return (255, 255, 255)
    return c


@texture("ice")
def _(x, y):
    n = fbm(x, y, 39, ((2, 0.6), (4, 0.4)))
    c = mix((140, 186, 236), (186, 218, 250), n)
    d1, d2, _ = worley(x + 0.5, y + 0.5, 2, 40)
    if d2 - d1 < 0.7:
        return (226, 240, 255)  # cracks
    if (x + y) % 16 in (3, 4) and x < 9:
        return lighten(c, 0.35)
    return c


# -- row 3: liquids and plants
@texture("water")
def _(x, y):
    w = math.sin((x + 2 * math.sin(y * math.pi / 8)) * math.pi / 4) * 0.5 + 0.5
    n = fbm(x, y, 42, ((2, 0.5), (4, 0.5)))
    c = mix((36, 92, 196), (66, 132, 226), 0.5 * n + 0.5 * w)
    if w > 0.92 and (y % 4) == 1:
        return (150, 196, 250)
    return c


@texture("deep water")
def _(x, y):
    w = math.sin((y + 2 * math.sin(x * math.pi / 8)) * math.pi / 4) * 0.5 + 0.5
    n = fbm(x, y, 43, ((2, 0.5), (4, 0.5)))
    c = mix((18, 44, 112), (34, 74, 156), 0.5 * n + 0.5 * w)
    if w > 0.95 and (x % 4) == 2:
        return (86, 130, 204)
    return c


@texture("lava")
def _(x, y):
    n = fbm(x, y, 44, ((2, 0.45), (4, 0.35), (8, 0.2)))
    v = 1.0 - abs(n - 0.5) * 4  # bright veins where the noise crosses its middle
    return ramp(max(0.0, v), [(0.0, (120, 20, 8)), (0.4, (206, 60, 12)), (0.75, (250, 150, 30)),
                              (1.0, (255, 236, 120))])


def leaves(x, y, seed, dark, mid, light):
    d1, d2, cid = worley(x + 0.5, y + 0.5, 4, seed)
    h = hash01(x, y, seed + 1)
    if d1 > 2.6 and h < 0.5:
        return darken(dark, 0.35)  # gaps between the leaf clusters
    c = mix(mid, light, hash01(cid, 0, seed + 2) * 0.7)
    if d1 < 1.0:
        c = lighten(c, 0.15)
    elif d1 > 2.0:
        c = mix(c, dark, 0.6)
    return speckle(c, x, y, seed + 3, 0.14)


@texture("leaves")
def _(x, y):
    return leaves(x, y, 45, (30, 80, 26), (54, 128, 40), (96, 170, 60))


@texture("autumn leaves")
def _(x, y):
    return leaves(x, y, 46, (110, 40, 14), (200, 96, 26), (240, 170, 50))


@texture("moss")
def _(x, y):
    n = fbm(x, y, 47, ((4, 0.5), (8, 0.3), (16, 0.2)))
    c = ramp(n, [(0.3, (56, 90, 34)), (0.6, (90, 130, 50)), (0.8, (128, 160, 72))])
    return speckle(c, x, y, 48, 0.12)


@texture("flower meadow")
def _(x, y):
    flowers = ((3, 3, (250, 250, 250)), (11, 2, (250, 210, 40)), (7, 9, (236, 60, 80)),
               (13, 12, (170, 110, 240)), (2, 13, (250, 210, 40)))
    for fx, fy, colour in flowers:
        dx, dy = x - fx, y - fy
        if (dx, dy) == (0, 0):
            return (250, 180, 30) if colour != (250, 210, 40) else (200, 120, 20)
        if abs(dx) + abs(dy) == 1:
            return colour
    return grass_top(x + 5, y + 3)


@texture("hay")
def _(x, y):
    if x in (4, 12):
        return (150, 72, 44) if y % 2 else (118, 52, 32)  # the twine
    if x in (3, 5, 11, 13):
        shadow = 0.18
    else:
        shadow = 0.0
    start = int(hash01(y, 0, 49) * 16)
    straw = ((x - start) % 16) // (3 + int(hash01(y, 1, 49) * 5))
    tone = hash01(y, straw, 50)
    c = mix((170, 122, 36), (248, 218, 110), tone)
    if hash01(x, y, 51) < 0.08:
        c = darken(c, 0.2)
    return darken(c, shadow)


# -- row 4: metal
def plate(x, y, seed, dark, light):
    streak = vnoise(x * 0.2, y * 3, 16, seed)
    c = mix(dark, light, 0.35 + 0.4 * streak + 0.25 * (1 - (x + y) / 30.0))
    if x == 0 or y == 0:
        return lighten(c, 0.3)
    if x == 15 or y == 15:
        return darken(c, 0.35)
    return c


@texture("steel plate")
def _(x, y):
    return plate(x, y, 51, (126, 132, 142), (186, 192, 202))


@texture("riveted plate")
def _(x, y):
    c = plate(x, y, 52, (110, 118, 128), (168, 176, 188))
    for rx, ry in ((3, 3), (12, 3), (3, 12), (12, 12)):
        if (x, y) == (rx, ry):
            return (226, 230, 236)
        if (x, y) in ((rx + 1, ry), (rx, ry + 1), (rx + 1, ry + 1)):
            return (88, 94, 104) if (x, y) == (rx + 1, ry + 1) else (150, 158, 170)
    return c


@texture("tread plate")
def _(x, y):
    c = plate(x, y, 53, (118, 122, 130), (160, 166, 176))
    lx, ly = x % 8, y % 8
    # two raised diagonal dashes per 8 x 8 block, crossing ways
    if ly < 4 and lx < 4 and lx + ly == 3:
        return (210, 214, 222)
    if ly < 4 and lx < 4 and lx + ly == 4:
        return (84, 88, 96)
    if ly >= 4 and lx >= 4 and lx - ly == 0:
        return (210, 214, 222)
    if ly >= 4 and lx >= 4 and lx - ly == 1:
        return (84, 88, 96)
    return c


@texture("gold block")
def _(x, y):
    c = plate(x, y, 54, (206, 150, 30), (255, 222, 90))
    if (x - y) % 16 in (6, 7) and 2 < x < 14:
        return lighten(c, 0.45)
    return c


@texture("copper")
def _(x, y):
    c = plate(x, y, 55, (160, 80, 46), (214, 128, 80))
    n = fbm(x, y, 56, ((4, 0.6), (8, 0.4)))
    if n > 0.64:
        return mix(c, (86, 170, 146), min(1.0, (n - 0.64) * 6))  # patina
    return c


@texture("rusty iron")
def _(x, y):
    c = plate(x, y, 57, (96, 100, 108), (140, 144, 150))
    n = fbm(x, y, 58)
    if n > 0.48:
        rust = ramp(hash01(x, y, 59), [(0.0, (120, 56, 24)), (1.0, (176, 92, 40))])
        return mix(c, rust, min(1.0, (n - 0.48) * 5))
    return c


@texture("grate")
def _(x, y):
    lx, ly = x % 4, y % 4
    if lx == 3 or ly == 3:
        return (64, 68, 76) if (lx == 3 and ly == 3) else (150, 156, 166)
    if lx == 0 or ly == 0:
        return (38, 40, 46)
    return (22, 24, 28)


@texture("hazard stripes")
def _(x, y):
    if (x + y) % 8 < 4:
        return speckle((250, 196, 20), x, y, 60, 0.08)
    return speckle((40, 40, 44), x, y, 61, 0.1)


# -- row 5: glass, stone finishes, tiles and roofs
@texture("glass")
def _(x, y):
    if x in (0, 15) or y in (0, 15):
        return (170, 196, 206) if x == 0 or y == 0 else (110, 136, 150)
    c = (206, 232, 240)
    d = (x + y) % 16
    if d in (6, 7) and x < 10 or d == 10 and x < 11:
        return (250, 254, 255)
    return c


@texture("blue glass")
def _(x, y):
    if x in (0, 15) or y in (0, 15) or x == 8 or y == 8:
        return (54, 58, 70)  # lead came
    tone = hash01(x // 8, y // 8, 62)
    c = mix((40, 90, 200), (90, 150, 240), tone)
    if (x + y) % 8 == 3 and (x % 8) < 4:
        return lighten(c, 0.4)
    return c


def marble(x, y, seed, base, vein):
    n = fbm(x, y, seed, ((2, 0.5), (4, 0.3), (8, 0.2)))
    v = abs(math.sin((x + y) * math.pi / 8 + n * 6.0))
    c = speckle(base, x, y, seed + 1, 0.05)
    if v < 0.22:
        return mix(vein, c, (v / 0.22) ** 1.5)
    return c


@texture("white marble")
def _(x, y):
    return marble(x, y, 63, (236, 234, 230), (150, 150, 156))


@texture("black marble")
def _(x, y):
    return marble(x, y, 64, (40, 40, 46), (200, 200, 206))


@texture("floor tiles")
def _(x, y):
    if x % 8 == 7 or y % 8 == 7:
        return (150, 150, 146)
    c = speckle((236, 234, 226), x, y, 65, 0.05)
    if x % 8 == 0 or y % 8 == 0:
        return (252, 252, 248)
    return c


@texture("checker tiles")
def _(x, y):
    dark = ((x // 8) + (y // 8)) % 2
    c = (44, 44, 50) if dark else (232, 230, 222)
    if x % 8 == 0 or y % 8 == 0:
        c = lighten(c, 0.12)
    if x % 8 == 7 or y % 8 == 7:
        c = darken(c, 0.15)
    return speckle(c, x, y, 66, 0.05)


def roof(x, y, seed, dark, light):
    """Scalloped tiles, 8 wide and 8 tall, each row overlapping the row below."""
    for row in (y // 8 - 1, y // 8):
        sx = (x + (row % 2) * 4) % 16
        lx = sx % 8 - 3.5
        ly = y - row * 8
        bottom = 8 + 2.6 * math.sqrt(max(0.0, 1 - (lx / 4.0) ** 2))
        if ly < bottom:
            break
    c = mix(dark, light, 0.3 + 0.5 * hash01(sx // 8, row % 2, seed))
    t = ly / bottom
    c = shade(c, 0.62 + 0.5 * t)
    if bottom - ly <= 1.0:
        c = darken(c, 0.5)    # the rim, in the shadow it casts
    elif bottom - ly <= 2.0:
        c = lighten(c, 0.22)
    elif abs(lx) > 3.2:
        c = darken(c, 0.2)    # the joint between two tiles of a row
    return speckle(c, x, y, seed + 1, 0.06)


@texture("red roof tiles")
def _(x, y):
    return roof(x, y, 67, (150, 46, 30), (206, 84, 52))


@texture("slate roof")
def _(x, y):
    row = y // 4
    sx = (x + (row % 2) * 3) % 16
    c = mix((66, 76, 96), (100, 112, 134), hash01(sx // 5, row, 68))
    if y % 4 == 3:
        return (38, 42, 54)
    if sx % 5 == 4:
        return darken(c, 0.3)
    if y % 4 == 0:
        c = lighten(c, 0.12)
    return speckle(c, x, y, 69, 0.08)


# -- row 6: ores and crystals
@texture("coal ore")
def _(x, y):
    return ore_texture(x, y, 70, (40, 40, 44), (78, 78, 84), (24, 24, 28))


@texture("iron ore")
def _(x, y):
    return ore_texture(x, y, 71, (206, 160, 130), (236, 204, 176), (150, 108, 84))


@texture("gold ore")
def _(x, y):
    return ore_texture(x, y, 72, (246, 200, 40), (255, 244, 150), (180, 130, 20))


@texture("diamond ore")
def _(x, y):
    return ore_texture(x, y, 73, (80, 220, 220), (200, 255, 250), (30, 150, 160))


@texture("ruby ore")
def _(x, y):
    return ore_texture(x, y, 74, (220, 30, 50), (255, 130, 140), (140, 10, 30))


@texture("emerald ore")
def _(x, y):
    return ore_texture(x, y, 75, (40, 200, 90), (150, 255, 170), (10, 130, 50))


@texture("sapphire ore")
def _(x, y):
    return ore_texture(x, y, 76, (40, 80, 220), (130, 170, 255), (20, 40, 150))


@texture("amethyst")
def _(x, y):
    d1, d2, cid = worley(x + 0.5, y + 0.5, 3, 77)
    c = mix((110, 60, 170), (190, 140, 240), hash01(cid, 3, 78))
    if d2 - d1 < 0.7:
        return (70, 36, 110)
    # scattered bright facets
    if hash01(x // 2, y // 2, 79 + cid) < 0.25:
        c = lighten(c, 0.25)
    return speckle(c, x, y, 80, 0.06)


# -- row 7: cloth, sandstone, obsidian, concrete
@texture("white cloth")
def _(x, y):
    return cloth_texture(x, y, 81, (236, 236, 232))


@texture("red cloth")
def _(x, y):
    return cloth_texture(x, y, 82, (200, 44, 44))


@texture("yellow cloth")
def _(x, y):
    return cloth_texture(x, y, 83, (240, 200, 40))


@texture("green cloth")
def _(x, y):
    return cloth_texture(x, y, 84, (60, 160, 60))


@texture("blue cloth")
def _(x, y):
    return cloth_texture(x, y, 85, (50, 90, 200))


@texture("sandstone")
def _(x, y):
    layer = (y + int(vnoise(x, 0, 4, 86) * 2)) % 16
    tone = 0.5 + 0.5 * math.sin(layer * math.pi / 4)
    c = mix((210, 180, 120), (232, 208, 150), tone)
    if layer in (5, 13):
        c = darken(c, 0.12)
    return speckle(c, x, y, 87, 0.08)


@texture("obsidian")
def _(x, y):
    n = fbm(x, y, 88)
    c = mix((20, 14, 30), (52, 34, 74), n)
    if hash01(x, y, 89) < 0.05:
        return (120, 90, 170)
    return c


@texture("concrete")
def _(x, y):
    n = fbm(x, y, 90, ((4, 0.5), (8, 0.5)))
    c = mix((150, 150, 146), (172, 172, 168), n)
    h = hash01(x, y, 91)
    if h < 0.04:
        return (120, 120, 118)
    if h > 0.97:
        return (196, 196, 192)
    return c


def draw_atlas():
    assert len(ATLAS_TEXTURES) == 64, len(ATLAS_TEXTURES)
    img = Image(128, 128, (0, 0, 0))
    for i, (_name, fn) in enumerate(ATLAS_TEXTURES):
        cx, cy = (i % 8) * 16, (i // 8) * 16
        for y in range(16):
            for x in range(16):
                img.put(cx + x, cy + y, fn(x, y)[:3])
    return img


# --------------------------------------------------------------------------
# The default palette: a grey ramp, then seven hues from pale to deep

PALETTE_HUES = (0, 28, 52, 120, 180, 218, 285)


def palette_colours():
    colours = []
    for i in range(8):
        v = round(255 * (7 - i) / 7)
        colours.append((v, v, v))
    for hue in PALETTE_HUES:
        for l in (0.88, 0.78, 0.66, 0.55, 0.45, 0.36, 0.27, 0.18):
            colours.append(hsl(hue, 0.80 if l > 0.3 else 0.6, l))
    return colours


def palette_text():
    values = [0xFF000000 | (r << 16) | (g << 8) | b for (r, g, b) in palette_colours()]
    lines = ["BlokkenveldPalette\n"]
    for row in range(8):
        lines.append(" ".join("%x" % v for v in values[row * 8:row * 8 + 8]) + "\n")
    return "".join(lines)


# --------------------------------------------------------------------------

def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: draw_artwork.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    atlas = draw_atlas()
    icons = program_icons()
    files = {name: bmp24_bytes(draw_panel(atlas, words)) for name, words in PANEL_FILES.items()}
    files.update({
        "tex.bmp": bmp24_bytes(atlas),
        "icon104.ico": ico_bytes(icons),
        "icon105.ico": ico_bytes(icons),
        "palette.bvp": palette_text().encode("ascii"),
    })
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
