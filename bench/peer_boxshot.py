"""The usual ImageMagick way of making a box shot, for comparison with zelmora-render: each
visible face warped with -distort Perspective onto its projected corners (the same camera as
Zelmora's start scene), shaded by the angle to the light at the eye, composited over the
background. Usage: peer_boxshot.py FRONT LEFT TOP SIZE OUT"""
import math
import subprocess
import sys

FRONT, LEFT, TOP, SIZE, OUT = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), sys.argv[5]
ROT1, ROT2, DISTANCE, ZOOM = 135, 120, 200, 750
WIDTH, HEIGHT, DEPTH = 80, 120, 20
AMBIENT, DIFFUSE = 0.30, 1.00


def mat_mul(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(3)) for j in range(3)] for i in range(3)]


def yaw_pitch_roll(yaw, pitch, roll):
    """Row-vector rotation: roll about Z, then pitch about X, then yaw about Y."""
    cz, sz, cx, sx, cy, sy = math.cos(roll), math.sin(roll), math.cos(pitch), math.sin(pitch), math.cos(yaw), math.sin(yaw)
    rz = [[cz, sz, 0], [-sz, cz, 0], [0, 0, 1]]
    rx = [[1, 0, 0], [0, cx, sx], [0, -sx, cx]]
    ry = [[cy, 0, -sy], [0, 1, 0], [sy, 0, cy]]
    return mat_mul(mat_mul(rz, rx), ry)


def sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def dot(a, b):
    return sum(a[i] * b[i] for i in range(3))


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def norm(a):
    n = math.sqrt(dot(a, a))
    return [x / n for x in a]


rot = yaw_pitch_roll(math.radians(ROT1 + 180), 0.0, math.radians(ROT2 + 90))
d = DISTANCE * 0.1
eye = [d * rot[0][0], d * rot[0][1], d * rot[0][2]]
zaxis = norm(eye)
xaxis = norm(cross([0, -1, 0], zaxis))
yaxis = cross(zaxis, xaxis)
fov = math.radians((1200 - ZOOM) / 10)
y_scale = 1 / math.tan(fov / 2)
x_scale = y_scale  # square picture


def project(p):
    v = sub(p, eye)
    x, y, z = dot(xaxis, v), dot(yaxis, v), dot(zaxis, v)
    return ((x_scale * x / -z + 1) / 2 * SIZE, (1 - y_scale * y / -z) / 2 * SIZE)


hx, hy, hz = WIDTH / 20, HEIGHT / 20, DEPTH / 20
faces = {  # corners top-left, top-right, bottom-right, bottom-left; outward normal
    FRONT: ([(-hx, -hy, -hz), (hx, -hy, -hz), (hx, hy, -hz), (-hx, hy, -hz)], (0, 0, -1)),
    LEFT: ([(-hx, -hy, hz), (-hx, -hy, -hz), (-hx, hy, -hz), (-hx, hy, hz)], (-1, 0, 0)),
    TOP: ([(-hx, -hy, hz), (hx, -hy, hz), (hx, -hy, -hz), (-hx, -hy, -hz)], (0, -1, 0)),
}

args = ["convert", "-size", f"{SIZE}x{SIZE}", "xc:white"]
for path, (corners, normal) in faces.items():
    centre = [sum(c[i] for c in corners) / 4 for i in range(3)]
    to_eye = norm(sub(eye, centre))
    facing = dot(normal, to_eye)
    if facing <= 0:
        continue  # turned away from the camera
    shade = min(1.0, AMBIENT + DIFFUSE * facing)
    w, h = map(int, subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True).stdout.split())
    src = [(0, 0), (w, 0), (w, h), (0, h)]
    dst = [project(c) for c in corners]
    points = " ".join(f"{sx},{sy} {dx:.2f},{dy:.2f}" for (sx, sy), (dx, dy) in zip(src, dst))
    args += ["(", path, "-alpha", "set", "-virtual-pixel", "transparent", "-define",
             f"distort:viewport={SIZE}x{SIZE}+0+0", "+distort", "Perspective", points,
             "-channel", "RGB", "-evaluate", "multiply", f"{shade:.3f}", "+channel", ")", "-composite"]
args.append(OUT)
subprocess.run(args, check=True)
