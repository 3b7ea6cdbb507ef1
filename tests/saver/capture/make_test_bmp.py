"""Writes the 24-bit BMP the Wine test loads as a bitmap resource: 5 x 3 pixels,
pixel (x, y) (y from the top) = red (x * 37) & 255, green (y * 59) & 255,
blue (x + 3 y) & 255, rows padded to 4 bytes with 0xEE."""

import struct
import sys

WIDTH, HEIGHT = 5, 3


def main(path):
    stride = (WIDTH * 3 + 3) // 4 * 4
    rows = b""
    for y in reversed(range(HEIGHT)):  # bottom row first
        row = b"".join(bytes(((x + 3 * y) & 255, (y * 59) & 255, (x * 37) & 255))
                       for x in range(WIDTH))
        rows += row + b"\xee" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, 0, 0, 0, 0, 0)
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(head + info + rows)


if __name__ == "__main__":
    main(sys.argv[1])
