#!/usr/bin/python3
"""Draws the program's heart icon and writes it as a Windows icon file.

One 32 x 32 image, 8 bits per pixel with a 256-entry palette, and a 1-bit
AND mask for the transparent background. Standard library only, and fully
deterministic, so the committed heart.ico can be checked against this recipe:

    make_heart_ico.py heart.ico          # (re)write the icon
    make_heart_ico.py --check heart.ico  # exit 1 if the file differs
"""

import math
import struct
import sys

SIZE = 32

# The heart is a square turned 45 degrees with a disc on each upper edge.
# Pixel units, y down; these values centre it in the 32 x 32 square.
CENTRE_X, CENTRE_Y = 16.0, 17.25
HALF_DIAGONAL = 12.2

# Palette entry 0 is black, under the transparent pixels (AND 1, XOR 0 leaves
# the screen as it is); entries 1..255 run along this ramp of reds.
RAMP = [
    (0.00, (72, 0, 8)),
    (0.22, (140, 0, 18)),
    (0.55, (214, 18, 38)),
    (0.80, (246, 72, 82)),
    (1.00, (255, 228, 228)),
]


def ramp_colour(t):
    for (t0, c0), (t1, c1) in zip(RAMP, RAMP[1:]):
        if t <= t1:
            f = (t - t0) / (t1 - t0)
            return tuple(round(a + (b - a) * f) for a, b in zip(c0, c1))
    return RAMP[-1][1]


def clamp01(v):
    return max(0.0, min(1.0, v))


def smoothstep(v):
    v = clamp01(v)
    return v * v * (3 - 2 * v)


def heart_distance(x, y):
    """Signed distance to the heart's edge: negative inside."""
    h = HALF_DIAGONAL
    # Square: in coordinates turned 45 degrees it is axis-aligned.
    u = ((x - CENTRE_X) + (y - CENTRE_Y)) / math.sqrt(2)
    v = ((x - CENTRE_X) - (y - CENTRE_Y)) / math.sqrt(2)
    half_side = h / math.sqrt(2)
    qu, qv = abs(u) - half_side, abs(v) - half_side
    square = math.hypot(max(qu, 0), max(qv, 0)) + min(max(qu, qv), 0)
    radius = h / math.sqrt(2)
    discs = min(
        math.hypot(x - (CENTRE_X - h / 2), y - (CENTRE_Y - h / 2)) - radius,
        math.hypot(x - (CENTRE_X + h / 2), y - (CENTRE_Y - h / 2)) - radius,
    )
    return min(square, discs)


def shade(x, y, distance):
    """Ramp position of an inside pixel: lit from the upper left, dark rim, one gloss spot."""
    light = math.hypot(x - 10.5, y - 8.5)
    t = 0.66 - 0.30 * clamp01((light - 4) / 20)
    gloss = math.exp(-(((x - 9.5) / 2.6) ** 2 + ((y - 9.0) / 1.9) ** 2))
    t += (0.97 - t) * gloss
    rim = 1 - smoothstep(-distance / 1.6)
    t += (0.04 - t) * rim
    return clamp01(t)


def draw():
    """Rows top-down of palette indices (0 = transparent)."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            x, y = px + 0.5, py + 0.5
            d = heart_distance(x, y)
            row.append(0 if d >= 0 else 1 + round(shade(x, y, d) * 254))
        rows.append(row)
    return rows


def icon_file(rows):
    palette = [(0, 0, 0)] + [ramp_colour(i / 254) for i in range(255)]
    xor = b"".join(bytes(row) for row in reversed(rows))  # bottom-up; 32 bytes a row needs no padding
    mask = b"".join(
        struct.pack(">I", sum(1 << (31 - px) for px, index in enumerate(row) if index == 0))
        for row in reversed(rows)
    )
    header = struct.pack(
        "<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 8, 0, len(xor) + len(mask), 0, 0, 0, 0
    )
    image = header + b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette) + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16
    )
    return directory + image


def main(argv):
    data = icon_file(draw())
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], "rb") as f:
            return 0 if f.read() == data else 1
    if len(argv) == 2:
        with open(argv[1], "wb") as f:
            f.write(data)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
