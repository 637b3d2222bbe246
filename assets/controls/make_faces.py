#!/usr/bin/env python3
"""Draws the six 64 x 25 face pictures of the Command button as 24-bit bitmaps.

Only the outer four-pixel band of each picture ever reaches the screen: the button copies the
four corners unscaled and stretches the edges between them, and its gradient shows through the
centre. So every row of the top and bottom bands is one colour from x = 4 to x = 59, and every
column of the side bands one colour from y = 4 to y = 20; stretching then changes nothing.

Run it from this folder; the build does not run it. The pictures it writes are committed.
"""

import struct

WIDTH, HEIGHT = 64, 25

FRAME_LIGHT = (0xEC, 0xE9, 0xD8)  # outer frame, top and left
FRAME_DARK = (0xDC, 0xD6, 0xC2)  # outer frame, bottom and right
BLUE = (0x00, 0x3C, 0x74)
GREY = (0xC9, 0xC7, 0xBA)
FACE = (0xF5, 0xF4, 0xEA)


def mix(a, b):
    return tuple((x + y) // 2 for x, y in zip(a, b))


def ring(top, side, bottom):
    """A ring band: colour of the top row, of the side columns and of the bottom row."""
    return {"top": top, "side": side, "bottom": bottom}


# Each look: how far in the outline lies, its colour, then the bands inside it from the
# outside in, each as top / side / bottom colours.
LOOKS = {
    "normal": (1, BLUE, [
        ring((0xF3, 0xF3, 0xEE), (0xF3, 0xF3, 0xEE), (0xD6, 0xD0, 0xC5)),
        ring((0xF3, 0xF3, 0xEE), (0xF3, 0xF3, 0xEE), (0xE2, 0xDF, 0xD6)),
    ]),
    "highlight": (1, BLUE, [
        ring((0xFF, 0xF0, 0xCF), (0xFC, 0xCA, 0x69), (0xE5, 0x97, 0x00)),
        ring((0xFD, 0xD8, 0x89), (0xFC, 0xCA, 0x69), (0xF8, 0xB3, 0x30)),
    ]),
    "selected": (1, BLUE, [
        ring((0xCE, 0xE7, 0xFF), (0xA9, 0xC5, 0xEF), (0x69, 0x82, 0xEE)),
        ring((0xCE, 0xE7, 0xFF), (0xA9, 0xC5, 0xEF), (0x69, 0x82, 0xEE)),
    ]),
    "pressed": (2, BLUE, [
        ring((0xD1, 0xCC, 0xC1), (0xD7, 0xD4, 0xCB), (0xF2, 0xF1, 0xEE)),
        ring((0xD1, 0xCC, 0xC1), (0xD7, 0xD4, 0xCB), (0xF2, 0xF1, 0xEE)),
    ]),
    "disable": (1, GREY, [
        ring(FACE, FACE, FACE),
        ring(FACE, FACE, FACE),
    ]),
}
# The hovered-and-focused look carries the same band as the hovered one.
LOOKS["highlightselect"] = LOOKS["highlight"]


def draw(inset, outline, rings):
    px = [[FACE for _ in range(WIDTH)] for _ in range(HEIGHT)]

    def rect(d, top, side, bottom):
        for x in range(d, WIDTH - d):
            px[d][x] = top
            px[HEIGHT - 1 - d][x] = bottom
        for y in range(d + 1, HEIGHT - 1 - d):
            px[y][d] = side
            px[y][WIDTH - 1 - d] = side

    # Beige frame: every band outside the outline.
    for d in range(inset):
        rect(d, FRAME_LIGHT, FRAME_LIGHT, FRAME_DARK)
        for y in range(d + 1, HEIGHT - 1 - d):
            px[y][WIDTH - 1 - d] = FRAME_DARK
    rect(inset, outline, outline, outline)
    for i, band in enumerate(rings):
        rect(inset + 1 + i, band["top"], band["side"], band["bottom"])

    # Rounded outline: its corner pixel takes a colour between the outline and the frame, and
    # the ring pixel diagonally inside it takes the outline's colour.
    for cx, cy, sx, sy in ((inset, inset, 1, 1), (WIDTH - 1 - inset, inset, -1, 1),
                           (inset, HEIGHT - 1 - inset, 1, -1),
                           (WIDTH - 1 - inset, HEIGHT - 1 - inset, -1, -1)):
        outside = px[cy - sy][cx] if 0 <= cy - sy < HEIGHT else FRAME_LIGHT
        px[cy][cx] = mix(outline, outside)
        if rings:
            px[cy + sy][cx + sx] = mix(outline, px[cy + sy][cx + sx])
    return px


def write_bmp(path, px):
    row_size = (WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray()
        for r, g, b in px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        pixels += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    for name, (inset, outline, rings) in LOOKS.items():
        write_bmp(name + ".bmp", draw(inset, outline, rings))
