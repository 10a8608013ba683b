#!/usr/bin/env python3
"""Draws the program icon: a loudspeaker with sound waves, 32x32, 16 colours.

Writes seldunax/seldunax.ico (one image, 4 bits per pixel, with an AND
mask for the transparent background) using only the standard library.

    python3 scripts/make_icon.py [output.ico]
"""
import os
import struct
import sys

SIZE = 32

# The standard 16-colour VGA palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, LIGHT_GREY = 0, 7
NAVY, BLUE, YELLOW = 4, 12, 11
TRANSPARENT = None


def draw():
    """Returns rows (top first) of palette indexes or TRANSPARENT."""
    image = [[TRANSPARENT] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            image[y][x] = colour

    # Magnet box: x 3..9, y 11..20, black outline, grey face.
    for y in range(11, 21):
        for x in range(3, 10):
            edge = x in (3, 9) or y in (11, 20)
            put(x, y, BLACK if edge else LIGHT_GREY)
    # Cone: widens from the box to x 18, from y 11..20 to y 3..28.
    for x in range(10, 19):
        spread = (x - 9) * 8 // 9
        top, bottom = 11 - spread, 20 + spread
        for y in range(top, bottom + 1):
            edge = y in (top, bottom) or x == 18
            put(x, y, BLACK if edge else (BLUE if x < 17 else NAVY))
    # Three sound waves: arcs to the right of the cone.
    for radius, colour in ((4, YELLOW), (8, YELLOW), (12, YELLOW)):
        for y in range(16 - radius, 16 + radius + 1):
            dy = abs(y - 16)
            dx = int((radius * radius - dy * dy) ** 0.5 + 0.5)
            if dy * 3 <= radius * 2:
                put(18 + dx, y, colour)
                put(18 + dx + 1, y, colour)
    return image


def icon_bytes(image):
    """The .ico file: ICONDIR, one ICONDIRENTRY, then the DIB image."""
    xor_rows, and_rows = [], []
    for row in reversed(image):  # DIBs are stored bottom-up
        indexes = [BLACK if c is TRANSPARENT else c for c in row]
        xor_rows.append(bytes((indexes[i] << 4) | indexes[i + 1]
                              for i in range(0, SIZE, 2)))
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c is TRANSPARENT else 0)
        and_rows.append(struct.pack(">I", mask))  # 32 bits, MSB = left pixel
    xor_data, and_data = b"".join(xor_rows), b"".join(and_rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor_data) + len(and_data), 0, 0, 16, 0)
    dib = header + palette + xor_data + and_data
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(dib), 22)
    return icondir + entry + dib


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        root, "seldunax", "seldunax.ico")
    with open(out, "wb") as f:
        f.write(icon_bytes(draw()))


if __name__ == "__main__":
    main()
