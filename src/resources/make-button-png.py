#!/usr/bin/env python3
"""Draws the window icon, images/Button.png: a 32x32 green disc with a darker ring."""
import struct
import zlib
from pathlib import Path

SIZE = 32


def pixel(x, y):
    dx, dy = x - 15.5, y - 15.5
    r2 = dx * dx + dy * dy
    if r2 > 15.5 ** 2:
        return (0, 0, 0, 0)
    if r2 > 12.5 ** 2:
        return (20, 110, 60, 255)
    shade = int(40 * (dy + 16) / 32)
    return (85 - shade // 2, 255 - shade, 127 - shade // 2, 255)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


rows = b"".join(
    b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(SIZE)) for y in range(SIZE)
)
png = (
    b"\x89PNG\r\n\x1a\n"
    + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    + chunk(b"IDAT", zlib.compress(rows, 9))
    + chunk(b"IEND", b"")
)
Path(__file__).with_name("images").joinpath("Button.png").write_bytes(png)
