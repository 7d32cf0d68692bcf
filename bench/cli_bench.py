"""zelmora-render beside the usual ImageMagick box shot (bench/peer_boxshot.py) on the same
three 1024 x 1024 faces: time per picture in a 100-picture batch and for one picture with
start-up, at 1024 and 2048 pixels; and the memory of a 4096 x 4096 transparent render.
Prints figures; judges nothing. Usage: cli_bench.py RENDER_EXE WORK_DIR"""
import json
import os
import re
import subprocess
import sys
import time

EXE, WORK = sys.argv[1], sys.argv[2]
HERE = os.path.dirname(os.path.abspath(__file__))
os.makedirs(WORK, exist_ok=True)


def win(path):
    return "Z:" + path.replace("/", "\\")


faces = []
for name, seed in (("front", 1), ("left", 2), ("top", 3)):
    path = os.path.join(WORK, f"{name}-1024.jpg")
    if not os.path.exists(path):
        subprocess.run(["convert", "-seed", str(seed), "-size", "1024x1024", "plasma:fractal", "-quality", "92", path],
                       check=True)
    faces.append(path)


def render(*args):
    t0 = time.time()
    r = subprocess.run(["wine", EXE, *args], capture_output=True, text=True)
    return time.time() - t0, r


for size in (1024, 2048):
    jobs = os.path.join(WORK, f"jobs-{size}.jsonl")
    with open(jobs, "w") as f:
        for i in range(100):
            f.write(json.dumps({"front": "front-1024.jpg", "left": "left-1024.jpg", "top": "top-1024.jpg",
                                "rotation1": 120 + i % 30, "size": f"{size}x{size}", "o": f"out-{size}-{i}.png"}) + "\n")
    wall, r = render("--jobs", win(jobs))
    m = re.search(r"(\d+) of (\d+) pictures in ([0-9.]+) s", r.stderr)
    batch_ms = float(m.group(3)) * 1000 / int(m.group(2)) if m else float("nan")
    single, _ = render("--front", win(faces[0]), "--left", win(faces[1]), "--top", win(faces[2]),
                       "--size", f"{size}x{size}", "-o", win(os.path.join(WORK, f"single-{size}.png")))
    peer_times = []
    for i in range(3):
        t0 = time.time()
        subprocess.run([sys.executable, os.path.join(HERE, "peer_boxshot.py"), *faces, str(size),
                        os.path.join(WORK, f"peer-{size}-{i}.png")], check=True)
        peer_times.append(time.time() - t0)
    peer = sorted(peer_times)[1] * 1000
    print(f"{size} x {size}: zelmora-render {batch_ms:.0f} ms a picture in a 100-job batch "
          f"({wall:.1f} s in all, start-up included), {single * 1000:.0f} ms for one picture with start-up; "
          f"ImageMagick peer {peer:.0f} ms a picture; batch {peer / batch_ms:.1f}x faster (goal >= 10x), "
          f"single {peer / (single * 1000):.1f}x", flush=True)

r = subprocess.run(["/usr/bin/time", "-f", "%M %e", "wine", EXE, "--size", "4096x4096", "--background", "transparent",
                    *sum((["--" + n, win(p)] for n, p in zip(("front", "left", "top"), faces)), []),
                    "-o", win(os.path.join(WORK, "big-4096.png"))], capture_output=True, text=True)
kb, seconds = r.stderr.strip().splitlines()[-1].split()
print(f"4096 x 4096 transparent: {seconds} s with start-up, peak resident memory {int(kb) / 1024:.0f} MB "
      f"(the frame: 256 MB multisampled + 128 MB depth, one 64 MB resolved copy, the encoder's buffers)")
