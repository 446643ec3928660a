#!/usr/bin/env python3
"""Writes the two pictures of the sample package as 24-bit BMP files:
title.bmp, drawn with white as the transparent color (a row of clock faces on white), and
clock.bmp, drawn opaque (a clock face on a dark square)."""
import math
import struct


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) // 4 * 4
    rows = bytearray()
    for y in range(height - 1, -1, -1):    # bottom-up
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        rows += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(rows), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + rows)


def face(x, y, cx, cy, radius, hour, minute, ring, back, hands):
    """Color of a clock face at (x, y), or None outside it."""
    d = math.hypot(x - cx, y - cy)
    if d > radius:
        return None
    if d > radius - 3:
        return ring
    for angle, length in ((hour * 30 + minute / 2, 0.5), (minute * 6, 0.8)):
        a = math.radians(angle)
        ex, ey = math.sin(a), -math.cos(a)
        t = (x - cx) * ex + (y - cy) * ey
        off = abs((x - cx) * ey - (y - cy) * ex)
        if 0 <= t <= radius * length and off < 1.6:
            return hands
    return back


def title_pixel(x, y):
    for i, (h, m) in enumerate(((10, 10), (3, 40), (7, 20), (12, 0))):
        c = face(x, y, 28 + i * 52, 24, 20, h, m, (0, 64, 160), (255, 240, 200), (0, 0, 0))
        if c is not None:
            return c
    return (255, 255, 255)


def clock_pixel(x, y):
    c = face(x, y, 47.5, 47.5, 42, 10, 8, (200, 200, 220), (250, 250, 255), (20, 20, 60))
    return c if c is not None else (16, 24, 64)


write_bmp('title.bmp', 212, 48, title_pixel)
write_bmp('clock.bmp', 96, 96, clock_pixel)
