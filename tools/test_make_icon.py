#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Checks the icon files in resources/ by decoding them independently."""

import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
RES = ROOT / "resources"

CLEAR = None
BLACK = (0, 0, 0)
GREEN = (0, 128, 0)
WHITE = (255, 255, 255)
RED = (255, 0, 0)

# size: (first row, last row, [(first col, last col, colour) per band])
FLAGS = {
    16: (3, 13, [(1, 5, GREEN), (6, 9, WHITE), (10, 14, RED)]),
    32: (6, 25, [(1, 10, GREEN), (11, 20, WHITE), (21, 30, RED)]),
}


def expected(size):
    top, bottom, bands = FLAGS[size]
    grid = [[CLEAR] * size for _ in range(size)]
    for y in range(top, bottom + 1):
        for x in range(size):
            grid[y][x] = BLACK
    for y in range(top + 1, bottom):
        for first, last, colour in bands:
            for x in range(first, last + 1):
                grid[y][x] = colour
    return grid


def decode_png(data):
    """Return (palette length, grid of RGB or CLEAR) for a 4-bit indexed PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, chunks, idat = 8, {}, b""
    while pos < len(data):
        length, = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        assert crc == zlib.crc32(kind + body), kind
        if kind == b"IDAT":
            idat += body
        chunks[kind] = body
        pos += 12 + length
    width, height, depth, ctype = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert (depth, ctype) == (4, 3)
    plte = chunks[b"PLTE"]
    palette = [tuple(plte[i:i + 3]) for i in range(0, len(plte), 3)]
    alpha = chunks.get(b"tRNS", b"")
    raw = zlib.decompress(idat)
    stride = (width + 1) // 2
    grid = []
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        assert line[0] == 0, "unexpected filter type"
        row = []
        for x in range(width):
            i = (line[1 + x // 2] >> (0 if x % 2 else 4)) & 0xF
            opaque = i >= len(alpha) or alpha[i] == 255
            assert opaque or alpha[i] == 0, "partial transparency"
            row.append(palette[i] if opaque else CLEAR)
        grid.append(row)
    return len(palette), grid


def decode_ico(data):
    """Return {size: grid} for the 4 bpp BMP entries of an ICO file."""
    _, kind, count = struct.unpack("<HHH", data[:6])
    assert kind == 1
    images = {}
    for n in range(count):
        w, h, colours, _, _, bpp, size, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * n:22 + 16 * n])
        assert (colours, bpp) == (16, 4)
        bmp = data[offset:offset + size]
        hsize, bw, bh, _, bits = struct.unpack("<IiiHH", bmp[:16])
        assert (bw, bh, bits) == (w, 2 * h, 4)
        table = [tuple(bmp[hsize + 4 * i:hsize + 4 * i + 3][::-1]) for i in range(16)]
        xor_stride, and_stride = ((w * 4 + 31) // 32) * 4, ((w + 31) // 32) * 4
        xor_at = hsize + 64
        and_at = xor_at + xor_stride * h
        assert and_at + and_stride * h == len(bmp)
        grid = []
        for y in range(h):
            xrow = bmp[xor_at + (h - 1 - y) * xor_stride:]
            arow = bmp[and_at + (h - 1 - y) * and_stride:]
            row = []
            for x in range(w):
                colour = table[(xrow[x // 2] >> (0 if x % 2 else 4)) & 0xF]
                masked = arow[x // 8] & (0x80 >> (x % 8))
                # A masked pixel must XOR black, or it shows as inverted colour.
                assert not masked or colour == BLACK
                row.append(CLEAR if masked else colour)
            grid.append(row)
        images[w] = grid
    return images


def rasterise_svg(data):
    root = ET.fromstring(data)
    assert root.get("viewBox") == "0 0 32 32"
    grid = [[CLEAR] * 32 for _ in range(32)]
    for rect in root.iter("{http://www.w3.org/2000/svg}rect"):
        x, y, w, h = (int(rect.get(k)) for k in ("x", "y", "width", "height"))
        fill = rect.get("fill").lstrip("#")
        colour = tuple(int(fill[i:i + 2], 16) for i in (0, 2, 4))
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                grid[yy][xx] = colour
    return grid


def show(grid):
    codes = {CLEAR: ".", BLACK: "#", GREEN: "G", WHITE: "W", RED: "R"}
    return "\n" + "\n".join("".join(codes.get(p, "?") for p in row) for row in grid)


class IconFiles(unittest.TestCase):
    def assertGrid(self, actual, wanted):
        self.assertEqual(actual, wanted, show(actual))

    def test_png_pixels(self):
        for size in FLAGS:
            with self.subTest(size=size):
                entries, grid = decode_png((RES / f"codelook-{size}.png").read_bytes())
                self.assertLessEqual(entries, 16)
                self.assertGrid(grid, expected(size))

    def test_large_png_is_crisp_enlargement(self):
        entries, grid = decode_png((RES / "codelook-256.png").read_bytes())
        self.assertLessEqual(entries, 16)
        small = expected(32)
        self.assertEqual(grid, [[small[y // 8][x // 8] for x in range(256)] for y in range(256)])

    def test_ico_entries_match(self):
        images = decode_ico((RES / "codelook.ico").read_bytes())
        self.assertEqual(sorted(images), sorted(FLAGS))
        for size, grid in images.items():
            with self.subTest(size=size):
                self.assertGrid(grid, expected(size))

    def test_svg_geometry(self):
        self.assertGrid(rasterise_svg((RES / "codelook.svg").read_bytes()), expected(32))

    def test_files_are_up_to_date(self):
        result = subprocess.run([sys.executable, str(ROOT / "tools" / "make_icon.py"),
                                 "--check", str(RES)], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)


if __name__ == "__main__":
    unittest.main()
