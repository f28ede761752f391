#!/usr/bin/env python3
"""Draws the program icon (a page of text on a teal tile) at 16, 32, 48
and 256 pixels and writes app/vellumor.ico. The same script always gives
the same bytes: no time stamps, no outside tools.
    tools/make_icon.py [OUT.ico]"""
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)
PNG_FROM = 256          # sizes from here on are stored as PNG (Vista and later read them)
SAMPLES = 4             # per pixel and axis, for the soft edges
TILE = (30, 140, 154)
PAGE = (244, 244, 240)
INK = (48, 80, 96)


def geometry(size):
    """The shapes in pixels, edges on whole pixels where they are straight."""
    s = size / 32.0
    edge = round(4 * s)
    fold = max(2, round(7 * s))
    thick = max(1, round(s * 1.2))
    step = round(5.5 * s)
    lines = [round(10 * s) + i * step for i in range(3)]
    return {
        "radius": 0 if size < 32 else size * 0.14,
        "page": (edge, edge, size - edge, size - edge),
        "fold": fold,
        "lines": [(round(8 * s), y, size - round(8 * s), y + thick) for y in lines],
    }


def inside_tile(x, y, size, radius):
    if radius == 0:
        return True
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_page(x, y, page, fold):
    left, top, right, bottom = page
    if not (left <= x < right and top <= y < bottom):
        return False
    # The folded corner: cut off above the diagonal at the top right.
    return (right - x) + (y - top) >= fold


def pixel(px, py, size, g):
    """(r, g, b, a) of one pixel, averaged over its samples."""
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            y = py + (sy + 0.5) / SAMPLES
            if not inside_tile(x, y, size, g["radius"]):
                continue
            colour = TILE
            if inside_page(x, y, g["page"], g["fold"]):
                colour = PAGE
                for (l, t, r, b) in g["lines"]:
                    if l <= x < r and t <= y < b:
                        colour = INK
            for i in range(3):
                acc[i] += colour[i]
            acc[3] += 1
    n = acc[3]
    if n == 0:
        return (0, 0, 0, 0)
    return (round(acc[0] / n), round(acc[1] / n), round(acc[2] / n), round(255 * n / SAMPLES ** 2))


def render(size):
    g = geometry(size)
    return [[pixel(x, y, size, g) for x in range(size)] for y in range(size)]


def as_bmp(rows, size):
    """The icon image as Windows stores it: a bottom-up 32-bit DIB of twice
    the height, then the 1-bit mask (set where fully transparent)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((r, g, b)[::-1] + (a,)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def as_png(rows, size):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "app/vellumor.ico"
    images = [(size, (as_png if size >= PNG_FROM else as_bmp)(render(size), size)) for size in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        side = size % 256  # 0 stands for 256
        data += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, image in images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
