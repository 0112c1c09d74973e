#!/usr/bin/python3
"""Generate the built-in default terrain gui/textures/100x100.dmr.

The terrain is a 100 x 100 grid of points 25 m apart, written one point per line as
"x y z" (one space, z with one decimal). x runs from 528025 to 530500 along a row and
y from 165750 down to 163275 from row to row. The heights span 596.2 .. 960.4 m with a
mean near 819 m, and the first two points are fixed at 706.6 and 709.1 m.

The land is built from a few deterministic layers so that every terrain map (slope,
moisture, sunniness with shadows, windiness) has something to show:
  * a broad upland rising towards the south-east,
  * fractal relief (spectral synthesis, fixed seed),
  * ridged noise for sharp crests,
  * a meandering main valley with a side valley, and two low basins.
A monotone power curve then sets the mean height, and a small smooth correction near
the first corner puts the first two points at their fixed heights.

Usage: tools/make_terrain.py [OUTPUT]   (default: gui/textures/100x100.dmr next to tools/)
"""

import os
import sys

import numpy as np

SIZE = 100
STEP = 25
X0 = 528025
Y0 = 165750
Z_MIN = 596.2
Z_MAX = 960.4
Z_MEAN = 819.0
FIRST = (706.6, 709.1)
SEED = 20261206


def spectral_noise(rng, size, beta, low_cut=1.0):
    """Fractal noise with a 1/f^beta power spectrum, normalised to 0..1."""
    fy = np.fft.fftfreq(size)[:, None]
    fx = np.fft.fftfreq(size)[None, :]
    f = np.sqrt(fx * fx + fy * fy) * size
    f[0, 0] = 1.0
    amplitude = 1.0 / np.power(np.maximum(f, low_cut), beta / 2.0)
    amplitude[0, 0] = 0.0
    phase = rng.uniform(0.0, 2.0 * np.pi, (size, size))
    spectrum = amplitude * np.exp(1j * phase)
    field = np.real(np.fft.ifft2(spectrum))
    field -= field.min()
    return field / field.max()


def distance_to_polyline(xs, ys, points):
    """Distance (in cells) from every grid point to a polyline given as (x, y) points."""
    best = np.full(xs.shape, np.inf)
    for (ax, ay), (bx, by) in zip(points[:-1], points[1:]):
        dx, dy = bx - ax, by - ay
        t = ((xs - ax) * dx + (ys - ay) * dy) / (dx * dx + dy * dy)
        t = np.clip(t, 0.0, 1.0)
        d = np.hypot(xs - (ax + t * dx), ys - (ay + t * dy))
        best = np.minimum(best, d)
    return best


def meander(rng, start, end, wiggle, samples=60):
    """A smooth, randomly wiggling curve from start to end (grid units)."""
    t = np.linspace(0.0, 1.0, samples)
    sx, sy = start
    ex, ey = end
    nx, ny = -(ey - sy), ex - sx
    norm = np.hypot(nx, ny)
    nx, ny = nx / norm, ny / norm
    offset = np.zeros_like(t)
    for k in range(1, 4):
        offset += rng.uniform(-1, 1) * wiggle / k * np.sin(np.pi * k * t + rng.uniform(0, np.pi))
    offset *= np.sin(np.pi * t) ** 0.5
    return list(zip(sx + (ex - sx) * t + nx * offset, sy + (ey - sy) * t + ny * offset))


def raw_relief(rng):
    rows, cols = np.mgrid[0:SIZE, 0:SIZE].astype(float)

    # Upland rising to the south-east, with a gentle dome in the east.
    field = 0.35 * (cols + rows) / (2 * SIZE)
    field += 0.25 * np.exp(-((cols - 78) ** 2 + (rows - 62) ** 2) / (2 * 22.0 ** 2))
    field += 0.18 * np.exp(-((cols - 30) ** 2 + (rows - 80) ** 2) / (2 * 16.0 ** 2))

    # Fractal relief and ridged crests.
    field += 0.55 * spectral_noise(rng, SIZE, 4.2)
    ridged = 1.0 - np.abs(2.0 * spectral_noise(rng, SIZE, 3.8) - 1.0)
    field += 0.16 * ridged ** 2
    field += 0.03 * spectral_noise(rng, SIZE, 3.0)

    # Main valley from the north edge towards the west edge, and a side valley joining it.
    main = meander(rng, (30.0, -5.0), (-5.0, 78.0), 14.0)
    d = distance_to_polyline(cols, rows, main)
    field -= 0.42 * np.exp(-(d / 7.0) ** 2) + 0.12 * np.exp(-(d / 16.0) ** 2)
    side = meander(rng, (92.0, 40.0), (22.0, 30.0), 8.0)
    d = distance_to_polyline(cols, rows, side)
    field -= 0.22 * np.exp(-(d / 5.0) ** 2)

    # Two lower basins.
    field -= 0.20 * np.exp(-((cols - 62) ** 2 + (rows - 90) ** 2) / (2 * 8.0 ** 2))
    field -= 0.16 * np.exp(-((cols - 85) ** 2 + (rows - 12) ** 2) / (2 * 7.0 ** 2))

    # One light smoothing pass takes the single-cell creases off the ridged noise.
    padded = np.pad(field, 1, mode="edge")
    field = (4.0 * field + padded[:-2, 1:-1] + padded[2:, 1:-1] + padded[1:-1, :-2] + padded[1:-1, 2:]) / 8.0

    field -= field.min()
    return field / field.max()


def finish(relief, power):
    """Shape the 0..1 relief with a power curve, fix the first corner, return metres."""
    g = relief ** power
    rows, cols = np.mgrid[0:SIZE, 0:SIZE].astype(float)
    t0 = (FIRST[0] - Z_MIN) / (Z_MAX - Z_MIN)
    t1 = (FIRST[1] - Z_MIN) / (Z_MAX - Z_MIN)
    sigma2 = 6.0 ** 2
    a = t0 - g[0, 0]
    b = (t1 - g[0, 1]) / np.exp(-1.0 / sigma2) - a
    g = g + (a + b * cols) * np.exp(-(cols ** 2 + rows ** 2) / sigma2)
    z = Z_MIN + (Z_MAX - Z_MIN) * g
    z = np.round(z, 1)
    z = np.clip(z, Z_MIN, Z_MAX)
    z[0, 0], z[0, 1] = FIRST
    z[np.unravel_index(np.argmin(z), z.shape)] = Z_MIN
    z[np.unravel_index(np.argmax(z), z.shape)] = Z_MAX
    return z


def make_heights():
    rng = np.random.default_rng(SEED)
    relief = raw_relief(rng)
    lo, hi = 0.2, 5.0
    for _ in range(60):
        mid = 0.5 * (lo + hi)
        if finish(relief, mid).mean() > Z_MEAN:
            lo = mid
        else:
            hi = mid
    return finish(relief, 0.5 * (lo + hi))


def write_dem(z, path):
    lines = []
    for r in range(SIZE):
        y = Y0 - r * STEP
        for c in range(SIZE):
            lines.append("%d %d %.1f" % (X0 + c * STEP, y, z[r, c]))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "gui", "textures", "100x100.dmr")
    z = make_heights()
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    write_dem(z, out)
    print("%s: min %.1f max %.1f mean %.2f" % (out, z.min(), z.max(), z.mean()))


if __name__ == "__main__":
    main()
