#!/usr/bin/env python3
"""Makes the README's set pictures: three print-ready paperback covers drawn with ImageMagick,
made into a row, a stack, a fan and a box set by zelmora-render with the command lines the
README shows, side by side in one picture.
    scripts/set_pictures.py [OUT_FOLDER]   (default: docs)"""
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs")
WORK = os.path.join(ROOT, "build", "set-pictures")

sys.path.insert(0, os.path.join(ROOT, "scripts"))
from book_pictures import cover, render  # noqa: E402  (the covers are drawn as the book pictures' are)


def main():
    os.makedirs(WORK, exist_ok=True)
    os.makedirs(OUT, exist_ok=True)
    books = [("The Quiet Harbour", "#18324f", "#3f7f8c", "#f4ead2", 300),
             ("The Salt Road", "#5a1e1e", "#8c3b2a", "#f2d9a0", 260),
             ("The Last Light", "#1e3a1e", "#6c8c3b", "#f4f0d2", 340)]
    covers = []
    for title, top, bottom, ink, pages in books:
        path = os.path.join(WORK, title.lower().replace(" ", "-") + ".png")
        cover(path, 6, 9, pages * 0.0025, 0.125, title, "Mira Ostrander", top, bottom, ink)
        covers.append(path)
    series = ["--shape", "paperback", "--trim", "6x9in", "--covers", ",".join(covers),
              "--pages", ",".join(str(b[4]) for b in books), "--paper", "cream", "--finish", "gloss",
              "--size", "480x400", "--fit", "5", "--shadow", "70"]
    shots = {
        "row": ["--arrange", "row", "--gap", "4", "--rotation1", "120", "--rotation2", "105"],
        "stack": ["--arrange", "stack", "--seed", "3", "--rotation1", "120", "--rotation2", "125"],
        "fan": ["--arrange", "fan", "--fan-spread", "14", "--rotation1", "90", "--rotation2", "100"],
    }
    for name, args in shots.items():
        render([*series, *args], os.path.join(WORK, name + ".png"))
    # A box set: the three in hardcover (case wraps of their own), in a slipcase of the first's
    # colour, the second pulled out; from a scene file's "products" list.
    wraps = []
    for title, top, bottom, ink, pages in books:
        path = os.path.join(WORK, title.lower().replace(" ", "-") + "-wrap.png")
        cover(path, 6.125, 9.25, pages * 0.002252 + 2 * 0.1, 0.591, title, "Mira Ostrander", top, bottom, ink)
        wraps.append(path)
    products = [{"cover": w, "pages": b[4]} for w, b in zip(wraps, books)]
    products.append({"shape": "slipcase", "front-colour": "#18324F", "back-colour": "#18324F",
                     "top-colour": "#18324F", "left-colour": "#18324F"})
    scene = {"zelmora-scene": 1, "shape": "hardcover", "trim": "6x9in", "light": "studio", "arrange": "box-set",
             "pull": 35, "pulled": 2, "rotation1": 140, "rotation2": 110, "shadow": 70, "products": products}
    with open(os.path.join(WORK, "box-set.zelmora"), "w") as f:
        json.dump(scene, f, indent=2)
    render(["--scene", os.path.join(WORK, "box-set.zelmora"), "--size", "480x400", "--fit", "5"],
           os.path.join(WORK, "box-set.png"))
    subprocess.run(["montage", *[os.path.join(WORK, n + ".png") for n in ("row", "stack", "fan", "box-set")],
                    "-tile", "4x1", "-geometry", "+0+0", os.path.join(OUT, "sets.png")], check=True)


if __name__ == "__main__":
    main()
