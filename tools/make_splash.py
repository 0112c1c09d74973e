#!/usr/bin/python3
"""Generate the start-up splash and the About dialog's tree picture.

  gui/icons/icons/splash.png  512 x 400: the title "Verdalis" over a landscape of layered
                              hills under a summer sky, with a broad tree in the foreground.
  gui/icons/icons/lignet.xpm  128 x 128 XPM: a tree on a grassy mound, transparent around.

Usage: tools/make_splash.py [OUTPUT_DIR]   (default: gui/icons/icons next to tools/)
"""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from texturenoise import mix, normalise, periodic_noise, smoothstep, to_uint8
from treepainter import OUTLINE, Canvas, branching_tree, write_xpm

SEED = 2026
FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def hill_profile(rng, width, base, amplitude, roughness):
    """A smooth random skyline (y for every column)."""
    n = periodic_noise(rng, 512, roughness)[0]
    x = np.linspace(0, 511, width).astype(int)
    return base - amplitude * normalise(n[x])


def landscape(rng, width, height):
    yy = np.arange(height)[:, None] * np.ones((1, width))
    # Sky: deep blue at the top, pale near the horizon, with soft clouds.
    t = smoothstep(0.0, 0.62 * height, yy)
    rgb = mix((58, 112, 192), (206, 226, 240), t ** 1.3)
    clouds = periodic_noise(rng, 512, 3.4)[:height, :width]
    stretch = periodic_noise(rng, 512, 3.0)[:height, :width]
    cover = smoothstep(0.6, 1.8, clouds + 0.4 * stretch) * smoothstep(0.05 * height, 0.35 * height, yy)
    rgb = mix(rgb, (250, 251, 253), 0.85 * cover)

    # Three layers of hills, bluer and paler with distance.
    layers = [
        (0.60, 44, 4.6, (128, 160, 170), (150, 178, 186)),
        (0.71, 44, 5.0, (90, 136, 96), (118, 158, 110)),
        (0.84, 36, 5.4, (66, 124, 56), (100, 156, 70)),
    ]
    for base, amp, rough, dark, light in layers:
        top = hill_profile(rng, width, base * height, amp, rough)[None, :]
        inside = yy >= top
        shade = smoothstep(0, 60, yy - top)
        texture = 0.06 * periodic_noise(rng, 512, 2.2)[:height, :width]
        colour = mix(light, dark, np.clip(shade + texture, 0, 1))
        rgb = np.where(inside[..., None], colour, rgb)
    return rgb


def splash(out):
    width, height = 512, 400
    rng = np.random.default_rng(SEED)
    background = Image.fromarray(to_uint8(landscape(rng, width, height)), "RGB").convert("RGBA")

    trees = Canvas(width, height)
    # Small trees on the middle hills, then the big tree in front.
    for x, y, h in ((60, 292, 34), (84, 296, 28), (150, 300, 30), (300, 288, 26), (330, 292, 32)):
        branching_tree(trees, rng, x, y, h, 2.0, depth=4, spread=24, leaf_size=3.2)
    branching_tree(trees, rng, 356, 374, 272, 15.0, depth=7, spread=26, leaf_size=9.5)
    tree_layer = trees.result()

    shadow = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).ellipse((270, 360, 460, 384), fill=(30, 60, 20, 110))
    shadow = shadow.filter(ImageFilter.GaussianBlur(6))

    picture = Image.alpha_composite(background, shadow)
    picture = Image.alpha_composite(picture, tree_layer)

    # Title and subtitle with a soft shadow.
    title_font = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSerif-Bold.ttf"), 62)
    sub_font = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSans.ttf"), 17)
    text = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    glow = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    for layer, colour in ((glow, (20, 50, 90, 170)), (text, (255, 255, 255, 255))):
        d = ImageDraw.Draw(layer)
        d.text((30, 26), "Verdalis", font=title_font, fill=colour)
        d.text((34, 104), "trees \u00b7 terrain \u00b7 ecosystem", font=sub_font,
               fill=colour if layer is glow else (240, 248, 255, 255))
    glow = glow.filter(ImageFilter.GaussianBlur(3))
    picture = Image.alpha_composite(picture, glow)
    picture = Image.alpha_composite(picture, text)
    picture.convert("RGB").save(os.path.join(out, "splash.png"), optimize=True)


def about_tree(out):
    size = 128
    rng = np.random.default_rng(SEED + 1)
    c = Canvas(size, size)
    c.ellipse((10, 104, 118, 134), OUTLINE)
    c.ellipse((12, 106, 116, 134), (100, 160, 64, 255))
    c.rounded((0, 122, 128, 128), 0, (0, 0, 0, 0))
    branching_tree(c, rng, 64, 114, 112, 9.0, depth=6, spread=28, leaf_size=6.5)
    picture = c.result()
    # The mound is cut off flat at the bottom edge of the picture.
    data = np.asarray(picture).copy()
    data[122:, :, 3] = 0
    write_xpm(Image.fromarray(data, "RGBA"), os.path.join(out, "lignet.xpm"), "lignet")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "gui", "icons", "icons")
    os.makedirs(out, exist_ok=True)
    splash(out)
    about_tree(out)


if __name__ == "__main__":
    main()
