#!/usr/bin/env python3
"""Writes the give-up dialog's picture: a rounded panel on pure white.

White is the see-through colour, so the panel gives the dialog its outline.
Usage: python3 generators/make_giveup_picture.py src/app/res/giveup.bmp
"""
import struct
import sys

W, H, R = 320, 140, 24
FILL = (250, 236, 214)    # warm paper
EDGE = (196, 120, 60)     # frame
WHITE = (255, 255, 255)


def inside(x, y, inset):
    left, top, right, bottom = inset, inset, W - 1 - inset, H - 1 - inset
    r = R - inset
    cx = min(max(x, left + r), right - r)
    cy = min(max(y, top + r), bottom - r)
    if not (left <= x <= right and top <= y <= bottom):
        return False
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def pixel(x, y):
    if not inside(x, y, 0):
        return WHITE
    if not inside(x, y, 3):
        return EDGE
    return FILL


def main():
    palette = [WHITE, EDGE, FILL, (0, 0, 0)]
    row = ((W * 4 + 31) // 32) * 4  # 4 bits a pixel, rows padded to 4 bytes
    pixels = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up
        line = bytearray(row)
        for x in range(W):
            index = palette.index(pixel(x, y))
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += line
    colours = b"".join(bytes([b, g, r, 0]) for r, g, b in palette) + b"\0" * 4 * (16 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + 40 + len(colours)
    filehdr = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    with open(sys.argv[1], "wb") as f:
        f.write(filehdr + header + colours + pixels)


if __name__ == "__main__":
    main()
