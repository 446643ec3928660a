#!/usr/bin/env python3
"""Writes setup.ico: a clock face in 32 x 32 and 16 x 16, 16 colors each, which every
Windows 95 and NT 4.0 display can show. Run it again only to change the picture."""
import math
import struct
import sys

# A 16-color palette, as red, green, blue.
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]


def rgb_index(rgb):
    return PALETTE.index(rgb)


def clock_pixels(size):
    """Index and transparency of each pixel, top row first."""
    c = (size - 1) / 2.0
    outer, inner = size / 2.0 - 0.5, size / 2.0 - 2.5
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > outer:
                row.append(None)
            elif d > inner:
                row.append(rgb_index((0, 0, 128)))
            else:
                row.append(rgb_index((255, 255, 255)))
        rows.append(row)

    def hand(angle_deg, length, color):
        a = math.radians(angle_deg)
        steps = size * 4
        for i in range(steps + 1):
            t = length * i / steps
            x = int(round(c + t * math.sin(a)))
            y = int(round(c - t * math.cos(a)))
            if 0 <= x < size and 0 <= y < size:
                rows[y][x] = color

    hand(0, inner * 0.85, rgb_index((0, 0, 0)))      # minute hand at twelve
    hand(120, inner * 0.55, rgb_index((0, 0, 0)))    # hour hand at four
    hand(200, inner * 0.9, rgb_index((255, 0, 0)))   # second hand
    return rows


def image(size):
    pixels = clock_pixels(size)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):   # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, p in enumerate(row):
            value = 0 if p is None else p
            if x % 2 == 0:
                line[x // 2] |= value << 4
            else:
                line[x // 2] |= value
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in
                       [(p[0], p[1], p[2]) for p in PALETTE])
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    images = [image(32), image(16)]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'setup.ico')
