#!/usr/bin/env python3
"""Draws the application icon and writes resources/Tolvane.ico.

The picture: a blue rounded square with film-strip perforations and a white play triangle.
Thirteen images: 48, 32, 24 and 16 pixels at 4 and at 8 bits per pixel, and 256, 48, 32, 24
and 16 pixels at 32 bits per pixel (the 256-pixel one stored as PNG). Standard library only.
"""
import struct
import sys
import zlib
from pathlib import Path

SUPERSAMPLE = 4


def inside_rounded_square(u, v, margin=0.04, radius=0.2):
    lo, hi = margin, 1.0 - margin
    if not (lo <= u <= hi and lo <= v <= hi):
        return False
    cx = min(max(u, lo + radius), hi - radius)
    cy = min(max(v, lo + radius), hi - radius)
    return (u - cx) ** 2 + (v - cy) ** 2 <= radius ** 2


def inside_triangle(u, v):
    # Play symbol pointing right.
    (x1, y1), (x2, y2), (x3, y3) = (0.37, 0.30), (0.37, 0.70), (0.72, 0.50)

    def side(ax, ay, bx, by):
        return (bx - ax) * (v - ay) - (by - ay) * (u - ax)

    d1, d2, d3 = side(x1, y1, x2, y2), side(x2, y2, x3, y3), side(x3, y3, x1, y1)
    return (d1 <= 0 and d2 <= 0 and d3 <= 0) or (d1 >= 0 and d2 >= 0 and d3 >= 0)


def inside_perforation(u, v):
    # Two rows of film-strip holes along the top and bottom edges.
    if not (0.11 <= v <= 0.19 or 0.81 <= v <= 0.89):
        return False
    for i in range(5):
        left = 0.14 + i * 0.155
        if left <= u <= left + 0.09:
            return True
    return False


def sample(u, v, size, flat):
    """Colour (r, g, b, a) of the picture at u, v in [0, 1); flat: in the 16 standard colours."""
    if not inside_rounded_square(u, v):
        return (0, 0, 0, 0)
    if inside_triangle(u, v):
        return (255, 255, 255, 255)
    if size >= 24 and inside_perforation(u, v):
        return (0, 0, 128, 255) if flat else (16, 40, 80, 255)
    if flat:
        return (0, 0, 255, 255)
    top, bottom = (70, 150, 235), (20, 80, 170)
    r, g, b = (int(t + (bt - t) * v) for t, bt in zip(top, bottom))
    return (r, g, b, 255)


def render(size, flat):
    """Rows of RGBA pixels, top row first; anti-aliased by supersampling unless flat."""
    rows = []
    n = 1 if flat else SUPERSAMPLE
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = sample((x + (sx + 0.5) / n) / size, (y + (sy + 0.5) / n) / size, size, flat)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] // (n * n)
            if acc[3]:
                row.append((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], alpha))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def cube_palette():
    levels = [0, 51, 102, 153, 204, 255]
    palette = [(r, g, b) for r in levels for g in levels for b in levels]
    palette += [(i * 255 // 39,) * 3 for i in range(40)]
    return palette


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((c - p) ** 2 for c, p in zip(rgb, palette[i])))


def and_mask(rows):
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    data = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def bmp_image(rows, bpp):
    size = len(rows)
    if bpp == 32:
        palette_bytes = b""
        xor = b"".join(bytes(c for (r, g, b, a) in row for c in (b, g, r, a)) for row in reversed(rows))
    else:
        palette = VGA_PALETTE if bpp == 4 else cube_palette()
        palette_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
        palette_bytes += b"\0" * (4 * (2 ** bpp - len(palette)))
        stride = ((size * bpp + 31) // 32) * 4
        xor = b""
        cache = {}
        for row in reversed(rows):
            line = bytearray(stride)
            for x, (r, g, b, a) in enumerate(row):
                index = 0 if a < 128 else cache.setdefault((r, g, b), nearest(palette, (r, g, b)))
                if bpp == 8:
                    line[x] = index
                else:
                    line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            xor += bytes(line)
    mask = and_mask(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + palette_bytes + xor + mask


def png_image(rows):
    size = len(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("Tolvane.ico")
    images = [(s, 4) for s in (48, 32, 24, 16)] + [(s, 8) for s in (48, 32, 24, 16)] \
        + [(s, 32) for s in (256, 48, 32, 24, 16)]
    rendered = {}
    blobs = []
    for size, bpp in images:
        flat = bpp == 4
        if (size, flat) not in rendered:
            rendered[size, flat] = render(size, flat)
        rows = rendered[size, flat]
        blobs.append(png_image(rows) if size == 256 else bmp_image(rows, bpp))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for (size, bpp), blob in zip(images, blobs):
        dim = 0 if size == 256 else size
        directory += struct.pack("<BBBBHHII", dim, dim, 16 if bpp == 4 else 0, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    out.write_bytes(directory + b"".join(blobs))


if __name__ == "__main__":
    main()
