#!/usr/bin/env python3
"""Draws the game's small pictures: the floor line, the shot, the hit flash
and the practice cursor. Writes 24-bit BMP and 32-bit (alpha) ICO files.

Usage: tools/make_art.py OUTDIR
"""
import math
import struct
import sys


def clamp(v):
    return max(0, min(255, int(round(v))))


def write_bmp24(path, w, h, pixel):
    """pixel(x, y) -> (r, g, b), y from the top."""
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            line += bytes((clamp(b), clamp(g), clamp(r)))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_ico32(path, size, pixel):
    """pixel(x, y) -> (r, g, b, a), y from the top."""
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = pixel(x, y)
            a = clamp(a)
            # Premultiplication is not used by icons; keep colour where alpha is 0.
            xor += bytes((clamp(b), clamp(g), clamp(r), a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            if pixel(x, y)[3] < 8:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


def floor_line(x, y):
    # A glowing rail: bright cyan edge on top, steel body, dark rivets.
    h = [(120, 255, 255), (40, 200, 255), (180, 190, 210), (120, 130, 150), (70, 80, 100), (30, 35, 50)][y]
    if y >= 2 and x % 40 in (19, 20):
        return (40, 45, 60)
    shine = 25 * math.sin(x / 800 * math.pi * 6) if y >= 2 else 0
    return tuple(c + shine for c in h)


def shot(x, y):
    # An energy bolt flying up: white-hot tip, yellow body, orange trail.
    cx = 15.5
    dx = abs(x - cx)
    if y < 4:
        return (0, 0, 0, 0)
    t = (y - 4) / 27.0  # 0 at the tip, 1 at the tail
    half = 2.0 + 5.0 * math.sin(min(t, 0.6) / 0.6 * math.pi / 2) * (1.0 - max(0.0, t - 0.6) * 1.6)
    if dx > half + 1.5:
        return (0, 0, 0, 0)
    edge = max(0.0, min(1.0, half + 1.5 - dx))
    core = max(0.0, 1.0 - dx / max(half, 0.5))
    r = 255
    g = 255 - 150 * t * (1 - core * 0.5)
    b = 255 * core * (1 - t) + 40 * (1 - t)
    a = 255 * edge * (1.0 - 0.7 * max(0.0, t - 0.55) / 0.45)
    return (r, g, b, a)


def hit_flash(x, y):
    # A starburst: eight rays over a round glow.
    cx = cy = 15.5
    dx, dy = x - cx, y - cy
    d = math.hypot(dx, dy)
    ang = math.atan2(dy, dx)
    ray = abs(math.cos(ang * 4)) ** 8
    reach = 6 + 10 * ray
    if d > reach:
        return (0, 0, 0, 0)
    k = 1 - d / reach
    r = 255
    g = 120 + 135 * k
    b = 40 + 215 * k * k
    return (r, g, b, 255 * min(1.0, k * 2.2))


def cursor(x, y):
    # A red insertion bar with a soft white glow, for the practice grid.
    if 25 <= y <= 29 and 3 <= x <= 28:
        return (230, 20, 40, 255)
    if 23 <= y <= 31 and 1 <= x <= 30:
        return (255, 255, 255, 110)
    return (0, 0, 0, 0)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "data/art"
    write_bmp24(f"{out}/floor.bmp", 800, 6, floor_line)
    write_ico32(f"{out}/shot.ico", 32, shot)
    write_ico32(f"{out}/flash.ico", 32, hit_flash)
    write_ico32(f"{out}/cursor.ico", 32, cursor)


if __name__ == "__main__":
    main()
