#!/usr/bin/env python3
"""Draws the wait dialog's picture: a handheld in its cradle with the HotSync arrows, 37 x 36
pixels, 16 colours (4 bits per pixel, the standard VGA palette). Writes hotsync.bmp beside this
script; run again after changing the drawing."""
import os
import struct

W, H = 37, 36
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
GREY, DARK, BLACK, WHITE, GREEN, RED, BLUE = 7, 8, 0, 15, 2, 9, 12

pixels = [[GREY] * W for _ in range(H)]


def rect(x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            pixels[y][x] = colour


# cradle
rect(4, 27, 32, 33, DARK)
rect(5, 28, 31, 32, BLACK)
rect(15, 30, 21, 31, BLUE)  # the HotSync button
# handheld standing in it
rect(10, 3, 26, 28, BLACK)
rect(11, 4, 25, 27, DARK)
rect(12, 5, 24, 17, GREEN)  # screen
rect(13, 20, 15, 22, WHITE)
rect(21, 20, 23, 22, WHITE)
# two arrows chasing each other over the screen
for i in range(5):
    pixels[8][15 + i] = RED
    pixels[14][17 + i] = BLUE
pixels[7][19] = pixels[9][19] = RED
pixels[13][17] = pixels[15][17] = BLUE

row_bytes = ((W * 4 + 31) // 32) * 4
data = bytearray()
for y in reversed(range(H)):  # bottom-up rows
    row = bytearray(row_bytes)
    for x in range(W):
        if x % 2 == 0:
            row[x // 2] |= pixels[y][x] << 4
        else:
            row[x // 2] |= pixels[y][x]
    data += row

palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
offset = 14 + 40 + len(palette)
header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(data), 2835, 2835, 16, 0)
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "hotsync.bmp"), "wb") as f:
    f.write(header + info + palette + data)
