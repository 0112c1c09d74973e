#!/usr/bin/python3
"""Generate the six sky-box faces gui/textures/sky_{n,s,e,w,u,d}.png (256 x 256 RGB).

The sky is one function of the viewing direction (a blue gradient that pales into haze at
the horizon, a soft glow around the noon sun and a layer of fair-weather clouds), evaluated
for every pixel of the five upper faces at the point of the box that the pixel covers. Two
faces therefore agree exactly along the edge they share, and the box shows no seams.

The box matches the program's sky box: corners 0..3 at the top (-s,s,s), (s,s,s), (s,s,-s),
(-s,s,-s) and 4..7 at the bottom (-s,0,s), (s,0,s), (s,0,-s), (-s,0,-s); each face lists its
corners in drawing order with texture coordinates (e,e), (f,e), (f,f), (e,f), e and f a half
texel inside the border. Texture row 0 is the bottom of the picture (the upload mirrors the
image), so the top line of each picture is the texture's far edge. The viewpoint is a little
above the box centre of the floor, where the camera flies over the terrain.

The floor (sky_d) is repeated five times across the box and lies around the terrain, so it is
a seamless, hazy far-away land of fields and woods rather than sky.

Usage: tools/make_sky.py [OUTPUT_DIR]   (default: gui/textures next to tools/)
"""

import os
import sys

import numpy as np

from texturenoise import mix, periodic_noise, save_rgb, smoothstep

SEED = 1999
SIZE = 256

CORNERS = np.array([
    (-1, 1, 1), (1, 1, 1), (1, 1, -1), (-1, 1, -1),
    (-1, 0, 1), (1, 0, 1), (1, 0, -1), (-1, 0, -1),
], float)

FACES = {
    "sky_n.png": (5, 4, 0, 1),
    "sky_s.png": (7, 6, 2, 3),
    "sky_e.png": (4, 7, 3, 0),
    "sky_w.png": (6, 5, 1, 2),
    "sky_u.png": (1, 0, 3, 2),
}

VIEW_HEIGHT = 0.04          # viewpoint above the floor, in box half-widths
CLOUD_HEIGHT = 0.6          # cloud layer above the viewpoint
CLOUD_PERIOD = 3.0          # the cloud pattern repeats every this many half-widths
NOON_SUN = np.array((0.0, np.sin(np.radians(44.0)), -np.cos(np.radians(44.0))))

ZENITH = np.array((52, 104, 186), float)
MID_SKY = np.array((104, 158, 222), float)
HORIZON = np.array((212, 226, 236), float)
FAR_LAND = np.array((138, 152, 136), float)


def face_directions(corners):
    """Unit viewing directions for every pixel of a face (row 0 = top of the picture)."""
    a, b, _, d = (CORNERS[i] for i in corners)
    p = np.linspace(0.0, 1.0, SIZE)[None, :, None]          # along a -> b (texture s)
    q = (1.0 - np.linspace(0.0, 1.0, SIZE))[:, None, None]  # along a -> d (texture t)
    points = a + p * (b - a) + q * (d - a)
    rays = points - np.array((0.0, VIEW_HEIGHT, 0.0))
    return rays / np.linalg.norm(rays, axis=-1, keepdims=True)


def sample_periodic(field, u, v):
    """Bilinear sample of a seamless field at (u, v) in periods (any real numbers)."""
    n = field.shape[0]
    x = (u % 1.0) * n
    y = (v % 1.0) * n
    x0 = np.floor(x).astype(int) % n
    y0 = np.floor(y).astype(int) % n
    fx = x - np.floor(x)
    fy = y - np.floor(y)
    x1 = (x0 + 1) % n
    y1 = (y0 + 1) % n
    top = field[y0, x0] * (1 - fx) + field[y0, x1] * fx
    bottom = field[y1, x0] * (1 - fx) + field[y1, x1] * fx
    return top * (1 - fy) + bottom * fy


class Sky:
    def __init__(self, rng):
        self.cloud_shape = periodic_noise(rng, 512, 3.6) + 0.3 * periodic_noise(rng, 512, 2.6)
        self.cloud_detail = periodic_noise(rng, 512, 2.2)

    def colour(self, d):
        elevation = np.arcsin(np.clip(d[..., 1], -1.0, 1.0))
        up = np.clip(elevation / (np.pi / 2), 0.0, 1.0)

        # Gradient: haze at the horizon, mid blue, deep blue at the zenith.
        rgb = mix(HORIZON, MID_SKY, smoothstep(0.0, 0.35, up ** 0.7))
        rgb = mix(rgb, ZENITH, smoothstep(0.3, 1.0, up))

        # Soft glow around the noon sun.
        cos_sun = np.clip(d @ NOON_SUN, -1.0, 1.0)
        glow = np.exp((cos_sun - 1.0) * 6.0) * 0.35 + np.exp((cos_sun - 1.0) * 60.0) * 0.35
        rgb = mix(rgb, np.array((255, 248, 228), float), np.clip(glow, 0, 1))

        # Clouds on a flat layer, thinning into the haze towards the horizon.
        dy = np.maximum(d[..., 1], 1e-3)
        cx = d[..., 0] / dy * CLOUD_HEIGHT / CLOUD_PERIOD
        cz = d[..., 2] / dy * CLOUD_HEIGHT / CLOUD_PERIOD
        shape = sample_periodic(self.cloud_shape, cx, cz)
        detail = sample_periodic(self.cloud_detail, cx * 2.0 + 0.37, cz * 2.0 + 0.61)
        density = smoothstep(0.4, 1.7, shape + 0.15 * detail)
        density *= smoothstep(0.01, 0.2, d[..., 1])
        # Lit tops, greyer bellies where the cloud is thick.
        cloud = mix(np.array((252, 252, 253), float), np.array((196, 204, 218), float),
                    0.6 * smoothstep(0.6, 1.0, density) * smoothstep(0.3, 1.2, shape - 0.9))
        rgb = mix(rgb, cloud, 0.92 * density)

        # Below the horizon the far land shows through the haze.
        below = smoothstep(0.0, -0.045, elevation)
        rgb = mix(rgb, FAR_LAND, 0.75 * below)
        return rgb


def floor_texture(rng):
    """Seamless far-away land: fields and woods under haze."""
    broad = periodic_noise(rng, SIZE, 3.6)
    fields = periodic_noise(rng, SIZE, 2.6)
    grain = periodic_noise(rng, SIZE, 1.0)
    rgb = mix((132, 150, 104), (82, 108, 70), smoothstep(-0.2, 0.8, broad))       # woods
    rgb = mix(rgb, (160, 156, 112), 0.5 * smoothstep(0.6, 1.4, fields))          # dry fields
    rgb += 5.0 * grain[..., None]
    return mix(rgb, FAR_LAND, np.full((SIZE, SIZE), 0.35))                       # haze


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "gui", "textures")
    os.makedirs(out, exist_ok=True)
    rng = np.random.default_rng(SEED)
    sky = Sky(rng)
    for name, corners in FACES.items():
        save_rgb(sky.colour(face_directions(corners)), os.path.join(out, name))
    save_rgb(floor_texture(rng), os.path.join(out, "sky_d.png"))


if __name__ == "__main__":
    main()
