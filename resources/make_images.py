#!/usr/bin/env python3
"""Draws the program's icons, button glyphs and banner into BMP and ICO files.

Usage: make_images.py OUTDIR
Everything uses the 16-colour VGA palette, so the files are 4-bit images.
"""
import math
import os
import struct
import sys

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)
CLEAR = -1  # transparent (icons) or the glyph's transparent colour

FONT = {  # 5 x 7 letters for the banner
    'K': ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    'e': ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    's': ["00000", "00000", "01111", "10000", "01110", "00001", "11110"],
    't': ["01000", "01000", "11110", "01000", "01000", "01001", "00110"],
    'r': ["00000", "00000", "10110", "11001", "10000", "10000", "10000"],
    'a': ["00000", "00000", "01110", "00001", "01111", "10001", "01111"],
    'n': ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
}


class Canvas:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def text(self, x, y, s, c):
        for ch in s:
            rows = FONT[ch]
            for dy, row in enumerate(rows):
                for dx, bit in enumerate(row):
                    if bit == '1':
                        self.set(x + dx, y + dy, c)
            x += 6

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.set(ox + x, oy + y, other.px[y][x])


def pack4(rows, w):
    out = b''
    for row in rows:
        line = bytearray()
        for x in range(0, w, 2):
            a = row[x] if row[x] >= 0 else 0
            b = (row[x + 1] if row[x + 1] >= 0 else 0) if x + 1 < w else 0
            line.append((a << 4) | b)
        while len(line) % 4:
            line.append(0)
        out += bytes(line)
    return out


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)


def write_bmp(path, canvas):
    rows = list(reversed(canvas.px))
    bits = pack4(rows, canvas.w)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 4, 0, len(bits), 2835, 2835, 16, 16)
    offset = 14 + len(info) + 64
    head = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(head + info + palette_bytes() + bits)


def write_ico(path, canvas):
    w, h = canvas.w, canvas.h
    rows = list(reversed(canvas.px))
    xor = pack4(rows, w)
    mask = b''
    for row in rows:
        line = bytearray((w + 7) // 8)
        for x, c in enumerate(row):
            if c < 0:
                line[x // 8] |= 0x80 >> (x % 8)
        while len(line) % 4:
            line.append(0)
        mask += bytes(line)
    info = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = info + palette_bytes() + xor + mask
    head = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', w, h, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(head + entry + image)


def program_icon():
    c = Canvas(32, 32, CLEAR)
    c.rect(2, 4, 29, 27, NAVY)
    c.rect(3, 5, 28, 8, BLUE)
    c.rect(3, 9, 28, 26, WHITE)
    for i, y in enumerate((11, 16, 21)):
        c.rect(5, y, 8, y + 3, (RED, GREEN, TEAL)[i])
        c.rect(10, y + 1, 25 - 3 * i, y + 2, GREY)
    c.frame(2, 4, 29, 27, BLACK)
    c.disc(24, 23, 5, YELLOW)
    c.line(21, 23, 27, 23, BLACK)
    c.line(24, 20, 24, 26, BLACK)
    return c


def idle_icon():
    c = Canvas(32, 32, CLEAR)
    c.disc(15, 15, 13, TEAL)
    c.disc(15, 15, 11, AQUA)
    c.line(15, 15, 15, 6, NAVY)
    c.line(15, 15, 22, 15, NAVY)
    c.rect(14, 14, 16, 16, BLACK)
    return c


def system_icon():
    c = Canvas(32, 32, CLEAR)
    c.rect(3, 3, 28, 21, GREY)
    c.rect(5, 5, 26, 19, NAVY)
    c.rect(7, 7, 11, 11, RED)
    c.rect(12, 7, 16, 11, LIME)
    c.rect(7, 12, 11, 16, BLUE)
    c.rect(12, 12, 16, 16, YELLOW)
    c.rect(12, 22, 19, 25, GREY)
    c.rect(8, 26, 23, 28, SILVER)
    c.frame(3, 3, 28, 21, BLACK)
    return c


def glyph_pair(size, draw):
    """Normal and disabled images side by side; OLIVE marks transparency."""
    normal = Canvas(size, size, OLIVE)
    draw(normal)
    disabled = Canvas(size, size, OLIVE)
    for y in range(size):
        for x in range(size):
            if normal.px[y][x] != OLIVE:
                disabled.set(x + 1, y + 1, WHITE)
    for y in range(size):
        for x in range(size):
            if normal.px[y][x] != OLIVE:
                disabled.set(x, y, GREY)
    pair = Canvas(size * 2, size, OLIVE)
    pair.blit(normal, 0, 0)
    pair.blit(disabled, size, 0)
    return pair


def draw_reget(c):
    for a in range(40, 330, 6):
        r = math.radians(a)
        for rr in (6, 7):
            c.set(round(9 + rr * math.cos(r)), round(9 - rr * math.sin(r)), GREEN)
    c.rect(12, 1, 16, 2, GREEN)
    c.rect(15, 1, 16, 5, GREEN)


def draw_by_id(c):
    c.frame(2, 3, 17, 16, NAVY)
    c.text(4, 6, 'n', BLUE)
    c.line(11, 6, 11, 13, BLUE)
    c.line(14, 6, 14, 13, BLUE)
    c.line(10, 8, 15, 8, BLUE)
    c.line(10, 11, 15, 11, BLUE)


def draw_by_name(c):
    c.rect(3, 2, 14, 17, WHITE)
    c.frame(3, 2, 14, 17, BLACK)
    for y in (5, 8, 11, 14):
        c.line(5, y, 12, y, NAVY)
    c.line(16, 5, 16, 16, RED)
    c.line(14, 14, 16, 16, RED)
    c.line(18, 14, 16, 16, RED)


def draw_update(c):
    c.rect(2, 12, 4, 15, BLUE)
    c.rect(6, 8, 8, 15, BLUE)
    c.rect(10, 4, 12, 15, BLUE)
    c.line(13, 2, 16, 2, RED)
    c.line(16, 2, 16, 5, RED)
    c.line(9, 9, 16, 2, RED)


def draw_stop(c):
    c.disc(8, 8, 7, RED)
    c.disc(8, 8, 5, MAROON)
    c.rect(4, 7, 12, 9, WHITE)


def draw_close(c):
    c.rect(4, 1, 13, 16, MAROON)
    c.rect(5, 2, 12, 15, RED)
    c.rect(10, 8, 11, 9, YELLOW)
    c.line(1, 16, 16, 16, BLACK)


def banner():
    c = Canvas(88, 31, NAVY)
    c.rect(1, 1, 86, 29, BLUE)
    c.rect(2, 2, 85, 28, NAVY)
    c.disc(14, 15, 9, TEAL)
    c.disc(14, 15, 6, AQUA)
    c.line(10, 9, 10, 21, NAVY)
    c.line(11, 15, 17, 9, NAVY)
    c.line(11, 15, 17, 21, NAVY)
    c.text(28, 8, 'Kestrane', WHITE)
    c.rect(28, 19, 74, 19, YELLOW)
    c.rect(28, 22, 60, 22, AQUA)
    c.frame(0, 0, 87, 30, SILVER)
    return c


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, 'vorlane.ico'), program_icon())
    write_ico(os.path.join(out, 'idle.ico'), idle_icon())
    write_ico(os.path.join(out, 'system.ico'), system_icon())
    for name, size, draw in (('reget', 18, draw_reget), ('update', 18, draw_update),
                             ('stop', 18, draw_stop), ('close', 18, draw_close),
                             ('by_id', 20, draw_by_id), ('by_name', 20, draw_by_name)):
        write_bmp(os.path.join(out, 'glyph_%s.bmp' % name), glyph_pair(size, draw))
    write_bmp(os.path.join(out, 'banner.bmp'), banner())


if __name__ == '__main__':
    main()
