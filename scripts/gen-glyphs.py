#!/usr/bin/env python3
"""Draws the search screen's glyph bitmaps and writes them as 24-bit uncompressed BMP files.

The four row buttons carry plain arrowheads given row by row; the Clear key shows a pencil
rubbing out and the Exit key a door with an arrow pointing into it, both drawn from a few
shapes. The bitmaps are committed; run this again only to change them:

    scripts/gen-glyphs.py [output folder]    (default: QMR41726/screen/glyphs)
"""

import math
import os
import struct
import sys

WHITE = (0xFF, 0xFF, 0xFF)
BLACK = (0x00, 0x00, 0x00)
ARROW = (0x30, 0x00, 0x60)        # dark violet of the row buttons' arrows
CLEAR_BACK = (0x00, 0x40, 0x80)   # dark blue behind the pencil
EXIT_BACK = (0x80, 0x80, 0x00)    # olive behind the door
YELLOW = (0xFF, 0xFF, 0x00)
GREY = (0x80, 0x80, 0x80)
LIGHT_GREY = (0xC0, 0xC0, 0xC0)
OLIVE = (0x80, 0x80, 0x00)
MAGENTA = (0xFF, 0x00, 0xFF)
RED = (0xFF, 0x00, 0x00)
TEAL = (0x00, 0x80, 0x80)
LIME = (0x00, 0xFF, 0x00)


class Image:
    """A width x height grid of RGB triples, row 0 at the top."""

    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def fill_rect(self, left, top, right, bottom, colour):
        """Fills left..right-1 by top..bottom-1."""
        for y in range(top, bottom):
            for x in range(left, right):
                self.set(x, y, colour)


def write_bmp(path, image):
    """Writes a bottom-up 24-bit BMP without a palette, rows padded to four bytes."""
    row_size = (image.width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(image.height - 1, -1, -1):
        row = bytearray()
        for (r, g, b) in image.pixels[y]:
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        data += row
    header_size = 14 + 40
    file_header = struct.pack('<2sIHHI', b'BM', header_size + len(data), 0, 0, header_size)
    info_header = struct.pack('<IiiHHIIiiII', 40, image.width, image.height, 1, 24, 0, len(data),
                              3780, 3780, 0, 0)
    with open(path, 'wb') as f:
        f.write(file_header + info_header + data)


def arrowhead(height, runs):
    """A 21-pixel-wide glyph whose row i (from the top) holds a centred run of runs[i] pixels."""
    image = Image(21, height, WHITE)
    for y, run in enumerate(runs):
        start = (21 - run) // 2
        image.fill_rect(start, y, start + run, y + 1, ARROW)
    return image


def widening(first, last):
    return list(range(first, last + 1, 2))


def navigation_glyphs():
    full_up = widening(1, 21)
    lower_up = widening(11, 21)
    return {
        'sbtRolarCima': arrowhead(12, full_up),
        'sbtRolarBaixo': arrowhead(11, full_up[::-1]),
        'sbtPrimeiro': arrowhead(20, full_up + lower_up),
        'sbtUltimo': arrowhead(20, [0, 0, 0] + lower_up[::-1] + full_up[::-1]),
    }


def outline(image, inside, background, colour):
    """Paints `colour` on background pixels that touch a pixel for which inside(x, y) holds."""
    marks = []
    for y in range(image.height):
        for x in range(image.width):
            if inside(x, y) or image.get(x, y) != background:
                continue
            if any(inside(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                marks.append((x, y))
    for (x, y) in marks:
        image.set(x, y, colour)


def pencil_glyph():
    """A pencil lying from the upper right down to the lower left, its eraser on a white smudge."""
    image = Image(40, 38, CLEAR_BACK)
    # The smudge the eraser rubs on, under the lower-left end.
    for y in range(30, 37):
        for x in range(1, 18):
            if ((x - 9.0) / 7.5) ** 2 + ((y - 33.0) / 2.8) ** 2 <= 1.0:
                image.set(x, y, WHITE)
    # Axis from the eraser end (lower left) to the olive end (upper right).
    x0, y0, x1, y1 = 7.0, 30.0, 35.0, 3.0
    length = math.hypot(x1 - x0, y1 - y0)
    ax, ay = (x1 - x0) / length, (y1 - y0) / length
    half_width = 4.2

    def along_across(x, y):
        dx, dy = x + 0.5 - x0, y + 0.5 - y0
        return (dx * ax + dy * ay) / length, dx * -ay + dy * ax

    def inside(x, y):
        u, v = along_across(x, y)
        return 0.0 <= u <= 1.0 and abs(v) <= half_width

    for y in range(image.height):
        for x in range(image.width):
            if not inside(x, y):
                continue
            u, v = along_across(x, y)
            image.set(x, y, pencil_colour(u, v, half_width))
    outline(image, inside, CLEAR_BACK, BLACK)
    outline(image, inside, WHITE, BLACK)
    return image


def pencil_colour(u, v, half_width):
    """Colour of the pencil at fraction u along it and v pixels across its axis."""
    if u < 0.10:
        return RED if v > 0 else MAGENTA
    if u < 0.20:
        return LIGHT_GREY if abs(v) < half_width / 2 else GREY
    if u > 0.86:
        return OLIVE
    return GREY if v > half_width / 3 else YELLOW


def door_glyph():
    """An open door at the left of a doorway, an arrow pointing into it, a chequered floor."""
    image = Image(36, 35, EXIT_BACK)
    # Chequered floor along the bottom, olive where the bottom-left corner is.
    for y in range(29, 35):
        for x in range(0, 36):
            if ((x // 3) + ((34 - y) // 3)) % 2 == 1:
                image.set(x, y, WHITE)
    # The doorway: a grey opening in a light frame.
    image.fill_rect(9, 2, 22, 29, LIGHT_GREY)
    image.fill_rect(11, 4, 20, 29, GREY)
    # The door, swung open towards the viewer at the left of the doorway.
    for x in range(2, 10):
        slant = (10 - x) // 2
        image.fill_rect(x, 2 + slant, x + 1, 29 - slant, TEAL)
    for y in range(6, 26):
        image.set(2, y, LIME)
    image.set(3, 5, LIME)
    image.set(3, 26, LIME)
    draw_arrow(image)
    return image


def draw_arrow(image):
    """A bright green arrow pointing left into the doorway, lit along its upper edge."""
    tip_x, mid_y = 13, 15
    for x in range(tip_x, tip_x + 7):
        spread = x - tip_x
        for y in range(mid_y - spread, mid_y + spread + 1):
            image.set(x, y, LIME)
        image.set(x, mid_y - spread, WHITE)
    image.fill_rect(tip_x + 7, mid_y - 3, 33, mid_y + 4, LIME)
    image.fill_rect(tip_x + 7, mid_y - 3, 33, mid_y - 2, WHITE)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'QMR41726', 'screen', 'glyphs')
    os.makedirs(folder, exist_ok=True)
    glyphs = navigation_glyphs()
    glyphs['sbtLimpar'] = pencil_glyph()
    glyphs['sbtSair'] = door_glyph()
    for name, image in glyphs.items():
        write_bmp(os.path.join(folder, name + '.bmp'), image)


if __name__ == '__main__':
    main()
