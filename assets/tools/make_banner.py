#!/usr/bin/env python3
"""Draws the animated banner with the program's web address.

A row of glossy tiles with a shine sweeping across them, an arrow that nudges towards the
address, and the address itself in large letters of many colours. Only the tiles and the
arrow change from frame to frame; after the first, each frame stores just the rectangle
that changed and leaves the rest of the picture in place.

The About window shows the banner cut to columns 10..442 and rows 1..60, so everything
that matters stays inside SAFE.
"""

import argparse
import math
import sys

import bitmap_font
import gif
import raster
from raster import hex_colour as c

WIDTH, HEIGHT = 450, 70
FRAMES = 19
DELAY = 33            # hundredths of a second per frame
COLOURS = 128         # entries in the colour table
SAFE = (12, 3, 430, 58)  # left, top, right, bottom (exclusive) of what every window shows
MID_Y = 30.5

BACKGROUND = c("#FFF9E6")
SHADOW = c("#E9DDBE")
TILE_COLOURS = [c("#FF6B6B"), c("#FFA94D"), c("#FFD43B"), c("#69DB7C"), c("#4DABF7")]
ARROW = c("#FF8787")
LETTER_COLOURS = [c("#F03E3E"), c("#F76707"), c("#F59F00"), c("#37B24D"),
                  c("#1098AD"), c("#1C7ED6"), c("#7048E8"), c("#D6336C")]

TILE_SIZE = 19
TILE_GAP = 4
TILES_LEFT = SAFE[0] + 4
ARROW_LENGTH = 30
GAP = 9
MAX_SCALE = 4.0
STRETCH = 1.3  # letters a little taller than wide fill the banner's height better
MIN_SCALE = 1.0


def darker(colour, amount=0.35):
    return raster.mix(colour, (40, 30, 60), amount)


def lighter(colour, amount=0.5):
    return raster.mix(colour, (255, 255, 255), amount)


def tile_boxes():
    top = MID_Y - TILE_SIZE / 2
    return [(TILES_LEFT + i * (TILE_SIZE + TILE_GAP), top,
             TILES_LEFT + i * (TILE_SIZE + TILE_GAP) + TILE_SIZE, top + TILE_SIZE)
            for i in range(len(TILE_COLOURS))]


def arrow_left():
    return tile_boxes()[-1][2] + GAP


def text_area():
    left = arrow_left() + ARROW_LENGTH + 4 + GAP  # room for the arrow's nudge
    return left, SAFE[2]


def fit_scale(address):
    left, right = text_area()
    width_at_one = bitmap_font.text_width(address, 1)
    scale = min(MAX_SCALE, (right - left) / width_at_one)
    if scale < MIN_SCALE:
        raise SystemExit(f"make_banner: the address {address!r} is too long for the banner "
                         f"({len(address)} characters; it has room for about "
                         f"{int((right - left) / 6)})")
    return scale


def draw_text(canvas, address):
    scale = fit_scale(address)
    left, right = text_area()
    width = bitmap_font.text_width(address, scale)
    x0 = left + (right - left - width) / 2
    height_scale = scale * STRETCH
    # Centre the glyph cells (descenders included) on the banner's middle line.
    y0 = MID_Y - bitmap_font.GLYPH_ROWS * height_scale / 2
    outline_width = max(1.0, scale * 0.45)
    colour_index = 0
    for glyph, x, y in bitmap_font.layout(address, x0, y0, scale):
        box = bitmap_font.glyph_box(glyph, x, y, scale, height_scale)
        inside = bitmap_font.glyph_inside(glyph, x, y, scale, height_scale)
        ink = raster.supersampled_coverage(inside, box)
        rim = raster.grown(ink, outline_width)
        colour = LETTER_COLOURS[colour_index % len(LETTER_COLOURS)]
        colour_index += 1
        canvas.paint_coverage(rim, SHADOW, dx=2, dy=2)
        canvas.paint_coverage(rim, darker(colour))
        canvas.paint_coverage(ink, colour)


def draw_tiles(canvas, frame):
    # The shine is a slanted band that crosses all tiles once per loop.
    boxes = tile_boxes()
    sweep_from, sweep_to = boxes[0][0] - 4, boxes[-1][2] + 4
    shine_x = sweep_from + (sweep_to - sweep_from) * frame / (FRAMES - 1)
    for box, colour in zip(boxes, TILE_COLOURS):
        x0, y0, x1, y1 = box
        area = (x0 - 2, y0 - 2, x1 + 4, y1 + 4)
        canvas.paint(raster.round_rect(x0 + 2, y0 + 2, x1 + 2, y1 + 2, 4), SHADOW, area)
        canvas.paint(raster.round_rect(x0, y0, x1, y1, 4), darker(colour, 0.25), area)
        face = raster.round_rect(x0 + 1.2, y0 + 1.2, x1 - 1.2, y1 - 1.2, 3)
        canvas.paint(face, colour, area)
        gloss = raster.round_rect(x0 + 3, y0 + 2.5, x1 - 3, y0 + TILE_SIZE * 0.45, 2.5)
        canvas.paint(gloss, lighter(colour, 0.55), area)

        def shine(x, y, face=face):
            band = abs((x - shine_x) + (y - MID_Y) * 0.6) - 3.0
            return max(band, face(x, y))
        canvas.paint(shine, (255, 255, 255), area, opacity=0.75)


def arrow_offset(frame):
    # Two gentle nudges towards the address per loop.
    return round(2 - 2 * math.cos(4 * math.pi * frame / FRAMES))


def draw_arrow(canvas, frame):
    x0 = arrow_left() + arrow_offset(frame)
    tip = x0 + ARROW_LENGTH
    head = tip - 13
    shape = raster.union(
        raster.round_rect(x0, MID_Y - 4, head + 2, MID_Y + 4, 3),
        raster.polygon([(head, MID_Y - 10), (tip - 1.5, MID_Y), (head, MID_Y + 10)], 1.5))
    area = (x0 - 2, MID_Y - 14, tip + 4, MID_Y + 15)
    canvas.paint(raster.translated(shape, 2, 2), SHADOW, area)
    canvas.paint(shape, darker(ARROW, 0.3), area)
    canvas.paint(lambda x, y: shape(x, y) + 1.3, ARROW, area)


def draw_frames(address):
    base = raster.Canvas(WIDTH, HEIGHT, BACKGROUND)
    draw_text(base, address)
    frames = []
    for frame in range(FRAMES):
        canvas = base.copy()
        draw_tiles(canvas, frame)
        draw_arrow(canvas, frame)
        frames.append(canvas.rgb())
    return frames


def changed_box(before, after):
    """The smallest rectangle holding every pixel that differs; at least one pixel."""
    xs, ys = [], []
    for i, (a, b) in enumerate(zip(before, after)):
        if a != b:
            xs.append(i % WIDTH)
            ys.append(i // WIDTH)
    if not xs:
        return 0, 0, 1, 1
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def encode(frames):
    palette = raster.build_palette(frames, COLOURS, keep=(BACKGROUND,))
    indexed = [raster.index_pixels(pixels, palette) for pixels in frames]
    gif_frames = [gif.Frame(indexed[0], WIDTH, HEIGHT, delay=DELAY)]
    for previous, current in zip(indexed, indexed[1:]):
        x0, y0, x1, y1 = changed_box(previous, current)
        part = [current[y * WIDTH + x] for y in range(y0, y1) for x in range(x0, x1)]
        gif_frames.append(gif.Frame(part, x1 - x0, y1 - y0, x0, y0, delay=DELAY))
    return gif.encode(WIDTH, HEIGHT, palette, gif_frames, loop=0, with_timing=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("address", help="the web address to show, without its scheme")
    parser.add_argument("output")
    args = parser.parse_args()
    address = args.address.strip()
    missing = bitmap_font.unsupported(address)
    if not address or missing:
        sys.exit(f"make_banner: cannot draw the address {args.address!r}: "
                 f"no glyph for {' '.join(repr(m) for m in missing) or 'an empty address'}")
    with open(args.output, "wb") as out:
        out.write(encode(draw_frames(address)))


if __name__ == "__main__":
    main()
