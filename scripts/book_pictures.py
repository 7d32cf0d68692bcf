#!/usr/bin/env python3
"""Makes the README's book and case pictures: three print-ready covers drawn with ImageMagick
(a paperback's, a hardcover's case wrap, a DVD insert), each made into a picture by
zelmora-render with the command line the README shows.
    scripts/book_pictures.py [OUT_FOLDER]   (default: docs)"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs")
WORK = os.path.join(ROOT, "build", "book-pictures")
DPI = 150


def cover(path, panel_w, panel_h, spine, margin, title, author, top, bottom, ink):
    """Back, spine and front of panel_w x panel_h inches round a spine, margin all round."""
    px = lambda inches: int(round(inches * DPI))
    w, h = px(2 * margin + 2 * panel_w + spine), px(2 * margin + panel_h)
    back0, spine0, front0 = px(margin), px(margin + panel_w), px(margin + panel_w + spine)
    mid = lambda a, b: (a + b) // 2
    blurb = ("A lighthouse keeper's last winter, told in letters\\nthat never reached the mainland. "
             "\\n\\n\"Quietly devastating.\"  The Evening Review")
    subprocess.run([
        "convert", "-size", f"{w}x{h}", f"gradient:{top}-{bottom}",
        # The front: title, a rule, the author.
        "-fill", ink, "-font", "Times-Bold", "-pointsize", str(px(0.42)), "-gravity", "NorthWest",
        "-annotate", f"+{front0 + px(0.5)}+{px(margin + 1.2)}", title.replace(" ", "\\n", 1),
        "-stroke", ink, "-strokewidth", str(max(2, px(0.02))),
        "-draw", f"line {front0 + px(0.5)},{px(margin + 3.0)} {front0 + px(panel_w - 0.5)},{px(margin + 3.0)}",
        "-stroke", "none", "-font", "Helvetica", "-pointsize", str(px(0.22)),
        "-annotate", f"+{front0 + px(0.5)}+{px(margin + panel_h - 1.2)}", author.upper(),
        # The back: the blurb and a white box where the barcode goes.
        "-pointsize", str(px(0.14)), "-annotate", f"+{back0 + px(0.6)}+{px(margin + 1.0)}", blurb,
        "-fill", "white", "-draw",
        f"rectangle {back0 + px(panel_w - 2.4)},{px(margin + panel_h - 1.6)} "
        f"{back0 + px(panel_w - 0.5)},{px(margin + panel_h - 0.5)}",
        # The spine: title and author along it, read top to bottom.
        "(", "-size", f"{px(panel_h - 1)}x{max(px(spine) - 4, 8)}", "xc:none", "-fill", ink, "-font", "Helvetica-Bold",
        "-pointsize", str(max(8, min(px(0.2), px(spine) // 2))), "-gravity", "Center",
        "-annotate", "+0+0", f"{title}   ·   {author}", "-rotate", "90", ")",
        "-gravity", "NorthWest", "-geometry", f"+{spine0 + 2}+{px(margin + 0.5)}", "-composite",
        path], check=True)
    del mid
    return w, h


def render(args, out):
    subprocess.run([os.path.join(ROOT, "scripts", "render.sh"), *args, "-o", out], check=True)


def main():
    os.makedirs(WORK, exist_ok=True)
    os.makedirs(OUT, exist_ok=True)
    spine = 300 * 0.002252
    cover(os.path.join(WORK, "paperback-cover.png"), 6, 9, spine, 0.125, "The Quiet Harbour", "Mira Ostrander",
          "#18324f", "#3f7f8c", "#f4ead2")
    cover(os.path.join(WORK, "hardcover-wrap.png"), 6.125, 9.25, spine + 0.2, 0.591, "Salt and Iron",
          "Tomas Verhoeven", "#5a1e1e", "#8c3b2a", "#f2d9a0")
    cover(os.path.join(WORK, "dvd-insert.png"), 130 / 25.4, 183 / 25.4, 13 / 25.4, 0.125, "Northern Lights",
          "A documentary", "#0b1a2e", "#2b5d6e", "#e8f4f8")
    common = ["--size", "640x640", "--fit", "6", "--shadow", "45", "--reflection", "20"]
    render(["--shape", "paperback", "--cover", os.path.join(WORK, "paperback-cover.png"), "--trim", "6x9in",
            "--pages", "300", "--paper", "cream", *common], os.path.join(OUT, "book-paperback.png"))
    render(["--shape", "hardcover", "--cover", os.path.join(WORK, "hardcover-wrap.png"), "--trim", "6x9in",
            "--pages", "300", "--rotation1", "130", "--rotation2", "115", *common], os.path.join(OUT, "book-hardcover.png"))
    render(["--shape", "dvd-case", "--cover", os.path.join(WORK, "dvd-insert.png"), "--rotation1", "140", *common],
           os.path.join(OUT, "book-dvd-case.png"))
    # The same three in the light at the eye (above) and the studio's, side by side.
    names = ["book-paperback", "book-hardcover", "book-dvd-case"]
    shapes = [["--shape", "paperback", "--cover", os.path.join(WORK, "paperback-cover.png"), "--trim", "6x9in",
               "--pages", "300", "--paper", "cream"],
              ["--shape", "hardcover", "--cover", os.path.join(WORK, "hardcover-wrap.png"), "--trim", "6x9in",
               "--pages", "300", "--rotation1", "130", "--rotation2", "115"],
              ["--shape", "dvd-case", "--cover", os.path.join(WORK, "dvd-insert.png"), "--rotation1", "140"]]
    for name, shape in zip(names, shapes):
        render([*shape, "--size", "400x400", "--fit", "6", "--shadow", "45", "--light", "eye"],
               os.path.join(WORK, name + "-eye.png"))
        render([*shape, "--size", "400x400", "--fit", "6", "--shadow", "45", "--finish", "gloss"],
               os.path.join(WORK, name + "-studio.png"))
    subprocess.run(["montage", *[os.path.join(WORK, n + "-eye.png") for n in names],
                    *[os.path.join(WORK, n + "-studio.png") for n in names], "-tile", "3x2", "-geometry", "+0+0",
                    os.path.join(OUT, "studio-light.png")], check=True)
    # A large key light drawn once, in its middle (the draft) and averaged over its face.
    for samples in ("1", "16"):
        render([*shapes[1], "--size", "400x400", "--fit", "6", "--shadow", "80", "--light-size", "30",
                "--light-samples", samples], os.path.join(WORK, f"soft-light-{samples}.png"))
    subprocess.run(["montage", os.path.join(WORK, "soft-light-1.png"), os.path.join(WORK, "soft-light-16.png"),
                    "-tile", "2x1", "-geometry", "+0+0", os.path.join(OUT, "soft-light.png")], check=True)


if __name__ == "__main__":
    main()
