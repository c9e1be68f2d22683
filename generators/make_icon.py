#!/usr/bin/env python3
"""Draws the program's icon (a clock face on a blue disc) and writes temvik.ico.

Usage: python3 generators/make_icon.py [output.ico]   (default: src/app/temvik.ico)

Pure Python, no libraries: each size is drawn 4x larger and averaged down for
smooth edges, then stored as a 32-bit BGRA bitmap with an all-clear AND mask.
The 256 x 256 image, which Explorer's large views show, is stored as a PNG, as
Windows expects at that size.
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 256)
PNG_SIZES = (256,)
SUPERSAMPLE = 4

BLUE = (42, 122, 226)
RIM = (24, 82, 168)
FACE = (250, 250, 250)
HAND = (40, 44, 52)
RED = (222, 60, 48)


def _segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def _colour_at(x, y):
    """Colour and coverage of the point (x, y) of the unit square [0, 1)."""
    cx = cy = 0.5
    r = math.hypot(x - cx, y - cy)
    if r > 0.48:
        return None
    if r > 0.43:
        return RIM
    if r > 0.36:
        return BLUE
    # Hands: the minute hand points at 12, the hour hand at 10.
    hour = math.radians(-60)
    if _segment_distance(x, y, cx, cy, cx, cy - 0.28) < 0.035:
        return HAND
    if _segment_distance(x, y, cx, cy, cx + 0.19 * math.sin(hour), cy - 0.19 * math.cos(hour)) < 0.04:
        return HAND
    if r < 0.05:
        return RED
    # Twelve ticks on the dial.
    angle = math.atan2(x - cx, cy - y)
    nearest = round(angle / (math.pi / 6)) * (math.pi / 6)
    if 0.28 < r < 0.34 and abs(angle - nearest) * r < 0.018:
        return HAND
    return FACE


def draw(size):
    """Rows of (b, g, r, a) tuples, top row first."""
    n = size * SUPERSAMPLE
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    c = _colour_at((x * SUPERSAMPLE + sx + 0.5) / n, (y * SUPERSAMPLE + sy + 0.5) / n)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += c[i]
            if covered:
                r, g, b = (round(v / covered) for v in acc)
                a = round(255 * covered / SUPERSAMPLE**2)
            else:
                r = g = b = a = 0
            row.append((b, g, r, a))
        rows.append(row)
    return rows


def bitmap(size):
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)  # bottom-up
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # alpha decides; the AND mask is clear
    return header + pixels + mask


def png(size):
    rows = draw(size)
    # RGBA rows, each behind filter byte 0.
    raw = b"".join(b"\0" + b"".join(bytes((r, g, b, a)) for b, g, r, a in row) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico(sizes=SIZES):
    images = [png(s) if s in PNG_SIZES else bitmap(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return out + b"".join(images)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "src", "app", "temvik.ico")
    with open(target, "wb") as f:
        f.write(ico())
