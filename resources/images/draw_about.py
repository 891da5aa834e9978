#!/usr/bin/env python3
"""Draws the about dialog's picture (171 x 240) and writes it as a progressive JPEG.

A stack of three archive boxes on a desk under an evening sky, with a few stars: shapes only,
drawn with the same cardboard box as the toolbar pictures. The picture is written as a binary
PPM and handed to ImageMagick's convert for the progressive JPEG encoding.

Run:  python3 resources/images/draw_about.py   (needs imagemagick)
"""

import os
import subprocess
import tempfile

from draw_pictures import Canvas, disc_mask, draw_box, lerp, rect_mask

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 171, 240

SKY_TOP = (24, 38, 92)
SKY_BOTTOM = (236, 150, 92)
DESK_TOP = (120, 78, 40)
DESK_BOTTOM = (70, 42, 20)
DESK_EDGE = (160, 110, 62)
MOON = (250, 244, 214)
STAR = (255, 255, 230)


def about_picture():
    cv = Canvas(W, H)
    desk_y = 176
    for y in range(H):
        for x in range(W):
            if y < desk_y:
                c = lerp(SKY_TOP, SKY_BOTTOM, y / (desk_y - 1))
            else:
                c = lerp(DESK_TOP, DESK_BOTTOM, (y - desk_y) / (H - desk_y - 1))
            cv.put(x, y, c)
    for x in range(W):
        cv.put(x, desk_y, DESK_EDGE)
    # Wood grain: a few darker streaks across the desk.
    for k, y in enumerate(range(desk_y + 9, H, 13)):
        for x in range((k * 17) % 40, W - 10, 3):
            cv.put(x, y, (0, 0, 0, 40))

    for x, y in disc_mask(132, 34, 15):
        cv.put(x, y, MOON)
    for x, y in disc_mask(138, 29, 13):  # the dark side makes a crescent
        cv.put(x, y, lerp(SKY_TOP, SKY_BOTTOM, y / (desk_y - 1)))
    for x, y in [(18, 20), (46, 12), (74, 30), (30, 52), (96, 16), (60, 64), (108, 56)]:
        for px, py in rect_mask(x, y, 2, 2):
            cv.put(px, py, STAR)
        cv.put(x - 1, y, (255, 255, 230, 120))
        cv.put(x + 2, y + 1, (255, 255, 230, 120))

    # Three boxes, the biggest at the bottom, each front face resting on what is below.
    draw_box(cv, 22, 116, 96, 56, 20)
    draw_box(cv, 38, 76, 64, 38, 14)
    draw_box(cv, 52, 48, 36, 24, 10)
    return cv


def write_ppm(cv, path):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (cv.w, cv.h))
        f.write(bytes(v for row in cv.px for p in row for v in p[:3]))


def main():
    cv = about_picture()
    out = os.path.join(HERE, "about.jpg")
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "about.ppm")
        write_ppm(cv, ppm)
        subprocess.run(
            ["convert", ppm, "-strip", "-interlace", "JPEG", "-quality", "90",
             "-sampling-factor", "1x1", out],
            check=True,
        )
    print("wrote", out)


if __name__ == "__main__":
    main()
