"""A 72-picture spin at 2048 x 2048 in one command beside the same 72 pictures made by a
jobs file (one line a step of rotation1), alternating, on three 2048 x 2048 faces; the same
spin as an APNG; and a .glb of six 2048 x 2048 faces. Wall time of the whole process (Wine's
start-up included). Prints figures; judges nothing.
Usage: spin_bench.py RENDER_EXE WORK_DIR"""
import json
import os
import subprocess
import sys
import time

EXE, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)
SIZE, COUNT, ROUNDS = 2048, 72, 2


def win(path):
    return "Z:" + path.replace("/", "\\")


faces = {}
for name, seed in (("front", 1), ("left", 2), ("top", 3), ("back", 4), ("right", 5), ("bottom", 6)):
    path = os.path.join(WORK, f"{name}-2048.jpg")
    if not os.path.exists(path):
        subprocess.run(["convert", "-seed", str(seed), "-size", "2048x2048", "plasma:fractal", "-quality", "92", path],
                       check=True)
    faces[name] = path
three = [a for name in ("front", "left", "top") for a in (f"--{name}", win(faces[name]))]


def timed(*args):
    t0 = time.time()
    r = subprocess.run(["wine", EXE, *args], capture_output=True, text=True)
    if r.returncode:
        print("  failed:", r.stderr.strip()[-300:], flush=True)
    return time.time() - t0


jobs = os.path.join(WORK, "turn.jsonl")
with open(jobs, "w") as f:
    for i in range(COUNT):
        f.write(json.dumps({"rotation1": (135 + i * 5) % 360, "o": f"jobs/turn-{i + 1:02}.png"}) + "\n")
os.makedirs(os.path.join(WORK, "jobs"), exist_ok=True)
spin, batch = [], []
for _ in range(ROUNDS):
    spin.append(timed(*three, "--spin", str(COUNT), "--size", f"{SIZE}x{SIZE}", "-o", win(os.path.join(WORK, "spin/turn.png"))))
    batch.append(timed(*three, "--size", f"{SIZE}x{SIZE}", "--fit", "5", "--jobs", win(jobs)))
print(f"{COUNT} pictures at {SIZE} x {SIZE}: --spin {min(spin):.1f} s ({min(spin) / COUNT * 1000:.0f} ms a picture), "
      f"the same by a jobs file {min(batch):.1f} s ({min(batch) / COUNT * 1000:.0f} ms a picture); best of {ROUNDS}",
      flush=True)
apng = timed(*three, "--spin", str(COUNT), "--size", "1024x1024", "--spin-format", "apng", "-o",
             win(os.path.join(WORK, "turn-apng.png")))
print(f"the same spin at 1024 x 1024 as one APNG: {apng:.1f} s, "
      f"{os.path.getsize(os.path.join(WORK, 'turn-apng.png')) / 2**20:.1f} MB", flush=True)
six = [a for name, path in faces.items() for a in (f"--{name}", win(path))]
model = timed(*six, "-o", win(os.path.join(WORK, "box.glb")))
print(f"a .glb of six 2048 x 2048 JPEG faces: {model:.1f} s with start-up, "
      f"{os.path.getsize(os.path.join(WORK, 'box.glb')) / 2**20:.1f} MB", flush=True)
