#!/usr/bin/env python3
"""Draws the five-stroke (Wubi 86) radical chart the practice panel shows:
the 25 keys in their keyboard rows, each with its letter, zone and position,
key-name character and main radicals, coloured by zone. 621 x 193, 24-bit BMP.

Needs Pillow (Debian: python3-pil) and the fonts fonts-wqy-microhei and
fonts-dejavu-core.

Usage: tools/make_chart.py KEYS_TXT OUT_BMP [PREVIEW_PNG]
"""
import sys

from PIL import Image, ImageDraw, ImageFont

from artfiles import write_bmp24

WIDTH, HEIGHT = 621, 193
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
LATIN_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# The keyboard rows as they lie under the fingers; Z carries no radicals.
ROWS = ["QWERTYUIOP", "ASDFGHJKL", "XCVBNM"]
KEY_W, KEY_H, PITCH, ROW_PITCH = 60, 61, 61, 63
TOP = 3
ROW_LEFT = [6, 21, 21 + 30 + PITCH]  # staggered like a keyboard; X sits where it does beside Z

# One colour per zone, by the first stroke the zone stands for.
ZONES = {
    1: ("横", (206, 54, 54)),
    2: ("竖", (38, 140, 62)),
    3: ("撇", (28, 104, 204)),
    4: ("捺", (132, 64, 178)),
    5: ("折", (222, 118, 20)),
}
INK = (34, 34, 40)
PAPER = (250, 250, 246)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def read_keys(path):
    keys = {}
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            parts = line.split()
            if len(parts) != 4 or len(parts[0]) != 1 or len(parts[1]) != 2 or len(parts[2]) != 1:
                raise SystemExit(f"{path}:{n}: expected 'LETTER ZONEPOS NAMECHAR RADICALS', got {line!r}")
            keys[parts[0]] = (int(parts[1]), parts[2], parts[3])
    missing = [k for row in ROWS for k in row if k not in keys]
    if missing:
        raise SystemExit(f"{path}: no line for the keys {' '.join(missing)}")
    return keys


def draw_key(d, fonts, x, y, letter, code, name, radicals):
    strong = ZONES[code // 10][1]
    tint = mix(strong, (255, 255, 255), 0.86)
    dark = mix(strong, (0, 0, 0), 0.35)
    d.rounded_rectangle((x, y, x + KEY_W - 1, y + KEY_H - 1), radius=5, fill=tint, outline=dark)
    # Letter and zone-position code, top left.
    d.text((x + 4, y + 1), letter, font=fonts["letter"], fill=dark)
    d.rounded_rectangle((x + 4, y + 17, x + 22, y + 26), radius=3, fill=strong)
    d.text((x + 13, y + 22), str(code), font=fonts["code"], fill=(255, 255, 255), anchor="mm")
    # The key-name character, white on the zone colour, top right.
    d.rounded_rectangle((x + 31, y + 3, x + 55, y + 26), radius=4, fill=strong)
    d.text((x + 43, y + 15), name, font=fonts["name"], fill=(255, 255, 255), anchor="mm")
    # The radicals, four to a line.
    d.line((x + 4, y + 29, x + KEY_W - 5, y + 29), fill=mix(strong, tint, 0.55))
    for i, r in enumerate(radicals[:8]):
        cx = x + 9 + (i % 4) * 14
        cy = y + 37 + (i // 4) * 14
        d.text((cx, cy), r, font=fonts["radical"], fill=INK, anchor="mm")


def draw_title(d, fonts, x, y):
    d.text((x, y + 4), "五笔字型", font=fonts["title_small"], fill=INK)
    d.text((x, y + 22), "86版", font=fonts["title_small"], fill=(28, 104, 204))
    d.text((x, y + 38), "字根表", font=fonts["title"], fill=INK)


def draw_legend(d, fonts, x, y):
    for i, (zone, (stroke, colour)) in enumerate(sorted(ZONES.items())):
        row_y = y + 1 + i * 12
        d.rounded_rectangle((x, row_y, x + 15, row_y + 10), radius=2, fill=colour)
        d.text((x + 8, row_y + 5), str(zone), font=fonts["code"], fill=(255, 255, 255), anchor="mm")
        d.text((x + 20, row_y + 5), f"{stroke}区", font=fonts["legend"], fill=INK, anchor="lm")
        d.text((x + 50, row_y + 5), " ".join(ROWS_BY_ZONE[zone]), font=fonts["legend_latin"], fill=INK, anchor="lm")


# Keys of each zone in position order (position 1 first).
ROWS_BY_ZONE = {1: "GFDSA", 2: "HJKLM", 3: "TREWQ", 4: "YUIOP", 5: "NBVCX"}


def render(keys):
    img = Image.new("RGB", (WIDTH, HEIGHT), PAPER)
    d = ImageDraw.Draw(img)
    fonts = {
        "letter": ImageFont.truetype(LATIN_BOLD, 15),
        "code": ImageFont.truetype(LATIN_BOLD, 9),
        "name": ImageFont.truetype(CJK_FONT, 20),
        "radical": ImageFont.truetype(CJK_FONT, 13),
        "title": ImageFont.truetype(CJK_FONT, 22),
        "title_small": ImageFont.truetype(CJK_FONT, 15),
        "legend": ImageFont.truetype(CJK_FONT, 11),
        "legend_latin": ImageFont.truetype(LATIN_BOLD, 9),
    }
    d.rectangle((0, 0, WIDTH - 1, HEIGHT - 1), outline=(150, 156, 170))
    for r, row in enumerate(ROWS):
        for i, letter in enumerate(row):
            code, name, radicals = keys[letter]
            draw_key(d, fonts, ROW_LEFT[r] + i * PITCH, TOP + r * ROW_PITCH, letter, code, name, radicals)
    bottom = TOP + 2 * ROW_PITCH
    draw_title(d, fonts, 10, bottom)
    draw_legend(d, fonts, ROW_LEFT[2] + 6 * PITCH + 8, bottom)
    return img


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    img = render(read_keys(sys.argv[1]))
    write_bmp24(sys.argv[2], img)
    if len(sys.argv) > 3:
        img.save(sys.argv[3])


if __name__ == "__main__":
    main()
