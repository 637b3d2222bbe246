#!/usr/bin/env python3
"""Draws the pictures of the settings dialog from the numbers that describe them.

Writes, beside this script:
  mark_off.png, mark_on.png   12 x 12 option marks (not chosen, chosen)
  streak.png                  69 x 125 grey streak of the display strip
  star0.png .. star3.png      28 x 28 sparkles of the display strip
  dialog_icon.png             32 x 32 window icon
  icons/kovessa-N.png         the same icon at the menu's usual sizes (N x N)

The build does not run this; rerun it by hand after changing a number and commit the output.
Only the Python standard library is used.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_png(name, width, height, pixels):
    """pixels: list of rows, each a list of (r, g, b) tuples. Writes 8-bit RGB, no alpha."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(png)


def clamp(v):
    return max(0, min(255, int(round(v))))


# The streak: each row a raised-cosine bell of half-width STREAK_RADIUS around its peak column.
# The peak runs linearly from column 53 (top row) to column 18 (bottom row); the peak pixel is
# 175 where the ideal peak falls close to a pixel centre and 174 otherwise, so the brightest
# columns stay just below the level at which they would turn the pale yellow text white on
# their own in every channel.
STREAK_W, STREAK_H = 69, 125
STREAK_RADIUS = 15


def streak():
    rows = []
    for y in range(STREAK_H):
        ideal = 53 - 35 * y / (STREAK_H - 1)
        centre = int(math.floor(ideal + 0.5))
        peak = 175 if abs(ideal - centre) < 0.25 else 174
        row = []
        for x in range(STREAK_W):
            d = abs(x - centre)
            if d >= STREAK_RADIUS:
                v = 0
            else:
                v = peak * (0.5 + 0.5 * math.cos(math.pi * d / STREAK_RADIUS))
            v = clamp(v)
            row.append((v, v, v))
        rows.append(row)
    return rows


# The stars: an X of two diagonal arms with a small round core, brightness falling off along
# the arms and across them. Each picture's size is searched so that it lights exactly the
# number of pixels it is meant to have.
STAR = 28
STAR_LIT = (44, 96, 158, 230)


def star_pixels(size):
    c = (STAR - 1) / 2.0
    rows = []
    lit = 0
    for y in range(STAR):
        row = []
        for x in range(STAR):
            dx, dy = x - c, y - c
            along = math.hypot(dx, dy)
            across = min(abs(dx - dy), abs(dx + dy)) / math.sqrt(2)
            arm = max(0.0, 1 - along / size) * max(0.0, 1 - across / (0.9 + size * 0.1))
            core = max(0.0, 1 - along / (size * 0.3 + 0.8))
            v = clamp(255 * min(1.0, max(arm, core) * 1.6))
            if v < 40:
                v = 0
            if v:
                lit += 1
            row.append((v, v, v))
        rows.append(row)
    return rows, lit


def star(target):
    # The lit count grows with the size in steps of four or eight (the X is symmetric), so take
    # the smallest size that lights at least the target and put out the dimmest extra pixels.
    size = 1.0
    while True:
        rows, lit = star_pixels(size)
        if lit >= target:
            break
        size += 0.01
    dim = sorted((rows[y][x][0], y, x) for y in range(STAR) for x in range(STAR) if rows[y][x][0])
    for _, y, x in dim[: lit - target]:
        rows[y][x] = (0, 0, 0)
    return rows


def mark(chosen):
    # A ring with a soft edge; the chosen mark has a bright dot inside.
    c = 5.5
    rows = []
    for y in range(12):
        row = []
        for x in range(12):
            r = math.hypot(x - c, y - c)
            ring = max(0.0, 1 - abs(r - 4.8) / 1.0)
            col = (int(150 * ring), int(170 * ring), int(200 * ring))
            if chosen:
                dot = max(0.0, min(1.0, 3.2 - r))
                col = (clamp(col[0] + 255 * dot), clamp(col[1] + 230 * dot),
                       clamp(col[2] + 120 * dot))
            row.append(col)
        rows.append(row)
    return rows


ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def icon(size=32):
    # A firefly glow: a warm yellow-green core on black with a soft halo. Drawn for 32 x 32;
    # other sizes scale the distances, so each is the same picture.
    c = (size - 1) / 2.0
    scale = 32.0 / size
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            r = math.hypot(x - c, y - c) * scale
            glow = math.exp(-(r * r) / 40.0)
            core = max(0.0, 1 - r / 4.0)
            row.append((clamp(200 * glow + 55 * core), clamp(230 * glow + 25 * core),
                        clamp(60 * glow + 180 * core)))
        rows.append(row)
    return rows


def main():
    write_png("streak.png", STREAK_W, STREAK_H, streak())
    for i, target in enumerate(STAR_LIT):
        write_png("star%d.png" % i, STAR, STAR, star(target))
    write_png("mark_off.png", 12, 12, mark(False))
    write_png("mark_on.png", 12, 12, mark(True))
    write_png("dialog_icon.png", 32, 32, icon())
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    for size in ICON_SIZES:
        write_png(os.path.join("icons", "kovessa-%d.png" % size), size, size, icon(size))


if __name__ == "__main__":
    main()
