#!/usr/bin/env python3
"""Draws every bitmap of the plug-in: button skins, header strips and buttons, the palette-entry
button faces and the About box picture, each at 100 % (96 dpi), 150 % and 200 %.

A scaled bitmap is the same drawing at the larger size: every coordinate, size, radius, stroke and
font cell is multiplied by the factor, and every whole-pixel size or position is rounded as
int(round(size * factor)), halves to even. It is written beside the 100 % file as NAME_150.bmp or
NAME_200.bmp, and its resource ID is the 100 % one plus 1000 or 2000. Pixel-font text is drawn in
whole-pixel blocks at 100 % and 200 % and in rounded strokes at 150 %. header_strip_cuts.h gets the
header strip's cuts at each scale and the scaled strip sizes.

Regenerate the committed files with

    python3 tools/make_artwork.py resources/art

and check that they are current (exit status 1 names the files that differ) with

    python3 tools/make_artwork.py --check resources/art

Only the Python standard library is used and all text comes from the small pixel font below, so the
output is the same byte for byte on every machine. Files are 24-bit uncompressed BMP, the format the
resource compiler embeds and LoadImageW reads.
"""

import math
import os
import struct
import sys

# The dialogs' own background, so that pixels outside a rounded shape blend into the panel.
DIALOG_GREY = (232, 232, 232)


# ----------------------------------------------------------------------------------------------
# Canvas and output


class Canvas:
    def __init__(self, width, height, color=(0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[list(map(float, color)) for _ in range(width)] for _ in range(height)]

    def get(self, x, y):
        return tuple(self.pixels[y][x])

    def set(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = list(map(float, color))

    def blend(self, x, y, color, alpha):
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        pixel = self.pixels[y][x]
        for channel in range(3):
            pixel[channel] += (color[channel] - pixel[channel]) * alpha

    def fill(self, shader):
        """Sets every pixel from shader(x, y) at the pixel's centre."""
        for y in range(self.height):
            for x in range(self.width):
                self.pixels[y][x] = list(map(float, shader(x + 0.5, y + 0.5)))

    def paste(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                self.set(left + x, top + y, other.get(x, y))

    def crop(self, left, top, width, height):
        part = Canvas(width, height)
        for y in range(height):
            for x in range(width):
                part.set(x, y, self.get(left + x, top + y))
        return part

    def bytes24(self):
        """Bottom-up rows of blue, green, red, each row padded to four bytes."""
        stride = (self.width * 3 + 3) & ~3
        out = bytearray()
        for y in range(self.height - 1, -1, -1):
            row = bytearray()
            for x in range(self.width):
                r, g, b = (max(0, min(255, int(v + 0.5))) for v in self.pixels[y][x])
                row += bytes((b, g, r))
            row += bytes(stride - len(row))
            out += row
        return bytes(out)

    def bmp_bytes(self):
        image = self.bytes24()
        header_size = 14 + 40
        file_header = struct.pack("<2sIHHI", b"BM", header_size + len(image), 0, 0, header_size)
        info_header = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(image),
                                  2835, 2835, 0, 0)
        return file_header + info_header + image

    def save_bmp(self, path):
        with open(path, "wb") as output:
            output.write(self.bmp_bytes())


# ----------------------------------------------------------------------------------------------
# Colours and shapes


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def lighten(color, amount):
    return mix(color, (255, 255, 255), amount)


def darken(color, amount):
    return mix(color, (0, 0, 0), amount)


def gradient(stops, t):
    """Colour at t of a list of (position, colour) stops in increasing position."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 1.0)
    return stops[-1][1]


def sd_round_box(px, py, cx, cy, half_w, half_h, radius):
    qx = abs(px - cx) - half_w + radius
    qy = abs(py - cy) - half_h + radius
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    inside = min(max(qx, qy), 0.0)
    return outside + inside - radius


def sd_circle(px, py, cx, cy, radius):
    return math.hypot(px - cx, py - cy) - radius


def sd_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def coverage(distance):
    """Anti-aliased coverage of a pixel whose centre lies `distance` outside a shape's edge."""
    return max(0.0, min(1.0, 0.5 - distance))


def paint_shape(canvas, bounds, sdf, color, alpha=1.0):
    """Blends `color` (a colour or a function of x, y) over the pixels inside the signed-distance shape."""
    left, top, right, bottom = (int(math.floor(bounds[0])) - 1, int(math.floor(bounds[1])) - 1,
                                int(math.ceil(bounds[2])) + 1, int(math.ceil(bounds[3])) + 1)
    for y in range(max(0, top), min(canvas.height, bottom)):
        for x in range(max(0, left), min(canvas.width, right)):
            px, py = x + 0.5, y + 0.5
            amount = coverage(sdf(px, py)) * alpha
            if amount > 0.0:
                canvas.blend(x, y, color(px, py) if callable(color) else color, amount)


def paint_glow(canvas, cx, cy, radius, color, strength):
    """A soft round light that fades to nothing at `radius`."""
    for y in range(canvas.height):
        for x in range(canvas.width):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
            if d < 1.0:
                canvas.blend(x, y, color, strength * (1.0 - d) ** 2)


# ----------------------------------------------------------------------------------------------
# Pixel font: 5 x 7 cells with two rows of descender; '#' marks an inked cell.

GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "J": ["..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", ".#.#.", ".#.#.", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "c": [".....", ".....", ".####", "#....", "#....", "#....", ".####"],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".####"],
    "f": ["..##", ".#..", "####", ".#..", ".#..", ".#..", ".#.."],
    "g": [".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "h": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#"],
    "i": ["#", ".", "#", "#", "#", "#", "#"],
    "j": ["..#", "...", "..#", "..#", "..#", "..#", "..#", "#.#", ".#."],
    "k": ["#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#"],
    "l": ["#", "#", "#", "#", "#", "#", "#"],
    "m": [".....", ".....", "####.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "n": [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "q": [".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", "....#"],
    "r": ["....", "....", "#.##", "##..", "#...", "#...", "#..."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "t": [".#..", ".#..", "####", ".#..", ".#..", ".#..", "..##"],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####"],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "w": [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
    "y": [".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "z": [".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": [".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": [".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."],
    ".": [".", ".", ".", ".", ".", ".", "#"],
    ",": [".", ".", ".", ".", ".", ".", "#", "#"],
    ":": [".", ".", "#", ".", ".", ".", "#"],
    "-": ["...", "...", "...", "###", "...", "...", "..."],
    "+": ["...", "...", ".#.", "###", ".#.", "...", "..."],
    "/": ["....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."],
    "|": ["#", "#", "#", "#", "#", "#", "#"],
    "*": [".", ".", ".", "#", ".", ".", "."],  # a centred dot, used as a separator
    ">": ["...", "#..", ".#.", "..#", ".#.", "#..", "..."],
    " ": ["..", "..", "..", "..", "..", "..", ".."],
}


def glyph_cells(text):
    """(column, row) of every inked cell of `text`, one blank column between glyphs, and the width."""
    cells = []
    column = 0
    for index, char in enumerate(text):
        rows = GLYPHS[char]
        for row, line in enumerate(rows):
            for offset, mark in enumerate(line):
                if mark == "#":
                    cells.append((column + offset, row))
        column += len(rows[0]) + (1 if index + 1 < len(text) else 0)
    return cells, column


def text_width(text, scale=1):
    return glyph_cells(text)[1] * scale


def draw_text(canvas, text, left, top, color, scale=1, alpha=1.0):
    """Crisp pixel text: every cell a `scale` x `scale` block."""
    cells, _ = glyph_cells(text)
    left, top = int(round(left)), int(round(top))
    for column, row in cells:
        for dy in range(scale):
            for dx in range(scale):
                canvas.blend(left + column * scale + dx, top + row * scale + dy, color, alpha)


def draw_smooth_text(canvas, text, left, top, color, cell, weight=0.56, alpha=1.0):
    """The pixel font traced as rounded strokes from cell to neighbouring cell, anti-aliased: lettering
    for sizes where blocks would look coarse."""
    cells, width = glyph_cells(text)
    inked = set(cells)
    centre = lambda c, r: (left + (c + 0.5) * cell, top + (r + 0.5) * cell)
    segments = []
    for c, r in cells:
        segments.append((c, r, c, r))
        for dc, dr in ((1, 0), (0, 1)):
            if (c + dc, r + dr) in inked:
                segments.append((c, r, c + dc, r + dr))
        for dc in (1, -1):
            diagonal = (c + dc, r + 1)
            if diagonal in inked and (c + dc, r) not in inked and (c, r + 1) not in inked:
                segments.append((c, r, c + dc, r + 1))
    lines = [centre(a, b) + centre(c, d) for a, b, c, d in segments]
    radius = weight * cell

    def sdf(px, py):
        best = 1e9
        for ax, ay, bx, by in lines:
            if abs(px - ax) - radius > best and abs(px - bx) - radius > best:
                continue
            best = min(best, sd_segment(px, py, ax, ay, bx, by))
        return best - radius

    paint_shape(canvas, (left - cell, top - cell, left + (width + 1) * cell, top + 10 * cell), sdf, color, alpha)
    return int(round(width * cell))


def px(size, f):
    """A whole-pixel size or position at factor f; every scaled size is rounded this one way."""
    return int(round(size * f))


def label_width(text, f):
    return px(text_width(text), f)


def draw_label(canvas, text, left, top, color, f, alpha=1.0):
    """Pixel-font text at factor f: whole-pixel blocks where f is whole, rounded strokes of the same cells
    otherwise, since blocks of one and a half pixels would come out uneven."""
    if f == int(f):
        draw_text(canvas, text, left, top, color, int(f), alpha)
    else:
        draw_smooth_text(canvas, text, left, top, color, f, alpha=alpha)


# ----------------------------------------------------------------------------------------------
# Push-button skins: one pill 54 x 24 per look, cut into left cap, middle and right cap.

SKIN_WIDTH = 18
SKIN_HEIGHT = 24

# Border, the glossy upper half (top, middle) and the lower half (middle, bottom) of each look.
BUTTON_LOOKS = {
    "normal": ((150, 150, 150), (255, 255, 255), (247, 247, 247), (231, 231, 231), (252, 252, 252)),
    "hover": ((116, 136, 162), (246, 249, 253), (224, 233, 245), (199, 214, 233), (226, 236, 249)),
    "default": ((36, 84, 160), (196, 224, 252), (124, 178, 241), (58, 128, 224), (142, 202, 255)),
    "pressed": ((22, 56, 122), (150, 186, 232), (86, 134, 206), (30, 84, 178), (92, 150, 226)),
}


def button_pill(look, f):
    border, top, upper_mid, lower_mid, bottom = BUTTON_LOOKS[look]
    skin_height = px(SKIN_HEIGHT, f)
    canvas = Canvas(3 * px(SKIN_WIDTH, f), skin_height, DIALOG_GREY)
    width = canvas.width
    cx, cy, half_w, half_h, radius = width / 2, 11.75 * f, width / 2 - 1.0 * f, 10.75 * f, 10.75 * f
    # A soft shadow one pixel below the face.
    paint_shape(canvas, (0, 0, width, skin_height),
                lambda px, py: sd_round_box(px, py - 1.0 * f, cx, cy, half_w, half_h, radius), (188, 188, 188), 0.55)

    def face(px, py):
        t = (py - (cy - half_h)) / (2 * half_h)
        if t < 0.5:
            return mix(top, upper_mid, t / 0.5)
        return mix(lower_mid, bottom, (t - 0.5) / 0.5)

    paint_shape(canvas, (0, 0, width, skin_height),
                lambda px, py: sd_round_box(px, py, cx, cy, half_w, half_h, radius), border)
    paint_shape(canvas, (0, 0, width, skin_height),
                lambda px, py: sd_round_box(px, py, cx, cy, half_w - 1.0 * f, half_h - 1.0 * f, radius - 1.0 * f),
                face)
    # The gloss: a bright band along the top edge of the upper half.
    paint_shape(canvas, (0, 0, width, skin_height),
                lambda px, py: max(sd_round_box(px, py, cx, cy - 5.0 * f, half_w - 3.0 * f, 4.5 * f, 4.5 * f),
                                   py - (cy - 1.0 * f)),
                (255, 255, 255), 0.35)
    return canvas


def button_skins(look, f):
    pill = button_pill(look, f)
    width, height = px(SKIN_WIDTH, f), px(SKIN_HEIGHT, f)
    return [pill.crop(i * width, 0, width, height) for i in range(3)]


# ----------------------------------------------------------------------------------------------
# Header: a dark glossy band 40 pixels high. Buttons are drawn over the same background as the
# strips at their places, so they sit in the strip without a seam.

HEADER_HEIGHT = 40
BRAND_TEAL = (38, 186, 196)
BRAND_INDIGO = (92, 74, 214)


def header_band(y, f):
    """The band's colour at row y; the same in every column, so the middle tile repeats seamlessly. Its
    edge lines are one pixel at 100 % and as thick as the factor makes them above."""
    height = px(HEADER_HEIGHT, f)
    line = px(1, f)
    t = y / (height - 1)
    color = gradient([(0.0, (64, 78, 104)), (0.5, (44, 55, 76)), (1.0, (29, 36, 51))], t)
    if y < height // 2:
        color = lighten(color, 0.07 * (1.0 - y / (height / 2)))
    if y < line:
        color = (98, 114, 140)
    if height - 2 * line <= y < height - line:
        color = (20, 25, 36)
    if y >= height - line:
        color = mix((20, 25, 36), BRAND_TEAL, 0.75)
    return color


LOGO_BOX = (16, 3, 35, 34)         # advert button, over the logo
ABOUT_BOX = (87, 12, 181, 19)      # About caption button
WEB_BOX_IN_RIGHT = (230, 12, 150, 20)  # web-site button, placed 199 pixels from the header's right edge


LEFT_STRIP_WIDTH = 597
RIGHT_STRIP_WIDTH = 429
TILE_WIDTH = 101


def scaled_box(box, f):
    return tuple(px(value, f) for value in box)


def left_strip_background(f):
    canvas = Canvas(px(LEFT_STRIP_WIDTH, f), px(HEADER_HEIGHT, f))
    canvas.fill(lambda px, py: header_band(int(py), f))
    # A teal light behind the logo that has faded out long before the strip's right end.
    paint_glow(canvas, 34 * f, 20 * f, 150 * f, BRAND_TEAL, 0.22)
    return canvas


def right_strip_background(f):
    canvas = Canvas(px(RIGHT_STRIP_WIDTH, f), px(HEADER_HEIGHT, f))
    canvas.fill(lambda px, py: header_band(int(py), f))
    paint_glow(canvas, 300 * f, 22 * f, 160 * f, BRAND_INDIGO, 0.20)
    return canvas


def draw_logo(canvas, left, top, size, f, bright=False):
    """The product mark: a rounded tile from teal to indigo with a white V and a gloss."""
    cx, cy = left + size / 2, top + size / 2
    half = size / 2 - 0.5 * f
    radius = size * 0.24
    tile = lambda px, py: sd_round_box(px, py, cx, cy, half, half, radius)
    lift = 0.18 if bright else 0.0

    def fill(px, py):
        t = ((px - left) + (py - top)) / (2 * size)
        return lighten(mix(BRAND_TEAL, BRAND_INDIGO, t), lift)

    if bright:
        for ring in range(3):
            grow = (1.0 + ring) * f
            paint_shape(canvas, (left - 4 * f, top - 4 * f, left + size + 4 * f, top + size + 4 * f),
                        lambda px, py, g=grow: sd_round_box(px, py, cx, cy, half + g, half + g, radius + g),
                        (150, 236, 240), 0.22 - 0.06 * ring)
    paint_shape(canvas, (left, top, left + size, top + size), tile, darken(BRAND_INDIGO, 0.45))
    paint_shape(canvas, (left, top, left + size, top + size),
                lambda px, py: tile(px, py) + max(0.9 * f, size * 0.03), fill)
    # The V: two strokes meeting low in the tile, with a pixel square at the upper right.
    stroke = size * 0.085
    a = (left + size * 0.27, top + size * 0.26)
    b = (left + size * 0.47, top + size * 0.74)
    c = (left + size * 0.67, top + size * 0.26)
    v_shape = lambda px, py: min(sd_segment(px, py, *a, *b), sd_segment(px, py, *b, *c)) - stroke
    paint_shape(canvas, (left, top, left + size, top + size),
                lambda px, py: v_shape(px - size * 0.02, py - size * 0.03), darken(BRAND_INDIGO, 0.5), 0.45)
    paint_shape(canvas, (left, top, left + size, top + size), v_shape, (255, 255, 255))
    chip = size * 0.085
    chip_x, chip_y = left + size * 0.76, top + size * 0.25
    paint_shape(canvas, (left, top, left + size, top + size),
                lambda px, py: sd_round_box(px, py, chip_x, chip_y, chip, chip, chip * 0.3), (255, 214, 92))
    # Gloss over the upper part of the tile.
    paint_shape(canvas, (left, top, left + size, top + size),
                lambda px, py: max(tile(px, py) + 1.0 * f, sd_circle(px, py, cx, top - size * 0.55, size * 1.0)),
                (255, 255, 255), 0.16)


def advert_button(background, bright, f):
    x, y, w, h = scaled_box(LOGO_BOX, f)
    canvas = background.crop(x, y, w, h)
    draw_logo(canvas, 1.5 * f, 1.0 * f, 32.0 * f, f, bright)
    return canvas


def draw_info_icon(canvas, cx, cy, radius, ring, dot):
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius),
                lambda px, py: sd_circle(px, py, cx, cy, radius), ring)
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius),
                lambda px, py: sd_circle(px, py, cx, cy - radius * 0.45, radius * 0.17), dot)
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius),
                lambda px, py: sd_segment(px, py, cx, cy - radius * 0.05, cx, cy + radius * 0.5) - radius * 0.15,
                dot)


def plate_looks(canvas, look, hover_fill, hover_edge, pressed_fill, f):
    """The rounded plate behind a header button: lit under the mouse, sunk when pressed."""
    w, h = canvas.width, canvas.height
    plate = lambda px, py: sd_round_box(px, py, w / 2, h / 2, w / 2 - 0.5 * f, h / 2 - 0.5 * f, h / 2 - 0.5 * f)
    edge = lambda px, py: abs(plate(px, py) + 0.5 * f) - 0.5 * f
    if look == "hover":
        paint_shape(canvas, (0, 0, w, h), plate, (255, 255, 255), hover_fill)
        paint_shape(canvas, (0, 0, w, h), edge, *hover_edge)
    elif look == "pressed":
        paint_shape(canvas, (0, 0, w, h), plate, (0, 0, 0), pressed_fill)
        paint_shape(canvas, (0, 0, w, h), edge, (12, 16, 24), 0.6)


def about_button(background, look, f):
    """The product name with an About hint; hover lights a rounded plate behind it, pressed sinks it."""
    x, y, w, h = scaled_box(ABOUT_BOX, f)
    canvas = background.crop(x, y, w, h)
    plate_looks(canvas, look, 0.13, (BRAND_TEAL, 0.75), 0.28, f)
    shift = 1 * f if look == "pressed" else 0
    name_color = (255, 255, 255) if look != "pressed" else (214, 226, 240)
    # Shadow first, then the name, in rounded lettering two cells per font cell.
    draw_smooth_text(canvas, "Vexlorin", 9 * f + shift, 3 * f + shift, (10, 14, 22), 2.0 * f, alpha=0.55)
    name_width = draw_smooth_text(canvas, "Vexlorin", 8 * f + shift, 2 * f + shift, name_color, 2.0 * f)
    badge_left = 8 * f + name_width + 8 * f + shift
    badge = lambda px, py: sd_round_box(px, py, badge_left + 10.5 * f, 9.5 * f + shift, 10.5 * f, 5.5 * f, 2.5 * f)
    paint_shape(canvas, (0, 0, w, h), lambda px, py: abs(badge(px, py) + 0.5 * f) - 0.5 * f, BRAND_TEAL)
    draw_label(canvas, "PNG", badge_left + (2 + (17 - text_width("PNG")) // 2 + 1) * f, 6 * f + shift,
               (140, 232, 238), f)
    label = "ABOUT"
    label_color = (176, 192, 214) if look == "normal" else (232, 244, 255)
    label_left = w - 12 * f - label_width(label, f) - 14 * f + shift
    draw_label(canvas, label, label_left, 6 * f + shift, label_color, f)
    draw_info_icon(canvas, w - 14.5 * f + shift, 9.5 * f + shift, 5.5 * f,
                   BRAND_TEAL if look != "pressed" else (28, 140, 150), (255, 255, 255))
    return canvas


def draw_globe(canvas, cx, cy, radius, color, f):
    ring = lambda px, py: abs(sd_circle(px, py, cx, cy, radius)) - 0.55 * f
    paint_shape(canvas, (cx - radius - 1 * f, cy - radius - 1 * f, cx + radius + 1 * f, cy + radius + 1 * f), ring,
                color)
    inside = lambda px, py: sd_circle(px, py, cx, cy, radius)
    meridian = lambda px, py: max(abs(math.hypot((px - cx) * 2.2, py - cy) - radius) - 0.9 * f, inside(px, py))
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius), meridian, color, 0.9)
    axis = lambda px, py: max(abs(px - cx) - 0.5 * f, inside(px, py))
    equator = lambda px, py: max(abs(py - cy) - 0.5 * f, inside(px, py))
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius), axis, color, 0.9)
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius), equator, color, 0.9)


def web_button(background, look, f):
    """The maker's web address with a globe."""
    x, y, w, h = scaled_box(WEB_BOX_IN_RIGHT, f)
    canvas = background.crop(x, y, w, h)
    plate_looks(canvas, look, 0.14, ((150, 140, 240), 0.8), 0.3, f)
    shift = 1 * f if look == "pressed" else 0
    text = "brindlewerks.example"
    globe_radius = 6.0 * f
    content = int(2 * globe_radius) + 6 * f + label_width(text, f)
    start = (w - content) // 2 + shift
    draw_globe(canvas, start + globe_radius + 0.5 * f, 10.0 * f + shift, globe_radius,
               (150, 204, 255) if look == "normal" else (200, 232, 255), f)
    text_left = start + int(2 * globe_radius) + 6 * f
    text_color = (206, 218, 236) if look == "normal" else (255, 255, 255)
    draw_label(canvas, text, text_left + 1 * f, 7 * f + shift, (10, 14, 22), f, alpha=0.5)
    draw_label(canvas, text, text_left, 6 * f + shift, text_color, f)
    if look != "normal":
        # The underline of a link.
        underline_left, underline_top = int(round(text_left)), int(round(15 * f + shift))
        for row in range(px(1, f)):
            for column in range(label_width(text, f)):
                canvas.blend(underline_left + column, underline_top + row, text_color, 0.85)
    return canvas


def left_strip(about_normal, advert_normal, f):
    canvas = left_strip_background(f)
    logo_box, about_box = scaled_box(LOGO_BOX, f), scaled_box(ABOUT_BOX, f)
    canvas.paste(advert_normal, logo_box[0], logo_box[1])
    canvas.paste(about_normal, about_box[0], about_box[1])
    # A divider, dark then light, and the product's one-line description after the name.
    dark, light, past = px(DIVIDER_RIGHT - 2, f), px(DIVIDER_RIGHT - 1, f), px(DIVIDER_RIGHT, f)
    for y in range(px(11, f), px(30, f)):
        for x in range(dark, light):
            canvas.blend(x, y, (10, 14, 22), 0.5)
        for x in range(light, past):
            canvas.blend(x, y, (120, 138, 164), 0.45)
    draw_tagline(canvas, f)
    return canvas


TAGLINE = "PNG SAVE  *  PALETTE  *  TRANSPARENCY  *  DITHER"
TAGLINE_LEFT = 300
DIVIDER_RIGHT = 288  # one column past the divider's light edge


def draw_tagline(canvas, f):
    draw_label(canvas, TAGLINE, TAGLINE_LEFT * f + 1 * f, 17 * f, (10, 14, 22), f, alpha=0.5)
    draw_label(canvas, TAGLINE, TAGLINE_LEFT * f, 16 * f, (150, 168, 194), f)


def left_strip_cuts(f):
    """The columns where the left strip may end when the header is too narrow for all of it: after the About
    caption, after the divider, and after each word or separator of the tagline, never through a letter.
    A tagline cut is measured on the drawing: the first column after the word without ink of it or of its
    shadow, and one more blank column."""
    about_box = scaled_box(ABOUT_BOX, f)
    cuts = [about_box[0] + about_box[2], px(DIVIDER_RIGHT, f)]
    ink = Canvas(px(LEFT_STRIP_WIDTH, f), px(HEADER_HEIGHT, f))
    draw_tagline(ink, f)
    inked = [any(max(ink.pixels[y][x]) >= 0.5 for y in range(ink.height)) for x in range(ink.width)]
    for end in range(1, len(TAGLINE) + 1):
        if TAGLINE[end - 1] != " " and (end == len(TAGLINE) or TAGLINE[end] == " "):
            column = int(TAGLINE_LEFT * f + text_width(TAGLINE[:end]) * f)
            while inked[column]:
                column += 1
            cuts.append(column + px(1, f))
    return cuts


SCALES = ((100, 1), (150, 1.5), (200, 2))


def header_strip_cuts_source():
    lines = ["// Made by tools/make_artwork.py with header_left.bmp and its scaled copies; do not edit.",
             "// Columns of the header's left strip where it may end without cutting a word: ascending.",
             "// The _150 and _200 arrays and sizes are those of header_left_150.bmp and header_left_200.bmp.",
             "#pragma once", ""]
    for percent, f in SCALES:
        suffix = "" if percent == 100 else str(percent)
        lines.append("inline constexpr int kHeaderLeftCuts%s[] = {%s};" %
                     (suffix, ", ".join(str(cut) for cut in left_strip_cuts(f))))
    lines.append("")
    lines.append("// The strip's parts at 150 % and 200 %: left, right, middle tile widths and the height.")
    for percent, f in SCALES[1:]:
        for name, size in (("LeftWidth", LEFT_STRIP_WIDTH), ("RightWidth", RIGHT_STRIP_WIDTH),
                           ("TileWidth", TILE_WIDTH), ("Height", HEADER_HEIGHT)):
            lines.append("inline constexpr int kHeaderStrip%s%d = %d;" % (name, percent, px(size, f)))
    lines.append("")
    lines.append("// How far the web-site button's left edge lies from the strip's right edge (199 at 100 %): the right")
    lines.append("// part and the button's place in it are rounded apart, so this is not always 199 scaled.")
    for percent, f in SCALES[1:]:
        lines.append("inline constexpr int kHeaderSiteFromRight%d = %d;" %
                     (percent, px(RIGHT_STRIP_WIDTH, f) - scaled_box(WEB_BOX_IN_RIGHT, f)[0]))
    return "\n".join(lines) + "\n"


def right_strip(web_normal, f):
    canvas = right_strip_background(f)
    web_box = scaled_box(WEB_BOX_IN_RIGHT, f)
    canvas.paste(web_normal, web_box[0], web_box[1])
    # Three small dots closing the band on the right.
    for i, alpha in enumerate((0.35, 0.55, 0.8)):
        paint_shape(canvas, (390 * f, 14 * f, 420 * f, 26 * f),
                    lambda px, py, k=i: sd_circle(px, py, (396.5 + 7 * k) * f, 20.0 * f, 1.8 * f), (150, 140, 240),
                    alpha)
    return canvas


def middle_tile(f):
    canvas = Canvas(px(TILE_WIDTH, f), px(HEADER_HEIGHT, f))
    canvas.fill(lambda px, py: header_band(int(py), f))
    return canvas


# ----------------------------------------------------------------------------------------------
# Faces of the two small palette-entry buttons (16 x 16)


def padlock(look, f):
    size = px(16, f)
    canvas = Canvas(size, size, DIALOG_GREY)
    if look == "disabled":
        shackle, body_top, body_bottom, edge, hole = (172, 172, 172), (214, 214, 214), (190, 190, 190), \
            (160, 160, 160), (160, 160, 160)
    elif look == "hover":
        shackle, body_top, body_bottom, edge, hole = (120, 132, 150), (255, 230, 140), (240, 178, 58), \
            (160, 108, 20), (90, 58, 10)
    else:
        shackle, body_top, body_bottom, edge, hole = (104, 110, 122), (250, 210, 100), (214, 150, 38), \
            (142, 94, 16), (80, 50, 8)
    if look == "hover":
        paint_glow(canvas, 8 * f, 8 * f, 9 * f, (120, 170, 240), 0.55)
    everywhere = (0, 0, size, size)
    ring = lambda px, py: max(abs(sd_round_box(px, py, 8.0 * f, 6.0 * f, 3.6 * f, 4.6 * f, 3.4 * f)) - 0.85 * f,
                              py - 8.0 * f)
    paint_shape(canvas, everywhere, ring, shackle)
    paint_shape(canvas, everywhere,
                lambda px, py: max(sd_circle(px, py, 6.2 * f, 4.0 * f, 2.0 * f), ring(px, py) + 0.6 * f),
                lighten(shackle, 0.5), 0.6)
    body = lambda px, py: sd_round_box(px, py, 8.0 * f, 11.0 * f, 5.5 * f, 4.0 * f, 1.6 * f)
    paint_shape(canvas, everywhere, body, edge)
    paint_shape(canvas, everywhere, lambda px, py: body(px, py) + 1.0 * f,
                lambda px, py: mix(body_top, body_bottom, (py - 7.0 * f) / (8.0 * f)))
    paint_shape(canvas, everywhere, lambda px, py: max(body(px, py) + 1.0 * f, py - 9.0 * f), (255, 255, 255), 0.35)
    keyhole = lambda px, py: min(sd_circle(px, py, 8.0 * f, 10.4 * f, 1.25 * f),
                                 sd_segment(px, py, 8.0 * f, 10.4 * f, 8.0 * f, 12.8 * f) - 0.55 * f)
    paint_shape(canvas, everywhere, keyhole, hole)
    return canvas


def checkerboard(look, f):
    size = px(16, f)
    canvas = Canvas(size, size, DIALOG_GREY)
    if look == "light":
        edge, light, dark = (124, 146, 176), (255, 255, 255), (200, 216, 236)
    else:
        edge, light, dark = (104, 104, 104), (255, 255, 255), (186, 186, 186)
    frame = lambda px, py: sd_round_box(px, py, 8.0 * f, 8.0 * f, 7.0 * f, 7.0 * f, 2.0 * f)
    square = 3 * f
    paint_shape(canvas, (0, 0, size, size), frame, edge)
    paint_shape(canvas, (0, 0, size, size), lambda px, py: frame(px, py) + 1.0 * f,
                lambda px, py: light if (int((px - 2.0 * f) // square) + int((py - 2.0 * f) // square)) % 2 == 0
                else dark)
    return canvas


# ----------------------------------------------------------------------------------------------
# The About box's product picture


PICTURE_SIZE = (144, 216)


def product_picture(f):
    width, height = (px(size, f) for size in PICTURE_SIZE)
    canvas = Canvas(width, height, DIALOG_GREY)
    card = lambda px, py: sd_round_box(px, py, width / 2, height / 2 - 1.0 * f, width / 2 - 3.0 * f,
                                       height / 2 - 4.0 * f, 12.0 * f)
    for blur, alpha in ((3.0, 0.10), (2.0, 0.14), (1.0, 0.18)):
        paint_shape(canvas, (0, 0, width, height), lambda px, py, b=blur * f: card(px, py - 2.0 * f) - b,
                    (90, 90, 90), alpha)
    paint_shape(canvas, (0, 0, width, height), card,
                lambda px, py: gradient([(0.0, (66, 82, 110)), (0.55, (40, 50, 70)), (1.0, (24, 30, 44))],
                                        py / height))
    glow = Canvas(width, height)
    glow.fill(lambda px, py: canvas.get(int(px), int(py)))
    paint_glow(glow, width / 2, 62 * f, 84 * f, BRAND_TEAL, 0.35)
    for y in range(height):
        for x in range(width):
            inside = coverage(card(x + 0.5, y + 0.5))
            if inside > 0:
                canvas.blend(x, y, glow.get(x, y), inside)
    # Rim light and gloss of the card.
    paint_shape(canvas, (0, 0, width, height), lambda px, py: abs(card(px, py) + 0.5 * f) - 0.5 * f, (120, 140, 170),
                0.9)
    paint_shape(canvas, (0, 0, width, height),
                lambda px, py: max(card(px, py) + 1.0 * f,
                                   sd_circle(px, py, width * 0.2, -height * 0.9, height * 1.2)),
                (255, 255, 255), 0.05)
    draw_logo(canvas, (width - 76 * f) / 2, 22.0 * f, 76.0 * f, f)
    # The name in rounded lettering, then the description.
    name_width = label_width("Vexlorin", 3 * f)
    name_left = (width - name_width) // 2
    draw_smooth_text(canvas, "Vexlorin", name_left + 1 * f, 114 * f, (8, 12, 20), 3.0 * f, alpha=0.55)
    draw_smooth_text(canvas, "Vexlorin", name_left, 113 * f, (255, 255, 255), 3.0 * f)
    line = "PNG SAVE PLUG-IN"
    draw_label(canvas, line, (width - label_width(line, f)) // 2, 142 * f, (140, 232, 238), f)
    # A strip of palette chips, the last one transparent.
    chips = [(232, 72, 84), (248, 160, 56), (250, 214, 92), (96, 200, 110), (38, 186, 196), (70, 120, 230),
             (146, 92, 214)]
    size, gap = 11 * f, 3 * f
    row_left = (width - (len(chips) + 1) * size - len(chips) * gap) // 2
    top = 162 * f
    for index in range(len(chips) + 1):
        left = row_left + index * (size + gap)
        chip = lambda px, py, l=left: sd_round_box(px, py, l + size / 2, top + size / 2, size / 2, size / 2, 2.0)
        if index < len(chips):
            color = chips[index]
            paint_shape(canvas, (left, top, left + size, top + size), chip,
                        lambda px, py, c=color: mix(lighten(c, 0.25), darken(c, 0.15), (py - top) / size))
        else:
            paint_shape(canvas, (left, top, left + size, top + size), chip,
                        lambda px, py, l=left: (255, 255, 255)
                        if (int((px - l) // (3 * f)) + int((py - top) // (3 * f))) % 2 == 0 else (186, 186, 186))
        paint_shape(canvas, (left, top, left + size, top + size),
                    lambda px, py, c=chip: abs(c(px, py) + 0.5 * f) - 0.5 * f, (12, 16, 24), 0.5)
    maker = "BRINDLEWERKS"
    draw_label(canvas, maker, (width - label_width(maker, f)) // 2, 190 * f, (150, 168, 194), f)
    return canvas


# ----------------------------------------------------------------------------------------------


def artwork_at(f):
    """Every bitmap at factor f: (resource ID at 100 %, file name at 100 %, canvas), in resource ID order."""
    images = []
    for look, ids in (("normal", (155, 159, 163)), ("hover", (156, 160, 164)), ("default", (157, 161, 165)),
                      ("pressed", (158, 162, 166))):
        for part, (resource_id, canvas) in zip(("left", "middle", "right"), zip(ids, button_skins(look, f))):
            images.append((resource_id, "button_%s_%s.bmp" % (look, part), canvas))

    left_background = left_strip_background(f)
    right_background = right_strip_background(f)
    about = {look: about_button(left_background, look, f) for look in ("normal", "hover", "pressed")}
    web = {look: web_button(right_background, look, f) for look in ("normal", "hover", "pressed")}
    advert = {bright: advert_button(left_background, bright, f) for bright in (False, True)}
    images += [
        (130, "lock_disabled.bmp", padlock("disabled", f)),
        (131, "lock_normal.bmp", padlock("normal", f)),
        (132, "lock_hover.bmp", padlock("hover", f)),
        (133, "transparent_light.bmp", checkerboard("light", f)),
        (134, "transparent_normal.bmp", checkerboard("normal", f)),
        (139, "header_right.bmp", right_strip(web["normal"], f)),
        (140, "header_left.bmp", left_strip(about["normal"], advert[False], f)),
        (141, "header_middle.bmp", middle_tile(f)),
        (142, "about_normal.bmp", about["normal"]),
        (143, "site_pressed.bmp", web["pressed"]),
        (144, "site_hover.bmp", web["hover"]),
        (145, "site_normal.bmp", web["normal"]),
        (146, "about_pressed.bmp", about["pressed"]),
        (147, "about_hover.bmp", about["hover"]),
        (148, "advert_normal.bmp", advert[False]),
        (149, "advert_hover.bmp", advert[True]),
        (170, "product.bmp", product_picture(f)),
    ]
    return sorted(images, key=lambda entry: entry[0])


# A scaled bitmap's resource ID is the 100 % one plus this offset; its file name has the percentage appended.
SCALE_ID_OFFSETS = {100: 0, 150: 1000, 200: 2000}


def artwork():
    """Every bitmap at every scale: (resource ID, file name, canvas)."""
    images = []
    for percent, f in SCALES:
        for resource_id, name, canvas in artwork_at(f):
            if percent != 100:
                name = "%s_%d.bmp" % (name[:-len(".bmp")], percent)
            images.append((resource_id + SCALE_ID_OFFSETS[percent], name, canvas))
    return images


def main(argv):
    arguments = argv[1:]
    check = arguments[:1] == ["--check"]
    if check:
        arguments = arguments[1:]
    if len(arguments) != 1:
        sys.stderr.write("usage: python3 tools/make_artwork.py [--check] FOLDER\n")
        return 2
    folder = arguments[0]
    if not check:
        os.makedirs(folder, exist_ok=True)
    stale = []
    for resource_id, name, canvas in artwork():
        path = os.path.join(folder, name)
        if check:
            try:
                with open(path, "rb") as existing:
                    current = existing.read() == canvas.bmp_bytes()
            except OSError:
                current = False
            if not current:
                stale.append(name)
        else:
            canvas.save_bmp(path)
            print("%d %s %dx%d" % (resource_id, name, canvas.width, canvas.height))
    # The C++ facts about the artwork, beside it.
    for name, text in (("header_strip_cuts.h", header_strip_cuts_source()),):
        path = os.path.join(folder, name)
        if check:
            try:
                with open(path, "r", encoding="ascii") as existing:
                    current = existing.read() == text
            except OSError:
                current = False
            if not current:
                stale.append(name)
        else:
            with open(path, "w", encoding="ascii", newline="\n") as out:
                out.write(text)
            print(name)
    for name in stale:
        sys.stderr.write("%s differs from the generator's output\n" % name)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
