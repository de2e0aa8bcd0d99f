#!/usr/bin/python3
"""Draws the description window's picture: light on black, 670 x 502 pixels.

Stars, a ribbon of fine light curves and glowing hearts, added up as light,
blurred for a glow and tone-mapped. The pixels are drawn here with the
standard library only (seeded, so the drawing is the same every time) and
encoded by ImageMagick (Debian package imagemagick):

    make_picture.py picture.jpg
"""

import math
import random
import subprocess
import sys

WIDTH, HEIGHT = 670, 502
QUALITY = 80


class Light:
    """Three channels of added-up light, row-major."""

    def __init__(self):
        self.channels = [[0.0] * (WIDTH * HEIGHT) for _ in range(3)]

    def splat(self, x, y, colour, amount):
        """Adds light at a fractional position, shared over the four nearest pixels."""
        x0, y0 = math.floor(x), math.floor(y)
        fx, fy = x - x0, y - y0
        for px, py, w in ((x0, y0, (1 - fx) * (1 - fy)), (x0 + 1, y0, fx * (1 - fy)),
                          (x0, y0 + 1, (1 - fx) * fy), (x0 + 1, y0 + 1, fx * fy)):
            if 0 <= px < WIDTH and 0 <= py < HEIGHT:
                i = py * WIDTH + px
                for channel, c in zip(self.channels, colour):
                    channel[i] += c * amount * w

    def curve(self, point, colour, amount, samples):
        """Traces point(s) for s in [0, 1], about three samples a pixel."""
        previous = point(0.0)
        for k in range(1, samples + 1):
            current = point(k / samples)
            length = math.hypot(current[0] - previous[0], current[1] - previous[1])
            steps = max(1, math.ceil(length * 3))
            for j in range(steps):
                f = (j + 0.5) / steps
                self.splat(previous[0] + (current[0] - previous[0]) * f,
                           previous[1] + (current[1] - previous[1]) * f,
                           colour(k / samples), amount / 3)
            previous = current


def box_blur(values, radius, stride, count, length):
    """One box-blur pass along `count` lines of `length` values, `stride` apart."""
    out = [0.0] * len(values)
    line_step = 1 if stride == WIDTH else WIDTH
    scale = 1.0 / (2 * radius + 1)
    for line in range(count):
        base = line * line_step
        total = 0.0
        for k in range(-radius, radius + 1):
            if 0 <= k < length:
                total += values[base + k * stride]
        for k in range(length):
            out[base + k * stride] = total * scale
            enter, leave = k + radius + 1, k - radius
            if enter < length:
                total += values[base + enter * stride]
            if leave >= 0:
                total -= values[base + leave * stride]
    return out


def glow(values, radius):
    """Near-Gaussian blur: three box passes each way."""
    for _ in range(3):
        values = box_blur(values, radius, 1, HEIGHT, WIDTH)
        values = box_blur(values, radius, WIDTH, WIDTH, HEIGHT)
    return values


def heart_point(cx, cy, scale, tilt):
    def point(s):
        t = 2 * math.pi * s
        x = 16 * math.sin(t) ** 3
        y = -(13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t))
        c, n = math.cos(tilt), math.sin(tilt)
        return cx + scale * (x * c - y * n), cy + scale * (x * n + y * c)
    return point


def mix(a, b, f):
    return tuple(p + (q - p) * f for p, q in zip(a, b))


PALE_CYAN = (0.55, 0.85, 1.0)
PALE_PINK = (1.0, 0.62, 0.78)
PALE_GOLD = (1.0, 0.85, 0.55)
STAR_WHITE = (0.9, 0.93, 1.0)


def draw(rng):
    light = Light()

    # Stars: many faint points, a few bright ones with a cross-shaped flare.
    for _ in range(420):
        x, y = rng.uniform(0, WIDTH), rng.uniform(0, HEIGHT)
        colour = rng.choice((STAR_WHITE, STAR_WHITE, PALE_GOLD, PALE_CYAN))
        light.splat(x, y, colour, 0.25 + 2.5 * rng.random() ** 4)
    for _ in range(14):
        x, y = rng.uniform(20, WIDTH - 20), rng.uniform(20, HEIGHT - 20)
        reach = rng.uniform(6, 16)
        for dx, dy in ((1, 0), (0, 1)):
            for k in range(int(reach * 6)):
                f = k / (reach * 6)
                light.splat(x + dx * reach * (2 * f - 1), y + dy * reach * (2 * f - 1),
                            STAR_WHITE, 0.5 * (1 - abs(2 * f - 1)) ** 2)
        light.splat(x, y, STAR_WHITE, 4.0)

    # A ribbon of fine curves sweeping across the lower half, cyan to pink.
    for i in range(26):
        phase = i * 0.11

        def ribbon(s, i=i, phase=phase):
            x = -10 + (WIDTH + 20) * s
            y = (372 + 58 * math.sin(x * 0.0105 + phase) + 22 * math.sin(x * 0.027 + 1.7 + phase * 0.6)
                 + (i - 13) * 2.2 * math.cos(x * 0.006))
            return x, y

        light.curve(ribbon, lambda s: mix(PALE_CYAN, PALE_PINK, s), 0.16, 400)

    # The big heart: three nested outlines of light.
    for k, (scale, colour) in enumerate(((7.4, PALE_PINK), (7.0, PALE_GOLD), (6.6, PALE_PINK))):
        light.curve(heart_point(335, 190, scale, 0.0), lambda s, colour=colour: colour,
                    0.9 - 0.2 * k, 600)

    # Small hearts drifting around it.
    for cx, cy, scale, tilt in ((120, 110, 1.6, -0.3), (560, 95, 1.9, 0.25), (85, 260, 1.0, 0.2),
                                (590, 250, 1.2, -0.2), (230, 60, 0.8, 0.1), (455, 50, 0.9, -0.15)):
        light.curve(heart_point(cx, cy, scale, tilt), lambda s: PALE_PINK, 0.8, 200)

    picture = bytearray(WIDTH * HEIGHT * 3)
    for c, core in enumerate(light.channels):
        near, far = glow(core, 2), glow(core, 9)
        for i in range(WIDTH * HEIGHT):
            v = 0.9 * core[i] + 3.0 * near[i] + 10.0 * far[i]
            picture[i * 3 + c] = round(255 * (1 - math.exp(-1.6 * v)))
    return bytes(picture)


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    ppm = b"P6 %d %d 255\n" % (WIDTH, HEIGHT) + draw(random.Random(20240520))
    subprocess.run(["convert", "ppm:-", "-strip", "-quality", str(QUALITY),
                    "-sampling-factor", "2x2", "jpg:" + argv[1]], input=ppm, check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
