#!/usr/bin/env python3
"""Writes small, exactly known input images for the end-to-end tests, with the standard library only.

  make_sample.py rgb W H OUT.png          a colour ramp, 8-bit RGB
  make_sample.py rgba W H OUT.png         the ramp with an alpha ramp
  make_sample.py split W H OUT.png        RGBA: the left half fully transparent, the right half opaque 10,120,230
  make_sample.py gray W H OUT.png         a gray ramp, 8-bit
  make_sample.py indexed W H OUT.png [T]  a 4-entry palette image; T makes entry T fully transparent
  make_sample.py cmyk W H OUT.pam         a PAM (P7) CMYK ramp
  make_sample.py noise W H OUT.png        8-bit RGB of fixed pseudo-random samples, which hardly compress
  make_sample.py rgba16 W H OUT.png       16-bit RGBA: ramps through the whole 16-bit range, an alpha ramp
"""
import struct
import sys
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, color_type, rows, extra_chunks=(), depth=8):
    header = struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, 0)
    pack = bytes if depth == 8 else (lambda row: struct.pack(">%dH" % len(row), *row))
    raw = b"".join(b"\x00" + pack(row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + b"".join(extra_chunks) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def ramp(x, y, width, height):
    return (x * 255 // max(width - 1, 1), y * 255 // max(height - 1, 1), (x + y) % 256)


def rgba16(x, y, width, height):
    """The 16-bit pixel at x, y: samples no 8-bit picture holds (odd low bytes) from 0 to 65535."""
    across, down = x * 65535 // max(width - 1, 1), y * 65535 // max(height - 1, 1)
    return (across, down, (across * 7 + down * 3 + 1) % 65536, 65535 - across // 2)


def main(argv):
    if len(argv) < 5:
        sys.exit(__doc__)
    kind, width, height, out = argv[1], int(argv[2]), int(argv[3]), argv[4]
    if kind == "rgb":
        rows = [[c for x in range(width) for c in ramp(x, y, width, height)] for y in range(height)]
        data = png(width, height, 2, rows)
    elif kind == "rgba":
        rows = [[c for x in range(width) for c in ramp(x, y, width, height) + (x * 255 // max(width - 1, 1),)]
                for y in range(height)]
        data = png(width, height, 6, rows)
    elif kind == "split":
        rows = [[c for x in range(width) for c in ((0, 0, 0, 0) if x < width // 2 else (10, 120, 230, 255))]
                for y in range(height)]
        data = png(width, height, 6, rows)
    elif kind == "gray":
        rows = [[(x + y) % 256 for x in range(width)] for y in range(height)]
        data = png(width, height, 0, rows)
    elif kind == "indexed":
        palette = bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255])
        chunks = [chunk(b"PLTE", palette)]
        if len(argv) > 5:
            transparent = int(argv[5])
            chunks.append(chunk(b"tRNS", bytes(0 if i == transparent else 255 for i in range(4))))
        rows = [[(x + y) % 4 for x in range(width)] for y in range(height)]
        data = png(width, height, 3, rows, chunks)
    elif kind == "cmyk":
        header = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE CMYK\nENDHDR\n" % (width, height)
        pixels = bytes(c for y in range(height) for x in range(width)
                       for c in ramp(x, y, width, height) + ((x * y) % 256,))
        data = header.encode("ascii") + pixels
    elif kind == "noise":
        state = 12345
        rows = []
        for y in range(height):
            row = []
            for _ in range(width * 3):
                state = (state * 1103515245 + 12345) & 0xFFFFFFFF
                row.append((state >> 16) & 0xFF)
            rows.append(row)
        data = png(width, height, 2, rows)
    elif kind == "rgba16":
        rows = [[c for x in range(width)
                 for c in rgba16(x, y, width, height)] for y in range(height)]
        data = png(width, height, 6, rows, depth=16)
    else:
        sys.exit("unknown kind " + kind)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv)
