#!/usr/bin/env python3
"""Draws the sky plot's two 15 x 15 satellite pictures.

Two solar panels, 5 pixels wide and 14 tall with a black outline, either side
of a small black-outlined body; magenta marks what is transparent (the bottom
row and the space above and below the body). The used satellite has red
panels and a yellow core, the other silver ones.

Writes satellite_used.png and satellite_unused.png beside this script; needs
nothing beyond the Python standard library.
"""
import os
import struct
import zlib

MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
RED = (255, 0, 0)
YELLOW = (255, 255, 0)
SILVER = (192, 192, 192)
SIZE = 15


def picture(panel, core):
    rows = [[MAGENTA] * SIZE for _ in range(SIZE)]
    for left in (0, 10):
        for y in range(14):
            for x in range(left, left + 5):
                edge = y in (0, 13) or x in (left, left + 4)
                rows[y][x] = BLACK if edge else panel
    for y in range(4, 10):
        for x in range(5, 10):
            edge = y in (4, 9) or x in (5, 9)
            rows[y][x] = BLACK if edge else core
    return rows


def write_png(path, rows):
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)  # 8-bit RGB
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "satellite_used.png"), picture(RED, YELLOW))
    write_png(os.path.join(here, "satellite_unused.png"), picture(SILVER, SILVER))
