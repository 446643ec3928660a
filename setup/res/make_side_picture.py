#!/usr/bin/env python3
"""Writes the wizard pages' side picture: setup.bmp, a computer with floppy disks and CDs on
a white ground, and setupm.bmp, its mask (the same shapes in black on white). Both are
138 x 209, 256 colours, RLE8-compressed to keep SETUP small. Run it again only to change
the picture: python3 make_side_picture.py [OUTPUT_FOLDER]"""
import os
import struct
import sys

WIDTH, HEIGHT = 138, 209

# Palette, as red, green, blue. White must stay exactly white: the pages replace it with
# the product's colour through the mask.
COLOURS = {
    'white': (255, 255, 255), 'black': (0, 0, 0), 'case': (214, 206, 180),
    'case_dark': (150, 142, 118), 'outline': (60, 60, 60), 'screen': (0, 40, 140),
    'screen_light': (40, 100, 200), 'window': (230, 230, 240), 'title_bar': (0, 0, 128),
    'slot': (40, 40, 40), 'tray': (170, 170, 170), 'led': (0, 200, 0),
    'disk_blue': (30, 60, 160), 'disk_red': (170, 30, 30), 'shutter': (192, 192, 192),
    'cd': (205, 205, 215), 'cd_cyan': (170, 230, 240), 'cd_pink': (240, 190, 230),
    'hub': (150, 150, 160), 'label_line': (120, 120, 200),
}
NAMES = list(COLOURS)
PALETTE = [COLOURS[name] for name in NAMES]


def blank():
    return [[None] * WIDTH for _ in range(HEIGHT)]


def rect(img, x0, y0, x1, y1, colour, outline=None):
    """Fills x0..x1, y0..y1 inclusive."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            img[y][x] = outline if (edge and outline) else colour


def disc(img, cx, cy, rings):
    """Concentric rings from the outside in: (radius, colour); colour None cuts a hole."""
    for y in range(HEIGHT):
        for x in range(WIDTH):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            chosen = False
            colour = None
            for radius, ring in rings:
                if d2 <= radius * radius:
                    chosen, colour = True, ring
            if chosen:
                img[y][x] = colour if colour != 'hole' else None


def floppy(img, x, y, body):
    rect(img, x, y, x + 33, y + 33, body, 'outline')
    rect(img, x + 9, y + 1, x + 24, y + 11, 'shutter', 'outline')
    rect(img, x + 18, y + 3, x + 21, y + 9, 'slot')
    rect(img, x + 5, y + 16, x + 28, y + 31, 'white', 'outline')
    for line in (y + 21, y + 25):
        rect(img, x + 8, line, x + 25, line, 'label_line')


def cd(img, cx, cy):
    disc(img, cx, cy, [(22, 'outline'), (21, 'cd'), (17, 'cd_cyan'), (14, 'cd_pink'),
                       (11, 'cd'), (7, 'hub'), (3, 'hole')])


def computer(img):
    rect(img, 16, 10, 121, 92, 'case', 'outline')              # monitor
    rect(img, 25, 19, 112, 82, 'screen', 'outline')
    for i in range(30):                                         # a glint on the glass
        rect(img, 30 + i, 22 + i // 2, 33 + i, 22 + i // 2, 'screen_light')
    rect(img, 50, 40, 95, 72, 'window', 'outline')             # a window on the screen
    rect(img, 51, 41, 94, 45, 'title_bar')
    rect(img, 58, 93, 79, 99, 'case_dark', 'outline')          # neck
    rect(img, 10, 100, 127, 138, 'case', 'outline')            # system unit
    rect(img, 72, 108, 118, 113, 'case_dark', 'outline')       # floppy drive
    rect(img, 78, 110, 112, 111, 'slot')
    rect(img, 72, 118, 118, 126, 'tray', 'outline')            # CD drive
    rect(img, 20, 128, 24, 131, 'led')


def picture():
    img = blank()
    computer(img)
    floppy(img, 8, 146, 'disk_blue')
    floppy(img, 24, 166, 'disk_red')
    cd(img, 88, 162)
    cd(img, 110, 184)
    return img


def rle8_rows(indices):
    """Encoded-mode runs only; each row ends with end-of-line, the last with end-of-bitmap."""
    out = bytearray()
    for n, row in enumerate(reversed(indices)):   # bottom-up
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and run < 255 and row[x + run] == row[x]:
                run += 1
            out += bytes((run, row[x]))
            x += run
        out += b'\x00\x01' if n == len(indices) - 1 else b'\x00\x00'
    return bytes(out)


def write_bmp(path, indices):
    bits = rle8_rows(indices)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 1, len(bits), 2835, 2835,
                       len(PALETTE), 0)   # compression 1: BI_RLE8
    with open(path, 'wb') as f:
        f.write(header + info + palette + bits)


def main(folder):
    img = picture()
    white, black = NAMES.index('white'), NAMES.index('black')
    colour = [[white if p is None else NAMES.index(p) for p in row] for row in img]
    mask = [[white if p is None else black for p in row] for row in img]
    write_bmp(os.path.join(folder, 'setup.bmp'), colour)
    write_bmp(os.path.join(folder, 'setupm.bmp'), mask)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__)))
