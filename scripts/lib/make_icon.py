#!/usr/bin/env python3
"""Draws res/mirufon.ico: the program's icon at every size Windows asks for at the usual
scalings (16 to 64 pixels for the title bar, the taskbar and the notification area at 100 % to
200 %, and 256 for Explorer), so that no size is a stretched copy of another.

The picture is a blue rounded square with three slanting white strokes, drawn from its shapes
at each size with 8 x 8 samples per pixel. Usage: scripts/lib/make_icon.py [output.ico]
"""

import math
import struct
import sys
import zlib

SIZES = (16, 20, 24, 28, 32, 40, 48, 56, 64, 256)
BLUE = (0x1E, 0x5B, 0xD8)
WHITE = (0xFA, 0xFB, 0xFE)
SAMPLES = 8

# On a 32-unit square: the corner radius, and each stroke as its two end points and the
# half-width of its pen (round ends).
CORNER = 6.5
STROKES = (
    ((11.4, 8.2), (21.5, 11.6)),
    ((11.9, 14.5), (20.0, 17.3)),
    ((9.7, 20.2), (21.6, 24.7)),
)
PEN = 1.0


def inside_rounded_square(x, y):
    cx = min(max(x, CORNER), 32 - CORNER)
    cy = min(max(y, CORNER), 32 - CORNER)
    return (x - cx) ** 2 + (y - cy) ** 2 <= CORNER ** 2


def on_stroke(x, y, pen):
    for (ax, ay), (bx, by) in STROKES:
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        if math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= pen:
            return True
    return False


def render(size):
    """Rows of (r, g, b, a), top row first."""
    scale = 32.0 / size
    # Below 24 pixels the pen would fade into the blue: it keeps at least a pixel's width.
    pen = max(PEN, 0.62 * scale)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            cover = white = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    if inside_rounded_square(x, y):
                        cover += 1
                        if on_stroke(x, y, pen):
                            white += 1
            if cover == 0:
                row.append((0, 0, 0, 0))
                continue
            share = white / cover
            colour = tuple(round(b + (w - b) * share) for b, w in zip(BLUE, WHITE))
            row.append(colour + (round(255 * cover / SAMPLES ** 2),))
        rows.append(row)
    return rows


def dib(rows):
    """A 32-bit icon image: header, colours bottom-up in BGRA, then the 1-bit AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "res/mirufon.ico"
    images = [png(render(s)) if s >= 256 else dib(render(s)) for s in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(output, "wb") as ico:
        ico.write(data + b"".join(images))


if __name__ == "__main__":
    main()
