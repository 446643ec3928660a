#!/usr/bin/env python3
"""Writes the screensaver's binary resources into this folder: the six color-button
bitmaps (20 x 20, 8 bits per pixel, one palette color each) and the icon (32 x 32, 16
colors: a clock face). Run it again after changing a color; the files are committed."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Background palette, in button order: blue, magenta, red, green, yellow, cyan (R, G, B).
PALETTE = [(0, 0, 255), (255, 0, 255), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 255, 255)]


def swatch(rgb):
    width = height = 20
    stride = (width + 3) & ~3
    table = bytearray(256 * 4)
    r, g, b = rgb
    table[0:4] = bytes((b, g, r, 0))          # entry 0 is the swatch color
    pixels = bytes(stride * height)           # every pixel uses entry 0
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 256)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(table) + pixels


def icon():
    size = 32
    # 16-color table: 0 black, 1 white, 2 blue.
    table = bytearray(16 * 4)
    table[4:8] = bytes((255, 255, 255, 0))
    table[8:12] = bytes((255, 0, 0, 0))
    rows = []
    for y in range(size):                     # bottom-up rows
        row = []
        for x in range(size):
            dx, dy = x - 15.5, (size - 1 - y) - 15.5
            d = (dx * dx + dy * dy) ** 0.5
            if d > 15:
                row.append(0)
            elif d > 13:
                row.append(2)
            elif (abs(dx) < 1.2 and dy < 0 and d < 10) or (abs(dy) < 1.2 and dx > 0 and d < 8):
                row.append(0)                 # the hands at three o'clock
            else:
                row.append(1)
        rows.append(row)
    xor = bytearray()
    for row in rows:
        for x in range(0, size, 2):
            xor.append((row[x] << 4) | row[x + 1])
    mask = bytearray()
    for y in range(size):
        bits = 0
        for x in range(size):
            outside = ((x - 15.5) ** 2 + (y - 15.5) ** 2) ** 0.5 > 15
            bits = (bits << 1) | (1 if outside else 0)
        mask += struct.pack(">I", bits)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = info + bytes(table) + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 22)
    return directory + image


def main():
    for i, rgb in enumerate(PALETTE):
        with open(os.path.join(HERE, "col%d.bmp" % i), "wb") as f:
            f.write(swatch(rgb))
    with open(os.path.join(HERE, "saver.ico"), "wb") as f:
        f.write(icon())


if __name__ == "__main__":
    main()
