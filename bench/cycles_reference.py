"""A path tracer as the judge: for a matte paperback, a gloss hardcover and a DVD case, each at
the start view and two book views (an open hardcover at the start view and from above, a phone
at the start view and the hero view), zelmora-render writes the picture (studio light) and the
.glb of the same scene; Blender (Debian's package, installed here if missing) imports the .glb
as it is (its camera, its key light in lux) and renders it with Cycles on the CPU, on a white
floor under a white dome as strong as the model's sky. No value is set by hand.

Per pair it prints: SSIM over the product (the pixels zelmora-render's transparent picture
covers), the mean brightness of each over the product, the floor's darkness along a line
out from the base into the shadow (mean over the line's first third, and how far apart the
two profiles are there), and the brightest 1 % of the product (a gloss cover's sheen). It writes
each pair side by side and all of them in one sheet. Judges nothing: it reports.
Usage: cycles_reference.py ZELMORA_RENDER_EXE OUT_FOLDER [SIZE] [CYCLES_SAMPLES] [CASES]
  CASES: comma-separated names of the table below, as shape-view (default: all thirteen)"""
import math
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXE, OUT = sys.argv[1], sys.argv[2]
SIZE = int(sys.argv[3]) if len(sys.argv) > 3 else 1024
SAMPLES = int(sys.argv[4]) if len(sys.argv) > 4 else 128
WORK = os.path.join(ROOT, "build", "book-pictures")
DEVICE_WORK = os.path.join(ROOT, "build", "device-pictures")

SHAPES = {
    "paperback": ["--shape", "paperback", "--cover", os.path.join(WORK, "paperback-cover.png"), "--trim", "6x9in",
                  "--pages", "300", "--finish", "matte"],
    "hardcover": ["--shape", "hardcover", "--cover", os.path.join(WORK, "hardcover-wrap.png"), "--trim", "6x9in",
                  "--pages", "300", "--finish", "gloss"],
    "dvd": ["--shape", "dvd-case", "--cover", os.path.join(WORK, "dvd-insert.png")],
    "openbook": ["--shape", "open-book", "--cover", os.path.join(DEVICE_WORK, "hardcover-wrap.png"), "--spread",
                 os.path.join(DEVICE_WORK, "spread.png"), "--trim", "6x9in", "--pages", "300", "--read", "35"],
    "phone": ["--shape", "phone", "--screen", os.path.join(DEVICE_WORK, "ebook-cover.png"), "--screen-colour",
              "#101010", "--body", "silver"],
}
VIEWS = {
    "start": [],
    "hero": ["--template", "Book, Three-Quarter Hero"],
    "spine": ["--template", "Book, Spine"],
    "above": ["--template", "Open Book, From Above"],
}
# The views each shape is judged at: a book's three, an open book's start and from above.
SHAPE_VIEWS = {"paperback": ["start", "hero", "spine"], "hardcover": ["start", "hero", "spine"],
               "dvd": ["start", "hero", "spine"], "openbook": ["start", "above"], "phone": ["start", "hero"]}
# The start view through the start lens holds a book whole; the book views' long lens is
# drawn a little wider (their distance and direction kept) so that the shadow shows too.
WIDER = {"start": [], "hero": ["--zoom", "1030"], "spine": ["--zoom", "1030"], "above": []}

BLENDER_SCRIPT = r'''
import bpy, json, math, sys
import numpy
# Debian's Blender 3.4 importer still says numpy.bool, which Debian's numpy 1.24 no longer has.
if not hasattr(numpy, "bool"):
    numpy.bool = bool
glb, png, size, samples = sys.argv[sys.argv.index("--") + 1:]
bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.import_scene.gltf(filepath=glb)
scene = bpy.context.scene
scene.camera = next(o for o in scene.objects if o.type == "CAMERA")
# What the model says of its studio beyond the lights glTF knows: the key light's size, the
# dome's strength.
with open(glb, "rb") as f:
    f.read(12)
    length = int.from_bytes(f.read(4), "little")
    f.read(4)
    gltf = json.loads(f.read(length))
lights = gltf["extensions"]["KHR_lights_punctual"]["lights"]
studio = {l["name"]: l.get("extras", {}) for l in lights}
for o in list(scene.objects):
    if o.type == "LIGHT" and o.data.type == "SUN":
        extras = next((v for k, v in studio.items() if k.replace(" ", "_") in o.name or k in o.name), {})
        if "dome" in extras:
            bpy.data.objects.remove(o)  # the dome below is the sky itself
        elif "angularDiameter" in extras:
            o.data.angle = math.radians(extras["angularDiameter"])
dome = next((v["dome"] for v in studio.values() if "dome" in v), 0.0)
low = min((o.matrix_world @ v.co).z for o in scene.objects if o.type == "MESH" for v in o.data.vertices)
bpy.ops.mesh.primitive_plane_add(size=200, location=(0, 0, low))
floor = bpy.context.object.data
material = bpy.data.materials.new("floor")
material.use_nodes = True
material.node_tree.nodes["Principled BSDF"].inputs["Base Color"].default_value = (1, 1, 1, 1)
material.node_tree.nodes["Principled BSDF"].inputs["Roughness"].default_value = 1.0
material.node_tree.nodes["Principled BSDF"].inputs["Specular"].default_value = 0.0
floor.materials.append(material)
world = bpy.data.worlds.new("sky")
world.use_nodes = True
world.node_tree.nodes["Background"].inputs["Color"].default_value = (1, 1, 1, 1)
world.node_tree.nodes["Background"].inputs["Strength"].default_value = float(dome)
scene.world = world
scene.render.engine = "CYCLES"
scene.cycles.device = "CPU"
scene.cycles.samples = int(samples)
scene.cycles.use_denoising = False  # Debian builds Blender without OpenImageDenoise
scene.render.resolution_x = scene.render.resolution_y = int(size)
scene.view_settings.view_transform = "Standard"
scene.render.filepath = png
bpy.ops.render.render(write_still=True)
'''


def ensure_blender():
    """Blender, and the numpy its glTF importer needs, from Debian's packages."""
    have_numpy = subprocess.run(["/usr/bin/python3", "-c", "import numpy"], capture_output=True).returncode == 0
    if shutil.which("blender") and have_numpy:
        return True
    print("installing Debian's blender and python3-numpy (a few hundred MB)", flush=True)
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    subprocess.run([*sudo, "apt-get", "install", "-y", "--no-install-recommends", "blender", "python3-numpy"],
                   env={**os.environ, "DEBIAN_FRONTEND": "noninteractive"})
    return bool(shutil.which("blender"))


def pixels(path):
    """RGBA floats 0..1 of a picture, through ImageMagick."""
    import numpy
    w, h = (int(v) for v in subprocess.run(["identify", "-format", "%w %h", path], capture_output=True,
                                           text=True, check=True).stdout.split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True, check=True).stdout
    return numpy.frombuffer(raw, dtype=numpy.uint8).reshape(h, w, 4).astype(numpy.float64) / 255


def luma(rgba):
    return rgba[..., 0] * 0.2126 + rgba[..., 1] * 0.7152 + rgba[..., 2] * 0.0722


def ssim_map(a, b):
    """SSIM of two grey pictures (0..1), an 11-tap Gaussian window of sigma 1.5."""
    import numpy
    taps = numpy.exp(-0.5 * (numpy.arange(-5, 6) / 1.5) ** 2)
    taps /= taps.sum()

    def blur(x):
        x = numpy.apply_along_axis(lambda r: numpy.convolve(r, taps, mode="same"), 1, x)
        return numpy.apply_along_axis(lambda c: numpy.convolve(c, taps, mode="same"), 0, x)
    c1, c2 = 0.01 ** 2, 0.03 ** 2
    ma, mb = blur(a), blur(b)
    va, vb, cov = blur(a * a) - ma * ma, blur(b * b) - mb * mb, blur(a * b) - ma * mb
    return ((2 * ma * mb + c1) * (2 * cov + c2)) / ((ma * ma + mb * mb + c1) * (va + vb + c2))


def judge(ours, theirs, clear):
    import numpy
    a, b = luma(pixels(ours)), luma(pixels(theirs))
    mask = pixels(clear)[..., 3] > 0.99
    ssim = float(ssim_map(a, b)[mask].mean())
    mean_a, mean_b = float(a[mask].mean()), float(b[mask].mean())
    # The floor along a line out from the product's base: from its lowest pixel in its middle
    # column toward the darkest floor pixel of the path tracer's picture within a quarter of
    # the picture (the shadow's heart), a quarter of the picture long.
    ys, xs = numpy.nonzero(mask)
    column = int(numpy.median(xs))
    base = (int(ys[xs == column].max()) if (xs == column).any() else int(ys.max()), column)
    h, w = a.shape
    reach = h // 4
    gy, gx = numpy.mgrid[0:h, 0:w]
    near = ((gy - base[0]) ** 2 + (gx - base[1]) ** 2 < reach * reach) & ~mask & (gy >= base[0] - reach // 4)
    floor_b = numpy.where(near, b, 2.0)
    dy, dx = numpy.unravel_index(int(numpy.argmin(floor_b)), b.shape)
    length = max(1.0, math.hypot(dy - base[0], dx - base[1]))
    steps = numpy.arange(3, reach)
    py = numpy.clip(numpy.round(base[0] + (dy - base[0]) / length * steps).astype(int), 0, h - 1)
    px = numpy.clip(numpy.round(base[1] + (dx - base[1]) / length * steps).astype(int), 0, w - 1)
    keep = ~mask[py, px]
    line_a, line_b = 1 - a[py, px][keep], 1 - b[py, px][keep]
    third = max(1, len(line_b) // 3)
    dark_a, dark_b = line_a[:third], line_b[:third]
    profile_gap = float(numpy.abs(dark_a - dark_b).mean() / max(dark_b.mean(), 1e-3))
    sheen_a, sheen_b = float(numpy.percentile(a[mask], 99)), float(numpy.percentile(b[mask], 99))
    return {"ssim": ssim, "mean": (mean_a, mean_b), "floor": (float(dark_a.mean()), float(dark_b.mean())),
            "floor_gap": profile_gap, "sheen": (sheen_a, sheen_b)}


def render(args, out):
    subprocess.run([os.path.join(ROOT, "scripts", "render.sh"), *args, "-o", out], check=True,
                   stdout=subprocess.DEVNULL)


def main():
    os.makedirs(OUT, exist_ok=True)
    if not os.path.exists(os.path.join(WORK, "hardcover-wrap.png")):
        subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "book_pictures.py"),
                        os.path.join(OUT, "book-pictures")], check=True, stdout=subprocess.DEVNULL)
    if not ensure_blender():
        print("no Blender: no reference pictures")
        return
    try:
        import numpy  # noqa: F401 (the judging needs it)
    except ImportError:  # another Python than Debian's, whose numpy came with Blender
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    if not os.path.exists(os.path.join(DEVICE_WORK, "spread.png")):
        subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "device_pictures.py"),
                        os.path.join(OUT, "device-pictures")], check=True, stdout=subprocess.DEVNULL)
    wanted = sys.argv[5].split(",") if len(sys.argv) > 5 else [f"{s}-{v}" for s in SHAPES for v in SHAPE_VIEWS[s]]
    script = os.path.join(OUT, "reference.py")
    with open(script, "w") as f:
        f.write(BLENDER_SCRIPT)
    # Blender finds its Python's packages by the python3 on PATH: Debian's, not another one's.
    system = {**os.environ, "PATH": "/usr/bin:/bin"}
    sides, results = [], []
    print(f"{SIZE} x {SIZE}, Cycles at {SAMPLES} samples; brightness, floor and sheen as zelmora / cycles")
    for name in wanted:
        shape, view = name.split("-")
        args = [*SHAPES[shape], "--light", "studio", "--shadow", "100", "--reflection", "0", *VIEWS[view],
                *WIDER[view], "--size", f"{SIZE}x{SIZE}"]
        glb, ours, clear, theirs = (os.path.join(OUT, f"{name}{suffix}")
                                    for suffix in (".glb", "-zelmora.png", "-clear.png", "-cycles.png"))
        render(args, glb)
        t0 = time.time()
        render(args, ours)
        zelmora = time.time() - t0
        render([*args, "--transparent", "true", "--shadow", "0"], clear)
        t0 = time.time()
        subprocess.run(["blender", "-b", "--python", script, "--", glb, theirs, str(SIZE), str(SAMPLES)],
                       check=True, stdout=subprocess.DEVNULL, env=system)
        cycles = time.time() - t0
        subprocess.run(["convert", theirs, "-background", "white", "-flatten", theirs], check=True)
        r = judge(ours, theirs, clear)
        results.append((name, r))
        print(f"{name:16s} SSIM {r['ssim']:.3f}  brightness {r['mean'][0]:.3f} / {r['mean'][1]:.3f} "
              f"({100 * (r['mean'][0] / r['mean'][1] - 1):+.0f} %)  floor {r['floor'][0]:.3f} / {r['floor'][1]:.3f} "
              f"(profile {100 * r['floor_gap']:.0f} % apart)  sheen {r['sheen'][0]:.3f} / {r['sheen'][1]:.3f}  "
              f"[{zelmora:.1f} s / {cycles:.0f} s]", flush=True)
        side = os.path.join(OUT, f"{name}-side-by-side.png")
        subprocess.run(["montage", ours, theirs, "-tile", "2x1", "-geometry", "+0+0", side], check=True)
        sides.append(side)
    sheet = os.path.join(OUT, "side-by-side.png")
    subprocess.run(["montage", *sides, "-tile", "1x", "-geometry", "+0+0", "-resize", "50%", sheet], check=True)
    worst = min(r["ssim"] for _, r in results)
    off = max(abs(r["mean"][0] / r["mean"][1] - 1) for _, r in results)
    print(f"lowest SSIM {worst:.3f} (goal 0.92), brightness at most {100 * off:.0f} % apart (goal 5 %); "
          f"the pairs side by side: {sheet}")


main()
