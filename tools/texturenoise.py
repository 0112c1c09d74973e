"""Shared helpers for the texture scripts: seamless noise and image output.

All noise here is built by spectral synthesis on a periodic grid, so every texture made
from it tiles without a seam in both directions.
"""

import numpy as np
from PIL import Image


def periodic_noise(rng, size, beta, stretch_x=1.0, stretch_y=1.0, low_cut=1.0, high_pass=0.0):
    """Seamless fractal noise with a 1/f^beta spectrum; zero mean, unit deviation.

    stretch_y > 1 shortens features across rows (so they run vertically), stretch_x the
    same across columns. Frequencies (cycles per tile) below high_pass are faded out.
    """
    fy = np.fft.fftfreq(size)[:, None] * size * stretch_y
    fx = np.fft.fftfreq(size)[None, :] * size * stretch_x
    f = np.sqrt(fx * fx + fy * fy)
    f[0, 0] = 1.0
    amplitude = 1.0 / np.power(np.maximum(f, low_cut), beta / 2.0)
    amplitude[0, 0] = 0.0
    if high_pass > 0.0:
        amplitude *= smoothstep(0.5 * high_pass, high_pass, f)
    phase = rng.uniform(0.0, 2.0 * np.pi, (size, size))
    field = np.real(np.fft.ifft2(amplitude * np.exp(1j * phase)))
    field -= field.mean()
    return field / field.std()


def normalise(a):
    """Scale an array to 0..1."""
    a = a - a.min()
    return a / max(a.max(), 1e-12)


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def periodic_shade(height, light=(-1.0, -1.0), strength=1.0):
    """Directional shading of a seamless height field (wraps at the borders)."""
    gx = (np.roll(height, -1, axis=1) - np.roll(height, 1, axis=1)) * 0.5
    gy = (np.roll(height, -1, axis=0) - np.roll(height, 1, axis=0)) * 0.5
    lx, ly = light
    norm = np.hypot(lx, ly)
    return -(gx * lx + gy * ly) / norm * strength


def mix(a, b, t):
    """Blend two colours (arrays broadcastable to H x W x 3) by t (H x W)."""
    t = t[..., None]
    return np.asarray(a, float) * (1.0 - t) + np.asarray(b, float) * t


def to_uint8(rgb):
    return np.clip(np.round(rgb), 0, 255).astype(np.uint8)


def save_rgb(rgb, path, quality=92):
    image = Image.fromarray(to_uint8(rgb), "RGB")
    if path.endswith(".jpg"):
        # Fixed encoder settings keep the output reproducible.
        image.save(path, quality=quality, optimize=True, subsampling=0)
    else:
        image.save(path, optimize=True)


def save_rgba(rgba, path):
    Image.fromarray(to_uint8(rgba), "RGBA").save(path, optimize=True)


def save_grey(grey, path):
    Image.fromarray(to_uint8(grey), "L").save(path, optimize=True)
