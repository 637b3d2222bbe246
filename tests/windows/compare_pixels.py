#!/usr/bin/env python3
"""Compares a screenshot of a Windows program under Wine with what the Linux code draws.

  compare_pixels.py strip CAPTURE.ppm REFDIR
      CAPTURE is the display strip taken from the screen, as much of its 309 x 25 as shows (the
      confirm button covers its last column); REFDIR holds the frames of
      one sweep and the letter mask (reference_pixels strip). Passes when one frame equals the
      capture bit for bit everywhere away from the letters, the only pixels that a different
      font rasteriser may draw otherwise. Prints the frame's number and whether its star shows.
  compare_pixels.py face CAPTURE.ppm EXPECTED.ppm
      A Command button's face taken from the screen and the face the Linux painter composes.
      Passes when they are equal outside the caption: the box round the pixels of the capture
      inside the face's band that are darker than any of the gradient, with two pixels of room
      for smoothed letter edges.
"""
import os
import sys


def read_ppm(path):
    with open(path, 'rb') as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b'P6' or fields[3] != b'255':
        raise ValueError(path + ': not an 8-bit P6 picture')
    width, height = int(fields[1]), int(fields[2])
    raw = data[pos:pos + width * height * 3]
    pixels = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    return width, height, pixels


def dilate(mask, width, height, radius):
    out = set()
    for (x, y) in mask:
        for dy in range(-radius, radius + 1):
            for dx in range(-radius, radius + 1):
                if 0 <= x + dx < width and 0 <= y + dy < height:
                    out.add((x + dx, y + dy))
    return out


def strip(capture_path, folder):
    width, height, shot = read_ppm(capture_path)
    mw, mh, mask = read_ppm(os.path.join(folder, 'strip-mask.ppm'))
    if width > mw or height != mh:
        print('strip: the capture is %dx%d, the frames %dx%d' % (width, height, mw, mh))
        return 1
    # Only the columns the capture holds.
    mask = [mask[y * mw + x] for y in range(mh) for x in range(width)]
    # The letters as either system draws them: black in the Linux mask, and lit pixels of the
    # capture left of the star.
    letters = {(i % width, i // width) for i, p in enumerate(mask) if p == (0, 0, 0)}
    star_left = 287
    letters |= {(i % width, i // width) for i, p in enumerate(shot)
                if p != (0, 0, 0) and i % width < star_left - 2}
    away = dilate(letters, width, height, 2)
    best = None
    for k in range(48):
        _, _, full = read_ppm(os.path.join(folder, 'strip-%d.ppm' % k))
        frame = [full[y * mw + x] for y in range(mh) for x in range(width)]
        diff = sum(1 for i in range(width * height)
                   if (i % width, i // width) not in away and shot[i] != frame[i])
        if best is None or diff < best[1]:
            best = (k, diff, frame)
        if diff == 0:
            star = any(frame[y * width + x] != (0, 0, 0)
                       for y in range(height) for x in range(star_left, width))
            print('strip: frame %d matches away from the letters; star %s'
                  % (k, 'shown' if star else 'not shown'))
            return 0
    print('strip: no frame matches; the nearest (%d) differs in %d pixels away from the letters'
          % (best[0], best[1]))
    return 1


def face(capture_path, expected_path):
    width, height, shot = read_ppm(capture_path)
    ew, eh, expected = read_ppm(expected_path)
    if (ew, eh) != (width, height):
        print('face: the capture is %dx%d, the expected face %dx%d' % (width, height, ew, eh))
        return 1
    band = 4
    # Inside the band lie only the gradient, whose every pixel has a channel of 0xD7 or more
    # (its blue runs from 0xFF to 0xD7), and the caption: black, or grey when disabled.
    ink = [(i % width, i // width) for i, p in enumerate(shot)
           if band <= i % width < width - band and band <= i // width < height - band
           and max(p) < 0xD0]
    caption = set()
    if ink:
        left = max(min(x for x, _ in ink) - 2, 0)
        right = min(max(x for x, _ in ink) + 2, width - 1)
        top = max(min(y for _, y in ink) - 2, 0)
        bottom = min(max(y for _, y in ink) + 2, height - 1)
        caption = {(x, y) for x in range(left, right + 1) for y in range(top, bottom + 1)}
    diff = [(i % width, i // width) for i in range(width * height)
            if (i % width, i // width) not in caption and shot[i] != expected[i]]
    if diff:
        x, y = diff[0]
        print('face: %d pixels differ outside the caption, the first at %d,%d: %s, not %s'
              % (len(diff), x, y, shot[y * width + x], expected[y * width + x]))
        return 1
    print('face: equal outside the caption (%d caption pixels left out)' % len(caption))
    return 0


def main():
    if len(sys.argv) == 4 and sys.argv[1] == 'strip':
        return strip(sys.argv[2], sys.argv[3])
    if len(sys.argv) == 4 and sys.argv[1] == 'face':
        return face(sys.argv[2], sys.argv[3])
    print(__doc__)
    return 2


if __name__ == '__main__':
    sys.exit(main())
