#!/usr/bin/env python3
"""Draw the Pellux icon: pellux.ico next to this script, and the icons of
the Linux program in icons/ beside it.

The icon is a small monitor showing "IP" with a green status dot over its
bottom-right corner. The .ico holds the hand-drawn 32x32 and 16x16 images,
both 4 bits per pixel with a 16-colour palette and an AND mask, which is the
format every version of Windows (and wine) reads without complaint; and,
for screens scaled to 125 % and more, the shapes below rasterised at 20, 24,
40, 48 and 64 pixels in 32-bit colour with alpha. At 100 % Windows picks
the hand-drawn pixels, so the icon there looks as it always has.

Linux desktops want the icon larger too (HiDPI panels, task switchers,
software centres): icons/pellux.svg draws the 32px design as shapes on the
same 32-unit grid, and icons/pellux-<size>.png holds it at the sizes of the
hicolor theme up to 256 pixels. 16 and 32 are the hand-drawn pixels of the
.ico; the other sizes are rasterised from the shapes, 4x4 samples a pixel.

No third-party modules: the pixels are drawn into plain lists and the
files are packed with struct and zlib. Output is byte-for-byte the same on
every run.

    python3 resources/make_icon.py            # writes pellux.ico and icons/
    python3 resources/make_icon.py out.ico    # writes the .ico somewhere else
    python3 resources/make_icon.py --preview  # ascii dump, handy when tweaking
"""

import math
import os
import struct
import sys
import zlib

# palette, index -> (r, g, b). index 0 is what transparent pixels hold in the
# colour bitmap; with the mask bit set the screen ignores it anyway.
PALETTE = [
    (0, 0, 0),        # 0  transparent
    (18, 26, 46),     # 1  outline
    (54, 62, 78),     # 2  bezel
    (98, 108, 126),   # 3  bezel highlight
    (32, 112, 218),   # 4  screen
    (22, 76, 168),    # 5  screen, darker
    (96, 164, 242),   # 6  screen, glare
    (255, 255, 255),  # 7  text
    (52, 206, 70),    # 8  status dot
    (18, 122, 38),    # 9  status dot rim
    (170, 244, 170),  # 10 status dot shine
    (150, 157, 168),  # 11 stand
    (206, 210, 218),  # 12 stand highlight
    (96, 103, 116),   # 13 stand shade
    (12, 44, 110),    # 14 text shadow
    (192, 192, 192),  # 15 spare
]

T = 0  # transparent

# letter shapes, '#' = ink. the big ones use 2px strokes so they survive
# the 32px icon being shown at 24px or so by explorer.
GLYPHS_BIG = {
    "I": ["####",
          ".##.",
          ".##.",
          ".##.",
          ".##.",
          ".##.",
          ".##.",
          ".##.",
          "####"],
    "P": ["#####.",
          "######",
          "##..##",
          "##..##",
          "######",
          "#####.",
          "##....",
          "##....",
          "##...."],
}

GLYPHS_SMALL = {
    "I": ["###",
          ".#.",
          ".#.",
          ".#.",
          "###"],
    "P": ["###.",
          "#..#",
          "###.",
          "#...",
          "#..."],
}

# 16px status dot: '#' outline, 'o' green, '*' shine
DOT_SMALL = ["..###..",
             ".#*oo#.",
             "#*oooo#",
             "#ooooo#",
             "#ooooo#",
             ".#ooo#.",
             "..###.."]


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[T] * size for _ in range(size)]

    def set(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """filled rectangle, inclusive corners"""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def glyph(self, rows, x0, y0, c, inks=None):
        inks = inks or {"#": c}
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in inks:
                    self.set(x0 + dx, y0 + dy, inks[ch])

    def disc(self, cx2, cy2, r2, c):
        """filled circle. centre and radius are given doubled so that
        even-sized discs (centre between pixels) work with integer math."""
        for y in range(self.size):
            for x in range(self.size):
                dx = 2 * x + 1 - cx2
                dy = 2 * y + 1 - cy2
                if dx * dx + dy * dy <= r2 * r2:
                    self.set(x, y, c)


def draw_32():
    cv = Canvas(32)

    # monitor body: outline, bezel with a lighter top edge, screen
    cv.rect(1, 3, 28, 22, 1)
    for x, y in ((1, 3), (28, 3), (1, 22), (28, 22)):
        cv.set(x, y, T)  # round the corners a touch
    cv.rect(2, 4, 27, 21, 2)
    cv.rect(3, 4, 26, 4, 3)
    cv.rect(4, 6, 25, 18, 4)
    cv.rect(4, 6, 25, 6, 6)       # glare along the top of the glass
    cv.rect(4, 7, 4, 18, 6)
    cv.rect(5, 18, 25, 18, 5)     # slightly darker bottom row
    cv.rect(25, 7, 25, 17, 5)

    # stand: neck and foot
    cv.rect(12, 23, 17, 25, 13)
    cv.rect(13, 23, 16, 25, 11)
    cv.rect(7, 26, 22, 28, 1)
    cv.set(7, 26, T)
    cv.set(22, 26, T)
    cv.set(7, 28, T)
    cv.set(22, 28, T)
    cv.rect(8, 27, 21, 27, 11)
    cv.rect(9, 27, 20, 27, 12)

    # "IP", with a one pixel drop shadow
    for dx, dy, c in ((1, 1, 14), (0, 0, 7)):
        cv.glyph(GLYPHS_BIG["I"], 7 + dx, 8 + dy, c)
        cv.glyph(GLYPHS_BIG["P"], 13 + dx, 8 + dy, c)

    # status dot over the bottom-right corner: dark ring to cut it loose
    # from whatever is behind, then rim, fill and a small shine
    cv.disc(51, 47, 11, 1)
    cv.disc(51, 47, 9, 9)
    cv.disc(51, 47, 7, 8)
    cv.rect(23, 20, 24, 20, 10)
    cv.set(23, 21, 10)
    return cv


def draw_16():
    cv = Canvas(16)

    # at this size the bezel is just the outline
    cv.rect(0, 1, 14, 11, 1)
    for x, y in ((0, 1), (14, 1), (0, 11), (14, 11)):
        cv.set(x, y, T)
    cv.rect(1, 2, 13, 10, 4)
    cv.rect(1, 2, 13, 2, 6)
    cv.rect(1, 10, 13, 10, 5)

    # stand, kept grey rather than outlined so it still shows on a dark taskbar
    cv.rect(6, 12, 8, 12, 13)
    cv.rect(4, 13, 10, 13, 11)
    cv.set(4, 13, 13)

    cv.glyph(GLYPHS_SMALL["I"], 2, 4, 7)
    cv.glyph(GLYPHS_SMALL["P"], 6, 4, 7)

    # status dot. a computed circle this small comes out as a diamond,
    # so it is placed by hand
    cv.glyph(DOT_SMALL, 9, 8, 1, inks={"#": 1, "o": 8, "*": 10})
    return cv


def dib(cv):
    """BITMAPINFOHEADER + palette + 4bpp colour bits + 1bpp AND mask,
    both bottom-up with rows padded to 4 bytes, as an .ico entry wants."""
    n = cv.size
    xor_stride = ((n * 4 + 31) // 32) * 4
    and_stride = ((n + 31) // 32) * 4

    xor = bytearray()
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row = cv.px[y]
        line = bytearray(xor_stride)
        for x in range(0, n, 2):
            line[x // 2] = (row[x] << 4) | row[x + 1]
        xor += line
        mline = bytearray(and_stride)
        for x in range(n):
            if row[x] == T:
                mline[x // 8] |= 0x80 >> (x % 8)
        mask += mline

    header = struct.pack(
        "<IiiHHIIiiII",
        40,             # biSize
        n,              # biWidth
        n * 2,          # biHeight: colour bits + mask stacked
        1,              # biPlanes
        4,              # biBitCount
        0,              # BI_RGB
        len(xor) + len(mask),
        0, 0,           # resolution, unused
        16,             # biClrUsed
        0,              # biClrImportant
    )
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + pal + bytes(xor) + bytes(mask)


# the sizes Windows asks for at 125 %, 150 %, 200 % and more, drawn from
# the shapes in 32-bit colour
ICO_RGBA_SIZES = [20, 24, 40, 48, 64]


def dib_rgba(rows):
    """BITMAPINFOHEADER + 32bpp BGRA bits + 1bpp AND mask, bottom-up, for
    an .ico entry. The mask is set where a pixel is fully transparent."""
    n = len(rows)
    and_stride = ((n + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        mline = bytearray(and_stride)
        for x, (r, g, b, a) in enumerate(rows[y]):
            colour += bytes((b, g, r, a))
            if a == 0:
                mline[x // 8] |= 0x80 >> (x % 8)
        mask += mline
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def ico(canvases, rgba_sizes=()):
    """The .ico: the 16-colour canvases first, then the 32-bit images."""
    entries = [(cv.size, 16, 4, dib(cv)) for cv in canvases]
    entries += [(size, 0, 32, dib_rgba(rasterise(size))) for size in rgba_sizes]
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, colours, bits, data in entries:
        out += struct.pack(
            "<BBBBHHII",
            size % 256,      # width (0 would mean 256)
            size % 256,
            colours,         # colours in palette, 0 without one
            0,
            1,               # planes
            bits,            # bits per pixel
            len(data),
            offset,
        )
        offset += len(data)
    return out + b"".join(data for _, _, _, data in entries)


def preview(cv):
    chars = ".#=-Bbo W@gw%+x?"
    for row in cv.px:
        print("".join(chars[c] for c in row))
    print()


# ---------------------------------------------------------------------------
# The same design as shapes, in the units of the 32px drawing (one unit is
# one of its pixels, x to the right and y down). Each shape is painted over
# the ones before it, in the palette's colours.

LINUX_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]

# "I" with its serifs and "P" with its bowl, as outlines; the bowl's hole
# is a second outline (even-odd filling).
GLYPH_I = [[(7, 8), (11, 8), (11, 9), (10, 9), (10, 16), (11, 16), (11, 17), (7, 17),
            (7, 16), (8, 16), (8, 9), (7, 9)]]
GLYPH_P = [[(13, 8), (17, 8), ("arc", 17, 10, 2, -90, 0), (19, 12), ("arc", 17, 12, 2, 0, 90),
            (15, 14), (15, 17), (13, 17)],
           [(15, 10), (17, 10), (17, 12), (15, 12)]]


def shapes():
    """(kind, geometry, palette index) in painting order."""
    out = [
        # monitor: outline, bezel with its lighter top edge, screen
        ("rect", (1, 3, 29, 23, 1.0), 1),
        ("rect", (2, 4, 28, 22, 0.5), 2),
        ("rect", (3, 4, 27, 5, 0), 3),
        ("rect", (4, 6, 26, 19, 0), 4),
        ("rect", (4, 6, 26, 7, 0), 6),      # glare along the top of the glass
        ("rect", (4, 7, 5, 19, 0), 6),
        ("rect", (5, 18, 26, 19, 0), 5),    # darker bottom and right edges
        ("rect", (25, 7, 26, 18, 0), 5),
        # stand: neck and foot
        ("rect", (12, 23, 18, 26, 0), 13),
        ("rect", (13, 23, 17, 26, 0), 11),
        ("rect", (7, 26, 23, 29, 1.0), 1),
        ("rect", (8, 27, 22, 28, 0), 11),
        ("rect", (9, 27, 21, 28, 0), 12),
    ]
    # "IP" with its drop shadow
    for dx, c in ((1, 14), (0, 7)):
        for glyph in (GLYPH_I, GLYPH_P):
            out.append(("path", shifted(glyph, dx, dx), c))
    # the status dot: dark ring, rim, fill, shine
    out += [
        ("circle", (25.5, 23.5, 5.5), 1),
        ("circle", (25.5, 23.5, 4.5), 9),
        ("circle", (25.5, 23.5, 3.5), 8),
        ("circle", (24.0, 21.0, 1.0), 10),
    ]
    return out


def shifted(outlines, dx, dy):
    moved = []
    for outline in outlines:
        points = []
        for p in outline:
            if p[0] == "arc":
                _, cx, cy, r, a0, a1 = p
                points.append(("arc", cx + dx, cy + dy, r, a0, a1))
            else:
                points.append((p[0] + dx, p[1] + dy))
        moved.append(points)
    return moved


def arc_point(cx, cy, r, degrees):
    a = math.radians(degrees)
    return (round(cx + r * math.cos(a), 9), round(cy + r * math.sin(a), 9))


def flatten(outline, steps=16):
    """The outline's corners, with each arc (centre, radius, start and end
    angle in degrees, clockwise on the screen) as short straight pieces."""
    points = []
    for p in outline:
        if p[0] == "arc":
            _, cx, cy, r, a0, a1 = p
            points += [arc_point(cx, cy, r, a0 + (a1 - a0) * i / steps) for i in range(steps + 1)]
        else:
            points.append(p)
    return points


def inside(kind, geometry, x, y):
    if kind == "rect":
        x0, y0, x1, y1, r = geometry
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        if r:
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        return True
    if kind == "circle":
        cx, cy, r = geometry
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    # path: even-odd rule over every outline
    crossings = 0
    for points in geometry:
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                crossings += 1
    return crossings % 2 == 1


def bounds(kind, geometry):
    if kind == "rect":
        return geometry[:4]
    if kind == "circle":
        cx, cy, r = geometry
        return cx - r, cy - r, cx + r, cy + r
    xs = [p[0] for points in geometry for p in points]
    ys = [p[1] for points in geometry for p in points]
    return min(xs), min(ys), max(xs), max(ys)


def rasterise(size, samples=4):
    """RGBA rows of the shapes at `size` pixels: each pixel covered by the
    share of its samples inside a shape, painted over what is below."""
    scale = size / 32
    rgba = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for kind, geometry, colour in shapes():
        if kind == "path":
            geometry = [flatten(outline) for outline in geometry]
        x0, y0, x1, y1 = bounds(kind, geometry)
        r, g, b = (c / 255 for c in PALETTE[colour])
        for py in range(max(0, int(y0 * scale)), min(size, math.ceil(y1 * scale))):
            for px in range(max(0, int(x0 * scale)), min(size, math.ceil(x1 * scale))):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(kind, geometry, (px + (sx + 0.5) / samples) / scale,
                                  (py + (sy + 0.5) / samples) / scale):
                            hits += 1
                if not hits:
                    continue
                a = hits / (samples * samples)
                dr, dg, db, da = rgba[py][px]
                out_a = a + da * (1 - a)
                rgba[py][px] = ((r * a + dr * da * (1 - a)) / out_a,
                                (g * a + dg * da * (1 - a)) / out_a,
                                (b * a + db * da * (1 - a)) / out_a, out_a)
    return [[tuple(round(v * 255) for v in px) for px in row] for row in rgba]


def canvas_rgba(cv):
    return [[(0, 0, 0, 0) if c == T else PALETTE[c] + (255,) for c in row] for row in cv.px]


def png(rows):
    """An RGBA PNG of the rows, packed without filters."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg():
    def fmt(v):
        return ("%.3f" % v).rstrip("0").rstrip(".")

    def colour(c):
        return "#%02x%02x%02x" % PALETTE[c]

    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 32 32">']
    for kind, geometry, c in shapes():
        if kind == "rect":
            x0, y0, x1, y1, r = geometry
            rx = ' rx="%s"' % fmt(r) if r else ""
            lines.append('  <rect x="%s" y="%s" width="%s" height="%s"%s fill="%s"/>'
                         % (fmt(x0), fmt(y0), fmt(x1 - x0), fmt(y1 - y0), rx, colour(c)))
        elif kind == "circle":
            cx, cy, r = geometry
            lines.append('  <circle cx="%s" cy="%s" r="%s" fill="%s"/>'
                         % (fmt(cx), fmt(cy), fmt(r), colour(c)))
        else:
            d = []
            for outline in geometry:
                last = None
                for p in outline:
                    if p[0] == "arc":
                        _, cx, cy, r, a0, a1 = p
                        start, end = arc_point(cx, cy, r, a0), arc_point(cx, cy, r, a1)
                    else:
                        start = end = p
                    if last is None:
                        d.append("M%s %s" % (fmt(start[0]), fmt(start[1])))
                    elif start != last:
                        d.append("L%s %s" % (fmt(start[0]), fmt(start[1])))
                    if p[0] == "arc":
                        d.append("A%s %s 0 0 1 %s %s" % (fmt(r), fmt(r), fmt(end[0]), fmt(end[1])))
                    last = end
                d.append("Z")
            lines.append('  <path fill-rule="evenodd" d="%s" fill="%s"/>'
                         % (" ".join(d), colour(c)))
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def write_linux_icons(folder):
    os.makedirs(folder, exist_ok=True)
    drawn = {16: draw_16(), 32: draw_32()}
    for size in LINUX_SIZES:
        rows = canvas_rgba(drawn[size]) if size in drawn else rasterise(size)
        with open(os.path.join(folder, "pellux-%d.png" % size), "wb") as f:
            f.write(png(rows))
    with open(os.path.join(folder, "pellux.svg"), "w") as f:
        f.write(svg())


def main(argv):
    assert len(PALETTE) == 16
    canvases = [draw_32(), draw_16()]
    if "--preview" in argv:
        for cv in canvases:
            preview(cv)
        return 0
    args = [a for a in argv if not a.startswith("-")]
    here = os.path.dirname(os.path.abspath(__file__))
    path = args[0] if args else os.path.join(here, "pellux.ico")
    with open(path, "wb") as f:
        f.write(ico(canvases, ICO_RGBA_SIZES))
    if not args:
        write_linux_icons(os.path.join(here, "icons"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
