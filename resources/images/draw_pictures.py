#!/usr/bin/env python3
"""Draws every picture WinYk shows and writes them as PNG files next to this script.

Nothing here is copied from an icon theme: the toolbar images and the window icon are
built from shapes (an oblique cardboard archive box plus an action sign), the small list
glyphs and the hand cursor are pixel grids written out as string art.

Run:  python3 resources/images/draw_pictures.py   (standard library only)

Hand cursor hot spot: (6, 1) in hand_cursor.png, the tip of the index finger.
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# Hot spot of hand_cursor.png; the program passes these to QCursor.
HAND_HOT_X = 6
HAND_HOT_Y = 1


# ---------------------------------------------------------------- canvas and PNG


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0) for _ in range(w)] for _ in range(h)]

    def inside(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h

    def put(self, x, y, c):
        """Composites colour c (r, g, b[, a]) over the pixel (source-over)."""
        if not self.inside(x, y):
            return
        r, g, b = c[:3]
        a = c[3] if len(c) > 3 else 255
        if a >= 255:
            self.px[y][x] = (r, g, b, 255)
            return
        if a <= 0:
            return
        dr, dg, db, da = self.px[y][x]
        sa = a / 255.0
        oa = sa + da / 255.0 * (1 - sa)
        if oa <= 0:
            return

        def mix(s, d):
            return round((s * sa + d * (da / 255.0) * (1 - sa)) / oa)

        self.px[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), round(oa * 255))

    def png(self, path):
        raw = b"".join(
            b"\x00" + bytes(v for p in row for v in p) for row in self.px
        )

        def chunk(tag, data):
            body = tag + data
            return (
                struct.pack(">I", len(data))
                + body
                + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
            )

        ihdr = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        data = (
            b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b"")
        )
        with open(path, "wb") as f:
            f.write(data)


# ---------------------------------------------------------------- masks (pixel sets)


def poly_mask(points):
    """Pixels whose centres lie inside the polygon (even-odd rule)."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    out = set()
    for y in range(int(min(ys)) - 1, int(max(ys)) + 2):
        cy = y + 0.5
        for x in range(int(min(xs)) - 1, int(max(xs)) + 2):
            cx = x + 0.5
            inside = False
            n = len(points)
            for i in range(n):
                x1, y1 = points[i]
                x2, y2 = points[(i + 1) % n]
                if (y1 > cy) != (y2 > cy):
                    xi = x1 + (cy - y1) * (x2 - x1) / (y2 - y1)
                    if cx < xi:
                        inside = not inside
            if inside:
                out.add((x, y))
    return out


def rect_mask(x, y, w, h):
    return {(i, j) for i in range(x, x + w) for j in range(y, y + h)}


def disc_mask(cx, cy, r):
    """Pixels whose centres lie within r of (cx, cy)."""
    out = set()
    for y in range(int(cy - r) - 1, int(cy + r) + 2):
        for x in range(int(cx - r) - 1, int(cx + r) + 2):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                out.add((x, y))
    return out


def thick_line_mask(x1, y1, x2, y2, half):
    """A bar of half-width `half` between two points, as a polygon."""
    dx, dy = x2 - x1, y2 - y1
    ln = (dx * dx + dy * dy) ** 0.5
    nx, ny = -dy / ln * half, dx / ln * half
    return poly_mask(
        [(x1 + nx, y1 + ny), (x2 + nx, y2 + ny), (x2 - nx, y2 - ny), (x1 - nx, y1 - ny)]
    )


def edge(mask):
    """Mask pixels that touch a pixel outside the mask (4-neighbourhood)."""
    return {
        (x, y)
        for (x, y) in mask
        if (x - 1, y) not in mask
        or (x + 1, y) not in mask
        or (x, y - 1) not in mask
        or (x, y + 1) not in mask
    }


def bbox(mask):
    xs = [p[0] for p in mask]
    ys = [p[1] for p in mask]
    return min(xs), min(ys), max(xs), max(ys)


def lerp(c1, c2, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a + (b - a) * t) for a, b in zip(c1, c2))


def shadow(cv, mask, dx=1, dy=1, alpha=70):
    """A hard drop shadow so shapes stand off a grey window."""
    for x, y in mask:
        if (x + dx, y + dy) not in mask:
            cv.put(x + dx, y + dy, (0, 0, 0, alpha))


def paint(cv, mask, top, bottom, outline, light=None, dark=None, diagonal=False):
    """Fills a mask with a gradient, a bevel just inside the outline, then the outline.

    The bevel (light on top/left, dark on bottom/right) gives the raised desktop look."""
    x0, y0, x1, y1 = bbox(mask)
    span = max(1, (x1 - x0) + (y1 - y0) if diagonal else y1 - y0)
    rim = edge(mask)
    inner = mask - rim
    inner_rim = edge(inner) if inner else set()
    for x, y in mask:
        t = ((x - x0) + (y - y0)) / span if diagonal else (y - y0) / span
        c = lerp(top, bottom, t)
        if (x, y) in inner_rim:
            up_left = (x - 1, y) in rim or (x, y - 1) in rim
            down_right = (x + 1, y) in rim or (x, y + 1) in rim
            if light and up_left and not down_right:
                c = light
            elif dark and down_right and not up_left:
                c = dark
        cv.put(x, y, c)
    for x, y in rim:
        cv.put(x, y, outline)


def grid(cv, rows, palette, ox=0, oy=0):
    """Draws string art: one character per pixel, '.' or ' ' is transparent."""
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch in ". ":
                continue
            cv.put(ox + x, oy + y, palette[ch])


def check_grid(name, rows, w, h):
    assert len(rows) == h, (name, len(rows))
    for r in rows:
        assert len(r) == w, (name, r, len(r))


# ---------------------------------------------------------------- the archive box

# Cardboard tones shared by the toolbar set and the window icon.
BOX_TOP = (244, 214, 158)
BOX_TOP_BACK = (230, 192, 128)
BOX_FRONT_HI = (226, 180, 112)
BOX_FRONT_LO = (192, 140, 72)
BOX_SIDE_HI = (170, 122, 60)
BOX_SIDE_LO = (138, 96, 44)
BOX_LINE = (84, 52, 18)
BOX_CREASE = (150, 104, 48)
STRAP = (46, 92, 178)
STRAP_HI = (104, 150, 226)
STRAP_LO = (28, 58, 124)
LABEL = (252, 250, 240)
LABEL_TEXT = (150, 150, 150)


def draw_box(cv, x, y, w, h, d):
    """An oblique cardboard archive box held by a blue strap.

    (x, y) is the top-left of the whole drawing, w and h the front face, d the depth
    drawn at 45 degrees up and to the right."""
    fy = y + d  # top of the front face
    front = rect_mask(x, fy, w, h)
    top = set()
    side = set()
    for k in range(1, d + 1):
        for i in range(x + k, x + w + k):
            top.add((i, fy - k))
        for j in range(fy - k, fy + h - k):
            side.add((x + w - 1 + k, j))
    side -= front
    top -= front
    whole = front | top | side

    shadow(cv, whole, 1, 1, 60)
    shadow(cv, whole, 2, 2, 30)
    for px, py in top:
        t = (fy - py) / max(1, d)
        cv.put(px, py, lerp(BOX_TOP, BOX_TOP_BACK, t))
    for px, py in side:
        cv.put(px, py, lerp(BOX_SIDE_HI, BOX_SIDE_LO, (py - y) / (d + h)))
    for px, py in front:
        cv.put(px, py, lerp(BOX_FRONT_HI, BOX_FRONT_LO, (py - fy) / max(1, h - 1)))
    # Highlight along the front's top and left, crease where the faces meet.
    for i in range(x + 1, x + w - 1):
        cv.put(i, fy + 1, lerp(BOX_TOP, BOX_FRONT_HI, 0.3))
    for j in range(fy + 1, fy + h - 1):
        cv.put(x + 1, j, lerp(BOX_TOP, BOX_FRONT_HI, 0.5))
    for i in range(x, x + w):
        cv.put(i, fy, BOX_CREASE)
    for j in range(fy, fy + h):
        cv.put(x + w - 1, j, BOX_CREASE)

    # The strap: down the middle of the front, then back across the lid.
    sw = max(3, w // 6)
    sx = x + (w - sw) // 2
    for j in range(fy, fy + h):
        for i in range(sx, sx + sw):
            c = STRAP_HI if i == sx else STRAP_LO if i == sx + sw - 1 else STRAP
            cv.put(i, j, c)
    for k in range(1, d + 1):
        for i in range(sx + k, sx + sw + k):
            c = STRAP_HI if i == sx + k else STRAP
            cv.put(i, fy - k, lerp(c, (255, 255, 255), 0.25))

    # A paper label on the front, left of the strap.
    lw = max(4, (sx - x) - 4)
    lh = max(3, h // 3)
    lx, ly = x + 2, fy + (h - lh) // 2
    if w >= 20:
        for j in range(ly, ly + lh):
            for i in range(lx, lx + lw):
                cv.put(i, j, LABEL)
        for j in range(ly + 2, ly + lh - 1, 2):
            for i in range(lx + 1, lx + lw - 1 - (j % 3)):
                cv.put(i, j, LABEL_TEXT)
        for i in range(lx, lx + lw):
            cv.put(i, ly + lh, (0, 0, 0, 50))

    for px, py in edge(whole):
        cv.put(px, py, BOX_LINE)
    # The back-right edge of the lid and the top of the side share one line.
    cv.put(x + w - 1 + d, fy - d, BOX_LINE)
    return whole


# ---------------------------------------------------------------- action signs

GREEN_HI = (120, 220, 96)
GREEN_LO = (28, 150, 40)
GREEN_LINE = (8, 80, 16)
GREEN_LIGHT = (196, 248, 176)
BLUE_HI = (112, 176, 250)
BLUE_LO = (30, 90, 200)
BLUE_LINE = (10, 36, 110)
BLUE_LIGHT = (200, 228, 255)
RED_HI = (250, 96, 80)
RED_LO = (184, 20, 16)
RED_LINE = (100, 0, 0)
RED_LIGHT = (255, 176, 160)


def arrow_right(x, y, length, shaft, head_w, head_len):
    """A right-pointing arrow: tail at x, centred on row y."""
    hs = shaft / 2.0
    hw = head_w / 2.0
    tip = x + length
    neck = tip - head_len
    return poly_mask(
        [
            (x, y - hs),
            (neck, y - hs),
            (neck, y - hw),
            (tip, y),
            (neck, y + hw),
            (neck, y + hs),
            (x, y + hs),
        ]
    )


def draw_sign(cv, mask, hi, lo, line, light):
    shadow(cv, mask, 1, 1, 90)
    paint(cv, mask, hi, lo, line, light=light, dark=None, diagonal=True)


def draw_magnifier(cv, cx, cy, r, s=1):
    """A magnifying glass of radius r; s is the scale the picture is drawn at (1 or 2)."""
    handle = thick_line_mask(cx + r * 0.6, cy + r * 0.6, cx + r * 1.55, cy + r * 1.55, 2.1 * s)
    ring = disc_mask(cx, cy, r)
    shadow(cv, handle | ring, 1, 1, 90)
    paint(cv, handle, (120, 80, 40), (60, 36, 12), (20, 10, 0), light=(170, 120, 70))
    glass = disc_mask(cx, cy, r - 2.0 * s)
    rim = ring - glass
    for px, py in rim:
        cv.put(px, py, lerp((230, 230, 236), (110, 110, 124), (px + py - cx - cy + r) / (2 * r)))
    for px, py in edge(ring):
        cv.put(px, py, (24, 24, 40))
    for px, py in edge(glass):
        cv.put(px, py, (70, 70, 90))
    inner = glass - edge(glass)
    for px, py in inner:
        t = ((px - cx) + (py - cy) + r) / (2 * r)
        cv.put(px, py, lerp((214, 236, 255, 200), (120, 170, 230, 170), t))
    # Lines of a listing seen through the glass.
    for k, (dy, frac) in enumerate(((-2, 0.8), (1, 1.0), (4, 0.6))):
        half = r - 2.5 * s
        for y in range(int(cy) + dy * s, int(cy) + dy * s + s):
            for px in range(int(cx - half), int(cx - half + 2 * half * frac)):
                if (px, y) in inner:
                    cv.put(px, y, (40, 60, 110, 200))
    # Glint on the upper left of the glass.
    gx, gy = int(cx - r * 0.45), int(cy - r * 0.45)
    for px, py in ((gx, gy + 1), (gx, gy + 2), (gx + 1, gy), (gx + 2, gy)):
        for i in range(s):
            for j in range(s):
                q = (gx + (px - gx) * s + i, gy + (py - gy) * s + j)
                if q in inner:
                    cv.put(q[0], q[1], (255, 255, 255, 240))


def check_mask(x, y, s):
    """A tick whose bounding box starts at (x, y), scaled by s (about 1.0 = 18 px)."""
    pts = [(0, 9.5), (3.5, 6), (7, 9.5), (15, 0.5), (18.5, 4), (7, 16.5)]
    return poly_mask([(x + px * s, y + py * s) for px, py in pts])


def cross_mask(cx, cy, r, half):
    return thick_line_mask(cx - r, cy - r, cx + r, cy + r, half) | thick_line_mask(
        cx - r, cy + r, cx + r, cy - r, half
    )


# ---------------------------------------------------------------- toolbar (50 x 38)

TB_W, TB_H = 50, 38


# Each is drawn at scale s: 1 for the 50 x 38 picture, 2 for its @2x twin, which Qt shows on
# screens of twice the pixel density. Outlines stay one pixel wide, so the large one is finer.


def tb_add(s=1):
    cv = Canvas(TB_W * s, TB_H * s)
    draw_box(cv, 17 * s, 6 * s, 24 * s, 20 * s, 7 * s)
    draw_sign(
        cv,
        arrow_right(1 * s, 22.5 * s, 22 * s, 6 * s, 14 * s, 9 * s),
        GREEN_HI, GREEN_LO, GREEN_LINE, GREEN_LIGHT,
    )
    return cv


def tb_extract(s=1):
    cv = Canvas(TB_W * s, TB_H * s)
    draw_box(cv, 2 * s, 6 * s, 24 * s, 20 * s, 7 * s)
    draw_sign(
        cv,
        arrow_right(24 * s, 22.5 * s, 24 * s, 6 * s, 14 * s, 9 * s),
        BLUE_HI, BLUE_LO, BLUE_LINE, BLUE_LIGHT,
    )
    return cv


def tb_view(s=1):
    cv = Canvas(TB_W * s, TB_H * s)
    draw_box(cv, 3 * s, 6 * s, 24 * s, 20 * s, 7 * s)
    draw_magnifier(cv, 34 * s, 17 * s, 8.3 * s, s)
    return cv


def tb_test(s=1):
    cv = Canvas(TB_W * s, TB_H * s)
    draw_box(cv, 3 * s, 6 * s, 24 * s, 20 * s, 7 * s)
    draw_sign(cv, check_mask(26 * s, 10 * s, 1.15 * s), GREEN_HI, GREEN_LO, GREEN_LINE, GREEN_LIGHT)
    return cv


def tb_delete(s=1):
    cv = Canvas(TB_W * s, TB_H * s)
    draw_box(cv, 3 * s, 6 * s, 24 * s, 20 * s, 7 * s)
    draw_sign(cv, cross_mask(37 * s, 22 * s, 7.5 * s, 2.9 * s), RED_HI, RED_LO, RED_LINE, RED_LIGHT)
    return cv


# ---------------------------------------------------------------- drives (16 x 11)

DRIVE_PAL = {
    "K": (0, 0, 0),
    "D": (96, 96, 104),
    "G": (150, 150, 158),
    "L": (204, 204, 210),
    "W": (255, 255, 255),
    "g": (0, 210, 40),
    "e": (0, 110, 20),
    "r": (230, 30, 20),
    "b": (40, 80, 200),
    "c": (120, 200, 240),
    "m": (232, 160, 232),
    "y": (250, 220, 80),
    "s": (200, 210, 224),
    "n": (20, 110, 50),
    "N": (60, 160, 80),
    "o": (212, 170, 40),
    "S": (0, 0, 0, 60),
}

DRIVE_FLOPPY = [
    "................",
    "...KKKKKKKKKKKKK",
    "..KWWWWWWWWWWWKK",
    ".KLLLLLLLLLLLKGK",
    "KKKKKKKKKKKKKKGK",
    "KWWWWWWWWWWWWKGK",
    "KWKKKKKKKKKKLKGK",
    "KWLWWWWWWWWWLKK.",
    "KWGGGGGGGDDGGKKS",
    "KKKKKKKKKKKKKKS.",
    ".SSSSSSSSSSSSS..",
]

DRIVE_HARD = [
    "................",
    "...KKKKKKKKKKKKK",
    "..KWWWWWWWWWWWKK",
    ".KLLLLLLLLLLLKGK",
    "KKKKKKKKKKKKKKGK",
    "KWWWWWWWWWWWWKGK",
    "KWLLLLLLLLLLLKGK",
    "KWLLLLLLLLLLgKK.",
    "KWGGGGGGGGGGGKKS",
    "KKKKKKKKKKKKKKS.",
    ".SSSSSSSSSSSSS..",
]

DRIVE_NETWORK = [
    "...KKKKKKKKKKKKK",
    "..KWWWWWWWWWWWKK",
    ".KLLLLLLLLLLLKGK",
    "KKKKKKKKKKKKKKGK",
    "KWWWWWWWWWWWWKGK",
    "KWLLLLLLLLLLgKK.",
    "KWGGGGGGGGGGGKKS",
    "KKKKKKKbKKKKKKS.",
    "......KbK.......",
    "KbbbbbbbbbbbbbbK",
    ".KKKKKKKKKKKKKK.",
]

DRIVE_CDROM = [
    "................",
    "..KKKKK.KKKKKKKK",
    ".KWWsccKWWWWWWKK",
    "KWWssccmKLLLLKGK",
    "KWsKKKcmKKKKKKGK",
    "KssKLKmmKWWWWKGK",
    "KcsKKKsyKLLLLKGK",
    "KccssssyKLLLyKK.",
    ".KcmmsyKGGGGGKKS",
    "..KKKKKKKKKKKKS.",
    "...SSSSSSSSSSS..",
]

DRIVE_RAM = [
    "................",
    "................",
    "KKKKKKKKKKKKKKKK",
    "KNNNNNNNNNNNNNNK",
    "KNKKKNKKKNKKKNnK",
    "KNKDKNKDKNKDKNnK",
    "KNKKKNKKKNKKKNnK",
    "KnnnnnnnnnnnnnnK",
    "KoKoKoKoKoKoKoKK",
    ".K.K.K.K.K.K.K.S",
    "..S.S.S.S.S.S.S.",
]


# ---------------------------------------------------------------- folders and files (16 x 15)

FOLDER_PAL = {
    "O": (96, 64, 0),
    "W": (255, 250, 214),
    "Y": (255, 234, 140),
    "y": (246, 204, 80),
    "o": (214, 160, 40),
    "d": (168, 120, 20),
    "S": (0, 0, 0, 60),
}

# The folder the list is showing: same shape as an open folder, in blue, with a sheet in it.
CURRENT_PAL = {
    "O": (10, 40, 110),
    "W": (226, 240, 255),
    "Y": (150, 200, 255),
    "y": (80, 150, 240),
    "o": (40, 100, 200),
    "d": (24, 70, 160),
    "S": (0, 0, 0, 60),
    "P": (255, 255, 255),
    "p": (150, 150, 160),
}

FOLDER_CLOSED = [
    "................",
    "................",
    ".OOOOO..........",
    "OYYYYYO.........",
    "OYyyyyyOOOOOOOO.",
    "OWWWWWWWWWWWWWWO",
    "OWYYYYYYYYYYYYoO",
    "OWyyyyyyyyyyyyoO",
    "OWyyyyyyyyyyyyoO",
    "OWyyyyyyyyyyyyoO",
    "OWyyyyyyyyyyyyoO",
    "OYoooooooooooooO",
    "OOOOOOOOOOOOOOOO",
    ".SSSSSSSSSSSSSSS",
    "................",
]

FOLDER_OPEN = [
    "................",
    "................",
    ".OOOOO..........",
    "OYYYYYO.........",
    "OYoooooOOOOOOO..",
    "OYoddddddddddoO.",
    "OYodddddddddddO.",
    "OYoOOOOOOOOOOOOO",
    "OYOWWWWWWWWWWWWO",
    "OoOYYYYYYYYYYYO.",
    "OOYyyyyyyyyyyyO.",
    "OOYyyyyyyyyyyO..",
    "OOyyyyyyyyyyyO..",
    "OOOOOOOOOOOOOS..",
    ".SSSSSSSSSSSS...",
]

FOLDER_CURRENT = [
    "................",
    "......pppppppp..",
    ".OOOOOpPPPPPPp..",
    "OYYYYYpPpppPPp..",
    "OYoooopPPPPPPpO.",
    "OYodddpPppppPpO.",
    "OYodddpPPPPPPpO.",
    "OYoOOOOOOOOOOOOO",
    "OYOWWWWWWWWWWWWO",
    "OoOYYYYYYYYYYYO.",
    "OOYyyyyyyyyyyyO.",
    "OOYyyyyyyyyyyO..",
    "OOyyyyyyyyyyyO..",
    "OOOOOOOOOOOOOS..",
    ".SSSSSSSSSSSS...",
]

FILE_PAL = {
    "K": (0, 0, 0),
    "D": (96, 96, 104),
    "G": (150, 150, 158),
    "L": (210, 210, 216),
    "W": (255, 255, 255),
    "B": (10, 36, 150),
    "b": (70, 120, 220),
    "c": (160, 200, 250),
    "S": (0, 0, 0, 60),
}

FILE_EXECUTABLE = [
    "................",
    "KKKKKKKKKKKKKKK.",
    "KBBbbbbbcccWKWKS",
    "KBBbbbbbcccKKKKS",
    "KKKKKKKKKKKKKKKS",
    "KLLLLLLLLLLLLLKS",
    "KLWWWWWWWWWWWGKS",
    "KLWWWWWWWWWWWGKS",
    "KLWWWWWWWWWWWGKS",
    "KLWWWWWWWWWWWGKS",
    "KLWWWWWWWWWWWGKS",
    "KLGGGGGGGGGGGGKS",
    "KKKKKKKKKKKKKKKS",
    ".SSSSSSSSSSSSSSS",
    "................",
]

FILE_UNKNOWN = [
    "..KKKKKKKKK.....",
    "..KWWWWWWWKK....",
    "..KWWWWWWWKLK...",
    "..KWGGGGWWKLLK..",
    "..KWWWWWWWKKKKK.",
    "..KWGGGGGGGWWGKS",
    "..KWWWWWWWWWWGKS",
    "..KWGGGGGGGGWGKS",
    "..KWWWWWWWWWWGKS",
    "..KWGGGGGGGGWGKS",
    "..KWWWWWWWWWWGKS",
    "..KWGGGGGWWWWGKS",
    "..KWWWWWWWWWWGKS",
    "..KKKKKKKKKKKKKS",
    "...SSSSSSSSSSSSS",
]


# ---------------------------------------------------------------- window icon

APP16 = [
    "................",
    ".....KKKKKKKKKK.",
    "....KTTTTbbTTTK.",
    "...KTTTTbbTTTSK.",
    "..KTTTTbbTTTSsK.",
    ".KKKKKKKKKKKSsK.",
    ".KFFFFbbFFFKSsK.",
    ".KWWWFbbFFFKSsK.",
    ".KGGWFbbFFFKSsK.",
    ".KWWWFbbFFFKSsK.",
    ".KFFFFbbFFFKSsK.",
    ".KffffbbfffKSKh.",
    ".KKKKKKKKKKKKh..",
    "..hhhhhhhhhhh...",
    "................",
    "................",
]

APP16_PAL = {
    "K": BOX_LINE,
    "T": BOX_TOP,
    "F": BOX_FRONT_HI,
    "f": BOX_FRONT_LO,
    "S": BOX_SIDE_HI,
    "s": BOX_SIDE_LO,
    "b": STRAP,
    "W": LABEL,
    "G": LABEL_TEXT,
    "h": (0, 0, 0, 60),
}


def app_icon():
    cv = Canvas(32, 32)
    draw_box(cv, 2, 5, 20, 19, 8)
    return cv


def app_icon_16():
    cv = Canvas(16, 16)
    check_grid("app_icon_16", APP16, 16, 16)
    grid(cv, APP16, APP16_PAL)
    return cv


# ---------------------------------------------------------------- hand cursor (32 x 32)

HAND = [
    "................................",
    "......KK........................",
    ".....KWWK.......................",
    ".....KWWK.......................",
    ".....KWWK.......................",
    ".....KWWK.......................",
    ".....KWWKKK.....................",
    ".....KWWKWWKKK..................",
    ".....KWWKWWKWWKK................",
    ".....KWWKWWKWWKWWK..............",
    ".KK..KWWKWWKWWKWWK..............",
    "KWWK.KWWWWWWWWWWWK..............",
    "KWWWKKWWWWWWWWWWWK..............",
    ".KWWWKWWWWWWWWWWWK..............",
    "..KWWWWWWWWWWWWWWK..............",
    "..KWWWWWWWWWWWWWWK..............",
    "...KWWWWWWWWWWWWWK..............",
    "...KWWWWWWWWWWWWK...............",
    "....KWWWWWWWWWWWK...............",
    "....KWWWWWWWWWWWK...............",
    "....KKKKKKKKKKKKK...............",
    "....KLLLLLLLLLLLK...............",
    "....KKKKKKKKKKKKK...............",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]


def hand_cursor():
    check_grid("hand", HAND, 32, 32)
    cv = Canvas(32, 32)
    grid(cv, HAND, {"K": (0, 0, 0), "W": (255, 255, 255), "L": (200, 200, 200)})
    # The hot spot must sit on the finger tip itself, not on a transparent pixel.
    assert HAND[HAND_HOT_Y][HAND_HOT_X] == "K" and HAND[HAND_HOT_Y - 1][HAND_HOT_X] == "."
    return cv


# ---------------------------------------------------------------- twice the size (@2x)


def scale2x(cv):
    """The pixel-art doubling known as EPX / Scale2x: each pixel becomes four, and a corner takes
    the colour of its two neighbours where they agree, so diagonals stay smooth and edges crisp
    instead of turning into blocks (plain doubling) or blur (the toolkit's own upscaling)."""
    out = Canvas(cv.w * 2, cv.h * 2)
    px = cv.px

    def at(x, y):
        return px[y][x] if cv.inside(x, y) else px[min(max(y, 0), cv.h - 1)][min(max(x, 0), cv.w - 1)]

    for y in range(cv.h):
        for x in range(cv.w):
            p = px[y][x]
            a, b, c, d = at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            e = [p, p, p, p]
            if c == a and c != d and a != b:
                e[0] = a
            if a == b and a != c and b != d:
                e[1] = b
            if d == c and d != b and c != a:
                e[2] = c
            if b == d and b != a and d != c:
                e[3] = d
            out.px[2 * y][2 * x], out.px[2 * y][2 * x + 1] = e[0], e[1]
            out.px[2 * y + 1][2 * x], out.px[2 * y + 1][2 * x + 1] = e[2], e[3]
    return out


def hidpi_pictures(pictures):
    """The toolbar pictures drawn again at twice the size, and the list glyphs doubled, named
    NAME@2x.png beside their one-to-one pictures."""
    out = {
        "tb_add@2x": tb_add(2),
        "tb_extract@2x": tb_extract(2),
        "tb_view@2x": tb_view(2),
        "tb_test@2x": tb_test(2),
        "tb_delete@2x": tb_delete(2),
    }
    for name in GLYPHS:
        out[name + "@2x"] = scale2x(pictures[name])
    return out


# The list glyphs: drives, folders and files.
GLYPHS = (
    "drive_floppy", "drive_hard", "drive_network", "drive_cdrom", "drive_ram",
    "folder_open", "folder_current", "folder_closed", "file_executable", "file_unknown",
)


# ---------------------------------------------------------------- main


def from_grid(name, rows, pal, w, h):
    check_grid(name, rows, w, h)
    cv = Canvas(w, h)
    grid(cv, rows, pal)
    return cv


def main():
    pictures = {
        "tb_add": tb_add(),
        "tb_extract": tb_extract(),
        "tb_view": tb_view(),
        "tb_test": tb_test(),
        "tb_delete": tb_delete(),
        "drive_floppy": from_grid("floppy", DRIVE_FLOPPY, DRIVE_PAL, 16, 11),
        "drive_hard": from_grid("hard", DRIVE_HARD, DRIVE_PAL, 16, 11),
        "drive_network": from_grid("network", DRIVE_NETWORK, DRIVE_PAL, 16, 11),
        "drive_cdrom": from_grid("cdrom", DRIVE_CDROM, DRIVE_PAL, 16, 11),
        "drive_ram": from_grid("ram", DRIVE_RAM, DRIVE_PAL, 16, 11),
        "folder_open": from_grid("open", FOLDER_OPEN, FOLDER_PAL, 16, 15),
        "folder_current": from_grid("current", FOLDER_CURRENT, CURRENT_PAL, 16, 15),
        "folder_closed": from_grid("closed", FOLDER_CLOSED, FOLDER_PAL, 16, 15),
        "file_executable": from_grid("exe", FILE_EXECUTABLE, FILE_PAL, 16, 15),
        "file_unknown": from_grid("unknown", FILE_UNKNOWN, FILE_PAL, 16, 15),
        "app_icon": app_icon(),
        "app_icon_16": app_icon_16(),
        "hand_cursor": hand_cursor(),
    }
    pictures.update(hidpi_pictures(pictures))
    for name, cv in pictures.items():
        cv.png(os.path.join(HERE, name + ".png"))
    print("wrote %d pictures to %s" % (len(pictures), HERE))


if __name__ == "__main__":
    main()
