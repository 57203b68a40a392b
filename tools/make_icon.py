#!/usr/bin/env python3
"""Draws the program's icon: a white key with the character 字 tumbling down,
struck from below by a golden bolt. 16, 24, 32, 48 and 256 px, 32-bit with
alpha; the 256 px image is stored PNG-compressed.

Needs Pillow (Debian: python3-pil) and fonts-wqy-microhei.

Usage: tools/make_icon.py OUT_ICO [PREVIEW_PNG]
"""
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

from artfiles import write_ico

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SIZES = (16, 24, 32, 48, 256)
WORK = 512  # everything is drawn at this size and scaled down

BLUE = (0, 128, 255)
DEEP_BLUE = (0, 70, 170)
KEY_FACE_TOP = (255, 255, 255)
KEY_FACE_BOTTOM = (214, 230, 250)
KEY_SKIRT = (120, 150, 196)
KEY_EDGE = (24, 56, 110)
STREAK_EDGE = (30, 90, 190)
BOLT = (255, 214, 32)
BOLT_CORE = (255, 250, 205)
BOLT_EDGE = (200, 80, 0)


def vertical_gradient(size, top, bottom):
    w, h = size
    grad = Image.new("RGB", (1, h))
    for y in range(h):
        t = y / max(1, h - 1)
        grad.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return grad.resize((w, h))


def fill_shape(canvas, mask, colour):
    layer = Image.new("RGBA", canvas.size, colour + (255,))
    canvas.alpha_composite(Image.composite(layer, Image.new("RGBA", canvas.size), mask))


def key_layer(s, simple):
    """The key, upright, on a transparent canvas of side s."""
    img = Image.new("RGBA", (s, s))
    u = s / 100

    def box(x0, y0, x1, y1):
        return tuple(round(v * u) for v in (x0, y0, x1, y1))

    # Outline, then the darker skirt, then the face with a soft gradient.
    edge = Image.new("L", (s, s))
    ImageDraw.Draw(edge).rounded_rectangle(box(6, 6, 94, 96), radius=round(16 * u), fill=255)
    fill_shape(img, edge, KEY_EDGE)
    skirt = Image.new("L", (s, s))
    ImageDraw.Draw(skirt).rounded_rectangle(box(10, 10, 90, 92), radius=round(13 * u), fill=255)
    fill_shape(img, skirt, KEY_SKIRT)
    face = Image.new("L", (s, s))
    face_box = box(15, 12, 85, 78) if not simple else box(13, 11, 87, 80)
    ImageDraw.Draw(face).rounded_rectangle(face_box, radius=round(11 * u), fill=255)
    img.alpha_composite(Image.composite(vertical_gradient((s, s), KEY_FACE_TOP, KEY_FACE_BOTTOM).convert("RGBA"),
                                        Image.new("RGBA", (s, s)), face))
    # The character, centred on the face.
    glyph = Image.new("L", (s, s))
    size = round((62 if simple else 56) * u)
    cx, cy = (face_box[0] + face_box[2]) / 2, (face_box[1] + face_box[3]) / 2
    # Small sizes get heavier strokes so the character survives 16 px.
    ImageDraw.Draw(glyph).text((cx, cy), "字", font=ImageFont.truetype(CJK_FONT, size), fill=255, anchor="mm",
                               stroke_width=round((1.6 if simple else 0.6) * u), stroke_fill=255)
    fill_shape(img, glyph, DEEP_BLUE)
    return img


def bolt_points(s, x0, y0, x1, y1):
    """A lightning bolt pointing up, filling the box (in hundredths of s)."""
    shape = [(0.62, 0.0), (0.10, 0.58), (0.42, 0.58), (0.22, 1.0), (0.92, 0.36), (0.56, 0.36), (0.80, 0.0)]
    w, h = (x1 - x0) * s / 100, (y1 - y0) * s / 100
    pts = [(x0 * s / 100 + px * w, y0 * s / 100 + py * h) for px, py in shape]
    # Point the bolt up: mirror the zigzag top to bottom.
    return [(x, (y0 + y1) * s / 100 - y) for x, y in pts]


def bolt_mask(s, box, grow=0):
    """The bolt's mask, grown by grow pixels all round for its outline."""
    pts = bolt_points(s, *box)
    m = Image.new("L", (s, s))
    d = ImageDraw.Draw(m)
    d.polygon(pts, fill=255)
    if grow:
        d.line(pts + [pts[0]], fill=255, width=2 * grow, joint="curve")
    return m


def render(size):
    simple = size <= 24
    s = WORK
    canvas = Image.new("RGBA", (s, s))
    u = s / 100

    if not simple:
        # Speed streaks above the key, fading upwards: it is falling.
        fade = Image.new("L", (s, s), 255)
        fade.paste(vertical_gradient((s, round(20 * u)), (0, 0, 0), (255, 255, 255)).convert("L"), (0, 0))
        for grow, colour in ((round(1.5 * u), STREAK_EDGE), (0, KEY_FACE_TOP)):
            streaks = Image.new("L", (s, s))
            d = ImageDraw.Draw(streaks)
            for x, top in ((30, 4), (45, 1), (60, 6)):
                d.rounded_rectangle((round((x - 2.4) * u) - grow, round(top * u) - grow,
                                     round((x + 2.4) * u) + grow, round(21 * u) + grow),
                                    radius=round(2.4 * u) + grow, fill=255)
            fill_shape(canvas, ImageChops.multiply(streaks, fade), colour)

    # The key, tilted as it tumbles.
    if simple:  # small sizes: an upright key, as large as fits
        key = key_layer(round(s * 0.86), simple)
        canvas.alpha_composite(key, (0, 0))
    else:
        key = key_layer(round(s * 0.74), simple).rotate(-11, resample=Image.BICUBIC, expand=True)
        canvas.alpha_composite(key, (round(s * 0.04), round(s * 0.15)))

    # The bolt, striking the key's lower right corner from below.
    box = (60, 50, 98, 99) if not simple else (60, 48, 100, 100)
    fill_shape(canvas, bolt_mask(s, box, round((3 if simple else 2.2) * u)), BOLT_EDGE)
    fill_shape(canvas, bolt_mask(s, box), BOLT)
    if not simple:
        core = bolt_mask(s, (box[0] + 9, box[1] + 12, box[2] - 9, box[3] - 7))
        fill_shape(canvas, core.filter(ImageFilter.GaussianBlur(u)), BOLT_CORE)

    out = canvas.resize((size, size), Image.LANCZOS)
    if simple:  # small sizes: make the edges and the character crisper
        out = out.filter(ImageFilter.UnsharpMask(radius=0.6, percent=60, threshold=0))
    return out


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    images = [render(n) for n in SIZES]
    write_ico(sys.argv[1], images)
    if len(sys.argv) > 2:
        # Every size on the window's blue, on white and on black.
        width = sum(img.size[0] + 8 for img in images)
        sheet = Image.new("RGBA", (width, 3 * 264), (0, 128, 255, 255))
        sheet.paste((255, 255, 255, 255), (0, 264, width, 528))
        sheet.paste((0, 0, 0, 255), (0, 528, width, 792))
        for row in range(3):
            x = 0
            for img in reversed(images):
                sheet.alpha_composite(img, (x, row * 264 + 4))
                x += img.size[0] + 8
        sheet.save(sys.argv[2])


if __name__ == "__main__":
    main()
