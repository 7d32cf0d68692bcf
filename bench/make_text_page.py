"""Writes a page of small type (lines of 10 to 14 point text, black on white), the artwork
of the README's steep-angle pictures: usage: make_text_page.py OUT [SIDE]"""
import random
import subprocess
import sys

out, side = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 2048
random.seed(7)
words = "Requires Windows memory disk space 128 MB display colour sound card install licence version 4.2 setup".split()
args = ["/usr/bin/convert", "-size", f"{side}x{side}", "xc:white", "-font", "Liberation-Sans", "-fill", "black"]
y, line = 14, 0
while y < side - 8:
    size = 10 + line % 5
    args += ["-pointsize", str(size), "-annotate", f"+4+{y}", " ".join(random.choice(words) for _ in range(side // 30))]
    y, line = y + size + 4, line + 1
subprocess.run(args + [out], check=True)
