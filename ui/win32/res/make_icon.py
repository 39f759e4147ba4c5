#!/usr/bin/env python3
"""Writes vantorel.ico, the application icon: a fighter seen from above, nose
up, in the 16 standard Windows colours, 32x32 and 16x16 at 4 bits per pixel.

The pictures are drawn below as their left halves; the right halves mirror
them, so the aircraft is symmetric by construction. Usage:
    make_icon.py [OUTPUT]   (default: vantorel.ico beside this script)
"""
import os
import struct
import sys

# The 16-colour palette every 4-bit Windows icon of the era used, so the icon
# looks the same on a 16-colour display as on a true-colour one.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# '.' is transparent; the others name palette entries.
COLOURS = {'k': 0, 'o': 3, 'r': 9, 'y': 11, 'b': 12, 'c': 14, 'w': 15}

LEFT_32 = [
    "................",
    "..........kkkkkk",  # propeller
    "..............kr",  # spinner
    ".............kyy",  # yellow nose ring
    "............kooo",
    "............kooo",
    "............kooo",
    "............kooo",
    "............kooo",
    "............kooo",
    "..kkkkkkkkkkkooo",  # wing leading edge
    ".koooobbbboooooo",
    ".koooobrrbooookc",  # roundel and canopy
    ".koooobrrbooookc",
    ".koooobbbbooookc",
    ".kooooooooooookc",
    "..kkkkkkkkkkkooo",  # wing trailing edge
    "............kooo",
    "............kooo",
    ".............koo",
    ".............koo",
    ".............koo",
    ".............koo",
    ".............koo",
    "........kkkkkkoo",  # tailplane
    ".......koooooooo",
    ".......koooooooo",
    "........kkkkkkoo",
    "..............ko",
    "..............kk",
    "................",
    "................",
]

LEFT_16 = [
    "........",
    ".....kkk",
    "......kr",
    "......ko",
    "......ko",
    ".kkkkkko",
    "koorookc",
    "koooookc",
    ".kkkkkko",
    "......ko",
    "......ko",
    "...kkkko",
    "..kooooo",
    "...kkkko",
    ".......k",
    "........",
]


def mirror(left):
    return [row + row[::-1] for row in left]


def image(rows):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colours, 1-bit mask."""
    size = len(rows)
    assert all(len(r) == size for r in rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, ch in enumerate(row):
            if ch == '.':
                bits[x // 8] |= 0x80 >> (x % 8)  # screen shows through
                continue
            line[x // 2] |= COLOURS[ch] << (4 if x % 2 == 0 else 0)
        xor += line
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), 'vantorel.ico')
    images = [(32, image(mirror(LEFT_32))), (16, image(mirror(LEFT_16)))]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, img in images:
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    for _, img in images:
        data += img
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
