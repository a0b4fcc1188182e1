"""A 5 x 7 pixel font (with two rows below the baseline for g, j, p, q, y) and smooth,
rounded rendering of it at any size.

The glyph sheet below is the font: each block is a line naming up to ten characters, then
nine pixel rows of those characters side by side ('#' ink, '.' paper), six columns apart.
Rows 0-6 stand on the baseline; rows 7 and 8 are the descender.
"""

import math

GLYPH_SHEET = """
a     b     c     d     e     f     g     h     i     j
..... #.... ..... ....# ..... ..##. ..... #.... ..#.. ...#.
..... #.... ..... ....# ..... .#... ..... #.... ..... .....
.###. ####. .###. .#### .###. ####. .#### ####. .##.. ..##.
....# #...# #...# #...# #...# .#... #...# #...# ..#.. ...#.
.#### #...# #.... #...# ##### .#... #...# #...# ..#.. ...#.
#...# #...# #...# #...# #.... .#... #...# #...# ..#.. ...#.
.#### ####. .###. .#### .###. .#... .#### #...# .###. ...#.
..... ..... ..... ..... ..... ..... ....# ..... ..... #..#.
..... ..... ..... ..... ..... ..... .###. ..... ..... .##..

k     l     m     n     o     p     q     r     s     t
#.... .##.. ..... ..... ..... ..... ..... ..... ..... .#...
#.... ..#.. ..... ..... ..... ..... ..... ..... ..... .#...
#..#. ..#.. ##.#. ####. .###. ####. .#### #.##. .#### ####.
#.#.. ..#.. #.#.# #...# #...# #...# #...# ##..# #.... .#...
##... ..#.. #.#.# #...# #...# #...# #...# #.... .###. .#...
#.#.. ..#.. #.#.# #...# #...# #...# #...# #.... ....# .#..#
#..#. .###. #.#.# #...# .###. ####. .#### #.... ####. ..##.
..... ..... ..... ..... ..... #.... ....# ..... ..... .....
..... ..... ..... ..... ..... #.... ....# ..... ..... .....

u     v     w     x     y     z     A     B     C     D
..... ..... ..... ..... ..... ..... .###. ####. .###. ####.
..... ..... ..... ..... ..... ..... #...# #...# #...# #...#
#...# #...# #...# #...# #...# ##### #...# #...# #.... #...#
#...# #...# #...# .#.#. #...# ...#. ##### ####. #.... #...#
#...# #...# #.#.# ..#.. #...# ..#.. #...# #...# #.... #...#
#..## .#.#. #.#.# .#.#. #...# .#... #...# #...# #...# #...#
.##.# ..#.. .#.#. #...# .#### ##### #...# ####. .###. ####.
..... ..... ..... ..... ....# ..... ..... ..... ..... .....
..... ..... ..... ..... .###. ..... ..... ..... ..... .....

E     F     G     H     I     J     K     L     M     N
##### ##### .###. #...# .###. ..### #...# #.... #...# #...#
#.... #.... #...# #...# ..#.. ...#. #..#. #.... ##.## #...#
#.... #.... #.... #...# ..#.. ...#. #.#.. #.... #.#.# ##..#
####. ####. #.### ##### ..#.. ...#. ##... #.... #.#.# #.#.#
#.... #.... #...# #...# ..#.. ...#. #.#.. #.... #...# #..##
#.... #.... #...# #...# ..#.. #..#. #..#. #.... #...# #...#
##### #.... .#### #...# .###. .##.. #...# ##### #...# #...#
..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... .....

O     P     Q     R     S     T     U     V     W     X
.###. ####. .###. ####. .#### ##### #...# #...# #...# #...#
#...# #...# #...# #...# #.... ..#.. #...# #...# #...# #...#
#...# #...# #...# #...# #.... ..#.. #...# #...# #...# .#.#.
#...# ####. #...# ####. .###. ..#.. #...# #...# #.#.# ..#..
#...# #.... #.#.# #.#.. ....# ..#.. #...# #...# #.#.# .#.#.
#...# #.... #..#. #..#. ....# ..#.. #...# .#.#. #.#.# #...#
.###. #.... .##.# #...# ####. ..#.. .###. ..#.. .#.#. #...#
..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... .....

Y     Z     0     1     2     3     4     5     6     7
#...# ##### .###. ..#.. .###. .###. ...#. ##### ..##. #####
#...# ....# #...# .##.. #...# #...# ..##. #.... .#... ....#
.#.#. ...#. #...# ..#.. ....# ....# .#.#. ####. #.... ...#.
..#.. ..#.. #...# ..#.. ...#. ..##. #..#. ....# ####. ..#..
..#.. .#... #...# ..#.. ..#.. ....# ##### ....# #...# .#...
..#.. #.... #...# ..#.. .#... #...# ...#. #...# #...# .#...
..#.. ##### .###. .###. ##### .###. ...#. .###. .###. .#...
..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... .....

8     9     .     -     _     /     :     ~     +
.###. .###. ..... ..... ..... ....# ..... ..... .....
#...# #...# ..... ..... ..... ....# ..... ..... ..#..
#...# #...# ..... ..... ..... ...#. .##.. ..... ..#..
.###. .#### ..... ..... ..... ..#.. .##.. .#... #####
#...# ....# ..... ####. ..... .#... ..... #.#.# ..#..
#...# ...#. .##.. ..... ..... #.... .##.. ...#. ..#..
.###. .##.. .##.. ..... ..... #.... .##.. ..... .....
..... ..... ..... ..... ##### ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... .....

"""

GLYPH_COLUMNS = 5
GLYPH_ROWS = 9
BASELINE_ROWS = 7


def _parse_sheet(sheet):
    glyphs = {}
    lines = sheet.split("\n")
    i = 0
    while i < len(lines):
        header = lines[i]
        if not header.strip():
            i += 1
            continue
        names = header[0::6].rstrip()
        rows = lines[i + 1:i + 1 + GLYPH_ROWS]
        for n, name in enumerate(names):
            cells = [row[n * 6:n * 6 + GLYPH_COLUMNS] for row in rows]
            if len(cells) != GLYPH_ROWS or any(len(c) != GLYPH_COLUMNS for c in cells):
                raise ValueError(f"glyph {name!r} is not {GLYPH_COLUMNS} x {GLYPH_ROWS}")
            glyphs[name] = cells
        i += 1 + GLYPH_ROWS
    return glyphs


class Glyph:
    """One character as a set of ink cells, trimmed to the columns it uses."""

    def __init__(self, rows):
        used = [c for c in range(GLYPH_COLUMNS) if any(row[c] == "#" for row in rows)]
        first = used[0] if used else 0
        self.width = (used[-1] - first + 1) if used else 3
        self.cells = frozenset((c - first, r) for r, row in enumerate(rows)
                               for c, mark in enumerate(row) if mark == "#")

    def inside(self, u, v, radius=0.5):
        """Whether the point (u, v), in cell units from the glyph's top-left, is ink.

        Outer corners are rounded off and inner corners filled in with quarter circles of
        the given radius, so strokes get round ends and diagonal steps become smooth lines.
        """
        i, j = math.floor(u), math.floor(v)
        fu, fv = u - i, v - j
        sx = -1 if fu < 0.5 else 1   # the corner of the cell the point lies nearest to
        sy = -1 if fv < 0.5 else 1
        cells = self.cells
        across = (i + sx, j) in cells
        below = (i, j + sy) in cells
        # Distance from the nearest corner of the cell, along each axis.
        du = fu if sx < 0 else 1.0 - fu
        dv = fv if sy < 0 else 1.0 - fv
        in_corner = du < radius and dv < radius
        beyond_arc = math.hypot(radius - du, radius - dv) > radius
        if (i, j) in cells:
            return not (not across and not below and in_corner and beyond_arc)
        return across and below and in_corner and beyond_arc


GLYPHS = {name: Glyph(rows) for name, rows in _parse_sheet(GLYPH_SHEET).items()}


def unsupported(text):
    """The characters of text that the font has no glyph for."""
    return sorted(set(c for c in text if c not in GLYPHS and c != " "))


def text_width(text, scale):
    """Width in pixels of text set at scale pixels per cell, one cell between glyphs."""
    cells = sum(GLYPHS[c].width if c in GLYPHS else 3 for c in text) + max(len(text) - 1, 0)
    return cells * scale


def layout(text, left, top, scale):
    """Places each glyph: a list of (glyph, x, y) in pixels, top being row 0's top."""
    placed = []
    x = left
    for c in text:
        glyph = GLYPHS.get(c)
        if glyph is not None:
            placed.append((glyph, x, top))
        x += ((glyph.width if glyph else 3) + 1) * scale
    return placed


def glyph_box(glyph, x, y, scale, height_scale=None):
    return (x, y, x + glyph.width * scale, y + GLYPH_ROWS * (height_scale or scale))


def glyph_inside(glyph, x, y, scale, height_scale=None, radius=0.5):
    """The glyph's point test in pixel coordinates; height_scale stretches it upright."""
    height_scale = height_scale or scale
    return lambda px, py: glyph.inside((px - x) / scale, (py - y) / height_scale, radius)
