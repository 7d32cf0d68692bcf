#!/usr/bin/env python3
"""Makes the README's open book and device pictures: a spread and covers drawn with
ImageMagick, made by zelmora-render into an open hardcover, a paperback beside its ebook on a
tablet, and a phone, an e-reader and a tablet, in the studio light, side by side in one picture.
    scripts/device_pictures.py [OUT_FOLDER]   (default: docs)"""
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs")
WORK = os.path.join(ROOT, "build", "device-pictures")
DPI = 150

sys.path.insert(0, os.path.join(ROOT, "scripts"))
from book_pictures import cover, render  # noqa: E402


def spread(path, page_w, page_h, bleed):
    """Two pages of a chapter's opening: a heading and a drop cap on the right, text on both."""
    px = lambda inches: int(round(inches * DPI))
    w, h = px(2 * (page_w + bleed)), px(page_h + 2 * bleed)
    draw = ["-fill", "#6a6660"]
    # Lines of text: bars of grey, ragged at their ends, inside each page's margins.
    for page in (0, 1):
        x0 = px(bleed + page * page_w + (0.75 if page == 0 else 0.9))
        x1 = px(bleed + page * page_w + page_w - (0.9 if page == 0 else 0.75))
        first = 1.0 if page == 0 else 3.2
        y = first
        line = 0
        while y < page_h - 0.9:
            end = x1 - (px(0.35) if line % 7 == 6 else (line * 37 % 5) * px(0.03))
            draw += ["-draw", f"rectangle {x0},{px(bleed + y)} {end},{px(bleed + y + 0.045)}"]
            y += 0.17
            line += 1
    right = px(bleed + page_w + 0.9)
    subprocess.run(["convert", "-size", f"{w}x{h}", "xc:#f6f1e4", *draw,
                    "-fill", "#f6f1e4", "-draw", f"rectangle {right},{px(bleed + 3.2)} {right + px(0.7)},{px(bleed + 3.9)}",
                    "-fill", "#7a2a1e", "-font", "Times-Bold", "-pointsize", str(px(0.75)), "-gravity", "NorthWest",
                    "-annotate", f"+{right}+{px(bleed + 3.05)}", "T",
                    "-fill", "#222222", "-pointsize", str(px(0.36)),
                    "-annotate", f"+{right}+{px(bleed + 1.3)}", "Chapter One",
                    "-font", "Times-Italic", "-pointsize", str(px(0.2)),
                    "-annotate", f"+{right}+{px(bleed + 2.0)}", "The harbour in winter",
                    path], check=True)


def main():
    os.makedirs(WORK, exist_ok=True)
    os.makedirs(OUT, exist_ok=True)
    spread(os.path.join(WORK, "spread.png"), 6, 9, 0.125)
    wrap = os.path.join(WORK, "hardcover-wrap.png")
    cover(wrap, 6.125, 9.25, 300 * 0.002252 + 0.2, 0.591, "The Quiet Harbour", "Mira Ostrander",
          "#18324f", "#3f7f8c", "#f4ead2")
    paperback = os.path.join(WORK, "paperback-cover.png")
    cover(paperback, 6, 9, 300 * 0.002252, 0.125, "The Quiet Harbour", "Mira Ostrander",
          "#18324f", "#3f7f8c", "#f4ead2")
    # The ebook's cover: the paperback's front panel alone.
    front = os.path.join(WORK, "ebook-cover.png")
    subprocess.run(["convert", paperback, "-gravity", "East", "-crop", f"{6 * DPI}x{9 * DPI}+{int(0.125 * DPI)}+0",
                    "+repage", front], check=True)
    studio = ["--light", "studio", "--shadow", "70", "--size", "480x400", "--fit", "6"]
    render(["--shape", "open-book", "--binding", "hardcover", "--trim", "6x9in", "--pages", "300",
            "--cover", wrap, "--spread", os.path.join(WORK, "spread.png"), "--read", "35",
            "--rotation1", "100", "--rotation2", "140", *studio], os.path.join(WORK, "open-book.png"))
    # A paperback beside its ebook on a tablet, from a scene file's products.
    scene = {"zelmora-scene": 1, "shape": "paperback", "trim": "6x9in", "pages": 300, "cover": paperback,
             "finish": "gloss", "light": "studio", "arrange": "row", "gap": 8,
             "rotation1": 115, "rotation2": 105, "shadow": 70,
             "products": [{}, {"shape": "tablet", "screen": front, "screen-fit": "contain",
                               "screen-colour": "#101010", "body": "silver", "pose": "propped"}]}
    with open(os.path.join(WORK, "ebook.zelmora"), "w") as f:
        json.dump(scene, f, indent=2)
    render(["--scene", os.path.join(WORK, "ebook.zelmora"), "--size", "480x400", "--fit", "6"],
           os.path.join(WORK, "ebook.png"))
    # A phone, an e-reader and a tablet showing the same cover.
    render(["--shape", "phone,e-reader,tablet", "--screen", front, "--screen-fit", "contain",
            "--screen-colour", "#101010", "--body", "black,white,silver", "--arrange", "row", "--gap", "6",
            "--rotation1", "105", "--rotation2", "100", *studio], os.path.join(WORK, "devices.png"))
    subprocess.run(["montage", *[os.path.join(WORK, n + ".png") for n in ("open-book", "ebook", "devices")],
                    "-tile", "3x1", "-geometry", "+0+0", os.path.join(OUT, "open-books-devices.png")], check=True)


if __name__ == "__main__":
    main()
