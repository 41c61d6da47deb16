#!/usr/bin/env python3
"""Draws the program icon: a disk platter with one partition marked out.

Writes trelvik-16.png and trelvik-32.png (8-bit palette PNGs) into the folder
given as the only argument. Standard library only. Run through
scripts/make-icons, which also rebuilds trelvik.ico from the two images.
"""

import math
import struct
import sys
import zlib
from pathlib import Path

# Colours, as (red, green, blue).
RIM = (44, 52, 66)
PLATTER_INNER = (214, 219, 226)
PLATTER_OUTER = (166, 173, 184)
PARTITION_INNER = (92, 164, 244)
PARTITION_OUTER = (22, 94, 200)
EDGE = (250, 250, 252)
HUB = (58, 62, 72)
SPINDLE = (226, 228, 232)

# The partition: clockwise from twelve o'clock, in degrees. A quarter and a
# bit, so the split stays visible at 16 pixels.
PARTITION_FROM = 0.0
PARTITION_TO = 125.0

SUBSAMPLES = 8  # per pixel edge


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def scene(size):
    """Colour at a point (in pixels) of an icon `size` pixels wide, or None
    where the icon is transparent."""
    centre = size / 2
    outer = size / 2 - 0.25
    # The rim and hub are kept at least a pixel wide so they survive 16 x 16.
    rim = max(1.0, size / 22)
    hub = max(2.0, size * 0.14)
    spindle = max(0.9, size * 0.05)
    edge = max(0.45, size / 48)

    def colour(x, y):
        dx, dy = x - centre, y - centre
        r = math.hypot(dx, dy)
        if r > outer:
            return None
        if r > outer - rim:
            return RIM
        if r < spindle:
            return SPINDLE
        if r < hub:
            return HUB
        # Clockwise angle from twelve o'clock (y grows downwards).
        angle = math.degrees(math.atan2(dx, -dy)) % 360
        t = (r - hub) / (outer - rim - hub)
        if PARTITION_FROM <= angle <= PARTITION_TO:
            # A light line along both sides of the partition.
            for side in (PARTITION_FROM, PARTITION_TO):
                a = math.radians(side)
                if abs(dx * math.cos(a) + dy * math.sin(a)) < edge:
                    return EDGE
            return mix(PARTITION_INNER, PARTITION_OUTER, t)
        return mix(PLATTER_INNER, PLATTER_OUTER, t)

    return colour


def render(size):
    """Rows of colours or None, antialiased inside the shape; the outline is
    either fully opaque or fully transparent, as a 256-colour icon needs."""
    colour = scene(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = []
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    c = colour(px + (sx + 0.5) / SUBSAMPLES, py + (sy + 0.5) / SUBSAMPLES)
                    if c is not None:
                        hits.append(c)
            if len(hits) * 2 < SUBSAMPLES * SUBSAMPLES:
                row.append(None)
            else:
                row.append(tuple(round(sum(c[i] for c in hits) / len(hits)) for i in range(3)))
        rows.append(row)
    return rows


def quantize(rows, limit=255):
    """Reduces colour precision until at most `limit` colours remain."""
    shift = 0
    while True:
        def q(c):
            if c is None or shift == 0:
                return c
            half = 1 << (shift - 1)
            return tuple(min(255, ((v + half) >> shift) << shift) for v in c)

        out = [[q(c) for c in row] for row in rows]
        if len({c for row in out for c in row if c is not None}) <= limit:
            return out
        shift += 1


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def palette_png(rows):
    """An 8-bit palette PNG with 256 entries; entry 0 is transparent."""
    colours = sorted({c for row in rows for c in row if c is not None})
    index = {c: i + 1 for i, c in enumerate(colours)}
    palette = [(0, 0, 0)] + colours
    palette += [(0, 0, 0)] * (256 - len(palette))
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(index.get(c, 0) for c in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + chunk(b"tRNS", b"\0")
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw.py OUTPUT_FOLDER")
    folder = Path(sys.argv[1])
    for size in (16, 32):
        (folder / f"trelvik-{size}.png").write_bytes(palette_png(quantize(render(size))))


if __name__ == "__main__":
    main()
