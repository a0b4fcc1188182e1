#!/usr/bin/env python3
"""Draws the program icon, a glossy green ball with yellow lettering, as an ICO file for the
windows and as a PNG with a smooth alpha channel for the desktop's icon theme.

The ICO holds one 48 x 48 image in 24-bit colour with a one-bit mask: 40 bytes of header,
48 rows of 144 bytes of colour and 48 rows of 8 bytes of mask, 7336 bytes in all.
"""

import argparse
import struct
import zlib

import bitmap_font
import raster
from raster import hex_colour as c

SIZE = 48
LETTERING = "1+2"
CENTRE_X, CENTRE_Y, RADIUS = 24.0, 24.0, 23.5

RIM = c("#1E6B30")
BALL_LIGHT = c("#9BE8A5")
BALL_MID = c("#40C057")
BALL_DARK = c("#237A36")
LETTER = c("#FFE14D")
LETTER_EDGE = c("#1D5C2B")


def ball_colour(x, y):
    """A sphere lit from the upper left: light there, deep green towards the lower right."""
    lx, ly = CENTRE_X - 8, CENTRE_Y - 10
    t = raster.clamp(((x + 0.5 - lx) ** 2 + (y + 0.5 - ly) ** 2) ** 0.5 / (RADIUS * 1.55))
    if t < 0.45:
        return raster.mix(BALL_LIGHT, BALL_MID, t / 0.45)
    return raster.mix(BALL_MID, BALL_DARK, (t - 0.45) / 0.55)


def draw():
    """The colour picture (edge pixels already in the rim's colour) and its alpha, 0..1."""
    canvas = raster.Canvas(SIZE, SIZE, RIM)
    whole = (0, 0, SIZE, SIZE)
    canvas.paint(raster.circle(CENTRE_X, CENTRE_Y, RADIUS - 1.4), ball_colour, whole)

    scale, height_scale = 2.4, 3.2
    width = bitmap_font.text_width(LETTERING, scale)
    x0 = CENTRE_X - width / 2
    y0 = CENTRE_Y + 3 - bitmap_font.BASELINE_ROWS * height_scale / 2
    for glyph, x, y in bitmap_font.layout(LETTERING, x0, y0, scale):
        box = bitmap_font.glyph_box(glyph, x, y, scale, height_scale)
        inside = bitmap_font.glyph_inside(glyph, x, y, scale, height_scale)
        ink = raster.supersampled_coverage(inside, box)
        canvas.paint_coverage(raster.grown(ink, 1.3), LETTER_EDGE)
        canvas.paint_coverage(ink, LETTER)

    # The gloss: a bright cap on the upper half, fading downwards, over everything, and a
    # faint glow of reflected light along the bottom edge.
    gloss = raster.ellipse(CENTRE_X, CENTRE_Y - 13.0, 14.0, 7.5)
    glow = raster.ellipse(CENTRE_X, CENTRE_Y + 13.0, 15.0, 7.0)
    ball_inner = raster.circle(CENTRE_X, CENTRE_Y, RADIUS - 2.4)
    for y in range(SIZE):
        fade = raster.clamp(0.9 - (y - 3) / 17)
        for x in range(SIZE):
            px, py = x + 0.5, y + 0.5
            canvas.blend(x, y, (255, 255, 255), raster.clamp(0.5 - gloss(px, py)) * fade)
            rim_light = raster.clamp(0.5 - max(-glow(px, py) - 3.0, ball_inner(px, py)))
            canvas.blend(x, y, BALL_LIGHT, rim_light * 0.35 * raster.clamp((y - 30) / 12))

    ball = raster.circle(CENTRE_X, CENTRE_Y, RADIUS)
    alpha = [raster.clamp(0.5 - ball(x + 0.5, y + 0.5)) for y in range(SIZE) for x in range(SIZE)]
    return canvas.rgb(), alpha


def ico(pixels, alpha):
    """One 48 x 48 entry: BITMAPINFOHEADER, bottom-up BGR rows, bottom-up AND mask rows."""
    colour_rows, mask_rows = [], []
    for y in reversed(range(SIZE)):
        row = bytearray()
        bits = 0
        mask = bytearray()
        for x in range(SIZE):
            i = y * SIZE + x
            visible = alpha[i] >= 0.5
            r, g, b = pixels[i] if visible else (0, 0, 0)
            row += bytes((b, g, r))
            bits = bits << 1 | (0 if visible else 1)
            if x % 8 == 7:
                mask.append(bits)
                bits = 0
        mask += bytes(-len(mask) % 4)  # rows are padded to whole 32-bit words
        colour_rows.append(bytes(row + bytes(-len(row) % 4)))
        mask_rows.append(bytes(mask))
    colour = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 24, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


def png(pixels, alpha):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = bytearray()
    for y in range(SIZE):
        raw.append(0)  # no filter
        for x in range(SIZE):
            i = y * SIZE + x
            raw += bytes(pixels[i]) + bytes((int(alpha[i] * 255 + 0.5),))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("ico_output")
    parser.add_argument("png_output")
    args = parser.parse_args()
    pixels, alpha = draw()
    with open(args.ico_output, "wb") as out:
        out.write(ico(pixels, alpha))
    with open(args.png_output, "wb") as out:
        out.write(png(pixels, alpha))


if __name__ == "__main__":
    main()
