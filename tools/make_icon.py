#!/usr/bin/env python3
"""Draws the product icon (32-bit with alpha) into an .ico file, at the small and large icon
sizes of every display scale from 100 % to 200 %: 16, 20, 24 and 32 pixels (small), 32, 40, 48
and 64 (large). Each size is drawn from the shape itself, none scaled from another.

The picture: a rounded square in the product blue with a lighter top, a white play
triangle, and a strip of film perforations along the bottom. Pure Python, so no image
library is needed; the result is committed and the build never runs this.
"""
import struct
import sys

BLUE = (38, 135, 208)
LIGHT = (92, 178, 240)
WHITE = (255, 255, 255)


def coverage(size, inside, samples=4):
    """Per-pixel coverage in 0..1 of the shape `inside(x, y)` over the unit square."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    hits += inside(x, y)
            row.append(hits / (samples * samples))
        rows.append(row)
    return rows


def rounded_square(x, y, margin=0.04, radius=0.2):
    lo, hi = margin, 1 - margin
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def play_triangle(x, y):
    # Pointing right, centred a little above the middle.
    x0, x1, top, bottom = 0.36, 0.72, 0.22, 0.66
    mid = (top + bottom) / 2
    if x < x0 or x > x1:
        return False
    half = (bottom - top) / 2 * (1 - (x - x0) / (x1 - x0))
    return mid - half <= y <= mid + half


def perforations(x, y):
    if not (0.76 <= y <= 0.86):
        return False
    slot = (x - 0.16) / 0.14
    return 0 <= slot < 5 and (slot % 1) < 0.55


def render(size):
    body = coverage(size, rounded_square)
    tri = coverage(size, play_triangle)
    perf = coverage(size, perforations)
    pixels = []
    for py in range(size):
        t = py / max(size - 1, 1)
        base = tuple(round(LIGHT[i] * (1 - t) + BLUE[i] * t) for i in range(3))
        row = []
        for px in range(size):
            a = body[py][px]
            white = max(tri[py][px], perf[py][px] * 0.85)
            rgb = tuple(round(base[i] * (1 - white) + WHITE[i] * white) for i in range(3))
            row.append((rgb, round(a * 255)))
        pixels.append(row)
    return pixels


def icon_image(size):
    pixels = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up
        for (r, g, b), a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for px, (_, a) in enumerate(row):
            if a == 0:
                bits[px // 8] |= 0x80 >> (px % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def main(path):
    sizes = [16, 20, 24, 32, 40, 48, 64]
    images = [icon_image(s) for s in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/icon/stampwell.ico')
