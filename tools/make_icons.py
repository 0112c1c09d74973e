#!/usr/bin/python3
"""Generate the action icons and the window icon under gui/icons/icons/.

Every action icon is a 48 x 48 RGBA PNG on a transparent ground, drawn in one style: flat
colours, a soft highlight and a dark green-grey outline. The window icon verdalis.png is a
128 x 128 badge with a tree on a hill.

Usage: tools/make_icons.py [OUTPUT_DIR]   (default: gui/icons/icons next to tools/)
"""

import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw

from treepainter import (BARK, LEAF_GREENS, OUTLINE, Canvas, arrow, branching_tree,
                         simple_tree)

SIZE = 48
SEED = 77

FOLDER = (240, 194, 84, 255)
FOLDER_DARK = (206, 152, 54, 255)
PAPER = (250, 250, 246, 255)
DISK = (72, 112, 184, 255)
DISK_DARK = (48, 80, 140, 255)
METAL = (186, 194, 206, 255)
WATER = (58, 138, 222, 255)
WATER_LIGHT = (150, 200, 246, 255)
SUN = (252, 204, 48, 255)
SUN_RAY = (246, 154, 30, 255)
WIND = (86, 128, 176, 255)
RED = (208, 64, 52, 255)
GRASS = (110, 168, 70, 255)
HILL = (96, 156, 64, 255)
WHITE = (255, 255, 255, 255)


def folder(c, open_flap=True):
    c.polygon([(4, 12), (17, 12), (20, 15), (40, 15), (40, 38), (4, 38)], FOLDER_DARK, OUTLINE)
    c.polygon([(9, 17), (35, 17), (35, 34), (9, 34)], PAPER, OUTLINE, 1.0)
    for y in (21, 25, 29):
        c.line([(13, y), (31, y)], (170, 170, 164, 255), 1.0)
    if open_flap:
        c.polygon([(9, 22), (45, 22), (40, 38), (4, 38)], FOLDER, OUTLINE)
    else:
        c.polygon([(4, 20), (40, 20), (40, 38), (4, 38)], FOLDER, OUTLINE)


def floppy(c):
    c.polygon([(5, 5), (37, 5), (43, 11), (43, 43), (5, 43)], DISK, OUTLINE)
    c.rounded((12, 5, 34, 18), 1, METAL, OUTLINE, 1.2)
    c.rounded((26, 7.5, 31, 15.5), 0.5, DISK_DARK)
    c.rounded((10, 24, 38, 43), 1.5, PAPER, OUTLINE, 1.2)
    for y in (30, 34.5, 39):
        c.line([(14, y), (34, y)], (150, 170, 200, 255), 1.2)


def icon_fileopen(c):
    folder(c)


def icon_filesave(c):
    floppy(c)


def icon_fileopenecosystem(c):
    folder(c)
    badge(c)


def icon_filesaveecosystem(c):
    floppy(c)
    badge(c)


def badge(c):
    """A small round view of a tree on a hill, marking the ecosystem variants of the file icons."""
    c.ellipse((24, 24, 47, 47), OUTLINE)
    c.ellipse((25.5, 25.5, 45.5, 45.5), (214, 236, 250, 255))
    c.polygon([(26.5, 40), (31, 36.5), (37, 37.5), (45, 35), (44, 41), (26.5, 41)], HILL)
    c.ellipse((25.5, 25.5, 45.5, 45.5), None, OUTLINE, 1.5)
    simple_tree(c, 35.5, 41, 15, line=1.0)


def strand_path(x0, spread, bend, steps=24):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        y = 44 - 38 * t
        fan = max(0.0, t - 0.45) / 0.55
        x = x0 + spread * fan ** 1.4 + bend * math.sin(math.pi * t) * 0.5
        pts.append((x, y))
    return pts


def icon_strands(c):
    # Six strands run together in the trunk and divide into a major and a minor branch.
    strands = [(-2.5, -13, 0), (-1.5, -12, 0), (-0.5, -11, 0), (0.5, -10, 0), (1.5, 12, 0), (2.5, 13.5, 0)]
    paths = [strand_path(24 + dx * 2.2, spread, bend) for dx, spread, bend in strands]
    for p in paths:
        c.line(p, OUTLINE, 3.6)
    shades = [BARK, (150, 108, 66, 255), BARK, (150, 108, 66, 255), (196, 128, 60, 255), (214, 150, 74, 255)]
    for p, col in zip(paths, shades):
        c.line(p, col, 2.0)


def icon_angles(c):
    c.line([(24, 45), (24, 27)], OUTLINE, 7.5)
    c.line([(24, 27), (10, 6)], OUTLINE, 5.5)
    c.line([(24, 27), (40, 9)], OUTLINE, 5.5)
    c.line([(24, 45), (24, 27)], BARK, 5.0)
    c.line([(24, 27), (10, 6)], BARK, 3.2)
    c.line([(24, 27), (40, 9)], BARK, 3.2)
    # The angle between the two branches.
    a0 = math.degrees(math.atan2(6 - 27, 10 - 24))
    a1 = math.degrees(math.atan2(9 - 27, 40 - 24))
    c.arc((12, 15, 36, 39), a0, a1, RED, 2.4)
    for a in (a0, a1):
        x = 24 + 12 * math.cos(math.radians(a))
        y = 27 + 12 * math.sin(math.radians(a))
        c.ellipse((x - 1.8, y - 1.8, x + 1.8, y + 1.8), RED)


def icon_scaling(c):
    # Side branches that shorten towards the top of the trunk, with a length marker.
    c.line([(16, 45), (16, 4)], OUTLINE, 6.0)
    c.line([(16, 45), (16, 4)], BARK, 3.8)
    for y, length in ((37, 24), (27, 17), (17, 10), (9, 5)):
        c.line([(16, y), (16 + length, y - 5)], OUTLINE, 4.2)
        c.line([(16, y), (16 + length, y - 5)], BARK, 2.2)
        c.ellipse((16 + length - 2.8, y - 7.8, 16 + length + 2.8, y - 2.2), LEAF_GREENS[2], OUTLINE, 1.0)
    arrow(c, (8, 40), (8, 10), RED, 2.2, 3.6)


def icon_gravimorphism(c):
    # A branch bending under its own weight, and the pull of gravity.
    c.line([(12, 45), (12, 6)], OUTLINE, 6.5)
    c.line([(12, 45), (12, 6)], BARK, 4.3)
    pts = [(12 + 26 * t, 16 - 10 * t + 26 * t * t) for t in np.linspace(0, 1, 20)]
    c.line(pts, OUTLINE, 4.6)
    c.line(pts, BARK, 2.6)
    c.ellipse((33, 27, 43, 37), LEAF_GREENS[2], OUTLINE, 1.2)
    arrow(c, (42, 6), (42, 24), (60, 110, 200, 255), 2.4, 4.0)


def icon_treescalars(c):
    simple_tree(c, 15, 45, 38, line=1.4)
    c.rounded((26, 7, 46, 41), 3, (238, 242, 246, 255), OUTLINE, 1.4)
    for y, pos in ((15, 34), (24, 40), (33, 31)):
        c.line([(30, y), (42, y)], (120, 128, 140, 255), 1.6)
        c.ellipse((pos - 3, y - 3, pos + 3, y + 3), DISK, OUTLINE, 1.0)


def icon_ecosystem(c):
    c.ellipse((-8, 28, 56, 70), OUTLINE)
    c.ellipse((-6.5, 29.5, 54.5, 68.5), HILL)
    c.ellipse((6, 33, 30, 40), (130, 186, 86, 255))
    simple_tree(c, 11, 37, 24, LEAF_GREENS[0], line=1.3)
    simple_tree(c, 36, 34, 31, LEAF_GREENS[1], line=1.3)
    simple_tree(c, 23, 43, 20, LEAF_GREENS[2], line=1.3)


def icon_moistureness(c):
    pts = []
    for i in range(61):
        a = math.pi * 2 * i / 60
        r = 14.0
        x = 24 + r * math.sin(a)
        y = 29 - r * math.cos(a)
        if math.cos(a) > 0.35:  # pull the top into a point
            k = (math.cos(a) - 0.35) / 0.65
            x = 24 + (x - 24) * (1 - k)
            y = y - k * 14
        pts.append((x, y))
    c.polygon(pts, WATER, OUTLINE, 1.6)
    c.ellipse((15, 26, 22, 38), WATER_LIGHT)
    c.ellipse((16.5, 28, 19.5, 33), WHITE)


def icon_sunniness(c):
    for k in range(12):
        a = math.pi * 2 * k / 12
        long_ray = k % 2 == 0
        r0, r1 = 15.5, (22.5 if long_ray else 19.5)
        p0 = (24 + r0 * math.cos(a), 24 + r0 * math.sin(a))
        p1 = (24 + r1 * math.cos(a), 24 + r1 * math.sin(a))
        c.line([p0, p1], OUTLINE, 4.2)
        c.line([p0, p1], SUN_RAY, 2.2)
    c.ellipse((11, 11, 37, 37), SUN, OUTLINE, 1.6)
    c.ellipse((15, 14, 25, 22), (255, 232, 140, 255))


def wind_streak(c, y, x0, x1, curl, colour, width=2.6):
    pts = [(x, y) for x in np.linspace(x0, x1, 12)]
    # A curl at the end, as wind is usually drawn.
    cx, cy = x1, y - curl
    for a in np.linspace(math.pi / 2, -math.pi * 0.9, 14):
        pts.append((cx + curl * math.cos(a), cy + curl * math.sin(a)))
    c.line(pts, OUTLINE, width + 2.0)
    c.line(pts, colour, width)


def icon_windiness(c):
    wind_streak(c, 16, 4, 32, 5.5, WIND)
    wind_streak(c, 27, 8, 40, 4.5, (120, 160, 206, 255))
    wind_streak(c, 38, 3, 26, 4.0, WIND)


def icon_navigate(c):
    c.ellipse((3, 3, 45, 45), (236, 240, 246, 255), OUTLINE, 1.6)
    c.ellipse((9, 9, 39, 39), None, (170, 180, 196, 255), 1.0)
    c.polygon([(24, 5), (29, 24), (19, 24)], RED, OUTLINE, 1.2)
    c.polygon([(24, 43), (29, 24), (19, 24)], (90, 100, 118, 255), OUTLINE, 1.2)
    c.polygon([(5, 24), (24, 20), (24, 28)], (150, 160, 176, 255), OUTLINE, 1.0)
    c.polygon([(43, 24), (24, 20), (24, 28)], (150, 160, 176, 255), OUTLINE, 1.0)
    c.ellipse((21.5, 21.5, 26.5, 26.5), WHITE, OUTLINE, 1.0)


def icon_area(c):
    c.rounded((3, 3, 45, 45), 3, (206, 232, 176, 255), OUTLINE, 1.4)
    for v in (13.5, 24, 34.5):
        c.line([(v, 4), (v, 44)], (170, 204, 140, 255), 1.0)
        c.line([(4, v), (44, v)], (170, 204, 140, 255), 1.0)
    # The plant area: a dashed frame around the middle of the terrain.
    for x0, y0, x1, y1 in ((12, 12, 36, 12), (36, 12, 36, 36), (36, 36, 12, 36), (12, 36, 12, 12)):
        for t in np.arange(0.0, 1.0, 0.25):
            a = (x0 + (x1 - x0) * t, y0 + (y1 - y0) * t)
            b = (x0 + (x1 - x0) * (t + 0.14), y0 + (y1 - y0) * (t + 0.14))
            c.line([a, b], RED, 2.4)
    simple_tree(c, 24, 33, 18, line=1.1)


def icon_stats(c):
    c.rounded((3, 4, 45, 44), 2.5, (248, 248, 244, 255), OUTLINE, 1.4)
    c.line([(9, 9), (9, 38), (41, 38)], OUTLINE, 1.6)
    colours = [(214, 70, 60, 255), (70, 166, 70, 255), (70, 110, 206, 255), (186, 80, 186, 255)]
    for i, (h, col) in enumerate(zip((18, 26, 12, 21), colours)):
        x = 12.5 + i * 7
        c.rounded((x, 38 - h, x + 5, 38), 0.8, col, OUTLINE, 1.0)
    pts = [(12, 28), (19, 20), (26, 23), (33, 13), (40, 15)]
    c.line(pts, (40, 40, 40, 255), 1.6)


def icon_play(c):
    c.polygon([(11, 5), (43, 24), (11, 43)], (64, 160, 72, 255), OUTLINE, 1.8)
    c.polygon([(14.5, 12), (33, 23), (14.5, 24)], (130, 206, 120, 255))


def icon_grow(c):
    c.line([(2, 44), (46, 44)], (120, 100, 70, 255), 2.0)
    simple_tree(c, 10, 44, 15, LEAF_GREENS[2], line=1.1)
    simple_tree(c, 32, 44, 40, LEAF_GREENS[1], line=1.4)
    arrow(c, (12, 24), (19, 13), RED, 2.2, 3.6)


def icon_wind(c):
    # A tree leaning away from the wind.
    c.polygon([(28, 45), (33, 45), (36, 26), (33, 25)], BARK, OUTLINE, 1.3)
    lobes = [(32, 22, 8.5), (41, 22, 7.0), (37, 13, 8.0)]
    for x, y, r in lobes:
        c.ellipse((x - r - 0.8, y - r - 0.8, x + r + 0.8, y + r + 0.8), OUTLINE)
    for x, y, r in lobes:
        c.ellipse((x - r + 0.6, y - r + 0.6, x + r - 0.6, y + r - 0.6), LEAF_GREENS[1])
    c.ellipse((32, 8, 37, 13), (120, 186, 80, 255))
    wind_streak(c, 14, 2, 17, 3.0, WIND, 2.2)
    wind_streak(c, 26, 5, 20, 3.0, WIND, 2.2)
    wind_streak(c, 37, 2, 16, 2.5, WIND, 2.2)


ICONS = {
    "fileopen.png": icon_fileopen,
    "filesave.png": icon_filesave,
    "fileopenecosystem.png": icon_fileopenecosystem,
    "filesaveecosystem.png": icon_filesaveecosystem,
    "strands.png": icon_strands,
    "angles.png": icon_angles,
    "scaling.png": icon_scaling,
    "gravimorphism.png": icon_gravimorphism,
    "treescalars.png": icon_treescalars,
    "ecosystem.png": icon_ecosystem,
    "moistureness.png": icon_moistureness,
    "sunniness.png": icon_sunniness,
    "windiness.png": icon_windiness,
    "navigate.png": icon_navigate,
    "area.png": icon_area,
    "stats.png": icon_stats,
    "play.png": icon_play,
    "grow.png": icon_grow,
    "wind.png": icon_wind,
}


def clip_to_circle(canvas, cx, cy, r):
    """Make everything outside a circle transparent (for the round window icon)."""
    mask = Image.new("L", canvas.image.size, 0)
    s = canvas.s
    ImageDraw.Draw(mask).ellipse(((cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s), fill=255)
    alpha = np.minimum(np.asarray(canvas.image)[..., 3], np.asarray(mask))
    data = np.asarray(canvas.image).copy()
    data[..., 3] = alpha
    canvas.image = Image.fromarray(data, "RGBA")
    canvas.draw = ImageDraw.Draw(canvas.image)


def window_icon():
    size = 128
    c = Canvas(size, size)
    rng = np.random.default_rng(SEED)
    # Sky with a vertical gradient, two hills and a tree, cut to a disc with a dark ring.
    sky = Canvas(size, size)
    for y in range(4, 124):
        t = (y - 4) / 120
        sky.line([(0, y), (size, y)], (int(112 + 120 * t), int(168 + 70 * t), int(232 + 18 * t), 255), 1.2,
                 joint=False)
    c.paste(sky)
    c.ellipse((-30, 84, 90, 150), (78, 144, 60, 255))
    c.ellipse((40, 90, 170, 160), (100, 164, 70, 255))
    branching_tree(c, rng, 64, 110, 92, 7.5, depth=6, spread=26.0, leaf_size=6.0)
    clip_to_circle(c, 64, 64, 60)
    ring = Canvas(size, size)
    ring.ellipse((4, 4, 124, 124), None, OUTLINE, 3.0)
    c.paste(ring)
    return c.result()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "gui", "icons", "icons")
    os.makedirs(out, exist_ok=True)
    for name, paint in ICONS.items():
        c = Canvas(SIZE, SIZE)
        paint(c)
        c.result().save(os.path.join(out, name), optimize=True)
    window_icon().save(os.path.join(out, "verdalis.png"), optimize=True)


if __name__ == "__main__":
    main()
