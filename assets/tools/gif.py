"""A small GIF writer: global colour table, LZW-compressed frames, looping animation.

Written for the program's own pictures, so it covers exactly what they need: one global
colour table, no transparency, optional per-frame delays and sub-rectangle frames.
"""

import struct

# Frame delays and the looping extension are GIF89a features, so every file says 89a.
SIGNATURE = b"GIF89a"

# Graphic control extension disposal: leave the frame in place for the next one to draw over.
DISPOSE_KEEP = 1

_MAX_CODE = 4096  # codes are at most 12 bits wide


class _BitWriter:
    """Packs variable-width codes least significant bit first, as GIF wants."""

    def __init__(self):
        self.out = bytearray()
        self.accumulator = 0
        self.bit_count = 0

    def write(self, code, width):
        self.accumulator |= code << self.bit_count
        self.bit_count += width
        while self.bit_count >= 8:
            self.out.append(self.accumulator & 0xFF)
            self.accumulator >>= 8
            self.bit_count -= 8

    def finish(self):
        if self.bit_count:
            self.out.append(self.accumulator & 0xFF)
        return bytes(self.out)


def lzw_compress(indices, min_code_size):
    """LZW-codes a sequence of colour indices; returns the raw code stream (not yet in blocks)."""
    clear_code = 1 << min_code_size
    end_code = clear_code + 1
    writer = _BitWriter()

    def reset():
        return {}, end_code + 1, min_code_size + 1

    table, next_code, code_size = reset()
    writer.write(clear_code, code_size)
    if not indices:
        writer.write(end_code, code_size)
        return writer.finish()

    prefix = indices[0]
    for index in indices[1:]:
        key = (prefix << 8) | index
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        writer.write(prefix, code_size)
        if next_code < _MAX_CODE:
            table[key] = next_code
            next_code += 1
            # The decoder adds its entry one code later than we do, so it widens its codes
            # once our next free code has passed the current width.
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            writer.write(clear_code, code_size)
            table, next_code, code_size = reset()
        prefix = index
    writer.write(prefix, code_size)
    writer.write(end_code, code_size)
    return writer.finish()


def _sub_blocks(data):
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def _table_size_field(colour_count):
    """The 3-bit size field for a table of colour_count entries (a power of two, 2..256)."""
    field = colour_count.bit_length() - 2
    if colour_count < 2 or colour_count > 256 or 2 << field != colour_count:
        raise ValueError(f"a GIF colour table has 2, 4, ... 256 entries, not {colour_count}")
    return field


class Frame:
    """One image of the stream: a rectangle of colour indices placed on the logical screen."""

    def __init__(self, indices, width, height, left=0, top=0, delay=0):
        if len(indices) != width * height:
            raise ValueError("frame size does not match its pixel count")
        self.indices = indices
        self.width, self.height = width, height
        self.left, self.top = left, top
        self.delay = delay  # hundredths of a second


def encode(width, height, palette, frames, loop=None, with_timing=False):
    """Builds the whole GIF file.

    palette: list of (r, g, b), its length a power of two.
    loop: None for no looping extension, 0 for looping forever, n for n repeats.
    with_timing: write a graphic control extension (delay, disposal) before every frame.
    """
    size_field = _table_size_field(len(palette))
    min_code_size = max(2, size_field + 1)
    out = bytearray(SIGNATURE)
    colour_resolution = 7  # 8 bits per primary
    out += struct.pack("<HHBBB", width, height, 0x80 | colour_resolution << 4 | size_field, 0, 0)
    for r, g, b in palette:
        out += bytes((r, g, b))
    if loop is not None:
        out += b"\x21\xff\x0bNETSCAPE2.0" + struct.pack("<BBHB", 3, 1, loop, 0)
    for frame in frames:
        if with_timing:
            out += b"\x21\xf9\x04" + struct.pack("<BHBB", DISPOSE_KEEP << 2, frame.delay, 0, 0)
        out += b"\x2c" + struct.pack("<HHHHB", frame.left, frame.top, frame.width, frame.height, 0)
        out.append(min_code_size)
        out += _sub_blocks(lzw_compress(frame.indices, min_code_size))
    out += b"\x3b"
    return bytes(out)
