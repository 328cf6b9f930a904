#!/usr/bin/env python3
"""Reads pixels back from pictures for the end-to-end tests, with the standard library only.

  pixels.py size FILE                   prints "WIDTH HEIGHT"
  pixels.py pixel FILE X Y [X Y]...     prints "R G B" of each pixel, one line each (alpha is left out)
  pixels.py column FILE ROWS X [X]...   prints the first ROWS pixels of each column X as one hex string
                                        (RRGGBB...), one line each
  pixels.py palette FILE                prints "R G B" of each PLTE entry of a PNG, one line each
  pixels.py find FILE PATTERN           prints "X Y" of every place where the picture PATTERN appears in FILE,
                                        pixel for pixel (red, green and blue), one line each
  pixels.py error FILE OTHER            prints the sum over all pixels of the squared differences of red, green
                                        and blue between two pictures of the same size
  pixels.py samples FILE X Y [X Y]...   prints every sample of each pixel of a PNG as the file stores it (8 or 16
                                        bits, alpha included), one line each

FILE is a PNG (8-bit samples, or 16-bit for `samples`, not interlaced: what the test host and the plug-in write)
or an uncompressed 24-bit BMP (the plug-in's artwork).
"""
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def png_chunks(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("not a PNG")
    at = 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def read_png(data, rows_needed, depths=(8,)):
    idat, palette = b"", None
    for kind, body in png_chunks(data):
        if kind == b"IHDR":
            width, height, depth, color_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
    if depth not in depths or interlace != 0:
        sys.exit("only %s-bit, non-interlaced PNG files are read" % "/".join(map(str, depths)))
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[color_type]
    step = channels * depth // 8  # bytes the filters look back
    raw = zlib.decompress(idat)
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(min(height, rows_needed)):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = row[i - step] if i >= step else 0
            up = previous[i]
            corner = previous[i - step] if i >= step else 0
            row[i] = (row[i] + (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]) & 0xFF
        rows.append(row)
        previous = row

    def samples(x, y):
        p = rows[y][x * step:(x + 1) * step]
        return tuple(p) if depth == 8 else struct.unpack(">%dH" % channels, bytes(p))

    def rgb(x, y):
        p = rows[y][x * channels:(x + 1) * channels]
        if color_type == 3:
            return palette[p[0]]
        if channels <= 2:
            return (p[0], p[0], p[0])
        return tuple(p[:3])

    return (width, height, samples) if depths != (8,) else (width, height, rgb)


def read_bmp(data, rows_needed):
    offset, = struct.unpack("<I", data[10:14])
    width, height, _, bits, compression = struct.unpack("<iiHHI", data[18:34])
    if bits != 24 or compression != 0:
        sys.exit("only uncompressed 24-bit BMP files are read")
    stride = (width * 3 + 3) & ~3

    def rgb(x, y):
        row = height - 1 - y if height > 0 else y
        at = offset + row * stride + x * 3
        return (data[at + 2], data[at + 1], data[at])

    return width, abs(height), rgb


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    command = argv[1]
    numbers = [int(n) for n in argv[3:]] if command not in ("error", "find") else []
    # Rows are only decoded down to the last one asked for.
    if command == "palette":
        with open(argv[2], "rb") as f:
            for kind, body in png_chunks(f.read()):
                if kind == b"PLTE":
                    for i in range(0, len(body), 3):
                        print(*body[i:i + 3])
        return
    if command == "find":
        pictures = []
        for path in argv[2:4]:
            with open(path, "rb") as f:
                data = f.read()
            width, height, rgb = read_bmp(data, 1 << 30) if data[:2] == b"BM" else read_png(data, 1 << 30)
            pictures.append([bytes(b for x in range(width) for b in rgb(x, y)) for y in range(height)])
        rows, pattern = pictures
        # Where the pattern's first row lies in a row (at whole pixels), the rest is compared below it.
        for y in range(len(rows) - len(pattern) + 1):
            at = rows[y].find(pattern[0])
            while at >= 0:
                if at % 3 == 0 and all(rows[y + k][at:at + len(pattern[k])] == pattern[k] for k in range(len(pattern))):
                    print(at // 3, y)
                at = rows[y].find(pattern[0], at + 1)
        return
    if command == "error":
        pictures = []
        for path in argv[2:4]:
            with open(path, "rb") as f:
                data = f.read()
            pictures.append(read_bmp(data, 1 << 30) if data[:2] == b"BM" else read_png(data, 1 << 30))
        (width, height, first), (other_width, other_height, second) = pictures
        if (width, height) != (other_width, other_height):
            sys.exit("the pictures differ in size")
        print(sum((a - b) ** 2 for y in range(height) for x in range(width) for a, b in zip(first(x, y), second(x, y))))
        return
    if command == "samples":
        with open(argv[2], "rb") as f:
            _, _, samples = read_png(f.read(), max(numbers[1::2]) + 1, depths=(8, 16))
        for x, y in zip(numbers[0::2], numbers[1::2]):
            print(*samples(x, y))
        return
    if command == "size":
        rows_needed = 0
    elif command == "pixel":
        rows_needed = max(numbers[1::2]) + 1
    elif command == "column":
        rows_needed = numbers[0]
    else:
        sys.exit("unknown command " + command)
    with open(argv[2], "rb") as f:
        data = f.read()
    width, height, rgb = read_bmp(data, rows_needed) if data[:2] == b"BM" else read_png(data, rows_needed)
    if command == "size":
        print(width, height)
    elif command == "pixel":
        for x, y in zip(numbers[0::2], numbers[1::2]):
            print(*rgb(x, y))
    else:
        for x in numbers[1:]:
            print("".join("%02x%02x%02x" % rgb(x, y) for y in range(numbers[0])))


if __name__ == "__main__":
    main(sys.argv)
