#!/usr/bin/env python3
"""Draws Quorvane.ico: 32 x 32 pixels, 16 colours. A page going into a shredder,
coming out below as strips. Run it to rebuild the icon after changing the drawing."""
import struct

# The standard 16-colour palette (B, G, R, 0).
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]
WHITE, SILVER, GREY, BLACK, RED = 15, 7, 8, 0, 9  # RED is (B,G,R)=(0,0,255)


def pixel(x, y):
    """Colour index, or None for transparent."""
    if 6 <= x <= 25 and 2 <= y <= 13:            # the page going in
        if x == 6 or x == 25 or y == 2:
            return GREY
        return BLACK if (y in (5, 8, 11) and 9 <= x <= 22) else WHITE
    if 2 <= x <= 29 and 14 <= y <= 19:           # the shredder's body
        if y == 14 or y == 19 or x == 2 or x == 29:
            return BLACK
        return RED if (y == 16 and 22 <= x <= 26) else SILVER
    if 6 <= x <= 25 and 20 <= y <= 29:           # strips coming out
        if (x - 6) % 3 == 2:
            return None
        return WHITE if (x + y) % 5 else GREY
    return None


def main():
    rows_xor, rows_and = [], []
    for y in range(31, -1, -1):                  # bottom-up
        nibbles = [pixel(x, y) for x in range(32)]
        xor = bytes(((nibbles[i] or 0) << 4) | (nibbles[i + 1] or 0) for i in range(0, 32, 2))
        mask = 0
        for x in range(32):
            if nibbles[x] is None:
                mask |= 1 << (31 - x)
        rows_xor.append(xor)
        rows_and.append(struct.pack(">I", mask))
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, 512 + 128, 0, 0, 16, 0)
    image = header + palette + b"".join(rows_xor) + b"".join(rows_and)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    with open("Quorvane.ico", "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main()
