#!/usr/bin/env python3
"""Draws the suite's icons and bitmaps and writes them as .ico and .bmp files.

Standard library only, so that anyone can rebuild the art. Shapes are rasterised with 4 x 4
samples per pixel; a pixel takes the colour that covers most of its samples (no blending), which
keeps edges crisp and the palettes small enough for 16-colour files.

Usage: tools/make-art.py            (writes the files under resident/, settings/, setup/)
       tools/make-art.py --check    (fails if a committed file differs from what it would write)
"""

import math
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Colours (RGB).
MAGENTA = (255, 0, 255)  # transparent colour of the image-list strips
BTNFACE = (192, 192, 192)  # classic button face; the menu images are masked with it
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
INK = (24, 26, 38)  # the bird
INK_LIGHT = (70, 78, 110)  # the bird's wing
GREY = (128, 128, 128)
DARK_GREY = (64, 64, 64)
BLUE = (36, 92, 196)
BLUE_DARK = (20, 50, 120)
AMBER = (240, 168, 32)
AMBER_DARK = (160, 100, 10)
TEAL = (24, 150, 140)
TEAL_DARK = (12, 90, 84)
GREEN = (24, 150, 40)
RED = (200, 30, 30)
YELLOW = (250, 214, 80)
YELLOW_DARK = (176, 130, 20)
TAN = (206, 160, 100)
TAN_DARK = (132, 92, 44)
PINK = (236, 130, 150)
BEAK = (230, 150, 40)

SAMPLES = 4


# --- shapes: each is a predicate over a point in drawing units ------------------------------


def ellipse(cx, cy, rx, ry, angle=0.0):
    c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * c + dy * s, -dx * s + dy * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0

    return inside


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit

    return inside


def line(x0, y0, x1, y1, width):
    """A straight stroke of the given width between two points."""
    length = math.hypot(x1 - x0, y1 - y0) or 1.0
    nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
    return polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])


def ring(cx, cy, r_out, r_in):
    return lambda x, y: circle(cx, cy, r_out)(x, y) and not circle(cx, cy, r_in)(x, y)


def moved(shape, dx, dy, scale=1.0):
    """The shape scaled about the origin, then moved."""
    return lambda x, y: shape((x - dx) / scale, (y - dy) / scale)


class Canvas:
    """A picture of w x h pixels in drawing units of `unit` pixels; None is transparent."""

    def __init__(self, w, h, background=None, unit=1.0):
        self.w, self.h, self.unit = w, h, unit
        self.layers = []
        self.background = background

    def fill(self, shape, colour):
        self.layers.append((shape, colour))
        return self

    def draw(self, parts):
        for shape, colour in parts:
            self.fill(shape, colour)
        return self

    def pixels(self):
        rows = []
        for py in range(self.h):
            row = []
            for px in range(self.w):
                votes = {}
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        x = (px + (sx + 0.5) / SAMPLES) / self.unit
                        y = (py + (sy + 0.5) / SAMPLES) / self.unit
                        colour = self.background
                        for shape, c in reversed(self.layers):
                            if shape(x, y):
                                colour = c
                                break
                        votes[colour] = votes.get(colour, 0) + 1
                row.append(max(votes, key=lambda c: votes[c]))
            rows.append(row)
        return rows


# --- file writers ----------------------------------------------------------------------------


def palette_of(images, fixed=()):
    colours = list(fixed)
    for rows in images:
        for row in rows:
            for c in row:
                if c is not None and c not in colours:
                    colours.append(c)
    return colours


def dib(rows, palette, bits, mask_rows=None):
    """BITMAPINFOHEADER, colour table and bottom-up pixel rows (plus an AND mask for icons)."""
    h, w = len(rows), len(rows[0])
    index = {c: i for i, c in enumerate(palette)}
    stride = ((w * bits + 31) // 32) * 4
    xor = bytearray()
    for row in reversed(rows):
        line_bytes = bytearray(stride)
        for x, c in enumerate(row):
            i = index.get(c, 0)
            if bits == 4:
                line_bytes[x // 2] |= i << (4 if x % 2 == 0 else 0)
            else:
                line_bytes[x] = i
        xor += line_bytes
    mask = bytearray()
    if mask_rows is not None:
        mstride = ((w + 31) // 32) * 4
        for row in reversed(rows):
            line_bytes = bytearray(mstride)
            for x, c in enumerate(row):
                if c is None:
                    line_bytes[x // 8] |= 0x80 >> (x % 8)
            mask += line_bytes
    table = bytearray()
    for i in range(1 << bits):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    height = h * 2 if mask_rows is not None else h
    header = struct.pack(
        "<IiiHHIIiiII", 40, w, height, 1, bits, 0, len(xor) + len(mask), 0, 0, 1 << bits, 0
    )
    return header + table + xor + mask


def bits_for(palette):
    if len(palette) <= 16:
        return 4
    if len(palette) <= 256:
        return 8
    raise ValueError("more than 256 colours")


def ico_bytes(canvases):
    """One .ico file holding every canvas (square, transparent where None)."""
    images = [c.pixels() for c in canvases]
    blobs = []
    for rows in images:
        # Transparent pixels carry black in the colour plane, as the AND/XOR scheme wants.
        palette = palette_of([rows], fixed=[BLACK])
        bits = bits_for(palette)
        blobs.append((len(rows[0]), len(rows), bits, dib(rows, palette, bits, mask_rows=True)))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for w, h, bits, blob in blobs:
        out += struct.pack("<BBBBHHII", w, h, 16 if bits == 4 else 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob[3]
    return out


def bmp_bytes(canvas, fixed=()):
    rows = canvas.pixels()
    palette = palette_of([rows], fixed=fixed)
    bits = bits_for(palette)
    body = dib(rows, palette, bits)
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + 40 + 4 * (1 << bits)) + body


# --- the bird ----------------------------------------------------------------------------------


def raven(detail=True):
    """A perched corvid facing right, in a 32 x 32 unit box."""
    parts = [
        (line(14, 23, 12.5, 28.5, 1.6), DARK_GREY),
        (line(17.5, 23, 18, 28.5, 1.6), DARK_GREY),
        (polygon([(9, 18.5), (1.5, 25), (3.5, 27.5), (12, 22)]), INK),
        (ellipse(15.5, 18.5, 9.5, 6, -22), INK),
        (polygon([(18, 12), (25.5, 10), (24, 18.5), (17.5, 20)]), INK),
        (circle(23, 11, 4.6), INK),
        (polygon([(26.5, 8.8), (31.5, 12), (26.5, 13.6)]), BEAK if detail else INK),
    ]
    if detail:
        parts += [
            (ellipse(14, 18, 6.5, 3.2, -22), INK_LIGHT),
            (circle(24.2, 10.2, 1.2), WHITE),
        ]
    return parts


def badge(fill, edge, edge_width):
    return [(circle(16, 16, 15.8), edge), (circle(16, 16, 15.8 - edge_width), fill)]


def on_badge(fill, edge, detail=True):
    # At 16 pixels a one-unit edge would be half a pixel wide and come out ragged.
    bird = [(moved(s, 2.5, 3.0, 0.82), c) for s, c in raven(detail)]
    return badge(fill, edge, 1.4 if detail else 2.0) + bird


def plus_sign(cx, cy, size, thick, colour, outline=WHITE):
    h = size / 2
    parts = []
    if outline:
        o = thick / 2 + 1
        parts += [
            (rect(cx - h - 1, cy - o, cx + h + 1, cy + o), outline),
            (rect(cx - o, cy - h - 1, cx + o, cy + h + 1), outline),
        ]
    t = thick / 2
    return parts + [
        (rect(cx - h, cy - t, cx + h, cy + t), colour),
        (rect(cx - t, cy - h, cx + t, cy + h), colour),
    ]


def icon(parts_32, parts_16=None):
    """The same picture at 32 and 16 pixels; parts_16 may simplify it."""
    return [
        Canvas(16, 16, unit=0.5).draw(parts_16 or parts_32),
        Canvas(32, 32).draw(parts_32),
    ]


def settings_icon():
    return icon(on_badge(AMBER, AMBER_DARK), on_badge(AMBER, AMBER_DARK, detail=False))


def resident_icon():
    return icon(on_badge(BLUE, BLUE_DARK), on_badge(BLUE, BLUE_DARK, detail=False))


def tray_icon():
    # The notification area shows it at 16 pixels: no badge edge, a bolder bird.
    bird16 = [(moved(s, 1.2, 1.6, 0.92), c) for s, c in raven(detail=False)]
    plus = plus_sign(25, 25, 12, 4, GREEN)
    return icon(on_badge(BLUE, BLUE_DARK) + plus, [(circle(16, 16, 16), BLUE)] + bird16)


def plus_page_icon():
    keycap = [
        (rect(3, 17, 29, 31), DARK_GREY),
        (rect(4, 17, 28, 29), BTNFACE),
        (rect(6, 18.5, 26, 26.5), WHITE),
    ]
    bird = [(moved(s, 6, -3, 0.62), c) for s, c in raven()]
    return icon(keycap + bird + plus_sign(16, 22.5, 7, 2.4, BLUE, outline=None))


def bar_page_icon():
    frame = [
        (rect(0, 4, 32, 28), DARK_GREY),
        (rect(2, 6, 30, 26), WHITE),
        (rect(2, 6, 30, 10), BLUE),
        (rect(2, 10, 30, 18), BTNFACE),
        (rect(4, 12, 10, 16), YELLOW),
        (rect(12, 12, 18, 16), GREEN),
        (rect(20, 12, 26, 16), RED),
        (rect(2, 18, 30, 20), GREY),
    ]
    bird = [(moved(s, 13, 12, 0.55), c) for s, c in raven()]
    return icon(frame + bird)


def uninstall_icon():
    box = [
        (polygon([(5, 19), (27, 19), (29, 31), (3, 31)]), TAN_DARK),
        (polygon([(6, 20), (26, 20), (27.5, 30), (4.5, 30)]), TAN),
        (rect(5, 19, 27, 22), TAN_DARK),
        (rect(14.5, 22, 17.5, 30), TAN_DARK),
    ]
    bird = [(moved(s, 3, -6.5, 0.78), c) for s, c in raven()]
    return icon(bird + box)


# --- strips of 16 x 15 images --------------------------------------------------------------


def strip(cells, background):
    """Cells drawn side by side, each in its own 16 x 15 box."""
    canvas = Canvas(16 * len(cells), 15, background=background)
    for i, parts in enumerate(cells):
        for shape, colour in parts:
            canvas.fill(moved(shape, 16 * i, 0), colour)
    return canvas


def page_glyph():
    return [
        (polygon([(2, 0.5), (9.5, 0.5), (13, 4), (13, 14.5), (2, 14.5)]), DARK_GREY),
        (polygon([(3, 1.5), (9, 1.5), (12, 4.5), (12, 13.5), (3, 13.5)]), WHITE),
        (polygon([(9, 1.5), (9, 4.5), (12, 4.5)]), GREY),
    ]


def folder_glyph():
    return [
        (polygon([(0.5, 3), (5.5, 3), (7, 4.5), (14.5, 4.5), (14.5, 13.5), (0.5, 13.5)]), YELLOW_DARK),
        (rect(1.5, 6, 13.5, 12.5), YELLOW),
    ]


def arrow_glyph(up):
    pts = [(8, 1.5), (14, 7.5), (10.5, 7.5), (10.5, 13.5), (5.5, 13.5), (5.5, 7.5), (2, 7.5)]
    if not up:
        pts = [(x, 15 - y) for x, y in pts]
    inner = [(8 + (x - 8) * 0.72, 7.5 + (y - 7.5) * 0.72) for x, y in pts]
    return [(polygon(pts), BLUE_DARK), (polygon(inner), BLUE)]


def small_plus():
    return plus_sign(12, 11, 6, 2, GREEN, outline=WHITE)


def menu_edit_strip():
    add_file = page_glyph() + small_plus()
    add_folder = folder_glyph() + small_plus()
    rename = [
        (rect(0.5, 9, 15.5, 14.5), DARK_GREY),
        (rect(1.5, 10, 14.5, 13.5), WHITE),
        (line(3, 11.8, 8, 11.8, 1), DARK_GREY),
        (line(4.5, 8.5, 12.5, 0.5, 3), YELLOW_DARK),
        (line(5, 8, 12, 1, 1.6), YELLOW),
        (line(11.5, 1.5, 13.5, -0.5, 3), PINK),
        (polygon([(2.5, 10.5), (3.5, 7), (6, 9.5)]), DARK_GREY),
    ]
    delete = [(line(3, 3, 13, 13, 3), RED), (line(13, 3, 3, 13, 3), RED)]
    return strip(
        [add_file, add_folder, rename, arrow_glyph(True), arrow_glyph(False), delete], MAGENTA
    )


def tab_strip():
    menu_list = [(rect(1, 1, 15, 14), DARK_GREY), (rect(2, 2, 14, 13), WHITE)]
    for i, colour in enumerate((YELLOW, BLUE, GREEN)):
        y = 3 + 3.5 * i
        menu_list += [(rect(3, y, 6, y + 2.5), colour), (rect(7, y + 0.8, 13, y + 1.8), DARK_GREY)]
    plus = [
        (rect(1, 2, 15, 14), DARK_GREY),
        (rect(2, 2, 14, 12.5), BTNFACE),
        (rect(3, 3, 13, 11), WHITE),
        (rect(4, 6.2, 12, 8.2), BLUE),
        (rect(7, 3.8, 9, 10.6), BLUE),
    ]
    bar = [
        (rect(0, 3, 16, 12), DARK_GREY),
        (rect(1, 4, 15, 11), BTNFACE),
        (rect(2, 5, 5, 10), YELLOW),
        (rect(6, 5, 9, 10), GREEN),
        (rect(10, 5, 13, 10), RED),
    ]
    return strip([menu_list, plus, bar], MAGENTA)


def tray_menu_strip():
    about = [
        (circle(8, 7.5, 6.8), BLUE_DARK),
        (circle(8, 7.5, 5.8), BLUE),
        (rect(7, 6.5, 9, 11.5), WHITE),
        (rect(7, 3.5, 9, 5.3), WHITE),
    ]
    exit_ = [
        (rect(1.5, 1, 10.5, 14.5), DARK_GREY),
        (rect(2.5, 2, 9.5, 14.5), TAN),
        (polygon([(2.5, 2), (7, 3.5), (7, 14.5), (2.5, 14.5)]), TAN_DARK),
        (polygon([(8, 6), (11.5, 6), (11.5, 3.5), (15.5, 7.5), (11.5, 11.5), (11.5, 9), (8, 9)]), RED),
    ]
    return strip([about, exit_], BTNFACE)


# --- the install banner --------------------------------------------------------------------

FONT = {
    # 5 x 7 glyphs, "#" set.
    "C": [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    "o": ["     ", "     ", " ### ", "#   #", "#   #", "#   #", " ### "],
    "r": ["     ", "     ", "# ## ", "##  #", "#    ", "#    ", "#    "],
    "v": ["     ", "     ", "#   #", "#   #", "#   #", " # # ", "  #  "],
    "i": ["  #  ", "     ", " ##  ", "  #  ", "  #  ", "  #  ", " ### "],
    "n": ["     ", "     ", "# ## ", "##  #", "#   #", "#   #", "#   #"],
    "a": ["     ", "     ", " ### ", "    #", " ####", "#   #", " ####"],
}


def text(s, x, y, scale, colour):
    parts = []
    for ch in s:
        for row, bits in enumerate(FONT[ch]):
            for col, b in enumerate(bits):
                if b == "#":
                    x0, y0 = x + col * scale, y + row * scale
                    parts.append((rect(x0, y0, x0 + scale, y0 + scale), colour))
        x += 6 * scale
    return parts


def banner():
    # Bars of a navy to teal gradient, quantised so that the file stays at 16 colours.
    w, h = 198, 32
    steps = 9
    start, end = (16, 30, 70), (20, 120, 124)
    canvas = Canvas(w, h)
    for i in range(steps):
        t = i / (steps - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(start, end))
        canvas.fill(rect(w * i / steps, 0, w * (i + 1) / steps + 1, h), colour)
    canvas.draw([(moved(s, 6, 1, 0.95), c) for s, c in raven()])
    # The bird is dark on a dark ground: give it a pale disc.
    canvas.layers.insert(steps, (circle(21.5, 16, 15), (210, 224, 232)))
    canvas.draw(text("Corvina", 46, 5, 3, WHITE))
    canvas.fill(rect(46, 28, 170, 29), AMBER)
    return canvas


# --- the files ---------------------------------------------------------------------------------


def outputs():
    return {
        "resident/res/CorvinaPlus.ico": lambda: ico_bytes(resident_icon()),
        "resident/res/Tray.ico": lambda: ico_bytes(tray_icon()),
        "resident/res/TrayMenu.bmp": lambda: bmp_bytes(tray_menu_strip(), fixed=[BTNFACE]),
        "settings/res/Corvset.ico": lambda: ico_bytes(settings_icon()),
        "settings/res/PlusPage.ico": lambda: ico_bytes(plus_page_icon()),
        "settings/res/BarPage.ico": lambda: ico_bytes(bar_page_icon()),
        "settings/res/MenuEdit.bmp": lambda: bmp_bytes(menu_edit_strip(), fixed=[MAGENTA]),
        "settings/res/Tabs.bmp": lambda: bmp_bytes(tab_strip(), fixed=[MAGENTA]),
        "setup/res/Uninstall.ico": lambda: ico_bytes(uninstall_icon()),
        "setup/res/Banner.bmp": lambda: bmp_bytes(banner()),
    }


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    for rel, make in outputs().items():
        data = make()
        path = os.path.join(ROOT, rel)
        if check:
            with open(path, "rb") as f:
                if f.read() != data:
                    stale.append(rel)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print(f"{rel}: {len(data)} bytes")
    if stale:
        print("out of date: " + ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
