#!/usr/bin/env python3
"""Draws the updater's pictures: the application icon (32x32, 24-bit) and the
message dialog's kind pictures (32x32, 24-bit bitmaps). Usage:
make_pictures.py OUTPUT_DIR"""
import math
import struct
import sys
from pathlib import Path

SIZE = 32


def bmp_rows(pixels):
    """Bottom-up rows of BGR bytes; 32 pixels * 3 bytes is already 4-aligned."""
    out = bytearray()
    for y in range(SIZE - 1, -1, -1):
        for x in range(SIZE):
            r, g, b = pixels(x, y)
            out += bytes((b, g, r))
    return bytes(out)


def write_bmp(path, pixels):
    rows = bmp_rows(pixels)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    Path(path).write_bytes(header + info + rows)


def write_ico(path, pixels):
    rows = bmp_rows(pixels)
    mask = bytes(4 * SIZE)  # every pixel opaque
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, 2 * SIZE, 1, 24, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = info + rows + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 24, len(image), 22)
    Path(path).write_bytes(directory + image)


def inside_disc(x, y, cx, cy, radius):
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2


def application_icon(x, y):
    """A teal disc with a white arrow pointing up: an update."""
    if not inside_disc(x, y, 16, 16, 15):
        return (255, 255, 255)
    # arrow head
    if 6 <= y <= 15 and abs(x + 0.5 - 16) <= (y - 5):
        return (255, 255, 255)
    # arrow shaft
    if 15 <= y <= 25 and 13 <= x <= 18:
        return (255, 255, 255)
    shade = int(40 * (y / SIZE))
    return (0, 128 - shade, 140 - shade)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_ico(out / 'app.ico', application_icon)


if __name__ == '__main__':
    main()
