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
    # A bolt flying up: a white-hot pointed head, a golden body with a
    # bright core, and an orange flame trailing off below.
    cx = 15.5
    dx = abs(x - cx)
    if y < 2:
        return (0, 0, 0, 0)
    if y < 11:  # the head widens from a point
        half = 0.6 + (y - 2) * 0.55
        r, g, b = 255, 255, 200 + 55 * max(0.0, 1 - dx / max(half, 0.5))
    elif y < 21:  # the body
        half = 3.2
        core = max(0.0, 1 - dx / 3.2)
        r, g, b = 255, 200 + 55 * core, 60 + 180 * core * core
    else:  # the flame: narrowing and fading, with a flicker
        t = (y - 21) / 10.0
        half = 3.2 * (1 - t) + 0.8 * math.sin(y * 1.7) * (1 - t)
        r, g, b = 255, 170 * (1 - t) + 60, 40 * (1 - t)
    edge = max(0.0, min(1.0, half + 0.8 - dx))
    if edge <= 0:
        return (0, 0, 0, 0)
    fade = 1.0 if y < 21 else max(0.0, 1 - (y - 21) / 10.0)
    return (r, g, b, 255 * edge * fade)


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
