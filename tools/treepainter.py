"""Drawing helpers shared by the icon, splash and about-picture scripts.

Pictures are drawn on a canvas four times larger than the result (coordinates are given in
result pixels) and reduced with premultiplied alpha, which gives smooth, halo-free edges.
"""

import math

import numpy as np
from PIL import Image, ImageDraw

SUPERSAMPLE = 4

OUTLINE = (38, 46, 38, 255)
BARK = (120, 84, 52, 255)
BARK_DARK = (86, 58, 36, 255)
LEAF_GREENS = [(46, 112, 44, 255), (64, 140, 52, 255), (92, 166, 62, 255), (128, 190, 80, 255)]


class Canvas:
    """An RGBA drawing surface addressed in result pixels."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.s = SUPERSAMPLE
        self.image = Image.new("RGBA", (width * self.s, height * self.s), background)
        self.draw = ImageDraw.Draw(self.image)

    def p(self, points):
        return [(x * self.s, y * self.s) for x, y in points]

    def line(self, points, colour, width, joint=True):
        self.draw.line(self.p(points), fill=colour, width=max(1, round(width * self.s)),
                       joint="curve" if joint else None)
        if joint:  # round caps
            r = width * self.s / 2.0
            for x, y in self.p([points[0], points[-1]]):
                self.draw.ellipse((x - r, y - r, x + r, y + r), fill=colour)

    def polygon(self, points, fill, outline=None, width=1.5):
        self.draw.polygon(self.p(points), fill=fill)
        if outline is not None:
            self.line(list(points) + [points[0]], outline, width)

    def ellipse(self, box, fill, outline=None, width=1.5):
        x0, y0, x1, y1 = (v * self.s for v in box)
        self.draw.ellipse((x0, y0, x1, y1), fill=fill, outline=outline,
                          width=0 if outline is None else max(1, round(width * self.s)))

    def rounded(self, box, radius, fill, outline=None, width=1.5):
        x0, y0, x1, y1 = (v * self.s for v in box)
        self.draw.rounded_rectangle((x0, y0, x1, y1), radius * self.s, fill=fill, outline=outline,
                                    width=0 if outline is None else max(1, round(width * self.s)))

    def arc(self, box, start, end, colour, width):
        x0, y0, x1, y1 = (v * self.s for v in box)
        self.draw.arc((x0, y0, x1, y1), start, end, fill=colour, width=max(1, round(width * self.s)))

    def paste(self, layer):
        self.image = Image.alpha_composite(self.image, layer.image)
        self.draw = ImageDraw.Draw(self.image)

    def result(self):
        small = self.image.convert("RGBa").resize((self.width, self.height), Image.LANCZOS)
        return small.convert("RGBA")


def arrow(canvas, start, end, colour, width, head=4.0):
    """A straight arrow with a filled head at end."""
    (x0, y0), (x1, y1) = start, end
    angle = math.atan2(y1 - y0, x1 - x0)
    back = (x1 - head * 1.2 * math.cos(angle), y1 - head * 1.2 * math.sin(angle))
    canvas.line([start, back], colour, width)
    left = (back[0] + head * math.cos(angle + math.pi / 2), back[1] + head * math.sin(angle + math.pi / 2))
    right = (back[0] + head * math.cos(angle - math.pi / 2), back[1] + head * math.sin(angle - math.pi / 2))
    canvas.polygon([end, left, right], colour)


def simple_tree(canvas, x, base_y, height, crown=None, trunk=None, outline=OUTLINE, line=1.2):
    """A compact icon tree: trunk and a round, three-lobed crown."""
    crown = crown or LEAF_GREENS[1]
    trunk = trunk or BARK
    w = height * 0.12
    top = base_y - height * 0.55
    canvas.polygon([(x - w, base_y), (x + w, base_y), (x + w * 0.6, top), (x - w * 0.6, top)], trunk,
                   outline, line)
    r = height * 0.26
    cy = base_y - height * 0.66
    lobes = [(x - r * 0.75, cy + r * 0.15, r * 0.8), (x + r * 0.75, cy + r * 0.15, r * 0.8), (x, cy - r * 0.45, r)]
    for lx, ly, lr in lobes:
        canvas.ellipse((lx - lr - line / 2, ly - lr - line / 2, lx + lr + line / 2, ly + lr + line / 2), outline)
    for lx, ly, lr in lobes:
        canvas.ellipse((lx - lr + line / 2, ly - lr + line / 2, lx + lr - line / 2, ly + lr - line / 2), crown)
    hl = tuple(min(255, int(c * 1.25)) for c in crown[:3]) + (255,)
    canvas.ellipse((x - r * 0.55, cy - r * 1.0, x + r * 0.05, cy - r * 0.45), hl)


def branching_tree(canvas, rng, x, base_y, height, trunk_width, depth=7, spread=28.0, leaves=True,
                   leaf_size=1.0, bark=BARK, greens=LEAF_GREENS):
    """A naturally branching tree: recursive limbs, then leaf clusters at the twig ends."""
    tips = []

    def grow(px, py, angle, length, width, level):
        ex = px + length * math.sin(math.radians(angle))
        ey = py - length * math.cos(math.radians(angle))
        mid = (px + (ex - px) * 0.5 + rng.uniform(-0.06, 0.06) * length,
               py + (ey - py) * 0.5)
        shade = tuple(int(c * (0.8 + 0.2 * level / depth)) for c in bark[:3]) + (255,)
        canvas.line([(px, py), mid, (ex, ey)], shade, width)
        if level >= depth or width < 0.35:
            tips.append((ex, ey))
            return
        n = 2 if rng.uniform() < 0.7 else 3
        for k in range(n):
            off = (k - (n - 1) / 2.0) * spread * 2.0 / max(n - 1, 1) + rng.uniform(-9, 9)
            share = 0.72 if abs(off) < 10 else rng.uniform(0.6, 0.75)
            grow(ex, ey, angle * 0.6 + off, length * share, width * 0.68, level + 1)
        if level > 2:
            tips.append((ex, ey))

    grow(x, base_y, 0.0, height * 0.3, trunk_width, 0)
    if leaves:
        for layer, colour in enumerate(greens):
            for tx, ty in tips:
                if rng.uniform() < 0.55 + 0.1 * layer:
                    r = leaf_size * rng.uniform(0.7, 1.3) * (1.25 - 0.15 * layer)
                    jx = tx + rng.uniform(-1.5, 1.5) * leaf_size + layer * 0.25 * leaf_size
                    jy = ty + rng.uniform(-1.5, 1.5) * leaf_size - layer * 0.35 * leaf_size
                    canvas.ellipse((jx - r, jy - r, jx + r, jy + r), colour)
    return tips


def write_xpm(image, path, name, max_colours=90):
    """Write an RGBA image as XPM; fully transparent pixels become the colour None."""
    rgba = np.asarray(image.convert("RGBA"))
    opaque = rgba[..., 3] >= 128
    rgb = Image.fromarray(rgba[..., :3].copy(), "RGB")
    quant = rgb.quantize(colors=max_colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    idx = np.asarray(quant)
    palette = np.array(quant.getpalette()[:3 * max_colours]).reshape(-1, 3)
    used = sorted(set(idx[opaque].ravel().tolist()))
    chars = [chr(c) for c in range(35, 127) if chr(c) not in '"\\ ']
    code = {u: chars[i] for i, u in enumerate(used)}
    h, w = idx.shape
    lines = ["/* XPM */", "static const char *%s[] = {" % name,
             '"%d %d %d 1",' % (w, h, len(used) + 1), '"  c None",']
    for u in used:
        r, g, b = palette[u]
        lines.append('"%s c #%02X%02X%02X",' % (code[u], r, g, b))
    rows = []
    for y in range(h):
        rows.append('"' + "".join(code[idx[y, x]] if opaque[y, x] else " " for x in range(w)) + '"')
    lines.append(",\n".join(rows))
    lines.append("};")
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
