#!/usr/bin/env python3
"""Writes the five species tree parameter files of bin/zbirka-4.

Each species is described below in the units the distribution designer shows (strand share,
degrees, relative lengths, gravimorphism degrees, W factor) as curves over the Gravelius order g
(0..15) and the Weibull order w (0..50). The script turns them into curve points on the unit
square, writes a draft parameter file and lets `verdalis-cli tree save` check and write the final
file, so the files are always in the program's own format.

Usage: tools/make-species-trees.py [PATH-TO-verdalis-cli] [OUTPUT-FOLDER]
"""

import os
import subprocess
import sys
import tempfile

BARK = ":/gui/textures/bark.jpg"
LEAF = ":/gui/textures/leaf.png"

SPIRAL, STACKED, STAGGERED, BUNCHED, CONIFEROUS = range(5)


# Designer units to curve values (with a W factor of 100 %, i.e. W curve value 0.5).
def strand(share):
    return 2.0 * share - 1.0          # share 0.5 .. 1.0


def angle(degrees):
    return degrees / 180.0            # 0 .. 180 degrees


def length(factor):
    return factor / 10.0              # 0 .. 10 (1000 %)


def gravimorphism(degrees):
    return (degrees + 180.0) / 360.0  # -180 .. 180 degrees


def over_g(points, unit):
    """Points (g, value) with g in 0..15 become curve points (g / 15, unit(value))."""
    return [(g / 15.0, unit(v)) for g, v in points]


def over_w(points):
    """Points (w, factor) with w in 0..50 and the factor 0..2 become (w / 50, factor / 2)."""
    return [(w / 50.0, f / 2.0) for w, f in points]


FLAT = over_w([(0, 1), (50, 1)])


def species_text(s):
    lines = [s.get("bark", BARK), s.get("leaf", LEAF)]
    scalars = [s["strands"], s["trunkHeight"], s["thickness"], s["phyllotaxis"], s["gravicentralism"], 1,
               s["leafSize"], s["leafDensity"], s["windSpeed"], s["leafType"]]
    lines.append("\t".join(repr(v) if isinstance(v, float) else str(v) for v in scalars))
    for key in ("strand", "angle", "minLength", "maxLength", "scaling", "gravimorphism"):
        g_curve, w_curve = s[key]
        for curve in (g_curve, w_curve):
            lines.append("%d\t" % len(curve))
            lines.extend("%.6g\t%.6g" % point for point in curve)
            lines.append("")
    return "\n".join(lines) + "\n"


SPECIES = {
    # A low shrub: almost no trunk, the strands part nearly evenly at every split so that many
    # stems of equal rank fan out from the ground; short twigs whose outer parts (w >= 6) bend a
    # little toward the ground, giving a rounded mound; small dense leaves.
    "grm5.tree.xml": dict(
        strands=500, trunkHeight=0.1, thickness=0.003, phyllotaxis=137.5, gravicentralism=0.1,
        leafSize=0.06, leafDensity=6, windSpeed=1.0, leafType=STAGGERED,
        strand=(over_g([(0, 0.55), (15, 0.6)], strand), FLAT),
        angle=(over_g([(0, 50), (15, 40)], angle), FLAT),
        minLength=(over_g([(0, 0.9), (15, 0.9)], length), FLAT),
        maxLength=(over_g([(0, 1.0), (15, 1.0)], length), FLAT),
        scaling=(over_g([(0, 0.3), (15, 0.3)], length), FLAT),
        gravimorphism=(over_g([(0, 0), (15, 0)], gravimorphism),
                       over_w([(0, 1.0), (3, 1.0), (6, 1.07), (50, 1.07)])),
    ),
    # Weeping willow: a short trunk parting into spreading limbs; from about the eighth branching
    # on, gravimorphism bends every segment further toward the ground (up to the vertical), so
    # the long thin twigs arch over and hang straight down.
    "Vrba Zalujka (Salix Babylonica).tree.xml": dict(
        strands=1500, trunkHeight=2.5, thickness=0.007, phyllotaxis=100.0, gravicentralism=0.3,
        leafSize=0.07, leafDensity=8, windSpeed=1.5, leafType=STACKED,
        strand=(over_g([(0, 0.65), (1, 0.85), (15, 0.85)], strand), FLAT),
        angle=(over_g([(0, 55), (1, 45), (15, 30)], angle), FLAT),
        minLength=(over_g([(0, 0.95), (15, 0.95)], length), FLAT),
        maxLength=(over_g([(0, 1.0), (15, 1.0)], length), FLAT),
        scaling=(over_g([(0, 1.0), (15, 1.0)], length), over_w([(0, 1.0), (10, 0.8), (50, 0.8)])),
        gravimorphism=(over_g([(0, -40), (1, 0), (15, 0)], gravimorphism),
                       over_w([(0, 1.0), (7, 1.0), (11, 1.2), (18, 1.4), (50, 1.5)])),
    ),
    # Broad maple: a short trunk that soon parts into several strong limbs at wide angles, a wide
    # dome of a crown dense at the top, large leaves on long segments.
    "javorVelikZgorajGost.tree.xml": dict(
        strands=2000, trunkHeight=2.8, thickness=0.007, phyllotaxis=120.0, gravicentralism=0.2,
        leafSize=0.13, leafDensity=6, windSpeed=1.5, leafType=SPIRAL,
        strand=(over_g([(0, 0.6), (15, 0.65)], strand), FLAT),
        angle=(over_g([(0, 60), (15, 50)], angle), FLAT),
        minLength=(over_g([(0, 0.8), (15, 0.8)], length), FLAT),
        maxLength=(over_g([(0, 1.0), (15, 1.0)], length), FLAT),
        scaling=(over_g([(0, 1.3), (15, 1.3)], length), FLAT),
        gravimorphism=(over_g([(0, 0), (15, 0)], gravimorphism), FLAT),
    ),
    # Conical spruce-like pine: the leader keeps nine tenths of the strands at every split and
    # stays upright (gravicentralism 1), side branches leave it almost at right angles and get
    # shorter toward the top: lengths are held constant, so a branch is as long as the number of
    # splits its strands allow, which falls with height and draws a cone; needles.
    "smrekaMini.tree.xml": dict(
        strands=1200, trunkHeight=1.2, thickness=0.006, phyllotaxis=137.5, gravicentralism=1.0,
        leafSize=0.05, leafDensity=12, windSpeed=2.0, leafType=CONIFEROUS,
        strand=(over_g([(0, 0.9), (1, 0.75), (15, 0.75)], strand), FLAT),
        angle=(over_g([(0, 85), (1, 50), (15, 50)], angle), FLAT),
        minLength=(over_g([(0, 1.0), (15, 1.0)], length), FLAT),
        maxLength=(over_g([(0, 1.0), (15, 1.0)], length), FLAT),
        scaling=(over_g([(0, 0.15), (15, 0.15)], length), FLAT),
        gravimorphism=(over_g([(0, 0), (1, 3), (15, 3)], gravimorphism), FLAT),
    ),
    # Beech: a tall clean trunk with a strong leader, branches rising at moderate angles into an
    # oval crown; larger leaves than the default tree.
    "manjseDefault100_vecjiListi.tree.xml": dict(
        strands=1200, trunkHeight=3.5, thickness=0.008, phyllotaxis=85.0, gravicentralism=0.5,
        leafSize=0.15, leafDensity=6, windSpeed=1.5, leafType=STAGGERED,
        strand=(over_g([(0, 0.8), (1, 0.7), (15, 0.7)], strand), FLAT),
        angle=(over_g([(0, 50), (15, 45)], angle), FLAT),
        minLength=(over_g([(0, 0.9), (15, 0.9)], length), FLAT),
        maxLength=(over_g([(0, 1.0), (15, 1.0)], length), FLAT),
        scaling=(over_g([(0, 0.8), (15, 0.8)], length), FLAT),
        gravimorphism=(over_g([(0, 0), (15, 0)], gravimorphism), FLAT),
    ),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.normpath(os.path.join(here, ".."))
    cli = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build", "src", "cli", "verdalis-cli")
    out_dir = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "bin", "zbirka-4")
    os.makedirs(out_dir, exist_ok=True)
    only = sys.argv[3:]
    with tempfile.TemporaryDirectory() as work:
        for name, s in SPECIES.items():
            if only and name not in only:
                continue
            draft = os.path.join(work, "draft.tree.xml")
            with open(draft, "w", newline="\n") as f:
                f.write(species_text(s))
            subprocess.run([cli, "tree", "save", os.path.join(out_dir, name), "--from", draft], check=True)
            print("wrote", os.path.join(out_dir, name))


if __name__ == "__main__":
    main()
