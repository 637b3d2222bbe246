#!/usr/bin/env python3
"""Draws the show's glow sprite (glow.png, 64 x 64) and the preview picture (preview.png,
152 x 112) from the numbers below. Python 3 standard library only; the build does not run it.

    python3 make_pictures.py [output folder]

The Earth picture comes from make_earth.sh beside this file.
"""

import math
import os
import struct
import sys
import zlib


def write_png(path, width, height, pixel):
    """Writes an 8-bit RGB PNG; pixel(x, y) gives (r, g, b) floats in 0..1."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # filter type None
        for x in range(width):
            for c in pixel(x, y):
                raw.append(max(0, min(255, int(round(c * 255.0)))))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def supersampled(shade, n=4):
    """Averages shade over an n x n grid inside each pixel, so edges are smooth."""

    def pixel(x, y):
        acc = [0.0, 0.0, 0.0]
        for j in range(n):
            for i in range(n):
                c = shade(x + (i + 0.5) / n, y + (j + 0.5) / n)
                acc[0] += c[0]
                acc[1] += c[1]
                acc[2] += c[2]
        k = 1.0 / (n * n)
        return (acc[0] * k, acc[1] * k, acc[2] * k)

    return pixel


def smoothstep(e0, e1, v):
    t = max(0.0, min(1.0, (v - e0) / (e1 - e0)))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------------------------------------
# The glow of one firefly: a white-hot core, a bluish halo and six thin rays, falling to pure
# black well inside the square so that the additive sprite shows no edge on screen.

GLOW_SIZE = 64
GLOW_CORE_RADIUS = 3.2      # pixels, Gaussian radius of the white core
GLOW_HALO_RADIUS = 9.0      # pixels, exponential fall-off of the halo
GLOW_RAY_COUNT = 6
GLOW_RAY_WIDTH = 0.9        # pixels, Gaussian half-width of a ray
GLOW_RAY_LENGTH = 13.0      # pixels, exponential fall-off along a ray
GLOW_TILT = math.radians(15)  # so that no ray lies exactly on a pixel row
GLOW_TINT = (0.62, 0.78, 1.0)  # the halo's colour; the core saturates to white


def glow_shade(x, y):
    c = GLOW_SIZE / 2.0
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    theta = math.atan2(dy, dx)
    core = math.exp(-(r / GLOW_CORE_RADIUS) ** 2)
    halo = 0.55 * math.exp(-r / GLOW_HALO_RADIUS)
    rays = 0.0
    for k in range(GLOW_RAY_COUNT):
        a = GLOW_TILT + k * math.pi / GLOW_RAY_COUNT  # each ray runs both ways through the core
        across = r * math.sin(theta - a)
        rays += math.exp(-(across / GLOW_RAY_WIDTH) ** 2)
    rays = 0.8 * min(1.0, rays) * math.exp(-r / GLOW_RAY_LENGTH)
    window = 1.0 - smoothstep(0.62 * c, 0.97 * c, r)
    light = (halo + rays) * window
    return tuple(min(1.0, core + light * t) for t in GLOW_TINT)


# ---------------------------------------------------------------------------------------------
# The preview: a firefly resting on a leaf at night, its lantern lit, the whole picture fading
# to white at its border like a vignetted print.

PREV_W, PREV_H = 152, 112
NIGHT = (0.02, 0.05, 0.04)
LEAF_DARK = (0.07, 0.24, 0.08)
LEAF_LIGHT = (0.28, 0.52, 0.16)
VEIN = (0.55, 0.72, 0.35)
LANTERN = (0.93, 1.0, 0.45)
GLOW_COLOUR = (0.70, 0.95, 0.30)
FADE_WIDTH = 16.0           # pixels over which the border fades to white

# The leaf: an almond shape along a tilted axis from (LEAF_X0, LEAF_Y0) to (LEAF_X1, LEAF_Y1).
LEAF_X0, LEAF_Y0 = 14.0, 92.0
LEAF_X1, LEAF_Y1 = 146.0, 30.0
LEAF_HALF_WIDTH = 26.0

# The firefly sits on the leaf, its head toward the leaf's tip.
BUG_X, BUG_Y = 70.0, 62.0
BUG_ANGLE = math.atan2(LEAF_Y1 - LEAF_Y0, LEAF_X1 - LEAF_X0)
BUG_LENGTH = 26.0
BUG_WIDTH = 9.0


def bokeh(x, y):
    """A few soft out-of-focus lights in the dark background."""
    spots = [(20, 18, 9, 0.10), (118, 88, 12, 0.08), (40, 104, 7, 0.07), (132, 12, 8, 0.09)]
    v = 0.0
    for sx, sy, sr, a in spots:
        v += a * (1.0 - smoothstep(sr * 0.6, sr, math.hypot(x - sx, y - sy)))
    return v


def leaf(x, y):
    """Returns (inside 0..1, along 0..1, across -1..1) for the leaf."""
    ax, ay = LEAF_X1 - LEAF_X0, LEAF_Y1 - LEAF_Y0
    length = math.hypot(ax, ay)
    ux, uy = ax / length, ay / length
    px, py = x - LEAF_X0, y - LEAF_Y0
    along = (px * ux + py * uy) / length
    across_px = -px * uy + py * ux
    # Widest a little behind the middle, pointed at both ends.
    half = LEAF_HALF_WIDTH * math.sin(math.pi * max(0.0, min(1.0, along))) ** 0.8
    half *= 1.0 - 0.25 * along
    if half <= 0.0:
        return 0.0, along, 0.0
    inside = 1.0 - smoothstep(half - 0.8, half + 0.8, abs(across_px))
    return inside, along, across_px / half


def leaf_colour(along, across):
    shade = mix(LEAF_DARK, LEAF_LIGHT, 0.5 + 0.5 * math.cos(across * 1.4) * (1.0 - 0.4 * along))
    # Midrib and the lateral veins that leave it toward the tip.
    vein = math.exp(-(across / 0.035) ** 2)
    slant = (along * 9.0 - abs(across) * 1.6) % 1.0
    vein += 0.6 * math.exp(-((slant - 0.5) / 0.06) ** 2) * max(0.0, 1.0 - abs(across)) ** 0.5
    return mix(shade, VEIN, min(1.0, vein) * 0.7)


def firefly(x, y):
    """Returns (coverage, colour) of the insect's body, or (0, None)."""
    c, s = math.cos(BUG_ANGLE), math.sin(BUG_ANGLE)
    px, py = x - BUG_X, y - BUG_Y
    u = (px * c + py * s) / (BUG_LENGTH / 2.0)  # -1 tail .. +1 head
    v = (-px * s + py * c) / (BUG_WIDTH / 2.0)
    if u < -1.1 or u > 1.2:
        return 0.0, None
    half = math.sqrt(max(0.0, 1.0 - u * u)) if u < 0.7 else max(0.0, 1.0 - (u - 0.7) / 0.5) * 0.75
    if abs(v) > half + 0.15:
        return 0.0, None
    cover = 1.0 - smoothstep(half - 0.1, half + 0.1, abs(v))
    if u > 0.55:  # the head shield: orange with a dark spot
        colour = (0.95, 0.45, 0.20) if abs(v) > 0.25 or u > 0.95 else (0.15, 0.05, 0.05)
    elif u > -0.45:  # wing covers, dark with a faint edge and a seam down the middle
        edge = smoothstep(0.65, 0.95, abs(v))
        colour = mix((0.10, 0.09, 0.07), (0.35, 0.30, 0.18), edge)
        colour = mix(colour, (0.02, 0.02, 0.02), math.exp(-(v / 0.06) ** 2))
    else:  # the lantern at the tail
        colour = LANTERN
    return cover, colour


def lantern_glow(x, y):
    c, s = math.cos(BUG_ANGLE), math.sin(BUG_ANGLE)
    lx = BUG_X - c * BUG_LENGTH * 0.36
    ly = BUG_Y - s * BUG_LENGTH * 0.36
    r = math.hypot(x - lx, y - ly)
    return 0.95 * math.exp(-(r / 7.0) ** 2) + 0.45 * math.exp(-r / 16.0)


def preview_shade(x, y):
    colour = tuple(n + bokeh(x, y) * g for n, g in zip(NIGHT, (0.5, 0.9, 0.5)))
    inside, along, across = leaf(x, y)
    if inside > 0.0:
        colour = mix(colour, leaf_colour(along, across), inside)
    cover, body = firefly(x, y)
    if cover > 0.0:
        colour = mix(colour, body, cover)
    g = lantern_glow(x, y)
    colour = tuple(min(1.0, colour[i] + g * GLOW_COLOUR[i]) for i in range(3))
    # Fade to white toward the border, with rounded corners like a vignetted print.
    qx = max(0.0, FADE_WIDTH - min(x, PREV_W - x))
    qy = max(0.0, FADE_WIDTH - min(y, PREV_H - y))
    fade = smoothstep(0.0, FADE_WIDTH, math.hypot(qx, qy))
    return mix(colour, (1.0, 1.0, 1.0), fade)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(out, "glow.png"), GLOW_SIZE, GLOW_SIZE, supersampled(glow_shade))
    write_png(os.path.join(out, "preview.png"), PREV_W, PREV_H, supersampled(preview_shade))


if __name__ == "__main__":
    main()
