#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Generate the codelook program icon in every format the build needs.

The icon is a small tricolour flag (green, white, red) with a one-pixel
black edge on a transparent ground. All files are written from the pixel
grids below, so the output is byte-for-byte reproducible:

    python3 tools/make_icon.py [OUTDIR]     write the files (default: resources/)
    python3 tools/make_icon.py --check [OUTDIR]
                                            exit 1 if a file is missing or stale
"""

import argparse
import struct
import sys
import zlib
from pathlib import Path

# Palette index -> (r, g, b). Index 0 is the transparent ground; its colour
# is black so that the ICO XOR bitmap leaves masked pixels untouched.
TRANSPARENT, BLACK, GREEN, WHITE, RED = range(5)
PALETTE = [
    (0, 0, 0),
    (0, 0, 0),
    (0, 128, 0),
    (255, 255, 255),
    (255, 0, 0),
]

# size -> (first flag row, last flag row, band widths inside the edge).
# 16 px leaves 14 inner columns; 5/4/5 keeps the flag mirror-symmetric.
GEOMETRY = {
    32: (6, 25, (10, 10, 10)),
    16: (3, 13, (5, 4, 5)),
}

DEFAULT_OUTDIR = Path(__file__).resolve().parent.parent / "resources"


def flag_pixels(size):
    """Return the icon as a list of rows of palette indices."""
    top, bottom, bands = GEOMETRY[size]
    assert 2 + sum(bands) == size
    inner = []
    for colour, width in zip((GREEN, WHITE, RED), bands):
        inner += [colour] * width
    rows = []
    for y in range(size):
        if y < top or y > bottom:
            rows.append([TRANSPARENT] * size)
        elif y in (top, bottom):
            rows.append([BLACK] * size)
        else:
            rows.append([BLACK] + inner + [BLACK])
    return rows


def scale(rows, factor):
    """Nearest-neighbour enlargement, so edges stay crisp."""
    out = []
    for row in rows:
        wide = [p for p in row for _ in range(factor)]
        out += [list(wide) for _ in range(factor)]
    return out


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def encode_png(rows):
    """4-bit indexed PNG with palette index 0 fully transparent."""
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type None: the data is tiny and flat anyway
        padded = row + [0] * (len(row) % 2)
        raw += bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
    return b"".join([
        b"\x89PNG\r\n\x1a\n",
        _chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 4, 3, 0, 0, 0)),
        _chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE)),
        _chunk(b"tRNS", b"\x00"),
        _chunk(b"IDAT", zlib.compress(bytes(raw), 9)),
        _chunk(b"IEND", b""),
    ])


def _bmp_entry(rows):
    """Classic 4 bpp icon bitmap: header, 16-colour table, XOR and AND masks."""
    height, width = len(rows), len(rows[0])
    xor_stride = ((width * 4 + 31) // 32) * 4
    and_stride = ((width + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, p in enumerate(row):
            line[x // 2] |= p << (4 if x % 2 == 0 else 0)
            if p == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    # Height is doubled because the AND mask follows the XOR bitmap.
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    table = bytearray(16 * 4)
    for i, (r, g, b) in enumerate(PALETTE):
        table[i * 4:i * 4 + 3] = bytes((b, g, r))
    return header + bytes(table) + bytes(xor) + bytes(mask)


def encode_ico(images):
    """ICO holding one classic 4 bpp BMP entry per image, smallest first."""
    entries = [(len(rows[0]), len(rows), _bmp_entry(rows)) for rows in images]
    offset = 6 + 16 * len(entries)
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    for width, height, data in entries:
        # A width/height byte of 0 means 256, so larger images need PNG entries.
        assert width < 256 and height < 256
        out += struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    for _, _, data in entries:
        out += data
    return bytes(out)


def encode_svg():
    top, bottom, bands = GEOMETRY[32]
    fills = {GREEN: "#008000", WHITE: "#ffffff", RED: "#ff0000"}
    rects = [f'  <rect x="0" y="{top}" width="32" height="{bottom - top + 1}" fill="#000000"/>']
    x = 1
    for colour, width in zip((GREEN, WHITE, RED), bands):
        rects.append(f'  <rect x="{x}" y="{top + 1}" width="{width}" '
                     f'height="{bottom - top - 1}" fill="{fills[colour]}"/>')
        x += width
    return ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
            "viewBox=\"0 0 32 32\" shape-rendering=\"crispEdges\">\n"
            + "\n".join(rects) + "\n</svg>\n").encode("utf-8")


def build():
    """Return {file name: bytes} for every generated file."""
    small, large = flag_pixels(16), flag_pixels(32)
    return {
        "codelook-16.png": encode_png(small),
        "codelook-32.png": encode_png(large),
        "codelook-256.png": encode_png(scale(large, 8)),
        "codelook.ico": encode_ico([small, large]),
        "codelook.svg": encode_svg(),
    }


def main(argv=None):
    parser = argparse.ArgumentParser(description="Generate the codelook icon files.")
    parser.add_argument("outdir", nargs="?", type=Path, default=DEFAULT_OUTDIR,
                        help="output directory (default: resources/)")
    parser.add_argument("--check", action="store_true",
                        help="do not write; exit 1 if any file is missing or differs")
    args = parser.parse_args(argv)

    files = build()
    if args.check:
        stale = []
        for name, data in files.items():
            path = args.outdir / name
            if not path.is_file() or path.read_bytes() != data:
                stale.append(name)
        for name in stale:
            print(f"out of date: {args.outdir / name}", file=sys.stderr)
        return 1 if stale else 0

    args.outdir.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (args.outdir / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
