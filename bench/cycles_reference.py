"""A path tracer's picture of the same model beside zelmora-render's: zelmora-render writes a
hardcover in the studio's light as a .glb (with its camera, key light and sky) and as a
picture; Blender (Debian's package, installed here if missing) imports the .glb and renders
it with Cycles on the CPU, on a white floor under a white sky. Prints both times, whole
process, and writes the two pictures side by side. Judges nothing.
Usage: cycles_reference.py ZELMORA_RENDER_EXE OUT_FOLDER [SIZE] [CYCLES_SAMPLES]"""
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXE, OUT = sys.argv[1], sys.argv[2]
SIZE = int(sys.argv[3]) if len(sys.argv) > 3 else 1024
SAMPLES = int(sys.argv[4]) if len(sys.argv) > 4 else 128

# The scene as Blender finds it after importing the model: the model's camera and lights
# (their strengths as written), a white floor under the model, the sky as the world's light.
BLENDER_SCRIPT = r'''
import bpy, math, sys
import numpy
# Debian's Blender 3.4 importer still says numpy.bool, which Debian's numpy 1.24 no longer has.
if not hasattr(numpy, "bool"):
    numpy.bool = bool
glb, png, size, samples, key, sky, size_deg = sys.argv[sys.argv.index("--") + 1:]
bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.import_scene.gltf(filepath=glb)
scene = bpy.context.scene
scene.camera = next(o for o in scene.objects if o.type == "CAMERA")
low = min((o.matrix_world @ v.co).z for o in scene.objects if o.type == "MESH" for v in o.data.vertices)
bpy.ops.mesh.primitive_plane_add(size=200, location=(0, 0, low))
floor = bpy.context.object.data
material = bpy.data.materials.new("floor")
material.use_nodes = True
material.node_tree.nodes["Principled BSDF"].inputs["Base Color"].default_value = (1, 1, 1, 1)
material.node_tree.nodes["Principled BSDF"].inputs["Roughness"].default_value = 1.0
floor.materials.append(material)
# The key light as a sun of its size and strength (a strength of pi lights a white surface
# square to it white); the sky as the world's light, not as a sun.
for o in list(scene.objects):
    if o.type == "LIGHT" and o.data.type == "SUN":
        if "key" in o.name:
            o.data.angle = math.radians(float(size_deg))
            o.data.energy = math.pi * float(key)
        else:
            bpy.data.objects.remove(o)
world = bpy.data.worlds.new("sky")
world.use_nodes = True
world.node_tree.nodes["Background"].inputs["Color"].default_value = (1, 1, 1, 1)
world.node_tree.nodes["Background"].inputs["Strength"].default_value = float(sky)
scene.world = world
scene.render.engine = "CYCLES"
scene.cycles.device = "CPU"
scene.cycles.samples = int(samples)
scene.cycles.use_denoising = False  # Debian builds Blender without OpenImageDenoise
scene.render.resolution_x = scene.render.resolution_y = int(size)
scene.render.film_transparent = True  # laid on white afterwards, as a shop's picture
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


def main():
    os.makedirs(OUT, exist_ok=True)
    wrap = os.path.join(ROOT, "build", "book-pictures", "hardcover-wrap.png")
    if not os.path.exists(wrap):
        subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "book_pictures.py"),
                        os.path.join(OUT, "book-pictures")], check=True, stdout=subprocess.DEVNULL)
    view = ["--shape", "hardcover", "--cover", wrap, "--trim", "6x9in", "--pages", "300", "--rotation1", "130",
            "--rotation2", "115", "--zoom", "840", "--shadow", "60", "--reflection", "0", "--size", f"{SIZE}x{SIZE}"]
    # No --fit: its centring moves the picture off the camera's axis, which a model's camera
    # cannot carry; both pictures are then the same camera's.
    render = os.path.join(ROOT, "scripts", "render.sh")
    glb, ours, theirs = (os.path.join(OUT, n) for n in ("hardcover.glb", "zelmora.png", "cycles.png"))
    subprocess.run([render, *view, "-o", glb], check=True, stdout=subprocess.DEVNULL)
    t0 = time.time()
    subprocess.run([render, *view, "-o", ours], check=True, stdout=subprocess.DEVNULL)
    zelmora = time.time() - t0
    print(f"zelmora-render, {SIZE} x {SIZE} in the studio's light (16 drawings), whole process: {zelmora:.1f} s",
          flush=True)
    if not ensure_blender():
        print("no Blender: no reference picture")
        return
    script = os.path.join(OUT, "reference.py")
    with open(script, "w") as f:
        f.write(BLENDER_SCRIPT)
    t0 = time.time()
    # Blender finds its Python's packages by the python3 on PATH: Debian's, not another one's.
    system = {**os.environ, "PATH": "/usr/bin:/bin"}
    subprocess.run(["blender", "-b", "--python", script, "--", glb, theirs, str(SIZE), str(SAMPLES), "1.0", "0.5", "12"],
                   check=True, stdout=subprocess.DEVNULL, env=system)
    cycles = time.time() - t0
    print(f"Blender {SAMPLES}-sample Cycles on the CPU, {SIZE} x {SIZE}, the same model, camera and lights, "
          f"whole process: {cycles:.1f} s ({cycles / zelmora:.1f} times zelmora-render's)", flush=True)
    subprocess.run(["convert", theirs, "-background", "white", "-flatten", theirs], check=True)
    side = os.path.join(OUT, "side-by-side.png")
    subprocess.run(["montage", ours, theirs, "-tile", "2x1", "-geometry", "+0+0", side], check=True)
    print(f"the two pictures side by side: {side}")


main()
