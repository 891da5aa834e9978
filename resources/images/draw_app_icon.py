#!/usr/bin/env python3
"""Draws the application icon for desktops and software centres.

The icon is the archive box of the window icon and the toolbar (the same cardboard tones and
blue strap, seen from the same side), drawn as vector shapes in winyk.svg, then rendered to
the PNG sizes desktops ask for. The 16- and 32-pixel window icons stay the pixel-exact ones of
draw_pictures.py, which the installed icon theme also uses at those sizes.

Run:  python3 resources/images/draw_app_icon.py   (needs rsvg-convert, from librsvg2-bin)
"""

import os
import subprocess

# The tones of the pixel box, so that both drawings stay one box.
from draw_pictures import (
    BOX_FRONT_HI,
    BOX_FRONT_LO,
    BOX_LINE,
    BOX_SIDE_HI,
    BOX_SIDE_LO,
    BOX_TOP,
    BOX_TOP_BACK,
    LABEL,
    LABEL_TEXT,
    STRAP,
    STRAP_HI,
    STRAP_LO,
)

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "icons")
SIZES = (24, 48, 64, 128, 256)


def rgb(c):
    return "#%02x%02x%02x" % c


def points(pts):
    return " ".join("%g,%g" % p for p in pts)


def svg():
    """The box on a 256 x 256 canvas: front face, lid and right side, strap, paper label."""
    x, y, w, h, d = 24, 88, 152, 144, 56  # front face and depth (45 degrees, up and right)
    front = [(x, y), (x + w, y), (x + w, y + h), (x, y + h)]
    lid = [(x, y), (x + d, y - d), (x + w + d, y - d), (x + w, y)]
    side = [(x + w, y), (x + w + d, y - d), (x + w + d, y + h - d), (x + w, y + h)]
    hull = [(x, y), (x + d, y - d), (x + w + d, y - d), (x + w + d, y + h - d), (x + w, y + h),
            (x, y + h)]
    sw = 26
    sx = x + (w - sw) / 2
    strap_lid = [(sx, y), (sx + d, y - d), (sx + sw + d, y - d), (sx + sw, y)]
    lx, ly, lw, lh = x + 12, y + 48, 40, 46
    line = rgb(BOX_LINE)
    out = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
        "<title>WinYk</title>",
        "<defs>",
        '<linearGradient id="lid" x1="0" y1="1" x2="0" y2="0">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (rgb(BOX_TOP), rgb(BOX_TOP_BACK)),
        '<linearGradient id="front" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (rgb(BOX_FRONT_HI), rgb(BOX_FRONT_LO)),
        '<linearGradient id="side" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (rgb(BOX_SIDE_HI), rgb(BOX_SIDE_LO)),
        '<linearGradient id="strap" x1="0" y1="0" x2="1" y2="0">'
        '<stop offset="0" stop-color="%s"/><stop offset="0.25" stop-color="%s"/>'
        '<stop offset="0.8" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (rgb(STRAP_HI), rgb(STRAP), rgb(STRAP), rgb(STRAP_LO)),
        "</defs>",
        # A soft drop shadow so the box stands off light and dark backgrounds alike.
        '<polygon points="%s" transform="translate(7,7)" fill="#000" fill-opacity="0.22"/>'
        % points(hull),
        '<polygon points="%s" fill="url(#lid)"/>' % points(lid),
        '<polygon points="%s" fill="url(#side)"/>' % points(side),
        '<polygon points="%s" fill="url(#front)"/>' % points(front),
        '<polygon points="%s" fill="%s"/>' % (points(strap_lid), rgb(STRAP_HI)),
        '<rect x="%g" y="%g" width="%g" height="%g" fill="url(#strap)"/>' % (sx, y, sw, h),
        '<rect x="%g" y="%g" width="%g" height="%g" fill="%s" stroke="#000" '
        'stroke-opacity="0.2" stroke-width="2"/>' % (lx, ly, lw, lh, rgb(LABEL)),
    ]
    for k, frac in enumerate((0.75, 0.55)):
        ty = ly + 14 + k * 14
        out.append('<rect x="%g" y="%g" width="%g" height="6" fill="%s"/>'
                   % (lx + 7, ty, (lw - 14) * frac + 4, rgb(LABEL_TEXT)))
    # Creases where the faces meet, then the outline over everything.
    out.append('<polyline points="%s" fill="none" stroke="%s" stroke-width="4" '
               'stroke-linejoin="round" stroke-opacity="0.55"/>'
               % (points([(x, y), (x + w, y), (x + w + d, y - d)]), line))
    out.append('<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="4" '
               'stroke-opacity="0.55"/>' % (x + w, y, x + w, y + h, line))
    out.append('<polygon points="%s" fill="none" stroke="%s" stroke-width="6" '
               'stroke-linejoin="round"/>' % (points(hull), line))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main():
    os.makedirs(OUT, exist_ok=True)
    path = os.path.join(OUT, "winyk.svg")
    with open(path, "w") as f:
        f.write(svg())
    for size in SIZES:
        subprocess.run(
            ["rsvg-convert", "-w", str(size), "-h", str(size), "-o",
             os.path.join(OUT, "winyk_%d.png" % size), path],
            check=True,
        )
    print("wrote winyk.svg and %d sizes to %s" % (len(SIZES), OUT))


if __name__ == "__main__":
    main()
