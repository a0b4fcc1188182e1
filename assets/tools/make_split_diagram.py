#!/usr/bin/env python3
"""Draws the split diagram that the main window shows behind its three number labels.

A box for the whole at the top, two strokes fanning out below it, and a box for each part.
The box outlines lie at fixed pixels because the number labels are placed just inside
them; the strokes stop short of the boxes so that no label ever covers a stroke.
"""

import argparse

import gif
import raster

WIDTH, HEIGHT = 421, 238

WHITE = (255, 255, 255)
GREY = (128, 128, 128)
BLACK = (0, 0, 0)

# Outlines, inclusive pixel coordinates (left, top, right, bottom).
WHOLE_BOX = (152, 10, 256, 73)
PART_BOXES = ((113, 162, 188, 225), (226, 162, 301, 225))

STROKE_RADIUS = 3.0  # a six-pixel stroke with round ends
STROKE_GAP = 5       # clear pixels between a stroke's end and a box outline


def centre_x(box):
    return (box[0] + box[2] + 1) / 2


def strokes():
    """Both strokes start side by side under the whole box and end above a part's centre."""
    top = WHOLE_BOX[3] + 1 + STROKE_GAP + STROKE_RADIUS
    bottom = PART_BOXES[0][1] - STROKE_GAP - STROKE_RADIUS
    apex = centre_x(WHOLE_BOX)
    return [(apex - 4, top, centre_x(PART_BOXES[0]), bottom),
            (apex + 4, top, centre_x(PART_BOXES[1]), bottom)]


def draw():
    canvas = raster.Canvas(WIDTH, HEIGHT, WHITE)
    for ax, ay, bx, by in strokes():
        box = (min(ax, bx) - 5, ay - 5, max(ax, bx) + 5, by + 5)
        canvas.paint(raster.capsule(ax, ay, bx, by, STROKE_RADIUS), BLACK, box)
    # The outlines go on last so they stay exactly grey.
    canvas.hline(0, WIDTH - 1, 0, GREY)
    canvas.vline(0, 0, HEIGHT - 1, GREY)
    for box in (WHOLE_BOX,) + PART_BOXES:
        canvas.outline(*box, GREY)
    return canvas.rgb()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("output")
    args = parser.parse_args()
    pixels = draw()
    palette = raster.build_palette([pixels], 16, keep=(WHITE, GREY, BLACK))
    frame = gif.Frame(raster.index_pixels(pixels, palette), WIDTH, HEIGHT)
    with open(args.output, "wb") as out:
        out.write(gif.encode(WIDTH, HEIGHT, palette, [frame]))


if __name__ == "__main__":
    main()
