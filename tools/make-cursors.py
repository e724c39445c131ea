#!/usr/bin/env python3
"""Writes the drag-and-drop cursors of the control as 32 x 32 monochrome
.cur files with the hot spot at (0, 0):
  DropAllowed.cur  the arrow with a small hollow rectangle below and right of it
  DropRefused.cur  a black diagonal cross with a white outline
Usage: make-cursors.py <folder>"""
import struct
import sys

SIZE = 32
ARROW = [
    "B",
    "BB",
    "BWB",
    "BWWB",
    "BWWWB",
    "BWWWWB",
    "BWWWWWB",
    "BWWWWWWB",
    "BWWWWWWWB",
    "BWWWWWWWWB",
    "BWWWWWBBBBB",
    "BWWBWWB",
    "BWB BWWB",
    "BB  BWWB",
    "B    BWWB",
    "     BWWB",
    "      BWWB",
    "      BWWB",
    "       BB",
]


def blank():
    # None: transparent; 'B': black; 'W': white.
    return [[None] * SIZE for _ in range(SIZE)]


def drop_allowed():
    img = blank()
    for y, line in enumerate(ARROW):
        for x, c in enumerate(line):
            if c in "BW":
                img[y][x] = c
    # Hollow rectangle: black frame with a white edge on both sides of it.
    left, top, right, bottom = 12, 20, 26, 29
    for y in range(top - 1, bottom + 2):
        for x in range(left - 1, right + 2):
            on_frame = (x in (left, right) and top <= y <= bottom) or (y in (top, bottom) and left <= x <= right)
            near = left - 1 <= x <= right + 1 and top - 1 <= y <= bottom + 1
            inner = left + 1 <= x <= right - 1 and top + 1 <= y <= bottom - 1
            if on_frame:
                img[y][x] = "B"
            elif near and not (left + 2 <= x <= right - 2 and top + 2 <= y <= bottom - 2):
                if img[y][x] is None or inner:
                    img[y][x] = "W"
    return img


def drop_refused():
    img = blank()
    lo, hi, half = 2, 21, 1  # the bars are three pixels thick
    black = set()
    for i in range(lo, hi + 1):
        for d in range(-half, half + 1):
            black.add((i + d, i))
            black.add((lo + hi - i + d, i))
    for (x, y) in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                px, py = x + dx, y + dy
                if 0 <= px < SIZE and 0 <= py < SIZE and (px, py) not in black:
                    img[py][px] = "W"
    for (x, y) in black:
        img[y][x] = "B"
    return img


def cursor(img):
    def rows(bit):
        out = bytearray()
        for y in reversed(range(SIZE)):  # bottom-up
            for byte in range(SIZE // 8):
                v = 0
                for b in range(8):
                    if bit(img[y][byte * 8 + b]):
                        v |= 0x80 >> b
                out.append(v)
        return bytes(out)

    xor = rows(lambda c: c == "W")
    mask = rows(lambda c: c is None)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + xor + mask
    # Directory: one 32 x 32 two-colour image, hot spot (0, 0).
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, 0, 0, len(image), 22)
    return directory + image


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    for name, img in (("DropAllowed.cur", drop_allowed()), ("DropRefused.cur", drop_refused())):
        with open(f"{folder}/{name}", "wb") as f:
            f.write(cursor(img))


if __name__ == "__main__":
    main()
