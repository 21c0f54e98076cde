#!/usr/bin/env python3
"""Draws the program's own simple icons and writes them as .ico files (32-bit with mask).

Run from the repository root: python3 resources/make_icons.py
"""
import math
import struct
import sys
from pathlib import Path

OUT = Path(__file__).resolve().parent / "icons"


def ico(pixels, w, h):
    """pixels: list of rows of (r, g, b, a), top row first."""
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return struct.pack("<HHH", 0, 1, 1) + entry + image


def canvas(w, h):
    return [[(0, 0, 0, 0) for _ in range(w)] for _ in range(h)]


def disc(px, cx, cy, r, col):
    for y, row in enumerate(px):
        for x in range(len(row)):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                row[x] = col


def rect(px, x0, y0, x1, y1, col):
    for y in range(max(0, y0), min(len(px), y1)):
        for x in range(max(0, x0), min(len(px[0]), x1)):
            px[y][x] = col


def triangle(px, col):
    h = len(px)
    for y in range(2, h - 2):
        half = (y - 2) * 0.5 + 0.5
        for x in range(len(px[0])):
            if abs(x + 0.5 - 16) <= half:
                px[y][x] = col


def line(px, x0, y0, x1, y1, width, col):
    steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 3) + 1
    for i in range(steps + 1):
        t = i / steps
        disc(px, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, col)


WHITE, BLACK = (255, 255, 255, 255), (0, 0, 0, 255)


def exclamation():
    px = canvas(32, 32)
    triangle(px, (240, 190, 20, 255))
    rect(px, 15, 10, 17, 22, BLACK)
    rect(px, 15, 24, 17, 27, BLACK)
    return px


def info():
    px = canvas(32, 32)
    disc(px, 16, 16, 14, (30, 90, 200, 255))
    rect(px, 14, 7, 18, 11, WHITE)
    rect(px, 14, 13, 18, 25, WHITE)
    return px


def error():
    px = canvas(32, 32)
    disc(px, 16, 16, 14, (200, 30, 30, 255))
    line(px, 10, 10, 22, 22, 3, WHITE)
    line(px, 22, 10, 10, 22, 3, WHITE)
    return px


def boxes(count):
    px = canvas(32, 32)
    colours = [(60, 140, 60, 255), (60, 100, 170, 255), (170, 110, 40, 255)]
    for i in range(count):
        rect(px, 4 + i * 3, 18 - i * 6, 22 + i * 3, 28 - i * 6, colours[i])
        rect(px, 4 + i * 3, 18 - i * 6, 22 + i * 3, 19 - i * 6, BLACK)
    return px


def custom():
    px = boxes(1)
    line(px, 18, 6, 28, 16, 3, (120, 120, 120, 255))
    disc(px, 27, 6, 4, (120, 120, 120, 255))
    return px


def setup():
    px = canvas(32, 32)
    rect(px, 3, 4, 29, 22, (40, 40, 40, 255))
    rect(px, 5, 6, 27, 20, (40, 120, 210, 255))
    rect(px, 12, 22, 20, 25, (90, 90, 90, 255))
    rect(px, 8, 25, 24, 28, (90, 90, 90, 255))
    line(px, 10, 13, 14, 17, 2, WHITE)
    line(px, 14, 17, 22, 9, 2, WHITE)
    return px


def folder():
    px = canvas(32, 32)
    rect(px, 3, 7, 13, 11, (220, 170, 40, 255))
    rect(px, 3, 10, 29, 26, (240, 200, 70, 255))
    rect(px, 3, 25, 29, 26, (170, 120, 20, 255))
    return px


def small_mark(ok):
    px = canvas(16, 16)
    rect(px, 1, 1, 15, 15, (90, 90, 90, 255))
    rect(px, 2, 2, 14, 14, WHITE)
    if ok:
        line(px, 4, 8, 7, 11, 2, (20, 140, 20, 255))
        line(px, 7, 11, 12, 4, 2, (20, 140, 20, 255))
    else:
        line(px, 4, 4, 11, 11, 2, (200, 20, 20, 255))
        line(px, 11, 4, 4, 11, 2, (200, 20, 20, 255))
    return px


ICONS = {
    "info.ico": (info(), 32),          # 132
    "typical.ico": (boxes(3), 32),     # 133
    "minimal.ico": (boxes(1), 32),     # 134
    "error.ico": (error(), 32),        # 135
    "folder.ico": (folder(), 32),      # 136
    "setup.ico": (setup(), 32),        # 137
    "custom.ico": (custom(), 32),      # 138
    "exclamation.ico": (exclamation(), 32),  # 141
    "feature_off.ico": (small_mark(False), 16),  # 151
    "feature_on.ico": (small_mark(True), 16),    # 152
}


def main():
    OUT.mkdir(exist_ok=True)
    for name, (px, size) in ICONS.items():
        (OUT / name).write_bytes(ico(px, size, size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
