#!/usr/bin/env python3
"""Draws Morvane's icons and bitmaps.

Every picture in this folder is built here from plain geometric shapes, so the
art can be reviewed and adjusted as code.  The script uses only the Python
standard library and writes the same bytes on every run.  Its output is
committed, so building the program never needs Python.

    python3 resources/art/make_art.py            # rewrite the .ico and .bmp files
    python3 resources/art/make_art.py --preview  # also rebuild preview.png (needs ImageMagick)

Files written next to this script:

    app.ico          101  program icon: a page cut into three numbered pieces
    open.ico         102  "open file" / "output folder" button: opening folder and arrow
    pin_off.ico      103  "stay on top" button, off: a pushpin lying tilted
    pin_on.ico       104  "stay on top" button, on: a pushpin pressed in, seen from above
    drelwick.bmp          About box logo of the maker, 100x100, 256 colours
    winapi_mask.bmp       About box "WIN32 API" seal, AND mask (white = see-through)
    winapi.bmp            the seal itself, black where see-through (drawn with OR)

How the shapes are drawn: every shape is a signed distance function (negative
inside, positive outside, never overstating the true distance), which makes
outlines (grow/shrink), unions and cut-outs one-liners.  A pixel far from an
edge is simply inside or outside; a pixel on an edge is sampled 8x8 times for
anti-aliasing.  Colours are blended in premultiplied alpha and only rounded to
8 bits when a file is written.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------
# Palette
# ---------------------------------------------------------------------------

# Dialog faces the About box is shown on (classic and newer Windows)
FACE_CLASSIC = (212, 208, 200)
FACE_MODERN = (240, 240, 240)

# Paper of the program icon
PAPER_TOP = (255, 255, 255)
PAPER_BOTTOM = (226, 233, 243)
PAPER_EDGE = (58, 72, 94)
PAPER_FOLD = (196, 208, 226)
PAPER_LINES = (150, 166, 190)
DROP_SHADOW = (0, 0, 0, 60)

# Number tabs of the three pieces (1, 2, 3)
TAB_BLUE = (44, 110, 214)
TAB_BLUE_DARK = (22, 66, 150)
TAB_GREEN = (46, 160, 74)
TAB_GREEN_DARK = (22, 104, 44)
TAB_ORANGE = (236, 128, 30)
TAB_ORANGE_DARK = (168, 78, 8)
TAB_DIGIT = (255, 255, 255)

# Folder of the "open" button
FOLDER_BACK = (214, 158, 38)
FOLDER_BACK_DARK = (176, 120, 20)
FOLDER_FRONT_LIGHT = (255, 228, 124)
FOLDER_FRONT = (244, 186, 52)
FOLDER_EDGE = (120, 78, 8)
FOLDER_SHEET = (255, 255, 255)
FOLDER_SHEET_EDGE = (150, 150, 150)
ARROW_LIGHT = (98, 206, 98)
ARROW = (36, 150, 56)
ARROW_EDGE = (16, 86, 30)

# Pushpins
PIN_RED_LIGHT = (255, 128, 112)
PIN_RED = (222, 46, 36)
PIN_RED_DARK = (150, 20, 14)
PIN_EDGE = (96, 12, 8)
PIN_STEEL_LIGHT = (236, 240, 244)
PIN_STEEL = (158, 166, 176)
PIN_STEEL_DARK = (90, 98, 110)
PIN_SHADOW = (0, 0, 0, 70)
PIN_SHINE = (255, 255, 255, 210)
PIN_RIM_SHINE = (255, 190, 180, 150)

# Drelwick logo tile
TILE_BORDER = (20, 30, 44)
TILE_TOP = (46, 72, 108)
TILE_BOTTOM = (20, 34, 56)
DISC_CENTRE = (56, 88, 132)
DISC_EDGE = (28, 48, 80)
GOLD_LIGHT = (250, 222, 140)
GOLD = (214, 168, 70)
GOLD_DARK = (150, 108, 36)
CREAM = (250, 243, 226)
CREAM_SHADE = (222, 208, 176)
LOGO_SHADOW = (8, 14, 24)
EMBLEM_SHADOW = (0, 0, 0, 90)
LETTER_SHADOW = (0, 0, 0, 110)

# WIN32 API seal
SEAL_EDGE = (12, 40, 96)
SEAL_PETAL_LIGHT = (88, 148, 236)
SEAL_PETAL = (30, 84, 182)
SEAL_RING = (232, 240, 255)
SEAL_DISC_LIGHT = (54, 118, 226)
SEAL_DISC = (20, 62, 150)
SEAL_TEXT = (255, 255, 255)
SEAL_GOLD = (255, 214, 84)
SEAL_TEXT_SHADOW = (6, 24, 66)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------------------
# Shapes (signed distance functions)
# ---------------------------------------------------------------------------

class Shape:
    """A filled region: dist() < 0 inside, > 0 outside; bounds = (x0, y0, x1, y1)."""

    bounds = (0.0, 0.0, 0.0, 0.0)

    def dist(self, x, y):
        raise NotImplementedError

    def __or__(self, other):
        return Union(self, other)

    def __and__(self, other):
        return Intersect(self, other)

    def __sub__(self, other):
        return Subtract(self, other)

    def grow(self, width):
        """The region widened (or, for a negative width, narrowed) by width pixels."""
        return Grown(self, width)

    def placed(self, angle=0.0, dx=0.0, dy=0.0):
        """The region turned by angle degrees (clockwise on screen) about 0,0, then moved."""
        return Placed(self, angle, dx, dy)


class Box(Shape):
    """Axis-aligned rectangle from (x0, y0) to (x1, y1), corners rounded by r."""

    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.cx, self.cy = (x0 + x1) / 2, (y0 + y1) / 2
        self.hx, self.hy = (x1 - x0) / 2, (y1 - y0) / 2
        self.r = r
        self.bounds = (x0, y0, x1, y1)

    def dist(self, x, y):
        qx = abs(x - self.cx) - self.hx + self.r
        qy = abs(y - self.cy) - self.hy + self.r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - self.r


class Circle(Shape):
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r
        self.bounds = (cx - r, cy - r, cx + r, cy + r)

    def dist(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r


class Ellipse(Shape):
    """Ellipse; the distance is scaled by the shorter radius so it never overstates."""

    def __init__(self, cx, cy, rx, ry):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry
        self.bounds = (cx - rx, cy - ry, cx + rx, cy + ry)

    def dist(self, x, y):
        k = math.hypot((x - self.cx) / self.rx, (y - self.cy) / self.ry)
        return (k - 1.0) * min(self.rx, self.ry)


class Capsule(Shape):
    """Line from (ax, ay) to (bx, by) with round ends, r pixels either side."""

    def __init__(self, ax, ay, bx, by, r):
        self.ax, self.ay, self.bx, self.by, self.r = ax, ay, bx, by, r
        self.bounds = (min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r)

    def dist(self, x, y):
        ex, ey = self.bx - self.ax, self.by - self.ay
        wx, wy = x - self.ax, y - self.ay
        length2 = ex * ex + ey * ey
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, (wx * ex + wy * ey) / length2))
        return math.hypot(wx - ex * t, wy - ey * t) - self.r


class Polygon(Shape):
    """Polygon through the given (x, y) corners (even-odd rule)."""

    def __init__(self, points):
        self.points = [(float(x), float(y)) for x, y in points]
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        self.bounds = (min(xs), min(ys), max(xs), max(ys))

    def dist(self, x, y):
        best = float("inf")
        inside = False
        pts = self.points
        ax, ay = pts[-1]
        for bx, by in pts:
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            length2 = ex * ex + ey * ey
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, (wx * ex + wy * ey) / length2))
            dx, dy = wx - ex * t, wy - ey * t
            best = min(best, dx * dx + dy * dy)
            if (ay > y) != (by > y) and x < ax + (bx - ax) * (y - ay) / (by - ay):
                inside = not inside
            ax, ay = bx, by
        d = math.sqrt(best)
        return -d if inside else d


class Union(Shape):
    def __init__(self, *shapes):
        self.shapes = shapes
        self.bounds = (min(p.bounds[0] for p in shapes), min(p.bounds[1] for p in shapes),
                       max(p.bounds[2] for p in shapes), max(p.bounds[3] for p in shapes))

    def dist(self, x, y):
        return min(p.dist(x, y) for p in self.shapes)


class Intersect(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b
        self.bounds = (max(a.bounds[0], b.bounds[0]), max(a.bounds[1], b.bounds[1]),
                       min(a.bounds[2], b.bounds[2]), min(a.bounds[3], b.bounds[3]))

    def dist(self, x, y):
        return max(self.a.dist(x, y), self.b.dist(x, y))


class Subtract(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b
        self.bounds = a.bounds

    def dist(self, x, y):
        return max(self.a.dist(x, y), -self.b.dist(x, y))


class Grown(Shape):
    def __init__(self, shape, width):
        self.shape, self.width = shape, width
        x0, y0, x1, y1 = shape.bounds
        w = max(width, 0.0)
        self.bounds = (x0 - w, y0 - w, x1 + w, y1 + w)

    def dist(self, x, y):
        return self.shape.dist(x, y) - self.width


class Placed(Shape):
    def __init__(self, shape, angle, dx, dy):
        self.shape = shape
        self.transform = Turn(angle, dx, dy)
        x0, y0, x1, y1 = shape.bounds
        corners = [self.transform.apply(x, y) for x, y in ((x0, y0), (x1, y0), (x0, y1), (x1, y1))]
        self.bounds = (min(c[0] for c in corners), min(c[1] for c in corners),
                       max(c[0] for c in corners), max(c[1] for c in corners))

    def dist(self, x, y):
        return self.shape.dist(*self.transform.undo(x, y))


class Turn:
    """Rotation by angle degrees (clockwise on screen, y down) followed by a move."""

    def __init__(self, angle, dx=0.0, dy=0.0):
        a = math.radians(angle)
        self.c, self.s, self.dx, self.dy = math.cos(a), math.sin(a), dx, dy

    def apply(self, x, y):
        return (x * self.c - y * self.s + self.dx, x * self.s + y * self.c + self.dy)

    def undo(self, x, y):
        x, y = x - self.dx, y - self.dy
        return (x * self.c + y * self.s, -x * self.s + y * self.c)


def arc_points(cx, cy, r, start, end, steps):
    """Points along a circle arc, angles in degrees (0 = right, 90 = down)."""
    out = []
    for i in range(steps + 1):
        a = math.radians(start + (end - start) * i / steps)
        out.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return out


def thick_path(points, r):
    """A line through the points, r pixels either side, with round joins and ends."""
    return Union(*[Capsule(ax, ay, bx, by, r) for (ax, ay), (bx, by) in zip(points, points[1:])])


# ---------------------------------------------------------------------------
# Paints: a colour, or a function of the pixel centre returning a colour
# ---------------------------------------------------------------------------

def mix(c0, c1, t):
    """Colour between c0 (t = 0) and c1 (t = 1); colours are RGB or RGBA tuples."""
    c0 = tuple(c0) + (255,) * (4 - len(c0))
    c1 = tuple(c1) + (255,) * (4 - len(c1))
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def linear(x0, y0, c0, x1, y1, c1):
    """Gradient from c0 at (x0, y0) to c1 at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def paint(x, y):
        return mix(c0, c1, ((x - x0) * dx + (y - y0) * dy) / length2)
    return paint


def radial(cx, cy, r, c0, c1):
    """Gradient from c0 at (cx, cy) to c1 at distance r and beyond."""
    def paint(x, y):
        return mix(c0, c1, math.hypot(x - cx, y - cy) / r)
    return paint


def banded(x0, y0, x1, y1, stops):
    """Gradient along the line (x0, y0)-(x1, y1) through several (t, colour) stops."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def paint(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / length2
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t <= t1:
                return mix(c0, c1, (t - t0) / (t1 - t0))  # mix() holds c0 before t0
        return mix(stops[-1][1], stops[-1][1], 1.0)
    return paint


# ---------------------------------------------------------------------------
# Canvas
# ---------------------------------------------------------------------------

SAMPLES = 8          # sub-samples per axis on edge pixels
EDGE_ZONE = 0.75     # a pixel centre further than this from an edge is fully in or out


class Canvas:
    """Pixels to paint shapes on.  The shapes are given in the picture's own units, which a
    scale of 1 makes pixels; a scale of 1.5 draws the same picture half as large again."""

    def __init__(self, width, height, background=None, scale=1.0):
        self.width, self.height, self.scale = width, height, scale
        # premultiplied r, g, b, a in 0..1
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]
        if background is not None:
            self.fill(Box(0, 0, width, height), background)

    def blend(self, x, y, colour, amount=1.0):
        """Lays colour (RGB or RGBA, 0..255) over pixel x, y with the given coverage."""
        r, g, b, a = tuple(colour) + (255,) * (4 - len(colour))
        a = a / 255.0 * amount
        if a <= 0:
            return
        p = self.px[y * self.width + x]
        keep = 1.0 - a
        p[0] = r / 255.0 * a + p[0] * keep
        p[1] = g / 255.0 * a + p[1] * keep
        p[2] = b / 255.0 * a + p[2] * keep
        p[3] = a + p[3] * keep

    def coverage(self, shape, x, y):
        k = self.scale
        d = shape.dist((x + 0.5) / k, (y + 0.5) / k) * k
        if d >= EDGE_ZONE:
            return 0.0
        if d <= -EDGE_ZONE:
            return 1.0
        hits = 0
        for j in range(SAMPLES):
            sy = (y + (j + 0.5) / SAMPLES) / k
            for i in range(SAMPLES):
                if shape.dist((x + (i + 0.5) / SAMPLES) / k, sy) < 0:
                    hits += 1
        return hits / (SAMPLES * SAMPLES)

    def fill(self, shape, paint, hard=False):
        """Paints the shape.  hard=True: no anti-aliasing, a pixel is in if its centre is."""
        k = self.scale
        x0, y0, x1, y1 = shape.bounds
        for y in range(max(0, int(math.floor(y0 * k)) - 1), min(self.height, int(math.ceil(y1 * k)) + 1)):
            for x in range(max(0, int(math.floor(x0 * k)) - 1), min(self.width, int(math.ceil(x1 * k)) + 1)):
                if hard:
                    cover = 1.0 if shape.dist((x + 0.5) / k, (y + 0.5) / k) <= 0 else 0.0
                else:
                    cover = self.coverage(shape, x, y)
                if cover > 0:
                    colour = paint((x + 0.5) / k, (y + 0.5) / k) if callable(paint) else paint
                    self.blend(x, y, colour, cover)

    def outlined(self, shape, edge, paint, width=1.0):
        """Paints the shape with an edge colour, then its inside (width pixels in) with paint."""
        self.fill(shape, edge)
        self.fill(shape.grow(-width), paint)

    def text(self, x, y, string, font, colour, spacing=1):
        """Writes string with a pixel font, top-left corner at pixel x, y; no smoothing."""
        for ch in string:
            rows = font[ch]
            for j, row in enumerate(rows):
                for i, bit in enumerate(row):
                    if bit != "#":
                        continue
                    if self.scale != 1.0:  # a font pixel becomes a square of the scale
                        self.fill(Box(x + i, y + j, x + i + 1, y + j + 1), colour)
                    elif 0 <= x + i < self.width and 0 <= y + j < self.height:
                        self.blend(x + i, y + j, colour)
            x += len(rows[0]) + spacing

    def rgba(self):
        """Rows top to bottom of (r, g, b, a) bytes, straight (not premultiplied) alpha."""
        out = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                r, g, b, a = self.px[y * self.width + x]
                a8 = int(round(a * 255))
                if a8 == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((int(round(min(1.0, r / a) * 255)), int(round(min(1.0, g / a) * 255)),
                                int(round(min(1.0, b / a) * 255)), a8))
            out.append(row)
        return out

    def rgb(self):
        """Rows of (r, g, b) bytes; the canvas must be opaque."""
        return [[p[:3] for p in row] for row in self.rgba()]


def text_width(string, font, spacing=1):
    return sum(len(font[ch][0]) for ch in string) + spacing * (len(string) - 1)


# ---------------------------------------------------------------------------
# Pixel fonts
# ---------------------------------------------------------------------------

# 3x5 digits for the number tabs of the program icon
DIGITS_3X5 = {
    "1": [".#.",
          "##.",
          ".#.",
          ".#.",
          "###"],
    "2": ["##.",
          "..#",
          ".#.",
          "#..",
          "###"],
    "3": ["##.",
          "..#",
          ".#.",
          "..#",
          "##."],
}

# Light capitals and digits, 7 rows high, for the seal's top line
FONT_LIGHT = {
    "W": ["#...#",
          "#...#",
          "#...#",
          "#.#.#",
          "#.#.#",
          "##.##",
          "#...#"],
    "I": ["###",
          ".#.",
          ".#.",
          ".#.",
          ".#.",
          ".#.",
          "###"],
    "N": ["#...#",
          "##..#",
          "##..#",
          "#.#.#",
          "#..##",
          "#..##",
          "#...#"],
    "3": ["###.",
          "...#",
          "...#",
          ".##.",
          "...#",
          "...#",
          "###."],
    "2": [".##.",
          "#..#",
          "...#",
          "..#.",
          ".#..",
          "#...",
          "####"],
}

# Bold capitals, two-pixel strokes, 9 rows high: the maker's name and "API"
FONT_BOLD = {
    "A": ["..###..",
          ".##.##.",
          "##...##",
          "##...##",
          "##...##",
          "#######",
          "##...##",
          "##...##",
          "##...##"],
    "C": [".#####.",
          "##...##",
          "##.....",
          "##.....",
          "##.....",
          "##.....",
          "##.....",
          "##...##",
          ".#####."],
    "D": ["#####..",
          "##..##.",
          "##...##",
          "##...##",
          "##...##",
          "##...##",
          "##...##",
          "##..##.",
          "#####.."],
    "E": ["######",
          "##....",
          "##....",
          "##....",
          "#####.",
          "##....",
          "##....",
          "##....",
          "######"],
    "I": ["######",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "..##..",
          "######"],
    "K": ["##...##",
          "##..##.",
          "##.##..",
          "####...",
          "###....",
          "####...",
          "##.##..",
          "##..##.",
          "##...##"],
    "L": ["##....",
          "##....",
          "##....",
          "##....",
          "##....",
          "##....",
          "##....",
          "##....",
          "######"],
    "P": ["######.",
          "##...##",
          "##...##",
          "##...##",
          "######.",
          "##.....",
          "##.....",
          "##.....",
          "##....."],
    "R": ["######.",
          "##...##",
          "##...##",
          "##...##",
          "######.",
          "##.##..",
          "##..##.",
          "##...##",
          "##...##"],
    "W": ["##.....##",
          "##.....##",
          "##.....##",
          "##..#..##",
          "##.###.##",
          "##.###.##",
          "#########",
          "###...###",
          "##.....##"],
}


# ---------------------------------------------------------------------------
# The pictures
# ---------------------------------------------------------------------------

def draw_app_icon(size=32):
    """Program icon: a page cut into three numbered pieces drifting apart."""
    c = Canvas(size, size, scale=size / 32)
    # (left, top, bottom, tab colour, tab edge, number) of each piece, top to bottom;
    # each piece sits a little further right, as if slid off the one above
    pieces = [
        (1, 0, 9, TAB_BLUE, TAB_BLUE_DARK, "1"),
        (4, 11, 20, TAB_GREEN, TAB_GREEN_DARK, "2"),
        (7, 22, 31, TAB_ORANGE, TAB_ORANGE_DARK, "3"),
    ]
    width = 22
    fold = 6  # size of the dog-ear on the first piece
    for n, (left, top, bottom, tab, tab_edge, number) in enumerate(pieces):
        right = left + width
        if n == 0:
            # first piece carries the page's folded top-right corner
            sheet = Polygon([(left, top), (right - fold, top), (right, top + fold),
                             (right, bottom), (left, bottom)])
        else:
            sheet = Box(left, top, right, bottom)
        # soft shadow one pixel down and right
        c.fill(sheet.placed(0, 1, 1), DROP_SHADOW)
        # the sheet: dark edge, paper inside with a faint top-to-bottom shade
        c.outlined(sheet, PAPER_EDGE, linear(0, top, PAPER_TOP, 0, bottom, PAPER_BOTTOM))
        if n == 0:
            # the dog-ear: a folded-over triangle with its own edge
            ear = Polygon([(right - fold, top), (right - fold, top + fold), (right, top + fold)])
            c.fill(ear, PAPER_EDGE)
            c.fill(Polygon([(right - fold + 1, top + 2.4), (right - fold + 1, top + fold - 1),
                            (right - 2.4, top + fold - 1)]), PAPER_FOLD)
        # number tab filling the left end of the piece: colour, a dark divider, white digit
        c.fill(Box(left + 1, top + 1, left + 8, bottom - 1),
               linear(0, top + 1, mix(tab, WHITE, 0.25), 0, bottom - 1, tab))
        c.fill(Box(left + 8, top + 1, left + 9, bottom - 1), tab_edge)
        c.text(left + 3, top + 2, number, DIGITS_3X5, TAB_DIGIT)
        # two lines of "text" on the piece
        line_end = right - (fold + 1 if n == 0 else 3)
        c.fill(Box(left + 11, top + 3, line_end, top + 4), PAPER_LINES)
        c.fill(Box(left + 11, top + 5, right - 3, top + 6), PAPER_LINES)
    return c


def draw_open_icon(size=32):
    """Open button: a yellow folder opening towards the viewer, a green arrow rising out.

    The button shows only the middle of the icon, so everything stays within
    pixels 8..23 (outlines may touch 7 and 24).
    """
    c = Canvas(size, size, scale=size / 32)
    # back wall of the folder, with its tab at the top left
    back = Polygon([(8, 11), (12.5, 11), (14, 12.5), (20.5, 12.5), (20.5, 24), (8, 24)])
    c.outlined(back, FOLDER_EDGE, linear(0, 11, FOLDER_BACK, 0, 24, FOLDER_BACK_DARK))
    # the arrow: a quarter circle rising from inside the folder, head pointing right
    shaft = thick_path(arc_points(19, 18.5, 7, 185, 268, 16), 1.0)
    head = Polygon([(18.4, 8.4), (22.8, 11.5), (18.4, 14.6)])
    arrow = shaft | head
    c.fill(arrow.grow(1), ARROW_EDGE)
    c.fill(arrow, linear(0, 8, ARROW_LIGHT, 0, 17, ARROW))
    # front flap, tilted forward: the folder is open
    flap = Polygon([(10.5, 16.5), (24, 16.5), (21.5, 24), (8, 24)])
    c.outlined(flap, FOLDER_EDGE, linear(0, 16.5, FOLDER_FRONT_LIGHT, 0, 24, FOLDER_FRONT))
    return c


def pin_shapes():
    """Pushpin standing upright, point down, centred on 0,0 (used by the tilted pin)."""
    cap = Box(-4.6, -9, 4.6, -6, 1.2)                                   # flat top cap
    neck = Polygon([(-2.1, -6.5), (2.1, -6.5), (2.6, -2), (-2.6, -2)])   # waisted body
    collar = Box(-5.6, -2.5, 5.6, 0.5, 1.2)                             # wide disc above the needle
    needle = Polygon([(-0.8, 0), (0.8, 0), (0.8, 6.4), (0, 8.4), (-0.8, 6.4)])
    return cap, neck, collar, needle


def draw_pin_off_icon(size=32):
    """Pin button, off: a pushpin lying tilted, point down to the left, not pressed in."""
    c = Canvas(size, size, scale=size / 32)
    angle, cx, cy = 45.0, 14.5, 17.1
    turn = Turn(angle, cx, cy)

    def across(dark, mid, light):
        """Cylinder shading across the pin: light on the upper-left side, dark below."""
        x0, y0 = turn.apply(-6, 0)
        x1, y1 = turn.apply(6, 0)
        return banded(x0, y0, x1, y1, [(0.1, light), (0.35, mid), (0.8, dark)])

    cap, neck, collar, needle = [p.placed(angle, cx, cy) for p in pin_shapes()]
    head = cap | neck | collar
    inside = head.grow(-1)
    # soft shadow on the surface below
    c.fill(head.placed(0, 1.2, 1.2), PIN_SHADOW)
    # steel needle with a dark edge
    c.outlined(needle.grow(0.4), PIN_STEEL_DARK,
               across(PIN_STEEL_DARK, PIN_STEEL, PIN_STEEL_LIGHT), 0.9)
    # the red head: one dark outline around it all, cap, neck and collar told apart by shade
    c.fill(head, PIN_EDGE)
    c.fill(collar & inside, across(PIN_RED_DARK, PIN_RED, PIN_RED_LIGHT))
    c.fill(neck & inside, across(PIN_EDGE, PIN_RED_DARK, mix(PIN_RED_DARK, PIN_RED, 0.6)))
    c.fill(cap & inside, across(PIN_RED_DARK, PIN_RED, PIN_RED_LIGHT))
    return c


def draw_pin_on_icon(size=32):
    """Pin button, on: a pushpin pressed in, seen from above and a little from the
    lower right: the wide flat collar on the surface, the narrow neck rising from
    it, and the round top of the head."""
    c = Canvas(size, size, scale=size / 32)
    cx, cy = 16.6, 16.6       # centre of the collar, where the needle goes in
    hx, hy = 14.0, 14.0       # centre of the top of the head
    # shadow cast down and right
    c.fill(Circle(cx + 1.1, cy + 1.1, 7.2), PIN_SHADOW)
    # wide flat collar resting on the surface, with a shiny rim at the top left
    collar = Circle(cx, cy, 7)
    c.outlined(collar, PIN_EDGE, linear(cx - 5, cy - 5, PIN_RED, cx + 5, cy + 5, PIN_RED_DARK))
    rim = (Circle(cx, cy, 6.2) - Circle(cx, cy, 5.0)) & Polygon(
        [(cx - 8, cy + 3), (cx - 8, cy - 8), (cx + 3, cy - 8)])
    c.fill(rim, PIN_RIM_SHINE)
    # the neck, narrower than the head, leaning towards the viewer
    neck = Capsule(cx, cy, hx, hy, 2.5)
    c.outlined(neck.grow(0.8), PIN_EDGE, linear(hx, hy, PIN_RED_DARK, cx + 2, cy + 2, PIN_EDGE), 0.8)
    # flat round top of the head, lit from the top left, with a small shine
    top = Circle(hx, hy, 4.0)
    c.outlined(top, PIN_EDGE, linear(hx - 3, hy - 3, PIN_RED_LIGHT, hx + 3, hy + 3, PIN_RED), 0.9)
    c.fill(Ellipse(hx - 1.3, hy - 1.4, 1.3, 0.9), PIN_SHINE)
    return c


def draw_drelwick_logo():
    """Maker's logo: navy tile, gold frame, a ringed "D" split by one clean cut, the name below."""
    c = Canvas(100, 100, TILE_BORDER)
    # tile body, a gentle top-to-bottom shade, inside a one-pixel dark border
    c.fill(Box(1, 1, 99, 99), linear(0, 1, TILE_TOP, 0, 99, TILE_BOTTOM))
    # thin gold frame with rounded corners
    c.fill(Box(4, 4, 96, 96, 3) - Box(5, 5, 95, 95, 2), GOLD)
    # emblem: gold ring around a lighter disc
    ex, ey = 50.0, 40.0
    c.fill(Circle(ex + 1, ey + 1.5, 27), EMBLEM_SHADOW)
    c.fill(Circle(ex, ey, 27), linear(0, ey - 27, GOLD_LIGHT, 0, ey + 27, GOLD_DARK))
    c.fill(Circle(ex, ey, 24.5), GOLD_DARK)
    c.fill(Circle(ex, ey, 23.5), radial(ex - 6, ey - 8, 30, DISC_CENTRE, DISC_EDGE))
    # the "D": stem plus a half-oval bowl, with an oval counter cut out
    top, bottom, stem_x, bowl_x = ey - 15, ey + 15, ex - 12, ex - 1
    outer = Box(stem_x, top, bowl_x, bottom) | (
        Ellipse(bowl_x, ey, 13.5, 15) & Box(bowl_x, top, bowl_x + 14, bottom))
    inner = Box(stem_x + 7, top + 7, bowl_x, bottom - 7) | (
        Ellipse(bowl_x, ey, 6.5, 8) & Box(bowl_x, top + 7, bowl_x + 7, bottom - 7))
    letter = outer - inner
    # one diagonal cut through the letter; the upper half is lifted away a little
    cut = Box(-40, -0.9, 40, 0.9).placed(-28, ex, ey + 2)
    below = Box(-40, 0, 40, 40).placed(-28, ex, ey + 2)
    lower_half = (letter & below) - cut
    upper_half = (letter - below - cut).placed(0, 0.8, -0.6)
    for half in (lower_half, upper_half):
        c.fill(half.placed(0, 1, 1.5), LETTER_SHADOW)
        c.fill(half, linear(0, top, CREAM, 0, bottom, CREAM_SHADE))
    # the name, with a one-pixel shadow, over a thin dimmed gold rule
    name = "DRELWICK"
    w = text_width(name, FONT_BOLD, 2)
    tx, ty = (100 - w + 1) // 2, 75
    c.text(tx + 1, ty + 1, name, FONT_BOLD, LOGO_SHADOW, 2)
    c.text(tx, ty, name, FONT_BOLD, CREAM, 2)
    c.fill(Box(tx + 4, 89, tx + w - 4, 90), mix(GOLD, TILE_BOTTOM, 0.35))
    return c


def seal_outline():
    """Outline of the WIN32 API seal: a disc with sixteen round petals (a rosette)."""
    cx = cy = 25.0
    angles = [math.radians(i * 360.0 / 16) for i in range(16)]
    petals = [Circle(cx + 20.3 * math.cos(a), cy + 20.3 * math.sin(a), 4.2) for a in angles]
    return Union(Circle(cx, cy, 21), *petals)


def draw_winapi_seal():
    """The badge: blue rosette, white ring, "WIN32" over a bold gold "API".

    Returns (canvas, opaque) where opaque[y][x] tells which pixels belong to the
    badge.  The outer edge is hard (a pixel is in if its centre is); only edges
    inside the badge are smoothed, so the OR/AND pair leaves no fringe.
    """
    cx = cy = 25.0
    outline = seal_outline()
    c = Canvas(50, 50)
    # the whole silhouette in the edge colour, pixel-exact
    c.fill(outline, SEAL_EDGE, hard=True)
    opaque = [[c.px[y * 50 + x][3] > 0 for x in range(50)] for y in range(50)]
    # petals, a shade lighter at the top left
    c.fill(outline.grow(-1.1), linear(8, 6, SEAL_PETAL_LIGHT, 42, 44, SEAL_PETAL))
    # white ring between the petals and the centre
    c.fill(Circle(cx, cy, 19.2), SEAL_EDGE)
    c.fill(Circle(cx, cy, 18.2), SEAL_RING)
    c.fill(Circle(cx, cy, 17.0), SEAL_EDGE)
    c.fill(Circle(cx, cy, 16.1), radial(cx - 5, cy - 7, 22, SEAL_DISC_LIGHT, SEAL_DISC))
    # the words, each with a one-pixel shadow
    w1 = text_width("WIN32", FONT_LIGHT)
    x1 = (50 - w1 + 1) // 2
    c.text(x1 + 1, 17, "WIN32", FONT_LIGHT, SEAL_TEXT_SHADOW)
    c.text(x1, 16, "WIN32", FONT_LIGHT, SEAL_TEXT)
    w2 = text_width("API", FONT_BOLD, 1)
    x2 = (50 - w2 + 1) // 2
    c.text(x2 + 1, 27, "API", FONT_BOLD, SEAL_TEXT_SHADOW, 1)
    c.text(x2, 26, "API", FONT_BOLD, SEAL_GOLD, 1)
    return c, opaque


# ---------------------------------------------------------------------------
# File formats
# ---------------------------------------------------------------------------

ALPHA_FLOOR = 8  # icon pixels fainter than this become fully see-through (and masked)


def ico_image(canvas):
    """One image of an .ico: 32 bpp BGRA DIB (height doubled) plus the 1 bpp AND mask.

    The mask is 1 exactly where alpha is 0, so Windows versions that ignore
    alpha still cut the same outline out of the background.
    """
    rows = [[p if p[3] >= ALPHA_FLOOR else (0, 0, 0, 0) for p in row] for row in canvas.rgba()]
    w, h = canvas.width, canvas.height
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for row in reversed(rows):                      # DIBs are stored bottom-up
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:                               # AND mask: 1 = see-through
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


# The sizes of every icon: 16 and 32 pixels at 100 % (the small and the large icon), and what
# 125, 150 and 200 % make of them.  The 32-pixel picture is the one drawn first.
ICON_SIZES = (32, 16, 20, 24, 40, 48, 64)


def ico_bytes(draw):
    """An .ico holding the picture draw(size) at every size of ICON_SIZES."""
    images = [ico_image(draw(size)) for size in ICON_SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(ICON_SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def bmp_bytes(width, height, bits, palette, pixel_rows):
    """Bottom-up BITMAPINFOHEADER .bmp; pixel_rows are the packed bytes of each row, top first."""
    stride = (width * bits + 31) // 32 * 4
    body = bytearray()
    for row in reversed(pixel_rows):
        body += row + bytes(stride - len(row))
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(pal)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body), 2835, 2835,
                       len(palette), 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    return head + info + pal + bytes(body)


def bmp24_bytes(rows):
    packed = [b"".join(bytes((b, g, r)) for r, g, b in row) for row in rows]
    return bmp_bytes(len(rows[0]), len(rows), 24, [], packed)


def bmp8_bytes(rows):
    palette, index = quantize([p for row in rows for p in row], 256)
    palette = palette + [(0, 0, 0)] * (256 - len(palette))
    packed = [bytes(index[p] for p in row) for row in rows]
    return bmp_bytes(len(rows[0]), len(rows), 8, palette, packed)


def quantize(pixels, size):
    """Median-cut palette of at most size colours; returns (palette, colour -> index)."""
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    colours = sorted(counts)
    if len(colours) <= size:
        return colours, {p: i for i, p in enumerate(colours)}
    def spread(box):
        return max(max(p[k] for p in box) - min(p[k] for p in box) for k in range(3))

    boxes = [colours]
    while len(boxes) < size:
        # split the box with the widest channel spread, weighted by how many pixels it holds
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: (spread(b) * sum(counts[p] for p in b) ** 0.5, b[0]))
        k = max(range(3), key=lambda k: max(p[k] for p in box) - min(p[k] for p in box))
        box.sort(key=lambda p: (p[k], p))
        total, run, cut = sum(counts[p] for p in box), 0, 1
        for i, p in enumerate(box[:-1]):
            run += counts[p]
            if run * 2 >= total:
                cut = i + 1
                break
        boxes.remove(box)
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        n = sum(counts[p] for p in box)
        palette.append(tuple(int(round(sum(p[k] * counts[p] for p in box) / n)) for k in range(3)))
    palette = sorted(set(palette))
    index = {}
    for p in colours:
        index[p] = min(range(len(palette)),
                       key=lambda i: sum((a - b) ** 2 for a, b in zip(p, palette[i])))
    return palette, index


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
    print("wrote %-16s %6d bytes" % (name, len(data)))


# ---------------------------------------------------------------------------
# Preview sheet (ImageMagick)
# ---------------------------------------------------------------------------

def magick(*args):
    subprocess.run(["convert"] + [str(a) for a in args], check=True)


def make_preview():
    """preview.png: every picture 4x, the seal as the About box composes it,
    the icons at 16x16 and as they show inside a 21x21 push button (at 100 %)."""
    if not shutil.which("convert"):
        sys.exit("make_art: ImageMagick's convert is needed for --preview")
    grey = "rgb(%d,%d,%d)" % FACE_CLASSIC
    light = "rgb(%d,%d,%d)" % FACE_MODERN
    tmp = tempfile.mkdtemp(prefix="morvane-art-")
    art = lambda name: os.path.join(HERE, name)
    t = lambda name: os.path.join(tmp, name)
    zoom = ["-filter", "point", "-resize", "400%"]

    def label(text, tile, out, bg=grey):
        magick("(", tile, ")", "-background", bg, "-font", "DejaVu-Sans", "-pointsize", 11,
               "-fill", "black", "label:" + text, "-gravity", "center", "-append",
               "-bordercolor", bg, "-border", 6, out)

    cells = []
    icons = ["app", "open", "pin_off", "pin_on"]
    for name in icons:
        ico = art(name + ".ico")
        src = ico + "[0]"  # the 32-pixel picture
        # 4x on the dialog grey
        magick("-size", "32x32", "xc:" + grey, src, "-composite", *zoom, t(name + "_4x.png"))
        # the 16x16 picture, for small icons and the tray
        magick("-size", "16x16", "xc:" + grey, ico + "[1]", "-composite",
               *zoom, t(name + "_16.png"))
        # 21x21 push button: classic raised edge, icon centred, clipped to the 17x17 inside
        magick("-size", "21x21", "xc:" + grey,
               "-fill", "white", "-draw", "line 0,0 19,0", "-draw", "line 0,0 0,19",
               "-fill", "rgb(64,64,64)", "-draw", "line 0,20 20,20", "-draw", "line 20,0 20,20",
               "-fill", "rgb(128,128,128)", "-draw", "line 1,19 19,19", "-draw", "line 19,1 19,19",
               "(", src, "-crop", "17x17+7+7", "+repage", ")", "-geometry", "+2+2", "-composite",
               *zoom, t(name + "_btn.png"))
        # actual size on both dialog faces
        magick("(", "-size", "32x32", "xc:" + grey, src, "-composite", ")",
               "(", "-size", "32x32", "xc:" + light, src, "-composite", ")", "+append",
               "-bordercolor", grey, "-border", 4, t(name + "_1x.png"))
        # the program icon is never put on a button
        cells_of = ["_4x", "_16", "_1x"] if name == "app" else ["_4x", "_16", "_btn", "_1x"]
        magick(*[t(name + p + ".png") for p in cells_of], "-background", grey, "-gravity", "center",
               "-bordercolor", grey, "-border", 6, "+append", t(name + "_row0.png"))
        label(name + ".ico: 4x, 16x16 (4x)" + ("" if name == "app" else ", in a 21x21 button (4x)")
              + ", 1x", t(name + "_row0.png"), t(name + "_row.png"))
        cells.append(t(name + "_row.png"))

    # the logo, 4x and actual size on both faces
    magick(art("drelwick.bmp"), *zoom, t("logo_4x.png"))
    magick(art("drelwick.bmp"), "-bordercolor", grey, "-border", 8,
           "(", art("drelwick.bmp"), "-bordercolor", light, "-border", 8, ")", "-append",
           t("logo_1x.png"))
    magick(t("logo_4x.png"), t("logo_1x.png"), "-background", grey, "-gravity", "center",
           "+append", t("logo_row0.png"))
    label("drelwick.bmp  (4x, 1x on both dialog faces)", t("logo_row0.png"), t("logo_row.png"))

    # the seal: mask, badge, and face AND mask OR badge (Multiply = AND and Plus = OR here,
    # since the mask is pure black/white and the badge is black wherever the mask is white)
    for face, tag in ((grey, "g"), (light, "l")):
        magick("-size", "50x50", "xc:" + face, art("winapi_mask.bmp"), "-compose", "Multiply",
               "-composite", art("winapi.bmp"), "-compose", "Plus", "-composite",
               t("seal_" + tag + ".png"))
    magick(art("winapi_mask.bmp"), *zoom, t("mask_4x.png"))
    magick(art("winapi.bmp"), *zoom, t("badge_4x.png"))
    magick(t("seal_g.png"), *zoom, t("seal_4x.png"))
    magick(t("seal_g.png"), "-bordercolor", grey, "-border", 8, "(", t("seal_l.png"),
           "-bordercolor", light, "-border", 8, ")", "-append", t("seal_1x.png"))
    magick(t("mask_4x.png"), t("badge_4x.png"), t("seal_4x.png"), t("seal_1x.png"),
           "-background", grey, "-gravity", "center", "-bordercolor", grey, "-border", 4,
           "+append", t("seal_row0.png"))
    label("winapi_mask.bmp, winapi.bmp, AND+OR over the face (4x), 1x",
          t("seal_row0.png"), t("seal_row.png"))

    magick(*cells, t("logo_row.png"), t("seal_row.png"), "-background", grey, "-gravity", "west",
           "-append", "-bordercolor", grey, "-border", 8, "-strip", "-alpha", "off", "-depth", 8,
           "-define", "png:exclude-chunks=date,time", art("preview.png"))
    shutil.rmtree(tmp)
    print("wrote preview.png")


# ---------------------------------------------------------------------------

def main():
    write("app.ico", ico_bytes(draw_app_icon))
    write("open.ico", ico_bytes(draw_open_icon))
    write("pin_off.ico", ico_bytes(draw_pin_off_icon))
    write("pin_on.ico", ico_bytes(draw_pin_on_icon))
    write("drelwick.bmp", bmp8_bytes(draw_drelwick_logo().rgb()))

    seal, opaque = draw_winapi_seal()
    seal_rows = seal.rgba()
    mask_rows, badge_rows = [], []
    for y in range(50):
        mask_rows.append([BLACK if opaque[y][x] else WHITE for x in range(50)])
        badge_rows.append([seal_rows[y][x][:3] if opaque[y][x] else BLACK for x in range(50)])
        for x in range(50):
            # inside the badge everything is fully covered, so the colour is exact
            assert not opaque[y][x] or seal_rows[y][x][3] == 255
    write("winapi_mask.bmp", bmp24_bytes(mask_rows))
    write("winapi.bmp", bmp24_bytes(badge_rows))

    if "--preview" in sys.argv[1:]:
        make_preview()


if __name__ == "__main__":
    main()
