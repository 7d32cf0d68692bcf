"""zelmora-render beside the usual ImageMagick box shot (bench/peer_boxshot.py) on the same
three 1024 x 1024 faces, at 1024 and 2048 pixels, in one run and alternating: the time per
picture in a 100-picture batch, the whole process of that batch as users run it on Linux
(scripts/render.sh, its output read through pipes: Wine's start-up included) against 100 of
the peer's pictures, and where one picture's time goes. Also the memory of a
4096 x 4096 transparent render. Prints figures beside the goals; judges nothing.
Usage: cli_bench.py RENDER_EXE WORK_DIR (RENDER_EXE: the build tree's, which render.sh runs)"""
import json
import os
import re
import statistics
import subprocess
import sys
import time

EXE, WORK = sys.argv[1], sys.argv[2]
HERE = os.path.dirname(os.path.abspath(__file__))
RENDER_SH = os.path.join(HERE, "..", "scripts", "render.sh")
os.makedirs(WORK, exist_ok=True)
ROUNDS = 2          # batches of ours per size, alternating with the peer
PEER_PER_ROUND = 3  # the peer's pictures per round (each a process of its own)


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


def render_as_users(*args):
    """Through scripts/render.sh, its output captured: the time until it has all been read."""
    t0 = time.time()
    r = subprocess.run([RENDER_SH, *args], capture_output=True, text=True)
    return time.time() - t0, r


def peer(size, index):
    t0 = time.time()
    subprocess.run([sys.executable, os.path.join(HERE, "peer_boxshot.py"), *faces, str(size),
                    os.path.join(WORK, f"peer-{size}-{index}.png")], check=True)
    return time.time() - t0


def breakdown(size):
    """Mean of each stage over 10 pictures of a batch (the first, which makes the surfaces, left out)."""
    jobs = os.path.join(WORK, f"timed-{size}.jsonl")
    with open(jobs, "w") as f:
        for i in range(11):
            f.write(json.dumps({"front": "front-1024.jpg", "left": "left-1024.jpg", "top": "top-1024.jpg",
                                "rotation1": 120 + i, "size": f"{size}x{size}", "o": f"timed-{size}-{i}.png"}) + "\n")
    _, r = render("--timings", "--jobs", win(jobs))
    stages = {}
    for line in r.stderr.splitlines()[2:]:  # skip the first picture's two lines
        for name, ms in re.findall(r"([a-z-]+) ([0-9.]+) ms", line):
            stages.setdefault(name, []).append(float(ms))
    keep = ["draw", "resolve", "read-back", "convert", "filter", "compress", "encoding", "write"]
    return ", ".join(f"{k} {statistics.mean(stages[k]):.0f}" for k in keep if k in stages)


for size in (1024, 2048):
    jobs = os.path.join(WORK, f"jobs-{size}.jsonl")
    with open(jobs, "w") as f:
        for i in range(100):
            f.write(json.dumps({"front": "front-1024.jpg", "left": "left-1024.jpg", "top": "top-1024.jpg",
                                "rotation1": 120 + i % 30, "size": f"{size}x{size}", "o": f"out-{size}-{i}.png"}) + "\n")
    per_picture, whole, peer_times = [], [], []
    for rnd in range(ROUNDS):
        wall, r = render_as_users("--jobs", jobs)
        m = re.search(r"(\d+) of (\d+) pictures in ([0-9.]+) s", r.stderr)
        if m:
            per_picture.append(float(m.group(3)) * 1000 / int(m.group(2)))
            whole.append(wall)
        peer_times += [peer(size, rnd * PEER_PER_ROUND + i) for i in range(PEER_PER_ROUND)]
    ours = statistics.median(per_picture)
    ours_whole = statistics.median(whole)
    theirs = statistics.median(peer_times) * 1000
    single, _ = render_as_users("--front", faces[0], "--left", faces[1], "--top", faces[2],
                                "--size", f"{size}x{size}", "-o", os.path.join(WORK, f"single-{size}.png"))
    print(f"{size} x {size}: zelmora-render {ours:.0f} ms a picture in a 100-job batch "
          f"(runs: {', '.join(f'{t:.0f}' for t in per_picture)}); ImageMagick peer {theirs:.0f} ms a picture "
          f"(median of {len(peer_times)}, {min(peer_times) * 1000:.0f}-{max(peer_times) * 1000:.0f})", flush=True)
    print(f"  per picture: {theirs / ours:.1f}x faster (goal >= 15x)", flush=True)
    print(f"  whole process of the 100-job batch: {ours_whole:.1f} s with start-up against 100 peer pictures "
          f"{theirs * 100 / 1000:.0f} s: {theirs * 100 / 1000 / ours_whole:.1f}x faster (goal >= 20x)", flush=True)
    print(f"  one picture with start-up: {single * 1000:.0f} ms ({theirs / (single * 1000):.1f}x the peer)", flush=True)
    print(f"  where one picture's time goes (ms, mean of 10): {breakdown(size)}", flush=True)

r = subprocess.run(["/usr/bin/time", "-f", "%M %e", "wine", EXE, "--size", "4096x4096", "--background", "transparent",
                    *sum((["--" + n, win(p)] for n, p in zip(("front", "left", "top"), faces)), []),
                    "-o", win(os.path.join(WORK, "big-4096.png"))], capture_output=True, text=True)
kb, seconds = r.stderr.strip().splitlines()[-1].split()
print(f"4096 x 4096 transparent: {seconds} s with start-up, peak resident memory {int(kb) / 1024:.0f} MB "
      f"(the frame: 256 MB multisampled + 128 MB depth, one 64 MB resolved copy, the encoder's buffers)")
