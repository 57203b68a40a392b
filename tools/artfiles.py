"""Writers for the picture files the game loads: 24-bit and 8-bit BMP and
multi-size ICO, from Pillow images. Written by hand so the headers are
exactly what the loaders expect (bottom-up rows, 40-byte info header).
"""
import io
import struct


def _bmp(path, w, h, bits, palette, rows):
    """rows: the pixel rows from the top, each already packed."""
    stride = (w * bits // 8 + 3) & ~3
    data = b"".join(r + b"\0" * (stride - len(r)) for r in reversed(rows))
    colours = len(palette) // 4
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(data), 2835, 2835, colours, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def write_bmp24(path, img):
    img = img.convert("RGB")
    w, h = img.size
    px = img.load()
    rows = [bytes(c for x in range(w) for c in reversed(px[x, y])) for y in range(h)]
    _bmp(path, w, h, 24, b"", rows)


def write_bmp8(path, img):
    """An 8-bit palettized BMP holding img's colours exactly (at most 256)."""
    img = img.convert("RGB")
    w, h = img.size
    px = img.load()
    colours = sorted({px[x, y] for y in range(h) for x in range(w)})
    if len(colours) > 256:
        raise ValueError(f"{path}: {len(colours)} colours do not fit an 8-bit palette")
    index = {c: i for i, c in enumerate(colours)}
    # A full 256-entry table, the form every loader reads.
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) + b"\0" * 4 * (256 - len(colours))
    rows = [bytes(index[px[x, y]] for x in range(w)) for y in range(h)]
    _bmp(path, w, h, 8, palette, rows)


def _ico_dib(img):
    """One icon image as a 32-bit DIB with its AND mask."""
    w, h = img.size
    px = img.load()
    xor = b"".join(bytes((b, g, r, a)) for y in range(h - 1, -1, -1) for r, g, b, a in (px[x, y] for x in range(w)))
    mask_row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(w):
            if px[x, y][3] < 8:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + bytes(mask)


def write_ico(path, images):
    """images: square RGBA Pillow images; the 256 px one is stored as PNG."""
    blobs = []
    for img in images:
        img = img.convert("RGBA")
        if img.size[0] >= 256:
            buf = io.BytesIO()
            img.save(buf, "PNG", optimize=True)
            blobs.append((img.size[0], buf.getvalue()))
        else:
            blobs.append((img.size[0], _ico_dib(img)))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        side = size if size < 256 else 0
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blob for _, blob in blobs))
