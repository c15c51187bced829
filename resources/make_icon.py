#!/usr/bin/env python3
"""Draw the Pellux icon and write pellux.ico next to this script.

The icon is a small monitor showing "IP" with a green status dot over its
bottom-right corner. Two images go into the .ico: 32x32 and 16x16, both
4 bits per pixel with a 16-colour palette and an AND mask, which is the
format every version of Windows (and wine) reads without complaint.

No third-party modules: the pixels are drawn into plain lists and the
file is packed with struct. Output is byte-for-byte the same on every run.

    python3 resources/make_icon.py            # writes resources/pellux.ico
    python3 resources/make_icon.py out.ico    # writes somewhere else
    python3 resources/make_icon.py --preview  # ascii dump, handy when tweaking
"""

import os
import struct
import sys

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


def ico(canvases):
    images = [dib(cv) for cv in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        out += struct.pack(
            "<BBBBHHII",
            cv.size % 256,   # width (0 would mean 256)
            cv.size % 256,
            16,              # colours in palette
            0,
            1,               # planes
            4,               # bits per pixel
            len(data),
            offset,
        )
        offset += len(data)
    return out + b"".join(images)


def preview(cv):
    chars = ".#=-Bbo W@gw%+x?"
    for row in cv.px:
        print("".join(chars[c] for c in row))
    print()


def main(argv):
    assert len(PALETTE) == 16
    canvases = [draw_32(), draw_16()]
    if "--preview" in argv:
        for cv in canvases:
            preview(cv)
        return 0
    args = [a for a in argv if not a.startswith("-")]
    path = args[0] if args else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "pellux.ico")
    with open(path, "wb") as f:
        f.write(ico(canvases))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
