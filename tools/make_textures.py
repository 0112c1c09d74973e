#!/usr/bin/python3
"""Generate the terrain, bark, leaf and detail textures under gui/textures/.

  height1.jpg .. height5.jpg  256 x 256, seamless ground colours from low to high land:
                              meadow, grass, forest floor, upland grass, pale rock.
                              The terrain texture tiles them 15 times and halves their
                              brightness, so they are kept fairly light.
  bark.jpg                    256 x 256, seamless bark with furrows running along the branch
                              (image rows run along the branch, columns around it).
  leaf.png                    256 x 256 RGBA, one leaf on white; the leaf stands upright on
                              the centre line and stays inside the centred diamond that a
                              four-slice disk shows of the texture. Near-white is keyed out
                              by the program, so the leaf itself never gets that light.
  detail.png                  512 x 512 grey noise around mid-grey, seamless; it is added
                              signed on top of the terrain colour and repeated 100 times.

Usage: tools/make_textures.py [OUTPUT_DIR]   (default: gui/textures next to tools/)
"""

import os
import sys

import numpy as np

from texturenoise import (mix, normalise, periodic_noise, periodic_shade, save_grey, save_rgb,
                          save_rgba, smoothstep)

SEED = 4711


def ground(rng, size, base, dark, light, patches, speckle, shade=18.0, contrast=0.5):
    """A seamless ground texture: base colour with darker and lighter patches and grain.

    The terrain texture takes one texel every 30 pixels or so of these images, so any strong
    variation turns into blotchy noise on the terrain; contrast keeps the patches gentle.
    """
    broad = periodic_noise(rng, size, 3.4)
    mid = periodic_noise(rng, size, 2.4)
    grain = periodic_noise(rng, size, 0.6)
    t_dark = smoothstep(0.2, 1.6, broad * patches + 0.5 * mid)
    t_light = smoothstep(0.4, 1.8, -broad * patches + 0.6 * mid)
    rgb = mix(base, dark, 0.75 * contrast * t_dark)
    rgb = mix(rgb, light, 0.6 * contrast * t_light)
    relief = 0.6 * mid + 0.4 * grain
    rgb += (contrast * (periodic_shade(relief, strength=shade) + speckle * grain))[..., None]
    return rgb


def height_textures(rng, out):
    size = 256
    # The terrain texture shows the mean of the two neighbouring bands in the middle of a band
    # and samples these images sparsely, so they carry broad patches rather than fine grain,
    # and neighbouring bands are chosen to mix into believable hill colours.

    # Meadow: fresh green with lighter sunny patches and a few flowers.
    meadow = ground(rng, size, (122, 180, 72), (92, 150, 58), (160, 200, 92), 1.0, 5.0, shade=10.0)
    flowers = periodic_noise(rng, size, 0.0) > 2.9
    meadow[flowers] = (225, 210, 100)
    save_rgb(meadow, os.path.join(out, "height1.jpg"))

    # Grass with darker clumps.
    grass = ground(rng, size, (98, 150, 60), (72, 112, 46), (126, 170, 72), 1.3, 5.0, shade=10.0)
    save_rgb(grass, os.path.join(out, "height2.jpg"))

    # Forest floor: olive green with brown litter.
    forest = ground(rng, size, (92, 130, 60), (96, 90, 56), (116, 152, 70), 1.2, 6.0, shade=12.0)
    save_rgb(forest, os.path.join(out, "height3.jpg"))

    # Upland grass, dry in places, with bare earth showing.
    upland = ground(rng, size, (140, 146, 84), (132, 108, 70), (150, 168, 90), 1.1, 6.0, shade=12.0)
    stones = periodic_noise(rng, size, 0.3) > 2.6
    upland[stones] = (178, 168, 150)
    save_rgb(upland, os.path.join(out, "height4.jpg"))

    # Pale rock with grey cracks and lichen on the tops.
    rock = ground(rng, size, (170, 168, 152), (138, 136, 126), (170, 176, 136), 1.0, 6.0, shade=18.0)
    cracks = np.abs(periodic_noise(rng, size, 2.8))
    rock = mix(rock, (110, 108, 102), 0.5 * (1.0 - smoothstep(0.0, 0.1, cracks)))
    save_rgb(rock, os.path.join(out, "height5.jpg"))


def bark_texture(rng, out):
    size = 256
    # Interlacing ridges separated by deep furrows; the features run along the image columns.
    field = (periodic_noise(rng, size, 5.0, stretch_y=9.0, low_cut=7.0, high_pass=6.0)
             + 0.3 * periodic_noise(rng, size, 4.0, stretch_y=3.0, low_cut=10.0, high_pass=8.0))
    field /= field.std()
    depth = smoothstep(0.1, 1.0, np.abs(field))          # 0 in a furrow, 1 on a ridge top
    fibre = periodic_noise(rng, size, 1.0, stretch_y=8.0)
    flakes = periodic_noise(rng, size, 3.4, stretch_x=1.5, stretch_y=4.0, high_pass=6.0)
    height = depth + 0.06 * fibre + 0.1 * flakes
    tone = normalise(periodic_noise(rng, size, 3.0) + 0.5 * flakes)
    ridge_colour = mix((96, 80, 64), (150, 134, 112), tone)
    rgb = mix(np.array((34, 26, 20), float), ridge_colour, np.power(depth, 0.7))
    rgb += (periodic_shade(height, light=(-1.0, -0.4), strength=110.0) + 8.0 * fibre)[..., None]
    save_rgb(rgb, os.path.join(out, "bark.jpg"), quality=90)


def leaf_texture(out):
    size = 256
    ss = 4  # supersampling for smooth edges
    n = size * ss
    yy, xx = np.mgrid[0:n, 0:n].astype(float)
    x = (xx + 0.5) / n - 0.5           # -0.5 .. 0.5, left to right
    v = 1.0 - (yy + 0.5) / n            # 0 at the bottom, 1 at the top

    base, tip = 0.14, 0.95              # blade from base to tip along the centre line
    u = (v - base) / (tip - base)       # 0 .. 1 along the blade
    bend = 0.025 * np.sin(np.pi * np.clip(u, 0, 1))  # a slight curve of the midrib
    xs = x - bend
    inside_u = (u > 0) & (u < 1)
    uc = np.clip(u, 0, 1)
    half_width = 0.22 * np.power(np.sin(np.pi * uc ** 0.8), 1.1) * (1.0 - 0.25 * uc)
    # Fine serration along the edge.
    half_width *= 1.0 + 0.035 * np.abs(np.sin(uc * np.pi * 22.0))
    blade = inside_u & (np.abs(xs) < half_width)

    stalk = (v > 0.03) & (v <= base + 0.01) & (np.abs(x - 0.004 * (base - v) / base) < 0.011)
    shape = blade | stalk

    # Colour: a darker upper side with light veins, lighter towards the edge.
    rel = np.where(half_width > 0, np.abs(xs) / np.maximum(half_width, 1e-6), 1.0)
    green = mix((60, 118, 40), (112, 164, 58), np.clip(0.3 + 0.5 * rel + 0.2 * uc, 0, 1))
    midrib = np.abs(xs) < 0.006 + 0.006 * (1 - uc)
    # Side veins leave the midrib at an angle towards the tip.
    phase = (uc - 1.3 * np.abs(xs)) * 13.0
    veins = (np.abs(phase - np.round(phase)) < 0.05) & (rel < 0.9) & blade
    vein_colour = np.array((150, 186, 96), float)
    green[veins] = 0.6 * green[veins] + 0.4 * vein_colour
    green[midrib & blade] = vein_colour
    green[stalk & ~blade] = (96, 130, 60)

    rgba = np.zeros((n, n, 4))
    rgba[..., :3] = green
    rgba[..., 3] = shape * 255.0
    # Average the supersamples: colour weighted by coverage, so the edge keeps the leaf colour
    # instead of fading into the white background.
    rgba = rgba.reshape(size, ss, size, ss, 4)
    alpha = rgba[..., 3].mean(axis=(1, 3))
    weight = rgba[..., 3:4]
    colour = (rgba[..., :3] * weight).sum(axis=(1, 3)) / np.maximum(weight.sum(axis=(1, 3)), 1e-6)
    out_rgba = np.zeros((size, size, 4))
    out_rgba[..., :3] = np.where(alpha[..., None] > 0, colour, 255.0)
    out_rgba[..., 3] = alpha
    save_rgba(out_rgba, os.path.join(out, "leaf.png"))


def detail_texture(rng, out):
    size = 512
    noise = (0.5 * periodic_noise(rng, size, 2.2) + 0.35 * periodic_noise(rng, size, 1.2)
             + 0.3 * periodic_noise(rng, size, 0.0))
    noise /= noise.std()
    save_grey(128.0 + 20.0 * noise, os.path.join(out, "detail.png"))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "gui", "textures")
    os.makedirs(out, exist_ok=True)
    rng = np.random.default_rng(SEED)
    height_textures(rng, out)
    bark_texture(rng, out)
    leaf_texture(out)
    detail_texture(rng, out)


if __name__ == "__main__":
    main()
