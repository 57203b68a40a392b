#!/usr/bin/env python3
"""Draws the window skin: the caption strip (640 x 48, 24-bit BMP) and the
border strip (70 x 10, 8-bit BMP) the caption painter cuts the frame from.

The caption strip holds a whole caption drawn for a window 240 pixels wide:
its left end (columns 0-89), a middle that is the same in every column (the
painter tiles columns 91-142 of it) and its right end (columns 140-240,
column 240 falling just outside the window). The inactive caption lies 400
columns further right; the caption buttons lie from column 241, the pressed
ones 20 rows below. Rows 0-25 are the title band (the title is written at
rows 11-28 from column 92), rows 26-45 the menu panel (titles at row 28).
The border strip holds 10 x 10 tiles: left side at column 0, bottom-left
corner at 20, bottom edge at 30, right side at 40, bottom-right corner at 60.

Needs Pillow (Debian: python3-pil); the emblem is the program's icon
(tools/make_icon.py).

Usage: tools/make_skin.py OUTDIR [PREVIEW_PNG]
"""
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

import make_icon
from artfiles import write_bmp8, write_bmp24

CAPTION_W, CAPTION_H = 640, 48
BORDER = 10
BUTTON_W, BUTTON_H = 19, 20
LEFT_END, RIGHT_START, RIGHT_END, INACTIVE = 90, 140, 240, 400
FACE_W = RIGHT_END  # the caption is drawn as for a window this wide
GLYPH_COLUMNS = {"close": 241, "restore": 240 + BUTTON_W, "maximize": 240 + 2 * BUTTON_W,
                 "minimize": 240 + 3 * BUTTON_W}
BAND_END = 26  # first row below the title band
PANEL_TOP, PANEL_BOTTOM = 26, 45  # the menu panel's edge rows
PANEL_LEFT = 58  # the emblem's tab lies left of the panel
PANEL_RADIUS = 5

CLIENT = (0, 128, 255)  # the window's own background
OUTLINE = (8, 40, 100)
SHELL = (14, 92, 208)
# The frame seen across its width, from the outside in: outline, a light
# edge, the body, then two darker lines that set the client area off.
FRAME = [OUTLINE, (110, 180, 255), (40, 124, 236), SHELL, SHELL, SHELL, SHELL, SHELL, (10, 70, 175),
         (4, 44, 120)]
FRAME_SHADED = [OUTLINE, (56, 140, 240)] + FRAME[2:]  # right and bottom sides, turned from the light


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def ramp(a, b, i, n):
    return mix(a, b, i / max(1, n - 1))


class Palette:
    """The caption colours of one state."""

    def __init__(self, active):
        grey = (76, 96, 134)
        dim = (lambda c: c) if active else (lambda c: mix(c, grey, 0.55))
        self.band = [dim(OUTLINE), dim((150, 205, 255))]
        self.band += [dim(ramp((88, 166, 250), (58, 144, 244), i, 11)) for i in range(11)]
        self.band += [dim(ramp((26, 108, 228), SHELL, i, 13)) for i in range(13)]
        self.band_light = dim(FRAME[1])
        self.band_shaded = dim(FRAME_SHADED[1])
        self.panel_top, self.panel_bottom = ((246, 250, 255), (214, 230, 250)) if active else \
            ((240, 242, 246), (218, 223, 231))
        self.panel_shadow = (8, 58, 150)
        self.panel_light = (150, 200, 255)
        self.emblem_saturation = 1.0 if active else 0.35


def frame_pixel(x, y, width):
    """The shell and frame below the title band, at (x, y) of a caption."""
    dl, dr = x, width - 1 - x
    if dl <= 1:
        return FRAME[dl]
    if dr <= 1:
        return FRAME_SHADED[dr]
    # Distance from the client area, which starts at (10, 48).
    inner = max(BORDER - 1 - dl if dl < BORDER else 0, BORDER - 1 - dr if dr < BORDER else 0,
                CAPTION_H - 1 - y)
    if inner <= 1:
        return FRAME[9 - inner]
    if dl < 8:
        return FRAME[dl]
    if dr < 8:
        return FRAME_SHADED[dr]
    return SHELL


def panel_mask(width):
    """The menu panel's area, antialiased, drawn at four times the size."""
    k = 4
    big = Image.new("L", (width * k, CAPTION_H * k))
    ImageDraw.Draw(big).rounded_rectangle(
        (PANEL_LEFT * k, PANEL_TOP * k, (width - BORDER) * k - 1, (PANEL_BOTTOM + 1) * k - 1),
        radius=PANEL_RADIUS * k, fill=255)
    return big.resize((width, CAPTION_H), Image.BOX)


def caption_face(width, pal):
    """The caption of a window `width` wide, without its buttons."""
    img = Image.new("RGB", (width, CAPTION_H))
    px = img.load()
    for y in range(CAPTION_H):
        for x in range(width):
            if y < BAND_END:
                c = pal.band[y]
                if y > 0 and x == 1:
                    c = pal.band_light
                elif y > 0 and x == width - 2:
                    c = pal.band_shaded
                if x == 0 or x == width - 1:
                    c = pal.band[0]
            else:
                c = frame_pixel(x, y, width)
            px[x, y] = c

    # The menu panel: a light inset, its rim in shadow above and left, lit below and right.
    mask = panel_mask(width)
    core = mask.filter(ImageFilter.MinFilter(3))
    fill = Image.new("RGB", (1, CAPTION_H))
    for y in range(CAPTION_H):
        t = (y - PANEL_TOP - 1) / (PANEL_BOTTOM - PANEL_TOP - 2)
        fill.putpixel((0, y), mix(pal.panel_top, pal.panel_bottom, max(0.0, min(1.0, t))))
    shaded = Image.new("L", (width, CAPTION_H))
    ImageDraw.Draw(shaded).polygon([(0, 0), (width, 0), (width - 2 * BORDER, PANEL_TOP + 2),
                                    (PANEL_LEFT + 8, PANEL_TOP + 2), (PANEL_LEFT + 2, PANEL_BOTTOM - 1),
                                    (0, CAPTION_H)], fill=255)
    rim = Image.composite(Image.new("RGB", img.size, pal.panel_shadow), Image.new("RGB", img.size, pal.panel_light),
                          shaded)
    img = Image.composite(rim, img, mask)
    img = Image.composite(fill.resize(img.size), img, core)

    # The emblem sits over the system-menu spot (12, 11)-(42, 43).
    icon = make_icon.render(32)
    if pal.emblem_saturation < 1:  # paler colours, same shape
        colour, alpha = icon.convert("RGB"), icon.getchannel("A")
        colour = Image.blend(colour.convert("L").convert("RGB"), colour, pal.emblem_saturation)
        icon = Image.merge("RGBA", (*colour.split(), alpha))
    base = img.convert("RGBA")
    base.alpha_composite(icon, (11, 11))
    return base.convert("RGB")


def glyph(name, pressed, active_band):
    """One caption button, 19 x 20: a glassy tile with a white symbol."""
    img = Image.new("RGB", (BUTTON_W, BUTTON_H))
    px = img.load()
    if name == "close":
        top, mid, low, bottom = (244, 124, 104), (226, 84, 64), (196, 40, 28), (226, 92, 60)
    else:
        top, mid, low, bottom = (110, 184, 255), (70, 152, 248), (24, 104, 226), (52, 140, 246)
    if pressed:
        top, mid, low, bottom = (mix(c, (0, 0, 40), 0.3) for c in (top, mid, low, bottom))
    edge = (6, 36, 96)
    for y in range(BUTTON_H):
        for x in range(BUTTON_W):
            t = (y - 1) / (BUTTON_H - 3)
            c = mix(top, mid, t * 2) if t < 0.5 else mix(low, bottom, (t - 0.5) * 2)
            if y == 1 and 0 < x < BUTTON_W - 1:
                c = mix(c, (255, 255, 255), 0.25 if pressed else 0.55)
            if pressed and (y == 1 or x == 1):
                c = mix(c, (0, 0, 0), 0.35)
            if x in (0, BUTTON_W - 1) or y in (0, BUTTON_H - 1):
                c = edge
                if x in (0, BUTTON_W - 1) and y in (0, BUTTON_H - 1):
                    c = mix(edge, active_band[5 + y], 0.6)  # soften the corners
            px[x, y] = c

    # The symbol, pixel-aligned for crisp edges; pressed ones move down and right.
    sym = Image.new("L", (BUTTON_W, BUTTON_H))
    d = ImageDraw.Draw(sym)
    o = 1 if pressed else 0

    def rect(x0, y0, x1, y1, fill=255):  # inclusive pixel box
        d.rectangle((x0 + o, y0 + o, x1 + o, y1 + o), fill=fill)

    def frame(x0, y0, x1, y1):  # a window outline with a thick top
        rect(x0, y0, x1, y1)
        rect(x0 + 1, y0 + 2, x1 - 1, y1 - 1, fill=0)

    if name == "close":  # two diagonals, two pixels thick, crossing on column 9
        for r in range(8):
            rect(5 + r, 6 + r, 6 + r, 6 + r)
            rect(12 - r, 6 + r, 13 - r, 6 + r)
    elif name == "maximize":
        frame(5, 5, 13, 13)
    elif name == "restore":  # a window behind another
        frame(7, 4, 13, 10)
        rect(5, 7, 11, 14, fill=0)
        frame(5, 7, 11, 14)
    elif name == "minimize":
        rect(5, 12, 12, 13)
    shadow = Image.new("L", sym.size)
    shadow.paste(sym.crop((0, 0, BUTTON_W, BUTTON_H - 1)), (0, 1))
    inner = Image.new("L", sym.size)
    inner.paste(Image.new("L", (BUTTON_W - 2, BUTTON_H - 2), 255), (1, 1))
    img = Image.composite(Image.new("RGB", sym.size, (0, 30, 80)), img,
                          ImageChops.multiply(Image.eval(shadow, lambda v: v * 6 // 10), inner))
    img = Image.composite(Image.new("RGB", sym.size, (255, 255, 255)), img, ImageChops.multiply(sym, inner))
    return img


def caption_strip():
    strip = Image.new("RGB", (CAPTION_W, CAPTION_H), SHELL)
    active, inactive = Palette(True), Palette(False)
    strip.paste(caption_face(FACE_W, active), (0, 0))
    strip.paste(caption_face(FACE_W, inactive).crop((0, 0, CAPTION_W - INACTIVE, CAPTION_H)), (INACTIVE, 0))
    # Column 240 is never seen in a caption; give it the column before it.
    strip.paste(strip.crop((FACE_W - 1, 0, FACE_W, CAPTION_H)), (FACE_W, 0))
    # The buttons; restore is drawn last as its first column is close's last one (the same outline).
    for name in ("close", "maximize", "minimize", "restore"):
        for pressed in (0, 1):
            strip.paste(glyph(name, pressed, active.band), (GLYPH_COLUMNS[name], pressed * BUTTON_H))
    return strip


def border_strip():
    """Tiles at 0 (left), 20 (bottom-left), 30 (bottom), 40 (right), 60 (bottom-right);
    10 and 50, which the painter does not use, repeat the sides."""
    img = Image.new("RGB", (7 * BORDER, BORDER))
    px = img.load()
    for y in range(BORDER):
        for x in range(BORDER):
            bottom = FRAME_SHADED[BORDER - 1 - y]
            px[x, y] = FRAME[x]  # left side, outside at x = 0
            px[10 + x, y] = FRAME[x]
            px[30 + x, y] = bottom
            px[40 + x, y] = FRAME_SHADED[BORDER - 1 - x]  # right side, outside at x = 9
            px[50 + x, y] = FRAME_SHADED[BORDER - 1 - x]
            # Corners: the nearer outer edge decides, mitred on the diagonal.
            dl, db = x, BORDER - 1 - y
            px[20 + x, y] = FRAME[dl] if dl < db else FRAME_SHADED[db]
            dr = BORDER - 1 - x
            px[60 + x, y] = FRAME_SHADED[min(dr, db)]
    return img


def preview(strip, border, width=560, height=150):
    """Frames painted the way the caption painter cuts them: active window on top,
    inactive below with its minimize button held down; title and menu in a CJK font."""
    font = ImageFont.truetype("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", 12)
    sheet = Image.new("RGB", (width + 20, 2 * height + 30), (60, 60, 60))
    for n, active in enumerate((True, False)):
        win = Image.new("RGB", (width, height), CLIENT)
        s = 0 if active else INACTIVE
        x_right = width + RIGHT_START - RIGHT_END
        rw = RIGHT_END - RIGHT_START + 1
        cap = Image.new("RGB", (width + 1, CAPTION_H))
        cap.paste(strip.crop((s, 0, s + LEFT_END, CAPTION_H)), (0, 0))
        for x in range(LEFT_END, x_right, 52):
            tile = strip.crop((s + LEFT_END + 1, 0, s + LEFT_END + 1 + min(52, x_right - x), CAPTION_H))
            cap.paste(tile, (x, 0))
        cap.paste(strip.crop((s + RIGHT_START, 0, min(CAPTION_W, s + RIGHT_START + rw), CAPTION_H)), (x_right, 0))
        c = x_right + rw - BORDER + 4
        for name in ("close", "maximize", "minimize"):
            left = c - BUTTON_W - 1
            pressed = (not active) and name == "minimize"
            col = GLYPH_COLUMNS[name]
            cap.paste(strip.crop((col, pressed * BUTTON_H, col + BUTTON_W, pressed * BUTTON_H + BUTTON_H)), (left, 5))
            c = left
        d = ImageDraw.Draw(cap)
        d.text((92, 11), "Quorlax", font=font, fill=(255, 255, 255) if active else (192, 255, 192))
        x = LEFT_END + 8
        for i, title in enumerate(("文件", "速度", "设置", "帮助")):
            w = d.textlength(title, font=font)
            if active and i == 1:
                d.rectangle((x - 2, 26, x + w + 1, 28 + 12 + 1), outline=(128, 128, 128))
                d.line((x - 2, 26, x + w + 1, 26), fill=(255, 255, 255))
                d.line((x - 2, 26, x - 2, 41), fill=(255, 255, 255))
            d.text((x, 28), title, font=font, fill=(255, 0, 0) if active and i == 1 else (0, 0, 192))
            x += w + 11
        win.paste(cap.crop((0, 0, width, CAPTION_H)), (0, 0))
        for y in range(CAPTION_H, height, BORDER):
            win.paste(border.crop((0, 0, BORDER, BORDER)), (0, y))
            win.paste(border.crop((40, 0, 50, BORDER)), (width - BORDER, y))
        y = max(height - BORDER, CAPTION_H)
        for x in range(BORDER, width - BORDER, BORDER):
            win.paste(border.crop((30, 0, 40, BORDER)), (x, y))
        win.paste(border.crop((20, 0, 30, BORDER)), (0, y))
        win.paste(border.crop((60, 0, 70, BORDER)), (width - BORDER, y))
        sheet.paste(win, (10, 10 + n * (height + 10)))
    return sheet


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    out = sys.argv[1]
    strip, border = caption_strip(), border_strip()
    write_bmp24(f"{out}/caption.bmp", strip)
    write_bmp8(f"{out}/border.bmp", border)
    if len(sys.argv) > 2:
        preview(strip, border).save(sys.argv[2])


if __name__ == "__main__":
    main()
