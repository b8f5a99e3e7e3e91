#!/usr/bin/env python3
"""Writes res/tarnwick.ico: one 16 x 16 image with 16 colours (4 bits a pixel).

The picture is a folder with a small play triangle: the program opens folders
of source files in the editor. Run it again after changing the drawing."""
import struct, sys, pathlib

# The 16 standard VGA colours, as the palette of a 4-bit bitmap (B, G, R, 0).
PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
           (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]

# One character a pixel, top row first: '.' transparent, digits/letters index the palette.
ART = [
    "................",
    "..00000.........",
    ".0BBBBB0........",
    "0BBBBBBB0000000.",
    "0BBBBBBBBBBBBB0.",
    "0BBBBBBBBBBBBB30",
    "0BBBBB2BBBBBBB30",
    "0BBBBB22BBBBBB30",
    "0BBBBB2A2BBBBB30",
    "0BBBBB2AA2BBBB30",
    "0BBBBB2A2BBBBB30",
    "0BBBBB22BBBBBB30",
    "0BBBBB2BBBBBBB30",
    "0BBBBBBBBBBBBB30",
    ".033333333333330",
    "..0000000000000.",
]

def main(out):
    w = h = 16
    xor_rows, and_rows = [], []
    for row in reversed(ART):  # bitmaps are stored bottom-up
        nibbles = [0 if c == '.' else int(c, 16) for c in row]
        xor_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, w, 2)))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c == '.' else 0)
        and_rows.append(struct.pack('>H', mask) + b'\0\0')  # rows padded to 4 bytes
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    image = header + palette + b''.join(xor_rows) + b''.join(and_rows)
    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', w, h, 16, 0, 1, 4, len(image), 6 + 16)
    pathlib.Path(out).write_bytes(icondir + entry + image)

if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else str(pathlib.Path(__file__).resolve().parent.parent / 'res' / 'tarnwick.ico'))
