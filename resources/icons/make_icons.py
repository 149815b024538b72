#!/usr/bin/python3
"""Draws the tool bar icons (24 x 24 PNG) of the main window.

Run from this folder: /usr/bin/python3 make_icons.py (Pillow). Each button gets a small
picture of what it does, on a tinted tile that groups related buttons."""
from PIL import Image, ImageDraw

S = 24
FILE, CAMERA, VIEW, SETUP, PROCESS, COLOUR, GUIDE = (
    (70, 110, 170), (60, 60, 60), (40, 120, 120), (110, 110, 110), (150, 90, 40), (150, 50, 120), (50, 130, 60))


def tile(colour):
    im = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    d.rounded_rectangle((1, 1, S - 2, S - 2), radius=4, fill=colour + (255,), outline=(20, 20, 20, 255))
    return im, d


W = (255, 255, 255, 255)
Y = (255, 220, 60, 255)


def save(name, im):
    im.save(f"tool_{name}.png")


def disk(tint, mark):
    im, d = tile(tint)
    d.rectangle((6, 5, 18, 19), outline=W, width=2)
    d.rectangle((9, 5, 15, 9), fill=W)
    d.text((8, 10), mark, fill=Y)
    return im


save(24333, disk(FILE, "R"))
save(24335, disk(FILE, "F"))
save(133, disk(FILE, "3"))
im, d = tile(FILE)
d.polygon([(4, 9), (10, 9), (12, 7), (20, 7), (20, 19), (4, 19)], outline=W, width=2)
save(24332, im)

im, d = tile(CAMERA)  # camera body and lens
d.rectangle((4, 8, 20, 18), outline=W, width=2)
d.ellipse((9, 10, 15, 16), outline=Y, width=2)
save(12, im)
im, d = tile(GUIDE)  # small guider camera with a cross
d.rectangle((5, 9, 15, 17), outline=W, width=2)
d.line((18, 6, 18, 14), fill=Y, width=1)
d.line((14, 10, 22, 10), fill=Y, width=1)
save(27, im)


def stretch(on):
    im, d = tile(VIEW)
    d.line([(4, 19), (8, 9), (12, 6), (20, 5)], fill=W, width=2)
    if on:
        d.rectangle((3, 3, 20, 20), outline=Y, width=1)
    return im


save(1901, stretch(False))
save(1906, stretch(True))
im, d = tile(VIEW)
d.line([(4, 19), (20, 5)], fill=W, width=2)
save(1902, im)
im, d = tile(VIEW)  # slider
d.line((4, 12, 20, 12), fill=W, width=2)
d.rectangle((12, 8, 15, 16), fill=Y)
save(123, im)

im, d = tile(SETUP)  # check list
for y in (6, 11, 16):
    d.rectangle((5, y, 8, y + 3), outline=W)
    d.line((11, y + 2, 19, y + 2), fill=W, width=2)
save(121, im)

im, d = tile(PROCESS)  # star with aperture ring
d.ellipse((6, 6, 18, 18), outline=W, width=2)
d.ellipse((10, 10, 14, 14), fill=Y)
save(14, im)
im, d = tile(PROCESS)  # grid of values
for x in (6, 11, 16):
    for y in (6, 11, 16):
        d.rectangle((x, y, x + 2, y + 2), fill=W)
save(8124, im)

im, d = tile(COLOUR)
d.ellipse((4, 5, 14, 15), fill=(230, 60, 60, 255))
d.ellipse((10, 5, 20, 15), fill=(60, 200, 60, 255))
d.ellipse((7, 10, 17, 20), fill=(70, 90, 230, 255))
save(8115, im)
im, d = tile(COLOUR)  # balance
d.line((12, 5, 12, 19), fill=W, width=2)
d.line((5, 9, 19, 9), fill=W, width=2)
d.polygon([(4, 15), (8, 15), (6, 10)], fill=(230, 60, 60, 255))
d.polygon([(16, 15), (20, 15), (18, 10)], fill=(70, 90, 230, 255))
save(8116, im)
im, d = tile(COLOUR)  # anti-alias: checkerboard softened
for i in range(4):
    for j in range(4):
        if (i + j) % 2 == 0:
            d.rectangle((4 + 4 * i, 4 + 4 * j, 7 + 4 * i, 7 + 4 * j), fill=W)
save(8114, im)
im, d = tile(COLOUR)  # low pass: smooth wave
d.arc((3, 6, 13, 18), 180, 360, fill=W, width=2)
d.arc((11, 6, 21, 18), 0, 180, fill=W, width=2)
save(8129, im)


def curve(points):
    im, d = tile(PROCESS)
    d.line(points, fill=W, width=2)
    return im


save(1, curve([(4, 19), (20, 5)]))
save(117, curve([(4, 19), (7, 10), (12, 7), (20, 5)]))
save(2, curve([(4, 19), (12, 16), (17, 11), (20, 5)]))
im, d = tile(PROCESS)  # background removal: gradient cut
d.polygon([(4, 19), (20, 12), (20, 19)], fill=W)
d.line((4, 9, 20, 9), fill=Y, width=2)
save(120, im)
im, d = tile(PROCESS)  # sharpen
d.polygon([(12, 4), (18, 19), (6, 19)], outline=W, width=2)
save(106, im)
im, d = tile(PROCESS)  # hot pixel map
d.rectangle((5, 5, 19, 19), outline=W)
for x, y in ((8, 8), (15, 11), (10, 16)):
    d.rectangle((x, y, x + 1, y + 1), fill=(255, 80, 80, 255))
save(101, im)
im, d = tile(PROCESS)  # median
d.line((4, 12, 20, 12), fill=W, width=2)
for x, y in ((6, 7), (11, 16), (16, 8)):
    d.point((x, y), fill=Y)
save(3, im)
im, d = tile(PROCESS)  # dark subtraction
d.rectangle((5, 5, 19, 19), fill=(10, 10, 10, 255), outline=W)
d.line((8, 12, 16, 12), fill=W, width=2)
save(110, im)
im, d = tile(PROCESS)  # flat field
d.rectangle((5, 5, 19, 19), fill=(230, 230, 230, 255), outline=W)
d.line((8, 12, 16, 12), fill=(20, 20, 20, 255), width=1)
d.line((12, 8, 12, 16), fill=(20, 20, 20, 255), width=1)
save(115, im)
im, d = tile(PROCESS)  # merge: two overlapping frames
d.rectangle((4, 4, 14, 14), outline=W, width=2)
d.rectangle((10, 10, 20, 20), outline=Y, width=2)
save(111, im)
im, d = tile(GUIDE)  # telescope
d.line((5, 17, 18, 7), fill=W, width=3)
d.line((11, 13, 8, 20), fill=W, width=1)
d.line((11, 13, 15, 20), fill=W, width=1)
save(24, im)
