#!/usr/bin/env python3
"""Draws every bitmap of the plug-in: button skins, header strips and buttons, the palette-entry
button faces and the About box picture.

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


def button_pill(look):
    border, top, upper_mid, lower_mid, bottom = BUTTON_LOOKS[look]
    canvas = Canvas(3 * SKIN_WIDTH, SKIN_HEIGHT, DIALOG_GREY)
    width = canvas.width
    cx, cy, half_w, half_h, radius = width / 2, 11.75, width / 2 - 1.0, 10.75, 10.75
    # A soft shadow one pixel below the face.
    paint_shape(canvas, (0, 0, width, SKIN_HEIGHT),
                lambda px, py: sd_round_box(px, py - 1.0, cx, cy, half_w, half_h, radius), (188, 188, 188), 0.55)

    def face(px, py):
        t = (py - (cy - half_h)) / (2 * half_h)
        if t < 0.5:
            return mix(top, upper_mid, t / 0.5)
        return mix(lower_mid, bottom, (t - 0.5) / 0.5)

    paint_shape(canvas, (0, 0, width, SKIN_HEIGHT),
                lambda px, py: sd_round_box(px, py, cx, cy, half_w, half_h, radius), border)
    paint_shape(canvas, (0, 0, width, SKIN_HEIGHT),
                lambda px, py: sd_round_box(px, py, cx, cy, half_w - 1.0, half_h - 1.0, radius - 1.0), face)
    # The gloss: a bright band along the top edge of the upper half.
    paint_shape(canvas, (0, 0, width, SKIN_HEIGHT),
                lambda px, py: max(sd_round_box(px, py, cx, cy - 5.0, half_w - 3.0, 4.5, 4.5), py - (cy - 1.0)),
                (255, 255, 255), 0.35)
    return canvas


def button_skins(look):
    pill = button_pill(look)
    return [pill.crop(i * SKIN_WIDTH, 0, SKIN_WIDTH, SKIN_HEIGHT) for i in range(3)]


# ----------------------------------------------------------------------------------------------
# Header: a dark glossy band 40 pixels high. Buttons are drawn over the same background as the
# strips at their places, so they sit in the strip without a seam.

HEADER_HEIGHT = 40
BRAND_TEAL = (38, 186, 196)
BRAND_INDIGO = (92, 74, 214)


def header_band(y):
    """The band's colour at row y; the same in every column, so the middle tile repeats seamlessly."""
    t = y / (HEADER_HEIGHT - 1)
    color = gradient([(0.0, (64, 78, 104)), (0.5, (44, 55, 76)), (1.0, (29, 36, 51))], t)
    if y < HEADER_HEIGHT // 2:
        color = lighten(color, 0.07 * (1.0 - y / (HEADER_HEIGHT / 2)))
    if y == 0:
        color = (98, 114, 140)
    if y == HEADER_HEIGHT - 2:
        color = (20, 25, 36)
    if y == HEADER_HEIGHT - 1:
        color = mix((20, 25, 36), BRAND_TEAL, 0.75)
    return color


LOGO_BOX = (16, 3, 35, 34)         # advert button, over the logo
ABOUT_BOX = (87, 12, 181, 19)      # About caption button
WEB_BOX_IN_RIGHT = (230, 12, 150, 20)  # web-site button, placed 199 pixels from the header's right edge


def left_strip_background():
    canvas = Canvas(597, HEADER_HEIGHT)
    canvas.fill(lambda px, py: header_band(int(py)))
    # A teal light behind the logo that has faded out long before the strip's right end.
    paint_glow(canvas, 34, 20, 150, BRAND_TEAL, 0.22)
    return canvas


def right_strip_background():
    canvas = Canvas(429, HEADER_HEIGHT)
    canvas.fill(lambda px, py: header_band(int(py)))
    paint_glow(canvas, 300, 22, 160, BRAND_INDIGO, 0.20)
    return canvas


def draw_logo(canvas, left, top, size, bright=False):
    """The product mark: a rounded tile from teal to indigo with a white V and a gloss."""
    cx, cy = left + size / 2, top + size / 2
    half = size / 2 - 0.5
    radius = size * 0.24
    tile = lambda px, py: sd_round_box(px, py, cx, cy, half, half, radius)
    lift = 0.18 if bright else 0.0

    def fill(px, py):
        t = ((px - left) + (py - top)) / (2 * size)
        return lighten(mix(BRAND_TEAL, BRAND_INDIGO, t), lift)

    if bright:
        for ring in range(3):
            paint_shape(canvas, (left - 4, top - 4, left + size + 4, top + size + 4),
                        lambda px, py, g=ring: sd_round_box(px, py, cx, cy, half + 1.0 + g, half + 1.0 + g,
                                                             radius + 1.0 + g),
                        (150, 236, 240), 0.22 - 0.06 * ring)
    paint_shape(canvas, (left, top, left + size, top + size), tile, darken(BRAND_INDIGO, 0.45))
    paint_shape(canvas, (left, top, left + size, top + size),
                lambda px, py: tile(px, py) + max(0.9, size * 0.03), fill)
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
                lambda px, py: max(tile(px, py) + 1.0, sd_circle(px, py, cx, top - size * 0.55, size * 1.0)),
                (255, 255, 255), 0.16)


def advert_button(background, bright):
    x, y, w, h = LOGO_BOX
    canvas = background.crop(x, y, w, h)
    draw_logo(canvas, 1.5, 1.0, 32.0, bright)
    return canvas


def draw_info_icon(canvas, cx, cy, radius, ring, dot):
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius),
                lambda px, py: sd_circle(px, py, cx, cy, radius), ring)
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius),
                lambda px, py: sd_circle(px, py, cx, cy - radius * 0.45, radius * 0.17), dot)
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius),
                lambda px, py: sd_segment(px, py, cx, cy - radius * 0.05, cx, cy + radius * 0.5) - radius * 0.15,
                dot)


def about_button(background, look):
    """The product name with an About hint; hover lights a rounded plate behind it, pressed sinks it."""
    x, y, w, h = ABOUT_BOX
    canvas = background.crop(x, y, w, h)
    plate = lambda px, py: sd_round_box(px, py, w / 2, h / 2, w / 2 - 0.5, h / 2 - 0.5, h / 2 - 0.5)
    if look == "hover":
        paint_shape(canvas, (0, 0, w, h), plate, (255, 255, 255), 0.13)
        paint_shape(canvas, (0, 0, w, h), lambda px, py: abs(plate(px, py) + 0.5) - 0.5, BRAND_TEAL, 0.75)
    elif look == "pressed":
        paint_shape(canvas, (0, 0, w, h), plate, (0, 0, 0), 0.28)
        paint_shape(canvas, (0, 0, w, h), lambda px, py: abs(plate(px, py) + 0.5) - 0.5, (12, 16, 24), 0.6)
    shift = 1 if look == "pressed" else 0
    name_color = (255, 255, 255) if look != "pressed" else (214, 226, 240)
    # Shadow first, then the name, in rounded lettering two cells per font cell.
    draw_smooth_text(canvas, "Vexlorin", 9 + shift, 3 + shift, (10, 14, 22), 2.0, alpha=0.55)
    name_width = draw_smooth_text(canvas, "Vexlorin", 8 + shift, 2 + shift, name_color, 2.0)
    badge_left = 8 + name_width + 8 + shift
    badge = lambda px, py: sd_round_box(px, py, badge_left + 10.5, 9.5 + shift, 10.5, 5.5, 2.5)
    paint_shape(canvas, (0, 0, w, h), lambda px, py: abs(badge(px, py) + 0.5) - 0.5, BRAND_TEAL)
    draw_text(canvas, "PNG", badge_left + 2 + (17 - text_width("PNG")) // 2 + 1, 6 + shift, (140, 232, 238))
    label = "ABOUT"
    label_color = (176, 192, 214) if look == "normal" else (232, 244, 255)
    label_left = w - 12 - text_width(label) - 14 + shift
    draw_text(canvas, label, label_left, 6 + shift, label_color)
    draw_info_icon(canvas, w - 14.5 + shift, 9.5 + shift, 5.5, BRAND_TEAL if look != "pressed" else (28, 140, 150),
                   (255, 255, 255))
    return canvas


def draw_globe(canvas, cx, cy, radius, color):
    ring = lambda px, py: abs(sd_circle(px, py, cx, cy, radius)) - 0.55
    paint_shape(canvas, (cx - radius - 1, cy - radius - 1, cx + radius + 1, cy + radius + 1), ring, color)
    inside = lambda px, py: sd_circle(px, py, cx, cy, radius)
    meridian = lambda px, py: max(abs(math.hypot((px - cx) * 2.2, py - cy) - radius) - 0.9, inside(px, py))
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius), meridian, color, 0.9)
    axis = lambda px, py: max(abs(px - cx) - 0.5, inside(px, py))
    equator = lambda px, py: max(abs(py - cy) - 0.5, inside(px, py))
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius), axis, color, 0.9)
    paint_shape(canvas, (cx - radius, cy - radius, cx + radius, cy + radius), equator, color, 0.9)


def web_button(background, look):
    """The maker's web address with a globe."""
    x, y, w, h = WEB_BOX_IN_RIGHT
    canvas = background.crop(x, y, w, h)
    plate = lambda px, py: sd_round_box(px, py, w / 2, h / 2, w / 2 - 0.5, h / 2 - 0.5, h / 2 - 0.5)
    if look == "hover":
        paint_shape(canvas, (0, 0, w, h), plate, (255, 255, 255), 0.14)
        paint_shape(canvas, (0, 0, w, h), lambda px, py: abs(plate(px, py) + 0.5) - 0.5, (150, 140, 240), 0.8)
    elif look == "pressed":
        paint_shape(canvas, (0, 0, w, h), plate, (0, 0, 0), 0.3)
        paint_shape(canvas, (0, 0, w, h), lambda px, py: abs(plate(px, py) + 0.5) - 0.5, (12, 16, 24), 0.6)
    shift = 1 if look == "pressed" else 0
    text = "brindlewerks.example"
    globe_radius = 6.0
    content = int(2 * globe_radius) + 6 + text_width(text)
    start = (w - content) // 2 + shift
    draw_globe(canvas, start + globe_radius + 0.5, 10.0 + shift, globe_radius,
               (150, 204, 255) if look == "normal" else (200, 232, 255))
    text_left = start + int(2 * globe_radius) + 6
    text_color = (206, 218, 236) if look == "normal" else (255, 255, 255)
    draw_text(canvas, text, text_left + 1, 7 + shift, (10, 14, 22), alpha=0.5)
    draw_text(canvas, text, text_left, 6 + shift, text_color)
    if look != "normal":
        for column in range(text_width(text)):
            canvas.blend(text_left + column, 15 + shift, text_color, 0.85)
    return canvas


def left_strip(about_normal, advert_normal):
    canvas = left_strip_background()
    canvas.paste(advert_normal, LOGO_BOX[0], LOGO_BOX[1])
    canvas.paste(about_normal, ABOUT_BOX[0], ABOUT_BOX[1])
    # A divider and the product's one-line description after the name.
    for y in range(11, 30):
        canvas.blend(286, y, (10, 14, 22), 0.5)
        canvas.blend(287, y, (120, 138, 164), 0.45)
    draw_text(canvas, TAGLINE, TAGLINE_LEFT + 1, 17, (10, 14, 22), alpha=0.5)
    draw_text(canvas, TAGLINE, TAGLINE_LEFT, 16, (150, 168, 194))
    return canvas


TAGLINE = "PNG SAVE  *  PALETTE  *  TRANSPARENCY  *  DITHER"
TAGLINE_LEFT = 300
DIVIDER_RIGHT = 288  # one column past the divider's light edge


def left_strip_cuts():
    """The columns where the left strip may end when the header is too narrow for all of it: after the About
    caption, after the divider, and after each word or separator of the tagline (its shadow included), never
    through a letter."""
    cuts = [ABOUT_BOX[0] + ABOUT_BOX[2], DIVIDER_RIGHT]
    for end in range(1, len(TAGLINE) + 1):
        if TAGLINE[end - 1] != " " and (end == len(TAGLINE) or TAGLINE[end] == " "):
            cuts.append(TAGLINE_LEFT + text_width(TAGLINE[:end]) + 2)
    return cuts


def header_strip_cuts_source():
    cuts = left_strip_cuts()
    return ("// Made by tools/make_artwork.py with header_left.bmp; do not edit.\n"
            "// Columns of the header's left strip where it may end without cutting a word: ascending.\n"
            "#pragma once\n\n"
            "inline constexpr int kHeaderLeftCuts[] = {%s};\n" % ", ".join(str(cut) for cut in cuts))


def right_strip(web_normal):
    canvas = right_strip_background()
    canvas.paste(web_normal, WEB_BOX_IN_RIGHT[0], WEB_BOX_IN_RIGHT[1])
    # Three small dots closing the band on the right.
    for i, alpha in enumerate((0.35, 0.55, 0.8)):
        paint_shape(canvas, (390, 14, 420, 26),
                    lambda px, py, k=i: sd_circle(px, py, 396.5 + 7 * k, 20.0, 1.8), (150, 140, 240), alpha)
    return canvas


def middle_tile():
    canvas = Canvas(101, HEADER_HEIGHT)
    canvas.fill(lambda px, py: header_band(int(py)))
    return canvas


# ----------------------------------------------------------------------------------------------
# Faces of the two small palette-entry buttons (16 x 16)


def padlock(look):
    canvas = Canvas(16, 16, DIALOG_GREY)
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
        paint_glow(canvas, 8, 8, 9, (120, 170, 240), 0.55)
    ring = lambda px, py: max(abs(sd_round_box(px, py, 8.0, 6.0, 3.6, 4.6, 3.4)) - 0.85, py - 8.0)
    paint_shape(canvas, (0, 0, 16, 16), ring, shackle)
    paint_shape(canvas, (0, 0, 16, 16), lambda px, py: max(sd_circle(px, py, 6.2, 4.0, 2.0), ring(px, py) + 0.6),
                lighten(shackle, 0.5), 0.6)
    body = lambda px, py: sd_round_box(px, py, 8.0, 11.0, 5.5, 4.0, 1.6)
    paint_shape(canvas, (0, 0, 16, 16), body, edge)
    paint_shape(canvas, (0, 0, 16, 16), lambda px, py: body(px, py) + 1.0,
                lambda px, py: mix(body_top, body_bottom, (py - 7.0) / 8.0))
    paint_shape(canvas, (0, 0, 16, 16), lambda px, py: max(body(px, py) + 1.0, py - 9.0), (255, 255, 255), 0.35)
    keyhole = lambda px, py: min(sd_circle(px, py, 8.0, 10.4, 1.25),
                                 sd_segment(px, py, 8.0, 10.4, 8.0, 12.8) - 0.55)
    paint_shape(canvas, (0, 0, 16, 16), keyhole, hole)
    return canvas


def checkerboard(look):
    canvas = Canvas(16, 16, DIALOG_GREY)
    if look == "light":
        edge, light, dark = (124, 146, 176), (255, 255, 255), (200, 216, 236)
    else:
        edge, light, dark = (104, 104, 104), (255, 255, 255), (186, 186, 186)
    frame = lambda px, py: sd_round_box(px, py, 8.0, 8.0, 7.0, 7.0, 2.0)
    paint_shape(canvas, (0, 0, 16, 16), frame, edge)
    paint_shape(canvas, (0, 0, 16, 16), lambda px, py: frame(px, py) + 1.0,
                lambda px, py: light if (int((px - 2.0) // 3) + int((py - 2.0) // 3)) % 2 == 0 else dark)
    return canvas


# ----------------------------------------------------------------------------------------------
# The About box's product picture


PICTURE_SIZE = (144, 216)


def product_picture():
    width, height = PICTURE_SIZE
    canvas = Canvas(width, height, DIALOG_GREY)
    card = lambda px, py: sd_round_box(px, py, width / 2, height / 2 - 1.0, width / 2 - 3.0, height / 2 - 4.0, 12.0)
    for blur, alpha in ((3.0, 0.10), (2.0, 0.14), (1.0, 0.18)):
        paint_shape(canvas, (0, 0, width, height), lambda px, py, b=blur: card(px, py - 2.0) - b, (90, 90, 90), alpha)
    paint_shape(canvas, (0, 0, width, height), card,
                lambda px, py: gradient([(0.0, (66, 82, 110)), (0.55, (40, 50, 70)), (1.0, (24, 30, 44))],
                                        py / height))
    glow = Canvas(width, height)
    glow.fill(lambda px, py: canvas.get(int(px), int(py)))
    paint_glow(glow, width / 2, 62, 84, BRAND_TEAL, 0.35)
    for y in range(height):
        for x in range(width):
            inside = coverage(card(x + 0.5, y + 0.5))
            if inside > 0:
                canvas.blend(x, y, glow.get(x, y), inside)
    # Rim light and gloss of the card.
    paint_shape(canvas, (0, 0, width, height), lambda px, py: abs(card(px, py) + 0.5) - 0.5, (120, 140, 170), 0.9)
    paint_shape(canvas, (0, 0, width, height),
                lambda px, py: max(card(px, py) + 1.0, sd_circle(px, py, width * 0.2, -height * 0.9, height * 1.2)),
                (255, 255, 255), 0.05)
    draw_logo(canvas, (width - 76) / 2, 22.0, 76.0)
    # The name in rounded lettering, then the description.
    name_width = text_width("Vexlorin", 3)
    name_left = (width - name_width) // 2
    draw_smooth_text(canvas, "Vexlorin", name_left + 1, 114, (8, 12, 20), 3.0, alpha=0.55)
    draw_smooth_text(canvas, "Vexlorin", name_left, 113, (255, 255, 255), 3.0)
    line = "PNG SAVE PLUG-IN"
    draw_text(canvas, line, (width - text_width(line)) // 2, 142, (140, 232, 238))
    # A strip of palette chips, the last one transparent.
    chips = [(232, 72, 84), (248, 160, 56), (250, 214, 92), (96, 200, 110), (38, 186, 196), (70, 120, 230),
             (146, 92, 214)]
    size, gap = 11, 3
    row_left = (width - (len(chips) + 1) * size - len(chips) * gap) // 2
    top = 162
    for index in range(len(chips) + 1):
        left = row_left + index * (size + gap)
        chip = lambda px, py, l=left: sd_round_box(px, py, l + size / 2, top + size / 2, size / 2, size / 2, 2.0)
        if index < len(chips):
            color = chips[index]
            paint_shape(canvas, (left, top, left + size, top + size), chip,
                        lambda px, py, c=color: mix(lighten(c, 0.25), darken(c, 0.15), (py - top) / size))
        else:
            paint_shape(canvas, (left, top, left + size, top + size), chip,
                        lambda px, py, l=left: (255, 255, 255) if (int((px - l) // 3) + int((py - top) // 3)) % 2 == 0
                        else (186, 186, 186))
        paint_shape(canvas, (left, top, left + size, top + size), lambda px, py, c=chip: abs(c(px, py) + 0.5) - 0.5,
                    (12, 16, 24), 0.5)
    maker = "BRINDLEWERKS"
    draw_text(canvas, maker, (width - text_width(maker)) // 2, 190, (150, 168, 194))
    return canvas


# ----------------------------------------------------------------------------------------------


def artwork():
    """Every bitmap: (resource ID, file name, canvas), in resource ID order."""
    images = []
    for look, ids in (("normal", (155, 159, 163)), ("hover", (156, 160, 164)), ("default", (157, 161, 165)),
                      ("pressed", (158, 162, 166))):
        for part, (resource_id, canvas) in zip(("left", "middle", "right"), zip(ids, button_skins(look))):
            images.append((resource_id, "button_%s_%s.bmp" % (look, part), canvas))

    left_background = left_strip_background()
    right_background = right_strip_background()
    about = {look: about_button(left_background, look) for look in ("normal", "hover", "pressed")}
    web = {look: web_button(right_background, look) for look in ("normal", "hover", "pressed")}
    advert = {bright: advert_button(left_background, bright) for bright in (False, True)}
    images += [
        (130, "lock_disabled.bmp", padlock("disabled")),
        (131, "lock_normal.bmp", padlock("normal")),
        (132, "lock_hover.bmp", padlock("hover")),
        (133, "transparent_light.bmp", checkerboard("light")),
        (134, "transparent_normal.bmp", checkerboard("normal")),
        (139, "header_right.bmp", right_strip(web["normal"])),
        (140, "header_left.bmp", left_strip(about["normal"], advert[False])),
        (141, "header_middle.bmp", middle_tile()),
        (142, "about_normal.bmp", about["normal"]),
        (143, "site_pressed.bmp", web["pressed"]),
        (144, "site_hover.bmp", web["hover"]),
        (145, "site_normal.bmp", web["normal"]),
        (146, "about_pressed.bmp", about["pressed"]),
        (147, "about_hover.bmp", about["hover"]),
        (148, "advert_normal.bmp", advert[False]),
        (149, "advert_hover.bmp", advert[True]),
        (170, "product.bmp", product_picture()),
    ]
    return sorted(images, key=lambda entry: entry[0])


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
