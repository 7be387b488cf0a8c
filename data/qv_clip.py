#!/usr/bin/env python3
"""Writes qv.dat, the clip the programming progress dialog loops while a run
goes on: a sound wave flowing from the left into a chip on the right, whose
cells fill one after another. An animated GIF, 260 x 40, silent, looping;
written with the standard library only (GIF89a with its own LZW coder).

usage: qv_clip.py OUTPUT
"""
import math
import struct
import sys

WIDTH, HEIGHT = 260, 40
FRAMES = 18
DELAY_CS = 8  # hundredths of a second per frame

# Palette: background, wave, chip body, empty cell, filled cell, pins, outline, spare.
PALETTE = [
    (0xEC, 0xE9, 0xD8),
    (0x1E, 0x5A, 0xC8),
    (0x40, 0x40, 0x48),
    (0x70, 0x70, 0x78),
    (0x30, 0xC0, 0x50),
    (0xA0, 0xA0, 0xA0),
    (0x10, 0x10, 0x10),
    (0xFF, 0xFF, 0xFF),
]
BG, WAVE, BODY, CELL, FILLED, PIN, OUTLINE, WHITE = range(8)

CHIP_X0, CHIP_X1 = 196, 250
CHIP_Y0, CHIP_Y1 = 8, 32
CELLS = 6


def frame(n):
    px = [[BG] * WIDTH for _ in range(HEIGHT)]

    def put(x, y, c):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            px[y][x] = c

    # The wave: a sine whose phase moves right with each frame, fading in
    # amplitude towards the chip's pins.
    phase = 2 * math.pi * n / FRAMES
    prev = None
    for x in range(6, CHIP_X0 - 8):
        amp = 12 * (0.35 + 0.65 * math.sin(math.pi * x / (CHIP_X0 - 8)))
        y = int(round(HEIGHT / 2 + amp * math.sin(x / 7.0 - phase)))
        lo, hi = (y, y) if prev is None else (min(prev, y), max(prev, y))
        for yy in range(lo, hi + 1):
            put(x, yy, WAVE)
            put(x, yy + 1, WAVE)
        prev = y
    # The chip: pins above and below, body, outline, then its cells.
    for x in range(CHIP_X0 + 4, CHIP_X1 - 2, 6):
        for y in list(range(CHIP_Y0 - 4, CHIP_Y0)) + list(range(CHIP_Y1 + 1, CHIP_Y1 + 5)):
            put(x, y, PIN)
            put(x + 1, y, PIN)
    for y in range(CHIP_Y0, CHIP_Y1 + 1):
        for x in range(CHIP_X0, CHIP_X1 + 1):
            edge = y in (CHIP_Y0, CHIP_Y1) or x in (CHIP_X0, CHIP_X1)
            put(x, y, OUTLINE if edge else BODY)
    filled = n * (CELLS + 1) // FRAMES
    cell_w = (CHIP_X1 - CHIP_X0 - 4) // CELLS
    for i in range(CELLS):
        x0 = CHIP_X0 + 3 + i * cell_w
        for y in range(CHIP_Y0 + 6, CHIP_Y1 - 5):
            for x in range(x0, x0 + cell_w - 2):
                put(x, y, FILLED if i < filled else CELL)
    # The lead from the wave's end into the chip.
    for x in range(CHIP_X0 - 8, CHIP_X0):
        put(x, HEIGHT // 2, PIN)
    return [c for row in px for c in row]


def lzw(pixels, min_size):
    """GIF's variable-width LZW: codes grow from min_size + 1 bits up to 12,
    the table starts over with a clear code when it is full."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    acc = bits = 0

    def emit(code, width):
        nonlocal acc, bits
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    def fresh():
        return {(i,): i for i in range(clear)}, end + 1, min_size + 1

    table, next_code, width = fresh()
    emit(clear, width)
    word = ()
    for p in pixels:
        grown = word + (p,)
        if grown in table:
            word = grown
            continue
        emit(table[word], width)
        if next_code < 4096:
            table[grown] = next_code
            next_code += 1
            # The reader adds its entry one code later than we do, so the
            # width grows once the code just added no longer fits.
            if next_code - 1 == (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, next_code, width = fresh()
        word = (p,)
    emit(table[word], width)
    emit(end, width)
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif():
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", WIDTH, HEIGHT, 0xF2, BG, 0)  # global table of 8 colours
    for r, g, b in PALETTE:
        out += bytes((r, g, b))
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for n in range(FRAMES):
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x04, DELAY_CS, 0, 0)
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, WIDTH, HEIGHT, 0)
        out.append(3)
        out += sub_blocks(lzw(frame(n), 3))
    out.append(0x3B)
    return bytes(out)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as f:
        f.write(gif())
