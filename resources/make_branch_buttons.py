#!/usr/bin/env python3
"""Draws the 17 x 19 picture buttons of the branch pages as 24-bit bitmap files.

Each button is a small rounded plate with a symbol: a magnifier (SEARCH), a play arrow that starts
the search (SEARCHSTART), a left arrow (BACK) and a map pin (FINDER). The OUT picture is the resting
state, the OVER picture the one under the mouse. Run it from anywhere; it writes next to itself.
"""
import os
import struct

W, H = 17, 19

FACE_OUT = (0xE9, 0xEC, 0xF7)
FACE_OVER = (0xFF, 0xD9, 0x8C)
EDGE_OUT = (0x5A, 0x68, 0xA8)
EDGE_OVER = (0xC0, 0x6A, 0x10)
INK_OUT = (0x23, 0x2F, 0x6B)
INK_OVER = (0x7A, 0x2E, 0x00)
CORNER = (0xB6, 0xBF, 0xE0)  # the header colour the buttons sit on


def plate(face, edge):
    px = [[face for _ in range(W)] for _ in range(H)]
    for x in range(W):
        px[0][x] = edge
        px[H - 1][x] = edge
    for y in range(H):
        px[y][0] = edge
        px[y][W - 1] = edge
    for (x, y) in ((0, 0), (W - 1, 0), (0, H - 1), (W - 1, H - 1)):
        px[y][x] = CORNER
    return px


def disc(px, cx, cy, r_out, r_in, ink):
    for y in range(H):
        for x in range(W):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if r_in * r_in <= d2 <= r_out * r_out:
                px[y][x] = ink


def line(px, x0, y0, x1, y1, ink, thick=1):
    steps = max(abs(x1 - x0), abs(y1 - y0)) or 1
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for dx in range(thick):
            for dy in range(thick):
                if 0 <= x + dx < W and 0 <= y + dy < H:
                    px[y + dy][x + dx] = ink


def magnifier(px, ink):
    disc(px, 7, 7, 4.6, 2.8, ink)
    line(px, 10, 10, 13, 14, ink, thick=2)


def play(px, ink):
    for y in range(4, 15):
        half = 5 - abs(y - 9)
        for x in range(5, 5 + round(half * 1.6) + 1):
            px[y][x] = ink


def back(px, ink):
    for y in range(4, 15):
        half = 5 - abs(y - 9)
        for x in range(8 - half, 9):
            px[y][x] = ink
    for y in range(8, 11):
        for x in range(8, 14):
            px[y][x] = ink


def pin(px, ink):
    disc(px, 8, 7, 4.2, 1.5, ink)
    for y in range(11, 16):
        half = (15 - y) // 2
        for x in range(8 - half, 8 + half + 1):
            px[y][x] = ink


def write_bmp(path, px):
    row = W * 3
    pad = (4 - row % 4) % 4
    data = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up rows
        for (r, g, b) in px[y]:
            data += bytes((b, g, r))
        data += b"\0" * pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    symbols = {"SEARCH": magnifier, "SEARCHSTART": play, "BACK": back, "FINDER": pin}
    for name, draw in symbols.items():
        for state, face, edge, ink in (("OUT", FACE_OUT, EDGE_OUT, INK_OUT),
                                       ("OVER", FACE_OVER, EDGE_OVER, INK_OVER)):
            px = plate(face, edge)
            draw(px, ink)
            write_bmp(os.path.join(here, name + state + ".bmp"), px)


if __name__ == "__main__":
    main()
