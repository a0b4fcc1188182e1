#!/usr/bin/env python3
"""Makes the tick played with every new problem: a soft 250 Hz tone that swells for 90 ms
and then dies away into silence, as a 16-bit mono PCM WAV file of 8544 samples at 22050 Hz.
"""

import argparse
import math
import struct

RATE = 22050
SAMPLES = 8544
FREQUENCY = 250.0
PEAK = 8478                      # loudest sample, about a quarter of full scale: soft
PEAK_AT = round(0.090 * RATE)    # sample index of the loudest moment
SILENT_TAIL = round(0.010 * RATE)  # the last 10 ms are exact zeros
DECAY = 0.060                    # seconds for the tone to fall to 1/e of its peak


def envelope(n):
    """0 at the start, 1 at PEAK_AT, back to 0 where the silent tail begins."""
    end = SAMPLES - SILENT_TAIL
    if n <= 0 or n >= end:
        return 0.0
    if n <= PEAK_AT:
        return math.sin(0.5 * math.pi * n / PEAK_AT) ** 2
    decay = math.exp(-(n - PEAK_AT) / (DECAY * RATE))
    taper = math.cos(0.5 * math.pi * (n - PEAK_AT) / (end - PEAK_AT))  # reaches 0 at the end
    return decay * taper


def samples():
    # The tone is a cosine aligned with the peak of the envelope, so the loudest sample is
    # exactly PEAK at PEAK_AT and every other sample is quieter.
    out = []
    for n in range(SAMPLES):
        phase = 2.0 * math.pi * FREQUENCY * (n - PEAK_AT) / RATE
        out.append(int(round(PEAK * envelope(n) * math.cos(phase))))
    return out


def wav(values):
    data = struct.pack(f"<{len(values)}h", *values)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt \
        + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("output")
    args = parser.parse_args()
    values = samples()
    assert max(abs(v) for v in values) == PEAK and values[PEAK_AT] == PEAK
    with open(args.output, "wb") as out:
        out.write(wav(values))


if __name__ == "__main__":
    main()
