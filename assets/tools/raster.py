"""Anti-aliased drawing on an RGB canvas and reduction to a colour table.

Shapes are signed distance functions in pixel units (negative inside); a pixel is covered
in proportion to how far inside its centre lies, which gives smooth one-pixel edges.
"""

import math


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def mix(a, b, t):
    """The colour t of the way from a to b."""
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def hex_colour(text):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


# --- shapes -------------------------------------------------------------------------------

def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def ellipse(cx, cy, rx, ry):
    # Not an exact distance, but close enough near the edge for one-pixel smoothing.
    def sdf(x, y):
        dx, dy = (x - cx) / rx, (y - cy) / ry
        length = math.hypot(dx, dy)
        return (length - 1.0) * min(rx, ry)
    return sdf


def capsule(ax, ay, bx, by, radius):
    """A thick line from a to b with round ends."""
    vx, vy = bx - ax, by - ay
    length_sq = vx * vx + vy * vy

    def sdf(x, y):
        t = clamp(((x - ax) * vx + (y - ay) * vy) / length_sq) if length_sq else 0.0
        return math.hypot(x - ax - vx * t, y - ay - vy * t) - radius
    return sdf


def round_rect(x0, y0, x1, y1, radius):
    """A rectangle covering x0..x1, y0..y1 (continuous coordinates) with rounded corners."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return sdf


def polygon(points, radius=0.0):
    """A closed polygon, its corners rounded by radius (the outline grows by radius)."""
    edges = list(zip(points, points[1:] + points[:1]))

    def sdf(x, y):
        best = math.inf
        inside = False
        for (ax, ay), (bx, by) in edges:
            vx, vy = bx - ax, by - ay
            t = clamp(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy))
            best = min(best, math.hypot(x - ax - vx * t, y - ay - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * vx / (by - ay):
                inside = not inside
        return (-best if inside else best) - radius
    return sdf


def translated(sdf, dx, dy):
    return lambda x, y: sdf(x - dx, y - dy)


def union(*sdfs):
    return lambda x, y: min(s(x, y) for s in sdfs)


# --- canvas -------------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, colour=(255, 255, 255)):
        self.width, self.height = width, height
        self.pixels = [tuple(float(c) for c in colour)] * (width * height)

    def copy(self):
        other = Canvas(self.width, self.height)
        other.pixels = list(self.pixels)
        return other

    def _clip(self, box):
        x0, y0, x1, y1 = box
        return (max(0, int(math.floor(x0))), max(0, int(math.floor(y0))),
                min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1))))

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0:
            return
        i = y * self.width + x
        self.pixels[i] = colour if alpha >= 1.0 else mix(self.pixels[i], colour, alpha)

    def paint(self, sdf, colour, box, opacity=1.0):
        """Paints a shape; colour is a colour or a function of the pixel (for gradients)."""
        x0, y0, x1, y1 = self._clip(box)
        for y in range(y0, y1):
            for x in range(x0, x1):
                coverage = clamp(0.5 - sdf(x + 0.5, y + 0.5))
                if coverage > 0.0:
                    c = colour(x, y) if callable(colour) else colour
                    self.blend(x, y, c, coverage * opacity)

    def paint_coverage(self, coverage, colour, dx=0, dy=0, opacity=1.0):
        """Paints a coverage map {(x, y): 0..1}, shifted by dx, dy (used for shadows)."""
        for (x, y), amount in sorted(coverage.items()):
            x, y = x + dx, y + dy
            if 0 <= x < self.width and 0 <= y < self.height:
                c = colour(x, y) if callable(colour) else colour
                self.blend(x, y, c, amount * opacity)

    def hline(self, x0, x1, y, colour):
        for x in range(x0, x1 + 1):
            self.pixels[y * self.width + x] = colour

    def vline(self, x, y0, y1, colour):
        for y in range(y0, y1 + 1):
            self.pixels[y * self.width + x] = colour

    def outline(self, x0, y0, x1, y1, colour):
        """A one-pixel rectangle outline through the pixels x0..x1, y0..y1 inclusive."""
        self.hline(x0, x1, y0, colour)
        self.hline(x0, x1, y1, colour)
        self.vline(x0, y0, y1, colour)
        self.vline(x1, y0, y1, colour)

    def rgb(self):
        """The pixels rounded to 8-bit colours."""
        return [(int(r + 0.5), int(g + 0.5), int(b + 0.5)) for r, g, b in self.pixels]


def supersampled_coverage(inside, box, samples=4):
    """Coverage {(x, y): 0..1} of a shape given as a point test, sampled samples² per pixel."""
    x0, y0, x1, y1 = (int(math.floor(box[0])), int(math.floor(box[1])),
                      int(math.ceil(box[2])), int(math.ceil(box[3])))
    offsets = [(i + 0.5) / samples for i in range(samples)]
    coverage = {}
    for y in range(y0, y1):
        for x in range(x0, x1):
            hits = sum(1 for oy in offsets for ox in offsets if inside(x + ox, y + oy))
            if hits:
                coverage[(x, y)] = hits / (samples * samples)
    return coverage


def grown(coverage, radius):
    """The coverage map dilated by radius pixels: for outlines around a shape."""
    reach = int(math.ceil(radius))
    kernel = [(dx, dy, clamp(radius + 0.5 - math.hypot(dx, dy)))
              for dy in range(-reach, reach + 1) for dx in range(-reach, reach + 1)]
    out = {}
    for (x, y), amount in coverage.items():
        for dx, dy, weight in kernel:
            if weight > 0.0:
                key = (x + dx, y + dy)
                value = amount * weight
                if value > out.get(key, 0.0):
                    out[key] = value
    return out


# --- colour table -------------------------------------------------------------------------

def _median_cut(histogram, count):
    """Splits the colour space into count boxes by pixel weight; returns their mean colours."""
    boxes = [sorted(histogram.items())]
    while len(boxes) < count:
        # Split the box with the widest channel range, weighted by how many pixels it holds.
        def score(box):
            if len(box) < 2:
                return -1
            spread = max(max(c[ch] for c, _ in box) - min(c[ch] for c, _ in box) for ch in range(3))
            return spread * sum(n for _, n in box)
        index = max(range(len(boxes)), key=lambda i: (score(boxes[i]), -i))
        box = boxes[index]
        if score(box) <= 0:
            break
        channel = max(range(3), key=lambda ch: (max(c[ch] for c, _ in box) - min(c[ch] for c, _ in box), -ch))
        box.sort(key=lambda item: (item[0][channel], item[0]))
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for cut in range(1, len(box)):
            running += box[cut - 1][1]
            if running * 2 >= total:
                break
        boxes[index:index + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        weight = sum(n for _, n in box)
        palette.append(tuple(int(sum(c[ch] * n for c, n in box) / weight + 0.5) for ch in range(3)))
    return palette


def build_palette(images, size, keep=()):
    """A colour table of exactly size entries for the given pixel lists.

    Colours in keep come first and are kept exactly (outline and text colours that must not
    shift); the rest are all distinct colours if they fit, else a median-cut reduction.
    """
    histogram = {}
    for pixels in images:
        for colour in pixels:
            histogram[colour] = histogram.get(colour, 0) + 1
    keep = list(dict.fromkeys(keep))
    rest = {c: n for c, n in histogram.items() if c not in keep}
    room = size - len(keep)
    if len(rest) <= room:
        chosen = sorted(rest, key=lambda c: (-rest[c], c))
    else:
        chosen = [c for c in _median_cut(rest, room) if c not in keep]
    palette = keep + chosen
    palette += [(0, 0, 0)] * (size - len(palette))
    return palette


def index_pixels(pixels, palette):
    """Maps every colour to its exact or nearest palette entry."""
    lookup = {colour: i for i, colour in reversed(list(enumerate(palette)))}
    out = []
    for colour in pixels:
        index = lookup.get(colour)
        if index is None:
            index = min(range(len(palette)),
                        key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))
            lookup[colour] = index
        out.append(index)
    return out
