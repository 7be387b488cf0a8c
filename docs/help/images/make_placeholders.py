#!/usr/bin/env python3
"""Writes the placeholder pictures of the help pages: a grey frame of each
picture's size with a cross through it. A screenshot script later replaces
them with the real windows under the same names."""
import os
import struct
import zlib

PICTURES = {
    "main_window.png": (640, 465),
    "segment_dialog.png": (406, 183),
    "program_dialog.png": (388, 129),
    "play_dialog.png": (295, 89),
    "volume_dialog.png": (313, 112),
    "settings_dialog.png": (321, 127),
}


def png(width, height):
    rows = []
    for y in range(height):
        row = bytearray([0])
        for x in range(width):
            edge = x < 2 or y < 2 or x >= width - 2 or y >= height - 2
            cross = abs(x * height - y * width) < width or abs((width - x) * height - y * width) < width
            v = 120 if edge else 190 if cross else 232
            row += bytes([v, v, v])
        rows.append(bytes(row))
    raw = zlib.compress(b"".join(rows), 9)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", raw) + chunk(b"IEND", b"")


here = os.path.dirname(os.path.abspath(__file__))
for name, (w, h) in PICTURES.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(png(w, h))
