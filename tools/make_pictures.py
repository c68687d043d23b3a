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


# ---- The message dialog's kind pictures --------------------------------------
# Each is drawn on a background close to its kind's left band colour, so that
# it blends into the left end of the dialog's header. Shapes are sampled 4x4
# per pixel for smooth edges.
SAMPLES = 4


def supersampled(shade):
    """Turns shade(x, y) on sub-pixel positions into a pixel function."""
    def pixels(x, y):
        total = [0, 0, 0]
        for sy in range(SAMPLES):
            for sx in range(SAMPLES):
                colour = shade(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
                for i in range(3):
                    total[i] += colour[i]
        return tuple(round(t / SAMPLES ** 2) for t in total)
    return pixels


def in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (x - q[0]) * (p[1] - q[1]) - (p[0] - q[0]) * (y - q[1])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    has_negative = d1 < 0 or d2 < 0 or d3 < 0
    has_positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (has_negative and has_positive)


def near_segment(x, y, a, b, half_width):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= half_width


def in_speech_bubble(x, y):
    return in_ellipse(x, y, 16, 13.5, 14, 10.5) or in_triangle(x, y, (8, 19), (15, 22), (5, 30))


def warning_picture(x, y):
    """Yellow triangle with a black exclamation mark, on dark olive."""
    if near_segment(x, y, (16, 10.5), (16, 19.5), 1.6) or math.hypot(x - 16, y - 24) <= 1.8:
        return (0, 0, 0)
    if in_triangle(x, y, (16, 2), (1, 29.5), (31, 29.5)):
        return (255, 214, 0)
    return (56, 54, 35)


def error_picture(x, y):
    """Red disc with a white X, on bright red."""
    r = math.hypot(x - 16, y - 16)
    if r <= 14:
        if near_segment(x, y, (10.5, 10.5), (21.5, 21.5), 2.0) or near_segment(x, y, (21.5, 10.5), (10.5, 21.5), 2.0):
            return (255, 255, 255)
        return (180, 0, 0) if r <= 12.8 else (255, 235, 235)
    return (255, 0, 0)


def information_picture(x, y):
    """White speech bubble with a dark blue letter i, on dark blue."""
    letter = (0, 0, 130)
    if math.hypot(x - 16, y - 7.5) <= 1.9 or near_segment(x, y, (16, 11.5), (16, 19.5), 1.6):
        return letter
    if in_speech_bubble(x, y):
        return (255, 255, 255)
    return (0, 0, 187)


def confirmation_picture(x, y):
    """White speech bubble with a dark question mark, on steel blue."""
    mark = (25, 30, 60)
    # The hook: an arc around (16, 9.5) from the left over the top to the lower right.
    r = math.hypot(x - 16, y - 9.5)
    angle = math.degrees(math.atan2(9.5 - y, x - 16))  # 0 right, 90 up
    on_hook = abs(r - 4.2) <= 1.4 and (angle >= -60 or angle <= -170)
    if on_hook or near_segment(x, y, (18.1, 13.1), (16, 15.5), 1.4) or near_segment(x, y, (16, 15.5), (16, 17.5), 1.4):
        return mark
    if math.hypot(x - 16, y - 21) <= 1.7:
        return mark
    if in_speech_bubble(x, y):
        return (255, 255, 255)
    return (54, 95, 156)


KIND_PICTURES = {
    'warning.bmp': warning_picture,
    'error.bmp': error_picture,
    'information.bmp': information_picture,
    'confirmation.bmp': confirmation_picture,
}


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_ico(out / 'app.ico', application_icon)
    for name, shade in KIND_PICTURES.items():
        write_bmp(out / name, supersampled(shade))


if __name__ == '__main__':
    main()
