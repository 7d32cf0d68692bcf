"""Sizing a render farm: what one 2-core node does with zelmora-render as a scheduler's task
runs it (scripts/render.sh, headless: its own virtual display, the prefix made once), and
what 100,000 pictures take on 1, 10 and 50 such nodes. Prints figures; judges nothing.
Usage: cluster_sizing.py WORK_DIR"""
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RENDER = os.path.join(ROOT, "scripts", "render.sh")
WORK = os.path.abspath(sys.argv[1])
os.makedirs(WORK, exist_ok=True)
PICTURES = 60      # per measured batch
COVERS = 100_000

env = dict(os.environ)
env.pop("DISPLAY", None)  # a task on a node has no display: render.sh starts its own


def run(args, prefix=None):
    e = dict(env)
    if prefix:
        e["ZELMORA_WINEPREFIX_NAME"] = prefix
    t0 = time.time()
    r = subprocess.run([RENDER, *args], capture_output=True, text=True, env=e)
    elapsed = time.time() - t0
    if r.returncode:
        sys.exit("  failed: " + r.stderr.strip()[-400:])
    return elapsed


def picture(path, command):
    if not os.path.exists(path):
        subprocess.run(command + [path], check=True)
    return path


faces = {n: picture(os.path.join(WORK, f"{n}.jpg"), ["convert", "-seed", str(s), "-size", "2048x2048",
                                                     "plasma:fractal", "-quality", "92"])
         for n, s in (("front", 1), ("left", 2), ("top", 3))}
# A 6 x 9 in hardcover's case wrap at 300 dpi: two 6.125 in boards, the spine and hinges, the turn-in.
wrap = picture(os.path.join(WORK, "case-wrap.jpg"), ["convert", "-seed", "7", "-size", "4292x3130", "plasma:fractal",
                                                     "-quality", "92"])
book = {"shape": "hardcover", "cover": wrap, "trim": "6x9in", "pages": 300}
# Each picture is turned a little further: in the studio light every one gathers its own
# light (a batch of one view would keep it: see the benchmark's paperbacks).
kinds = {
    "box (three 2048 faces)": ("box", {"front": faces["front"], "left": faces["left"], "top": faces["top"]}),
    "hardcover (300 dpi case wrap), eye light": ("book-eye", dict(book, light="eye")),
    "hardcover (300 dpi case wrap), studio light": ("book-studio", dict(book, light="studio")),
}


def jobs_file(name, size, kind, count):
    path = os.path.join(WORK, name + ".jsonl")
    with open(path, "w") as f:
        for i in range(count):
            line = dict(kinds[kind][1], size=f"{size}x{size}", rotation1=(i * 15) % 360, fit=5,
                        o=os.path.join(WORK, "out", f"{name}-{i:03}.png"))
            f.write(json.dumps(line) + "\n")
    return path


def task(jobs, shard=None):
    return run(["--jobs", jobs] + (["--shard", shard] if shard else []))


print("== A task's start-up (render.sh with its own display, one 64 x 64 picture)", flush=True)
tiny = os.path.join(WORK, "tiny.jsonl")
with open(tiny, "w") as f:
    f.write(json.dumps({"size": "64x64", "o": os.path.join(WORK, "out", "tiny.png")}) + "\n")
shutil.rmtree(os.path.join(ROOT, "build", "sizing-fresh-prefix"), ignore_errors=True)
fresh = run(["--jobs", tiny], prefix="sizing-fresh-prefix")
shutil.rmtree(os.path.join(ROOT, "build", "sizing-fresh-prefix"), ignore_errors=True)
warm = statistics.median(task(tiny) for _ in range(3))
print(f"  prefix made beforehand (the container's): {warm:.1f} s; a fresh prefix in the task: {fresh:.1f} s", flush=True)

print(f"== Pictures per hour on this {os.cpu_count()}-core node ({PICTURES} pictures a batch; "
      "one task, and two tasks side by side)", flush=True)
rates = {}
for kind in kinds:
    for size in (1500, 2048):
        name = f"{kinds[kind][0]}-{size}"
        jobs = jobs_file(name, size, kind, PICTURES)
        one = task(jobs)
        t0 = time.time()
        pair = [subprocess.Popen([RENDER, "--jobs", jobs, "--shard", f"{k}/2"], env=env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL) for k in (1, 2)]
        if any(p.wait() for p in pair):
            sys.exit(f"  failed: two tasks over {jobs}")
        two = time.time() - t0
        # A long task pays its start-up once: the rate is what comes after it.
        per_one = max(one - warm, 1e-3) / PICTURES
        best = max(3600 / per_one, 3600 * PICTURES / max(two - warm, 1e-3))
        rates[(kind, size)] = (best, per_one)
        print(f"  {kind}, {size} x {size}: one task {one:.1f} s ({per_one * 1000:.0f} ms a picture past start-up), "
              f"two tasks {two:.1f} s: {best:,.0f} pictures an hour per node", flush=True)

print(f"== {COVERS:,} pictures (the better rate above; a task of 1,000 pictures pays its start-up once)", flush=True)
for (kind, size), (rate, _) in rates.items():
    cells = []
    for nodes in (1, 10, 50):
        tasks_per_node = COVERS / 1000 / nodes
        hours = COVERS / (rate * nodes) + tasks_per_node * warm / 3600
        cells.append(f"{nodes} node{'s' if nodes > 1 else ''}: {hours:.1f} h" if hours >= 1 else
                     f"{nodes} nodes: {hours * 60:.0f} min")
    print(f"  {kind}, {size} x {size}: " + ", ".join(cells), flush=True)
