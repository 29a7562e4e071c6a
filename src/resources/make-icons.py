#!/usr/bin/env python3
"""Draws the workbench's icon set and writes the resource list.

Every icon is built from a handful of shapes (pages, folders, disks, tags,
arrows and small badges) drawn with signed-distance functions, so edges are
anti-aliased and the whole set shares one outline weight and one palette.
Only the standard library is used; run it from anywhere:

    python3 src/resources/make-icons.py [--sheet review.png]

It rewrites icons/*.png, icons_fugue/icons/*.png and icons.qrc beside itself.
"""

import math
import os
import struct
import sys
import zlib

SIZE = 32
HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------- palette


def rgb(text, alpha=1.0):
    text = text.lstrip("#")
    return (int(text[0:2], 16) / 255.0, int(text[2:4], 16) / 255.0,
            int(text[4:6], 16) / 255.0, alpha)


BLUE, BLUE_D = rgb("4a8fe0"), rgb("1f4e8c")
GREEN, GREEN_D = rgb("5cbf4f"), rgb("2c7a25")
RED, RED_D = rgb("e8493f"), rgb("9c1c15")
YELLOW, YELLOW_D = rgb("f7c948"), rgb("a8790c")
ORANGE, ORANGE_D = rgb("f28c28"), rgb("9e4f05")
PURPLE, PURPLE_D = rgb("9468d8"), rgb("4f2c8c")
PAPER, PAPER_D = rgb("fbfcfe"), rgb("7d8590")
GREY, GREY_D = rgb("b8bec7"), rgb("4d545e")
DARK = rgb("2b2f36")
WHITE = rgb("ffffff")
BROWN, BROWN_D = rgb("c8955a"), rgb("6e4a1f")
TEAL, TEAL_D = rgb("3cb6b0"), rgb("17635f")

LINE = 1.25  # outline width shared by every shape

# ---------------------------------------------------------------- distance functions


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    # Scaled circle: exact enough for the small, round shapes used here.
    k = min(rx, ry)
    return lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * k


def box(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        out = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return out + min(max(qx, qy), 0.0) - r
    return f


def segment(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    dd = dx * dx + dy * dy or 1e-9

    def f(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / dd))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r
    return f


def polygon(points):
    pts = list(points)

    def f(x, y):
        best = float("inf")
        inside = False
        j = len(pts) - 1
        for i in range(len(pts)):
            (xi, yi), (xj, yj) = pts[i], pts[j]
            ex, ey = xj - xi, yj - yi
            ee = ex * ex + ey * ey or 1e-9
            t = max(0.0, min(1.0, ((x - xi) * ex + (y - yi) * ey) / ee))
            best = min(best, math.hypot(x - xi - t * ex, y - yi - t * ey))
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                inside = not inside
            j = i
        return -best if inside else best
    return f


def polyline(points, r):
    parts = [segment(a[0], a[1], b[0], b[1], r) for a, b in zip(points, points[1:])]
    return union(*parts)


def arc_points(cx, cy, radius, start, end, steps=24):
    return [(cx + radius * math.cos(math.radians(start + (end - start) * i / steps)),
             cy - radius * math.sin(math.radians(start + (end - start) * i / steps)))
            for i in range(steps + 1)]


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def grow(f, d):
    return lambda x, y: f(x, y) - d


def shift(f, dx, dy):
    return lambda x, y: f(x - dx, y - dy)


def vgradient(top, bottom, y0=0.0, y1=SIZE):
    def c(_x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return c


def lighten(color, k=0.35):
    return tuple(c + (1.0 - c) * k for c in color[:3]) + (color[3],)

# ---------------------------------------------------------------- canvas


class Canvas:
    def __init__(self):
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(SIZE * SIZE)]

    def fill(self, f, color):
        for y in range(SIZE):
            for x in range(SIZE):
                px, py = x + 0.5, y + 0.5
                d = f(px, py)
                if d >= 0.5:
                    continue
                cov = min(1.0, 0.5 - d)
                c = color(px, py) if callable(color) else color
                a = c[3] * cov
                p = self.px[y * SIZE + x]
                for i in range(3):  # premultiplied "over"
                    p[i] = c[i] * a + p[i] * (1.0 - a)
                p[3] = a + p[3] * (1.0 - a)

    def shape(self, f, color, outline, width=LINE):
        """A filled shape with an outline drawn inside its edge."""
        self.fill(f, outline)
        self.fill(grow(f, -width), color)

    def erase(self, f):
        """Clears a region, used to keep a badge apart from what lies behind it."""
        for y in range(SIZE):
            for x in range(SIZE):
                d = f(x + 0.5, y + 0.5)
                if d < 0.5:
                    keep = 1.0 - min(1.0, 0.5 - d)
                    p = self.px[y * SIZE + x]
                    for i in range(4):
                        p[i] *= keep

    def png(self):
        rows = []
        for y in range(SIZE):
            row = bytearray([0])
            for x in range(SIZE):
                r, g, b, a = self.px[y * SIZE + x]
                if a > 0:
                    r, g, b = r / a, g / a, b / a
                row += bytes(int(round(max(0.0, min(1.0, v)) * 255)) for v in (r, g, b, a))
            rows.append(bytes(row))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
        header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))

# ---------------------------------------------------------------- building blocks


def page(c, x0=6, y0=2, x1=26, y1=30, lines=True, color=PAPER):
    fold = 7
    outline = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    c.shape(outline, vgradient(color, lighten(GREY, 0.7)), PAPER_D)
    c.shape(polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]),
            lighten(GREY, 0.5), PAPER_D, 1.0)
    if lines:
        y = y0 + fold + 3
        while y < y1 - 3:
            c.fill(segment(x0 + 4, y, x1 - 4, y, 0.6), rgb("a9b3c1"))
            y += 3.5


def folder(c, x0=2, y0=6, x1=30, y1=27):
    tab = polygon([(x0, y0 + 2), (x0 + 2, y0), (x0 + 10, y0), (x0 + 12, y0 + 3), (x0, y0 + 3)])
    c.shape(union(tab, box(x0, y0 + 2, x1, y1, 2)), rgb("e2ab30"), YELLOW_D)
    c.shape(box(x0, y0 + 6, x1, y1, 2), vgradient(rgb("fff0b8"), YELLOW, y0 + 6, y1), YELLOW_D)


def disk(c, x0=4, y0=4, s=24):
    x1, y1 = x0 + s, y0 + s
    c.shape(polygon([(x0, y0), (x1 - s * 0.18, y0), (x1, y0 + s * 0.18), (x1, y1), (x0, y1)]),
            vgradient(lighten(BLUE, 0.2), BLUE), BLUE_D)
    c.shape(box(x0 + s * 0.22, y0 + s * 0.5, x1 - s * 0.22, y1 - 1, 1), PAPER, BLUE_D, 1.0)
    c.shape(box(x0 + s * 0.25, y0 + 1, x1 - s * 0.3, y0 + s * 0.34), GREY, GREY_D, 1.0)
    c.fill(box(x0 + s * 0.52, y0 + 2.5, x0 + s * 0.62, y0 + s * 0.3), GREY_D)


def magnifier(c, cx=13, cy=13, r=8.5):
    k = r / 8.5
    c.fill(segment(cx + 5.5 * k, cy + 5.5 * k, cx + 14 * k, cy + 14 * k, 2.8 * k), BROWN_D)
    c.fill(segment(cx + 6 * k, cy + 6 * k, cx + 13.5 * k, cy + 13.5 * k, 1.7 * k), BROWN)
    c.shape(circle(cx, cy, r), rgb("cfe6ff", 0.85), GREY_D, 2.0 * k)
    c.fill(segment(cx - r * 0.45, cy - r * 0.2, cx - r * 0.2, cy - r * 0.45, 1.0 * k), WHITE)


def arrow(c, pts, color, dark, width=2.2, head=5.0):
    """A polyline arrow whose head sits at the last point."""
    (ax, ay), (bx, by) = pts[-2], pts[-1]
    ang = math.atan2(by - ay, bx - ax)
    back = (bx - head * 1.1 * math.cos(ang), by - head * 1.1 * math.sin(ang))
    nx, ny = -math.sin(ang), math.cos(ang)
    tip = (bx + 0.8 * math.cos(ang), by + 0.8 * math.sin(ang))
    headf = polygon([tip, (back[0] + nx * head, back[1] + ny * head),
                     (back[0] - nx * head, back[1] - ny * head)])
    body = polyline(pts[:-1] + [back], width)
    shape = union(body, headf)
    c.shape(shape, color, dark, LINE)


def badge_area(c, cx=23, cy=23, r=8.5):
    c.erase(circle(cx, cy, r + 1.0))


def badge_plus(c, cx=23, cy=23):
    badge_area(c, cx, cy)
    c.shape(circle(cx, cy, 7.5), vgradient(lighten(GREEN), GREEN, cy - 8, cy + 8), GREEN_D)
    c.fill(union(segment(cx - 4, cy, cx + 4, cy, 1.3), segment(cx, cy - 4, cx, cy + 4, 1.3)), WHITE)


def badge_cross(c, cx=23, cy=23):
    badge_area(c, cx, cy)
    c.shape(circle(cx, cy, 7.5), vgradient(lighten(RED), RED, cy - 8, cy + 8), RED_D)
    c.fill(union(segment(cx - 3, cy - 3, cx + 3, cy + 3, 1.3),
                 segment(cx - 3, cy + 3, cx + 3, cy - 3, 1.3)), WHITE)


def badge_arrow(c, direction, cx=23, cy=23, color=GREEN, dark=GREEN_D):
    badge_area(c, cx, cy)
    c.shape(circle(cx, cy, 7.5), vgradient(lighten(color), color, cy - 8, cy + 8), dark)
    dx, dy = {"right": (1, 0), "left": (-1, 0), "up": (0, -1), "down": (0, 1)}[direction]
    px, py = -dy, dx
    tip = (cx + dx * 4.5, cy + dy * 4.5)
    shaft = segment(cx - dx * 4, cy - dy * 4, cx + dx * 1, cy + dy * 1, 1.3)
    head = polygon([tip, (cx + px * 4, cy + py * 4), (cx - px * 4, cy - py * 4)])
    c.fill(union(shaft, head), WHITE)


def badge_lightning(c, cx=23, cy=22):
    badge_area(c, cx, cy + 1, 8.5)
    bolt = polygon([(cx + 1, cy - 8), (cx - 5, cy + 2), (cx - 0.5, cy + 2), (cx - 2, cy + 9),
                    (cx + 5, cy - 1), (cx + 0.5, cy - 1), (cx + 3, cy - 8)])
    c.shape(bolt, vgradient(rgb("fff27a"), rgb("ffb300"), cy - 8, cy + 9), ORANGE_D)


def badge_magnifier(c):
    c.erase(circle(21, 21, 11))
    magnifier(c, 19.5, 19.5, 6.5)


def badge_disk(c):
    c.erase(box(13, 13, 32, 32, 2))
    disk(c, 15, 15, 16)


def badge_pencil(c):
    c.erase(segment(14, 29, 29, 14, 5))
    body = polygon([(14.5, 25), (25.5, 14), (29, 17.5), (18, 28.5)])
    c.shape(body, vgradient(rgb("ffd36b"), ORANGE, 14, 29), ORANGE_D)
    c.shape(polygon([(14.5, 25), (18, 28.5), (12.5, 30.5)]), rgb("f4dcb8"), BROWN_D, 1.0)
    c.shape(polygon([(25.5, 14), (27.5, 12), (31, 15.5), (29, 17.5)]), rgb("f08fa0"), RED_D, 1.0)


def badge_pages(c):
    c.erase(box(13, 11, 32, 32, 2))
    page(c, 14, 12, 27, 27, lines=False)
    page(c, 18, 16, 31, 31, lines=False)


def clipboard(c, x0=4, y0=4, x1=28, y1=30):
    c.shape(box(x0, y0, x1, y1, 2.5), vgradient(rgb("d9a86c"), BROWN), BROWN_D)
    c.shape(box(x0 + 3, y0 + 4, x1 - 3, y1 - 3, 1), PAPER, PAPER_D, 1.0)
    mid = (x0 + x1) / 2.0
    c.shape(box(mid - 5, y0 - 2, mid + 5, y0 + 4, 1.5), GREY, GREY_D, 1.0)


def badge_clipboard(c):
    c.erase(box(13, 11, 32, 32, 2))
    clipboard(c, 15, 14, 30, 31)


def tag(c, color=BLUE, dark=BLUE_D):
    shape = polygon([(3, 12), (12, 3), (28, 3), (28, 19), (19, 28)])
    shape = subtract(shape, circle(22, 9, 2.2))
    c.shape(shape, vgradient(lighten(color), color), dark)


def window(c, x0=2, y0=4, x1=30, y1=28, body=PAPER, bar=BLUE):
    c.shape(box(x0, y0, x1, y1, 2.5), body, GREY_D)
    c.shape(intersect(box(x0, y0, x1, y1, 2.5), box(x0 - 1, y0 - 1, x1 + 1, y0 + 6)),
            vgradient(lighten(bar), bar, y0, y0 + 6), GREY_D)


def cylinder(c, x0=5, y0=4, x1=27, y1=28, color=BLUE, dark=BLUE_D):
    cx, rx, ry = (x0 + x1) / 2.0, (x1 - x0) / 2.0, 3.5
    body = union(box(x0, y0 + ry, x1, y1 - ry), ellipse(cx, y1 - ry, rx, ry),
                 ellipse(cx, y0 + ry, rx, ry))
    c.shape(body, vgradient(lighten(color), color), dark)
    for yy in ((y0 + y1) / 2.0 - 3, (y0 + y1) / 2.0 + 4):
        c.fill(subtract(ellipse(cx, yy, rx - 1, ry), ellipse(cx, yy - 1.2, rx - 1, ry)),
               dark)
    c.shape(ellipse(cx, y0 + ry, rx, ry), lighten(color, 0.55), dark)


def image(c, x0=3, y0=5, x1=29, y1=27):
    c.shape(box(x0, y0, x1, y1, 1.5), vgradient(rgb("9fd3ff"), rgb("d9efff"), y0, y1), GREY_D)
    inner = box(x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5)
    c.fill(intersect(circle(x1 - 7, y0 + 6, 3), inner), rgb("ffd54a"))
    hills = union(polygon([(x0 + 1, y1), (x0 + 9, y0 + 9), (x0 + 17, y1)]),
                  polygon([(x0 + 9, y1), (x1 - 6, y0 + 12), (x1 + 4, y1)]))
    c.fill(intersect(hills, inner), vgradient(lighten(GREEN), GREEN_D, y0 + 8, y1))


def checker(c, x0, y0, x1, y1, n, a, b, outline=GREY_D, r=1.5):
    c.fill(box(x0, y0, x1, y1, r), outline)
    inner = box(x0 + LINE, y0 + LINE, x1 - LINE, y1 - LINE, max(0.0, r - 1))
    sx, sy = (x1 - x0) / n, (y1 - y0) / n

    def col(x, y):
        i, j = int((x - x0) // sx), int((y - y0) // sy)
        return a if (i + j) % 2 == 0 else b
    c.fill(inner, col)


def square(c, x0, y0, x1, y1, color, dark, r=2.0):
    c.shape(box(x0, y0, x1, y1, r), vgradient(lighten(color), color, y0, y1), dark)


def globe(c, cx=16, cy=16, r=13):
    c.shape(circle(cx, cy, r), vgradient(rgb("7cc4ff"), BLUE, cy - r, cy + r), BLUE_D)
    land = union(ellipse(cx - 5, cy - 4, 5, 6), ellipse(cx + 6, cy + 5, 4.5, 5),
                 ellipse(cx + 4, cy - 8, 3, 2))
    c.fill(intersect(land, circle(cx, cy, r - 1.5)), vgradient(lighten(GREEN), GREEN_D))
    c.fill(intersect(subtract(circle(cx, cy, r - 1.2), circle(cx, cy, r - 2.2)),
                     box(0, 0, SIZE, cy)), rgb("ffffff", 0.35))


def sphere(c, cx=16, cy=16, r=12, color=rgb("7db7f0"), dark=BLUE_D):
    def shade(x, y):
        d = math.hypot(x - (cx - r * 0.35), y - (cy - r * 0.35)) / (r * 1.6)
        return tuple(w + (k - w) * min(1.0, d) for w, k in zip(WHITE[:3], color[:3])) + (1.0,)
    c.shape(circle(cx, cy, r), shade, dark)


def lock(c, x0=6, y0=4, s=20):
    k = s / 20.0
    c.fill(subtract(box(x0 + 4 * k, y0, x0 + 16 * k, y0 + 13 * k, 6 * k),
                    box(x0 + 6.5 * k, y0 + 2.5 * k, x0 + 13.5 * k, y0 + 14 * k, 3.5 * k)), GREY_D)
    c.shape(box(x0, y0 + 9 * k, x0 + 20 * k, y0 + 24 * k, 2 * k),
            vgradient(rgb("ffe08a"), YELLOW_D, y0 + 9 * k, y0 + 24 * k), YELLOW_D)
    c.fill(union(circle(x0 + 10 * k, y0 + 15 * k, 2 * k),
                 segment(x0 + 10 * k, y0 + 15 * k, x0 + 10 * k, y0 + 20 * k, 1 * k)), YELLOW_D)


def stack(c, draw, offsets):
    for dx, dy in offsets:
        draw(dx, dy)


def text_lines(c, x0, y0, x1, rows, color, gap=3.0):
    for i, width in enumerate(rows):
        y = y0 + i * gap
        c.fill(segment(x0, y, x0 + (x1 - x0) * width, y, 0.7), color)

# ---------------------------------------------------------------- the icons

ICONS = {}


def icon(name):
    def register(fn):
        ICONS[name] = fn
        return fn
    return register


@icon("blank")
def _blank(c):
    pass


@icon("empty")
def _empty(c):
    pass


@icon("cross")
def _cross(c):
    x = union(segment(7, 7, 25, 25, 3.6), segment(7, 25, 25, 7, 3.6))
    c.shape(x, vgradient(lighten(RED), RED), RED_D)


@icon("tick")
def _tick(c):
    c.shape(polyline([(5, 17), (12.5, 24.5), (27, 8)], 3.6), vgradient(lighten(GREEN), GREEN),
            GREEN_D)


@icon("add")
def _add(c):
    c.shape(circle(16, 16, 13), vgradient(lighten(GREEN), GREEN), GREEN_D)
    c.fill(union(segment(9, 16, 23, 16, 2.2), segment(16, 9, 16, 23, 2.2)), WHITE)


@icon("page_white_add")
def _page_add(c):
    page(c)
    badge_plus(c)


@icon("page_white_disk")
def _page_disk(c):
    page(c)
    badge_disk(c)


@icon("page_white_disk_add")
def _page_disk_add(c):
    page(c)
    badge_disk(c)
    badge_plus(c, 8, 24)


@icon("page_white_get")
def _page_get(c):
    page(c)
    badge_arrow(c, "down", color=GREEN, dark=GREEN_D)


@icon("page_white_put")
def _page_put(c):
    page(c)
    badge_arrow(c, "up", color=BLUE, dark=BLUE_D)


@icon("page_white_stack")
def _page_stack(c):
    page(c, 11, 2, 29, 24, lines=False)
    page(c, 8, 5, 26, 27, lines=False)
    page(c, 5, 8, 23, 30)


@icon("page_copy")
def _page_copy(c):
    page(c, 3, 2, 21, 24, lines=False)
    page(c, 11, 8, 29, 30)


@icon("page_paste")
def _page_paste(c):
    clipboard(c, 3, 4, 23, 29)
    page(c, 13, 11, 29, 31)


@icon("report")
def _report(c):
    page(c)
    c.fill(box(10, 22, 12.5, 27), BLUE)
    c.fill(box(14, 19, 16.5, 27), GREEN)
    c.fill(box(18, 16, 20.5, 27), ORANGE)


@icon("cut")
def _cut(c):
    c.fill(segment(9, 4, 20, 21, 1.6), GREY_D)
    c.fill(segment(23, 4, 12, 21, 1.6), GREY_D)
    c.fill(segment(9.5, 5, 19.5, 20.5, 0.7), WHITE)
    c.fill(segment(22.5, 5, 12.5, 20.5, 0.7), WHITE)
    for cx in (10, 22):
        c.shape(subtract(circle(cx, 24, 5), circle(cx, 24, 2.5)), RED, RED_D, 1.0)


@icon("disk")
def _disk(c):
    disk(c)


@icon("folder")
def _folder(c):
    folder(c)


@icon("folder_explore")
def _folder_explore(c):
    folder(c, 1, 3, 27, 24)
    badge_magnifier(c)


@icon("folder_up")
def _folder_up(c):
    folder(c)
    badge_arrow(c, "up")


@icon("magnifier")
def _magnifier(c):
    magnifier(c, 13, 13, 9.5)


@icon("package_magnify")
def _package_magnify(c):
    c.shape(polygon([(2, 9), (14, 3), (26, 9), (26, 23), (14, 29), (2, 23)]),
            vgradient(rgb("e8c48f"), BROWN), BROWN_D)
    c.fill(polyline([(2, 9), (14, 15), (26, 9)], 0.7), BROWN_D)
    c.fill(segment(14, 15, 14, 29, 0.7), BROWN_D)
    c.fill(polygon([(7, 6.5), (19, 12.5), (21, 11.5), (9, 5.5)]), rgb("f4e1c1"))
    badge_magnifier(c)


@icon("arrow_left")
def _arrow_left(c):
    arrow(c, [(27, 16), (5, 16)], BLUE, BLUE_D, 3.2, 8)


@icon("arrow_right")
def _arrow_right(c):
    arrow(c, [(5, 16), (27, 16)], BLUE, BLUE_D, 3.2, 8)


@icon("arrow_turn_left")
def _arrow_turn_left(c):
    arrow(c, [(24, 28), (24, 13), (6, 13)], BLUE, BLUE_D, 2.6, 7)


@icon("arrow_turn_right")
def _arrow_turn_right(c):
    arrow(c, [(8, 28), (8, 13), (26, 13)], BLUE, BLUE_D, 2.6, 7)


@icon("arrow_undo")
def _arrow_undo(c):
    pts = arc_points(15, 20, 9, -60, 90, 16)
    arrow(c, pts + [(5, 11)], BLUE, BLUE_D, 2.4, 6)


@icon("arrow_redo")
def _arrow_redo(c):
    pts = arc_points(17, 20, 9, 240, 90, 16)
    arrow(c, pts + [(27, 11)], BLUE, BLUE_D, 2.4, 6)


@icon("arrow_refresh")
def _arrow_refresh(c):
    arrow(c, arc_points(16, 16, 10, 200, 20, 16) + [(25, 21)], GREEN, GREEN_D, 2.2, 5.5)
    arrow(c, arc_points(16, 16, 10, 20, -160, 16) + [(7, 11)], GREEN, GREEN_D, 2.2, 5.5)


@icon("book")
def _book(c):
    c.shape(box(6, 3, 27, 29, 2), vgradient(lighten(BLUE), BLUE), BLUE_D)
    c.shape(box(6, 24, 27, 29, 1.5), PAPER, BLUE_D, 1.0)
    c.fill(box(6, 3, 10, 29, 1.5), BLUE_D)
    c.fill(box(13, 8, 24, 12, 0.8), lighten(BLUE, 0.7))


@icon("chart_organisation")
def _chart_org(c):
    c.fill(union(segment(16, 10, 16, 16, 0.8), segment(7, 16, 25, 16, 0.8),
                 segment(7, 16, 7, 21, 0.8), segment(25, 16, 25, 21, 0.8),
                 segment(16, 16, 16, 21, 0.8)), GREY_D)
    square(c, 10, 3, 22, 11, BLUE, BLUE_D, 1.5)
    for x in (2, 12, 22):
        square(c, x, 21, x + 9 - (1 if x == 22 else 0), 29, GREEN, GREEN_D, 1.5)


@icon("chart_bar")
def _chart_bar(c):
    c.fill(polyline([(4, 3), (4, 28), (29, 28)], 1.0), GREY_D)
    square(c, 7, 16, 12, 27, BLUE, BLUE_D, 0.8)
    square(c, 14, 8, 19, 27, GREEN, GREEN_D, 0.8)
    square(c, 21, 12, 26, 27, ORANGE, ORANGE_D, 0.8)


@icon("cube_wireframe")
def _cube_wireframe(c):
    front = [(4, 11), (20, 11), (20, 28), (4, 28), (4, 11)]
    back = [(12, 4), (28, 4), (28, 20), (12, 20), (12, 4)]
    c.fill(polyline(back, 0.9), rgb("8fa9c9"))
    for a, b in zip(front[:4], back[:4]):
        c.fill(segment(a[0], a[1], b[0], b[1], 0.9), BLUE_D)
    c.fill(polyline(front, 1.2), BLUE_D)


@icon("sphere")
def _sphere(c):
    sphere(c)


@icon("spherelockright")
def _sphere_lock(c):
    sphere(c, 13, 13, 11)
    c.erase(box(15, 12, 32, 32, 2))
    lock(c, 17, 13, 13)


@icon("lock")
def _lock(c):
    lock(c)


@icon("database_go")
def _database_go(c):
    cylinder(c, 3, 2, 23, 27)
    badge_arrow(c, "right")


@icon("database_lightning")
def _database_lightning(c):
    cylinder(c, 3, 2, 23, 27)
    badge_lightning(c)


@icon("defrag")
def _defrag(c):
    colors = [(BLUE, BLUE_D), (RED, RED_D), (GREEN, GREEN_D), (GREY, GREY_D)]
    pattern = [0, 0, 0, 2, 0, 0, 1, 3, 0, 2, 3, 1, 2, 3, 3, 3]
    for i, k in enumerate(pattern):
        x, y = 3 + (i % 4) * 6.6, 3 + (i // 4) * 6.6
        square(c, x, y, x + 6, y + 6, colors[k][0], colors[k][1], 1.0)


@icon("egg_scrambled")
def _egg(c):
    white = union(circle(12, 14, 8), circle(20, 12, 7), circle(19, 21, 8), circle(10, 21, 6))
    c.shape(white, rgb("fffdf5"), GREY_D)
    c.shape(circle(15, 16, 5.5), vgradient(rgb("ffd84a"), ORANGE, 10, 22), ORANGE_D)
    c.fill(circle(13.5, 14, 1.5), rgb("fff3b0"))


@icon("eye")
def _eye(c):
    lens = intersect(circle(16, 30, 20), circle(16, 2, 20))
    c.shape(lens, WHITE, GREY_D)
    c.shape(circle(16, 16, 6), vgradient(rgb("6fb0ea"), BLUE_D, 10, 22), BLUE_D, 1.0)
    c.fill(circle(16, 16, 2.7), DARK)
    c.fill(circle(14, 14, 1.2), WHITE)


@icon("ruler")
def _ruler(c):
    body = polygon([(2, 21), (21, 2), (30, 11), (11, 30)])
    c.shape(body, vgradient(rgb("ffe7a0"), YELLOW), YELLOW_D)
    for i in range(1, 9):
        t = i / 9.0
        x, y = 2 + 19 * t, 21 - 19 * t
        length = 5 if i % 2 else 3
        c.fill(segment(x, y, x + length * 0.707, y + length * 0.707, 0.6), YELLOW_D)


def tree_chart(c, inverse):
    def y(v):
        return 32 - v if inverse else v
    c.fill(union(segment(16, y(9), 16, y(15), 0.8), segment(7, y(15), 25, y(15), 0.8),
                 segment(7, y(15), 7, y(21), 0.8), segment(25, y(15), 25, y(21), 0.8)), GREY_D)
    top = sorted((y(3), y(11)))
    bottom = sorted((y(21), y(29)))
    page(c, 11, top[0], 21, top[1], lines=False)
    square(c, 2, bottom[0], 12, bottom[1], BLUE, BLUE_D, 1.2)
    square(c, 20, bottom[0], 30, bottom[1], BLUE, BLUE_D, 1.2)


@icon("sitemap")
def _sitemap(c):
    tree_chart(c, False)


@icon("sitemap_inverse")
def _sitemap_inverse(c):
    tree_chart(c, True)


@icon("tag_blue")
def _tag_blue(c):
    tag(c)


@icon("tag_blue_add")
def _tag_add(c):
    tag(c)
    badge_plus(c)


@icon("tag_blue_delete")
def _tag_delete(c):
    tag(c)
    badge_cross(c)


@icon("tag_blue_edit")
def _tag_edit(c):
    tag(c)
    badge_pencil(c)


@icon("tag_blue_copy")
def _tag_copy(c):
    tag(c)
    badge_pages(c)


@icon("tag_blue_paste")
def _tag_paste(c):
    tag(c)
    badge_clipboard(c)


@icon("contrast")
def _contrast(c):
    c.shape(circle(16, 16, 13), WHITE, DARK, 1.5)
    c.fill(intersect(circle(16, 16, 11.5), box(16, 0, 32, 32)), DARK)


@icon("image")
def _image(c):
    image(c)


@icon("picture_go")
def _picture_go(c):
    image(c, 1, 3, 27, 24)
    badge_arrow(c, "right")


@icon("world")
def _world(c):
    globe(c)


@icon("shading")
def _shading(c):
    def ramp(x, _y):
        t = max(0.0, min(1.0, (x - 4) / 24.0))
        return (1.0 - t * 0.85, 1.0 - t * 0.85, 1.0 - t * 0.85, 1.0)
    c.shape(box(3, 5, 29, 27, 2), ramp, GREY_D)


@icon("shape_handles")
def _shape_handles(c):
    c.fill(subtract(box(6, 6, 26, 26), box(7, 7, 25, 25)), GREY_D)
    c.fill(box(7, 7, 25, 25), rgb("cfe3fb"))
    for x in (6, 26):
        for y in (6, 26):
            c.shape(box(x - 3, y - 3, x + 3, y + 3), WHITE, BLUE_D, 1.0)


def layered(c, front_top):
    square(c, 13, 3, 29, 19, GREY, GREY_D)
    if front_top:
        square(c, 3, 13, 19, 29, BLUE, BLUE_D)
    else:
        square(c, 8, 8, 24, 24, BLUE, BLUE_D)
        square(c, 3, 13, 19, 29, lighten(GREY, 0.5), GREY_D)


@icon("shape_move_front")
def _shape_front(c):
    square(c, 13, 3, 29, 19, GREY, GREY_D)
    square(c, 8, 8, 24, 24, lighten(GREY, 0.4), GREY_D)
    square(c, 3, 13, 19, 29, BLUE, BLUE_D)


@icon("shape_move_forwards")
def _shape_forwards(c):
    square(c, 13, 3, 29, 19, GREY, GREY_D)
    square(c, 3, 13, 19, 29, BLUE, BLUE_D)


@icon("shape_move_forwards_lightning")
def _shape_forwards_lightning(c):
    square(c, 11, 2, 25, 16, GREY, GREY_D)
    square(c, 2, 11, 16, 25, BLUE, BLUE_D)
    badge_lightning(c)


def channel(c, color, dark):
    c.shape(circle(16, 16, 12.5), vgradient(lighten(color, 0.45), color), dark)


@icon("channel_red")
def _channel_red(c):
    channel(c, rgb("e53935"), RED_D)


@icon("channel_green")
def _channel_green(c):
    channel(c, rgb("43a047"), GREEN_D)


@icon("channel_blue")
def _channel_blue(c):
    channel(c, rgb("1e63d6"), BLUE_D)


@icon("channel_alpha")
def _channel_alpha(c):
    checker(c, 4, 4, 28, 28, 4, WHITE, rgb("c3c8cf"), GREY_D, 12)


@icon("application_output")
def _application_output(c):
    window(c, 2, 4, 30, 28, DARK, GREY)
    text_lines(c, 6, 14, 26, [0.45, 0.8, 0.6, 0.3], rgb("c0c0c0"), 3.2)
    c.fill(polyline([(6, 12), (8, 13.2), (6, 14.4)], 0.6), GREEN)


@icon("qtcreator_logo_16")
def _about_toolkit(c):
    # The toolkit's about box: an information mark on the toolkit's green.
    c.shape(box(3, 3, 29, 29, 6), vgradient(rgb("7fd36a"), rgb("3f9e34")), GREEN_D)
    c.fill(circle(16, 9.5, 2.2), WHITE)
    c.fill(segment(16, 14.5, 16, 24, 2.2), WHITE)


@icon("ziver_oviraro_icon_16")
def _logo(c):
    # The workbench's own mark: a wrench-orange tile holding a cube.
    c.shape(box(2, 2, 30, 30, 7), vgradient(rgb("ffb45c"), ORANGE_D), ORANGE_D)
    cx, cy = 16, 16
    top = polygon([(cx, cy - 10), (cx + 9, cy - 5), (cx, cy), (cx - 9, cy - 5)])
    left = polygon([(cx - 9, cy - 5), (cx, cy), (cx, cy + 10), (cx - 9, cy + 5)])
    right = polygon([(cx + 9, cy - 5), (cx, cy), (cx, cy + 10), (cx + 9, cy + 5)])
    c.fill(top, rgb("ffffff"))
    c.fill(left, rgb("ffe2bf"))
    c.fill(right, rgb("f7c28a"))
    c.fill(polyline([(cx - 9, cy - 5), (cx, cy - 10), (cx + 9, cy - 5), (cx + 9, cy + 5),
                     (cx, cy + 10), (cx - 9, cy + 5), (cx - 9, cy - 5)], 0.7), ORANGE_D)
    c.fill(polyline([(cx - 9, cy - 5), (cx, cy), (cx + 9, cy - 5)], 0.6), ORANGE_D)
    c.fill(segment(cx, cy, cx, cy + 10, 0.6), ORANGE_D)

# Tool icons: each tool has a motif of its own on a shared rounded tile.


def tile(c, color, dark):
    c.shape(box(2, 2, 30, 30, 5), vgradient(lighten(color, 0.3), color), dark)


@icon("vsplit")
def _vsplit(c):
    window(c, 2, 3, 30, 29, PAPER, BLUE)
    panes = [(4.5, 11, 15.5, 19.5), (16.5, 11, 27.5, 19.5),
             (4.5, 20.5, 15.5, 26.5), (16.5, 20.5, 27.5, 26.5)]
    shades = [rgb("3b4250"), rgb("d7dde6"), rgb("d7dde6"), rgb("d7dde6")]
    for (x0, y0, x1, y1), col in zip(panes, shades):
        c.fill(box(x0, y0, x1, y1, 0.5), col)
    c.fill(polyline([(7, 17.5), (10, 13), (13, 17.5), (7, 17.5)], 0.6), rgb("8fd0ff"))


@icon("icon_vbsp")
def _icon_vbsp(c):
    # Detail props: tufts of grass on a patch of ground.
    c.shape(ellipse(16, 25, 13, 4.5), vgradient(rgb("b88b57"), BROWN_D, 20, 30), BROWN_D)
    for base, tip in [((9, 25), (5, 8)), ((13, 25), (13, 4)), ((17, 25), (22, 6)),
                      ((20, 25), (27, 12)), ((11, 25), (8, 14)), ((15, 25), (17, 11))]:
        mid = ((base[0] + tip[0]) / 2.0 + 1, (base[1] + tip[1]) / 2.0)
        blade = polygon([(base[0] - 1.6, base[1]), mid, tip, (mid[0] + 0.5, mid[1]),
                         (base[0] + 1.6, base[1])])
        c.shape(blade, vgradient(rgb("8fe07a"), GREEN_D, 4, 26), GREEN_D, 0.9)


@icon("vvmt")
def _vvmt(c):
    # A material: a shaded ball over a script page.
    page(c, 3, 2, 23, 30)
    c.erase(circle(22, 21, 9.5))
    sphere(c, 22, 21, 8.5, rgb("c46fd8"), PURPLE_D)


@icon("vmass")
def _vmass(c):
    page(c, 10, 1, 28, 20, lines=False)
    page(c, 6, 5, 24, 24, lines=False)
    page(c, 2, 9, 20, 29)
    c.erase(circle(23, 22, 8.5))
    sphere(c, 23, 22, 7.5, rgb("c46fd8"), PURPLE_D)


@icon("vvtf")
def _vvtf(c):
    checker(c, 3, 3, 29, 29, 4, rgb("f08a3c"), rgb("5b3a8e"), GREY_D, 2)
    c.fill(subtract(box(3, 3, 29, 29, 2), box(4, 4, 28, 28, 1)), GREY_D)


@icon("vtfmass2")
def _vtfmass(c):
    checker(c, 12, 2, 30, 20, 3, rgb("9ab3d6"), rgb("5a6f8f"), GREY_D, 1.5)
    checker(c, 7, 7, 25, 25, 3, rgb("8fd07f"), rgb("3d7d33"), GREY_D, 1.5)
    checker(c, 2, 12, 20, 30, 3, rgb("f08a3c"), rgb("5b3a8e"), GREY_D, 1.5)


def map_sheet(c, x0=2, y0=2, x1=30, y1=30):
    c.shape(box(x0, y0, x1, y1, 2), vgradient(rgb("e9eef5"), rgb("c8d3e2")), GREY_D)
    inner = box(x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5)
    walls = union(segment(x0 + 5, y0 + 6, x1 - 8, y0 + 6, 1.2),
                  segment(x1 - 8, y0 + 6, x1 - 8, y1 - 9, 1.2),
                  segment(x0 + 5, y0 + 6, x0 + 5, y1 - 5, 1.2),
                  segment(x0 + 5, y1 - 5, x1 - 4, y1 - 5, 1.2),
                  segment(x0 + 10, y0 + 12, x1 - 13, y0 + 12, 1.2))
    c.fill(intersect(walls, inner), rgb("5f6b7c"))


@icon("icon_bsp")
def _icon_bsp(c):
    map_sheet(c)


@icon("vbspinfo")
def _vbspinfo(c):
    map_sheet(c, 1, 1, 27, 27)
    badge_area(c)
    c.shape(circle(23, 23, 7.5), vgradient(lighten(BLUE), BLUE, 15, 31), BLUE_D)
    c.fill(circle(23, 19.5, 1.4), WHITE)
    c.fill(segment(23, 22.5, 23, 27, 1.3), WHITE)


@icon("ventity")
def _ventity(c):
    # Entities: a key/value sheet with a light-bulb entity marker.
    c.shape(box(3, 3, 25, 29, 2), PAPER, PAPER_D)
    for i in range(5):
        y = 8 + i * 4.2
        c.fill(segment(6.5, y, 11.5, y, 0.7), BLUE)
        c.fill(segment(14, y, 21.5, y, 0.7), rgb("a9b3c1"))
    c.erase(circle(23, 21, 9))
    c.shape(union(circle(23, 19, 6.5), box(20, 22, 26, 27, 1)),
            vgradient(rgb("fff3a0"), YELLOW, 12, 26), YELLOW_D)
    c.shape(box(20, 25, 26, 30.5, 1), GREY, GREY_D, 1.0)


@icon("vpakfile")
def _vpakfile(c):
    # The map's embedded archive: a zipped parcel on a map sheet.
    map_sheet(c, 1, 1, 24, 24)
    c.erase(box(11, 11, 32, 32, 2))
    c.shape(box(12, 12, 30, 30, 2), vgradient(rgb("e8c48f"), BROWN), BROWN_D)
    for i in range(4):
        y = 14 + i * 4
        c.fill(box(19.5, y, 22.5, y + 2), GREY_D)
        c.fill(box(20.2, y + 0.5, 21.8, y + 1.5), rgb("e6e9ee"))


@icon("particles")
def _particles(c):
    c.fill(circle(16, 16, 13), rgb("ffb74d", 0.18))
    sparks = [(16, 16, 4.2), (8, 9, 2.2), (24, 8, 2.6), (26, 20, 1.8), (9, 24, 2.8),
              (18, 27, 1.6), (5, 16, 1.4), (20, 11, 1.4)]
    for x, y, r in sparks:
        c.fill(circle(x, y, r + 1.2), rgb("ff7a00", 0.35))
        c.shape(circle(x, y, r), vgradient(rgb("fffbe0"), rgb("ffb000"), y - r, y + r),
                ORANGE_D, 0.9)


@icon("fgd")
def _fgd(c):
    page(c, 4, 2, 26, 30, lines=False)
    c.fill(polyline([(13, 9), (10.5, 9), (10.5, 14), (9, 15.5), (10.5, 17), (10.5, 23),
                     (13, 23)], 0.9), PURPLE_D)
    c.fill(polyline([(17, 9), (19.5, 9), (19.5, 14), (21, 15.5), (19.5, 17), (19.5, 23),
                     (17, 23)], 0.9), PURPLE_D)
    c.fill(circle(15, 16, 1.4), PURPLE)


@icon("icon_lmp")
def _icon_lmp(c):
    # A lump: one block cut out of the map.
    c.shape(polygon([(4, 10), (16, 4), (28, 10), (28, 23), (16, 29), (4, 23)]),
            rgb("8fa9c9"), BLUE_D)
    c.fill(polygon([(4, 10), (16, 4), (28, 10), (16, 16)]), rgb("c4d6ec"))
    c.fill(polygon([(16, 16), (28, 10), (28, 23), (16, 29)]), rgb("6a88b0"))
    c.fill(polyline([(4, 10), (16, 16), (28, 10)], 0.6), BLUE_D)
    c.fill(segment(16, 16, 16, 29, 0.6), BLUE_D)


@icon("icon_vmf")
def _icon_vmf(c):
    # A map source: a page with a brush outline drawn on it.
    page(c, 4, 2, 26, 30, lines=False)
    c.fill(polyline([(9, 14), (15, 11), (21, 14), (21, 22), (15, 25), (9, 22), (9, 14)], 0.8),
           BLUE_D)
    c.fill(polyline([(9, 14), (15, 17), (21, 14)], 0.6), BLUE_D)
    c.fill(segment(15, 17, 15, 25, 0.6), BLUE_D)


def fingerprint(c):
    c.fill(circle(16, 16, 14), rgb("e9eef5"))
    for i, r in enumerate((2.5, 5.0, 7.5, 10.0, 12.5)):
        start, end = (200 + i * 12, -20 - i * 9) if i % 2 else (160 - i * 5, -40 + i * 6)
        c.fill(polyline(arc_points(16, 18, r, start, end, 20), 0.85), rgb("5b6675"))


FUGUE = {"fingerprint": fingerprint}

# ---------------------------------------------------------------- output


def write(path, canvas):
    with open(path, "wb") as handle:
        handle.write(canvas.png())


def sheet(path, canvases, columns=12, scale=2, pad=4):
    """A contact sheet of every icon on a light background, for reviewing the set."""
    cell = SIZE + 2 * pad
    rows = (len(canvases) + columns - 1) // columns
    width, height = columns * cell * scale, rows * cell * scale
    back = (0.91, 0.92, 0.94)
    out = []
    for y in range(height):
        row = bytearray([0])
        for x in range(width):
            cx, cy = x // scale, y // scale
            index = (cy // cell) * columns + cx // cell
            ix, iy = cx % cell - pad, cy % cell - pad
            color = back
            if index < len(canvases) and 0 <= ix < SIZE and 0 <= iy < SIZE:
                r, g, b, a = canvases[index].px[iy * SIZE + ix]
                color = tuple(p + q * (1.0 - a) for p, q in zip((r, g, b), back))
            row += bytes(int(round(v * 255)) for v in color) + b"\xff"
        out.append(bytes(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as handle:
        handle.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                     + chunk(b"IDAT", zlib.compress(b"".join(out), 9)) + chunk(b"IEND", b""))


def main():
    icons_dir = os.path.join(HERE, "icons")
    fugue_dir = os.path.join(HERE, "icons_fugue", "icons")
    os.makedirs(icons_dir, exist_ok=True)
    os.makedirs(fugue_dir, exist_ok=True)
    entries = []
    drawn = []
    for table, folder, prefix in ((ICONS, icons_dir, "icons/"),
                                  (FUGUE, fugue_dir, "icons_fugue/icons/")):
        for name in sorted(table):
            c = Canvas()
            table[name](c)
            drawn.append(c)
            write(os.path.join(folder, name + ".png"), c)
            entries.append((prefix + name, prefix + name + ".png"))

    # Callers name icons both with and without ".png"; both resolve.
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '<qresource prefix="/resources">']
    for alias, path in entries:
        lines.append('    <file alias="%s">%s</file>' % (alias, path))
        lines.append('    <file alias="%s.png">%s</file>' % (alias, path))
    lines += ['</qresource>', '</RCC>', '']
    with open(os.path.join(HERE, "icons.qrc"), "w") as handle:
        handle.write("\n".join(lines))
    if len(sys.argv) > 2 and sys.argv[1] == "--sheet":
        sheet(sys.argv[2], drawn)
    print("wrote %d icons" % len(entries))


if __name__ == "__main__":
    main()
