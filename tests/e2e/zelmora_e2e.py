"""Drives the real zelmora.exe under Wine as a person would: xdotool for the mouse and
keys, ImageMagick for screenshots. The caller provides the Wine prefix and the display
(run_e2e.sh does)."""
import os
import subprocess
import sys
import time

CONVERT = "/usr/bin/convert"
IMPORT = "/usr/bin/import"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        # The screen as it was when the check failed, beside the test's other files.
        out = sys.argv[2] if len(sys.argv) > 2 else "."
        subprocess.run([IMPORT, "-window", "root", os.path.join(out, "failure.png")], check=False)
        raise Failure(message)
    print("ok:", message, flush=True)


def xdotool(*args, check_rc=True):
    r = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    if check_rc and r.returncode != 0:
        raise Failure(f"xdotool {' '.join(map(str, args))}: {r.stderr.strip()}")
    return r.stdout.strip()


def find_window(title, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        out = xdotool("search", "--name", f"^{title}$", check_rc=False)
        if out:
            return out.splitlines()[0]
        time.sleep(0.2)
    return None


def window_geometry(win):
    values = {}
    for line in xdotool("getwindowgeometry", "--shell", win).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value) if value.lstrip("-").isdigit() else value
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


class Image:
    """An RGB picture read through ImageMagick (no imaging library needed)."""

    def __init__(self, path, crop=None):
        args = [CONVERT, path]
        if crop:
            x, y, w, h = crop
            args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        data = subprocess.run(args + ["-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
        size = subprocess.run([CONVERT, path] + (args[2:] if crop else []) + ["-format", "%w %h", "info:"],
                              capture_output=True, text=True, check=True).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.data = data

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return self.data[i], self.data[i + 1], self.data[i + 2]


def screenshot(path, crop=None):
    subprocess.run([IMPORT, "-window", "root", path], check=True)
    return Image(path, crop)


class App:
    def __init__(self, exe, workdir, args=(), title="Zelmora"):
        self.log = open(os.path.join(workdir, "app.log"), "w")
        self.proc = subprocess.Popen(["wine", exe, *args], cwd=workdir, stdout=self.log, stderr=subprocess.STDOUT)
        self.win = find_window(title, timeout=60)
        if not self.win:
            raise Failure(f"no window titled {title}")
        self.x, self.y, self.w, self.h = window_geometry(self.win)

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.running():
            self.proc.kill()
            self.proc.wait()


# Trackbar rows in dialog units of the main dialog: the page starts 20 units below the tab
# control's top (the tab row), each trackbar is 15 units high from its page y.
TRACK_LEFT, TRACK_RIGHT = 289, 481
ROW_FIRST, ROW_SECOND = 26 + 7.5, 44 + 7.5
# Tab headers and controls of the pages, in dialog units.
DIMENSIONS_TAB, SIDES_TAB, ROTATION_TAB, TEMPLATES_TAB, FLOOR_TAB = (271, 13), (315, 12), (366, 13), (434, 13), (470, 13)
TEMPLATE_ITEM_FIRST = (304, 42)
TEMPLATE_ITEM_HEIGHT = 8
KEEP_BOX_SIZE, VIEW_ADD_BUTTON = (436, 29), (477, 157)
FRONT_COLOUR_BUTTON = (484, 32)


class Layout:
    """Where the dialog's controls are on the screen, in dialog units converted with the
    scale measured from the preview (228 x 198 units at 7, 7, with a one-pixel edge)."""

    def __init__(self, preview_rect):
        px, py, pw, ph = preview_rect  # the preview's client area, in screen pixels
        self.preview = preview_rect
        self.sx = (pw + 2) / 228.0
        self.sy = (ph + 2) / 198.0
        self.ox = px - 1 - 7 * self.sx
        self.oy = py - 1 - 7 * self.sy

    def point(self, dlu_x, dlu_y):
        return round(self.ox + dlu_x * self.sx), round(self.oy + dlu_y * self.sy)


def find_preview(shot, app):
    """The preview's client area: the white rectangle in the left part of the window."""
    cx = app.x + app.w // 4

    def white(x, y):
        return shot.at(x, y) == (255, 255, 255)

    # The row with the longest white run in the left half crosses the whole preview. A row
    # inside it has white above and below; the sunken edge's light bottom line does not.
    best = (0, 0, 0)
    for y in range(app.y + 30, app.y + app.h - 40, 4):
        run_start = None
        for x in range(app.x + 4, cx + app.w // 4):
            if white(x, y):
                if run_start is None:
                    run_start = x
                middle = (run_start + x) // 2
                if x - run_start + 1 > best[0] and white(middle, y - 1) and white(middle, y + 1):
                    best = (x - run_start + 1, run_start, y)
            else:
                run_start = None
    length, left, y = best
    right = left + length - 1
    top = y
    while white(left, top - 1):
        top -= 1
    bottom = y
    while white(left, bottom + 1):
        bottom += 1
    # The sunken edge's light bottom and right lines are white too: not part of the picture.
    return left, top, right - left, bottom - top


def first_look(app, out, timeout=60.0):
    """The window once its first frame is on screen: a screenshot, the preview's place and
    the control layout. Waits (generously: a busy machine starts slowly) for a preview of a
    plausible size with the box drawn in its middle."""
    def look():
        app.x, app.y, app.w, app.h = window_geometry(app.win)
        shot = screenshot(os.path.join(out, "start.png"))
        try:
            preview = find_preview(shot, app)
        except Exception:
            return None
        px, py, pw, ph = preview
        if not (200 < pw < 600 and 150 < ph < 500):
            return None
        if shot.at(px + pw // 2, py + ph // 2) == (255, 255, 255):
            return None  # the window is there, its first frame not yet
        return shot, preview
    found = wait_until(look, timeout, 0.3)
    if not found:
        raise Failure("the first frame did not appear in the preview")
    shot, preview = found
    return shot, preview, Layout(preview)


def thumb_x(shot, y_centre, x_from, x_to, background):
    """Centre of a trackbar thumb on the row around y_centre: the columns where many pixels
    differ from the page background (the channel is only a thin line)."""
    best = None
    for dy in (-2, 0, 2):
        columns = []
        for x in range(x_from, x_to):
            n = sum(1 for y in range(y_centre - 9 + dy, y_centre + 10 + dy) if shot.at(x, y) != background)
            columns.append(n)
        tall = [i for i, n in enumerate(columns) if n >= 12]
        if tall:
            runs, start = [], tall[0]
            for a, b in zip(tall, tall[1:] + [None]):
                if b != a + 1:
                    runs.append((start, a))
                    if b is not None:
                        start = b
            run = max(runs, key=lambda r: r[1] - r[0])
            centre = x_from + (run[0] + run[1]) / 2
            if best is None or run[1] - run[0] > best[1]:
                best = (centre, run[1] - run[0])
    return None if best is None else best[0]


def drag(x0, y0, x1, y1, steps, pause=0.06, release=True):
    """A person's drag: press, move in small steps, release. Each step waits several render
    ticks: moves that arrive within one tick replace each other (only the last counts)."""
    xdotool("mousemove", x0, y0)
    time.sleep(0.1)
    xdotool("mousedown", 1)
    time.sleep(0.1)
    for i in range(1, steps + 1):
        xdotool("mousemove", round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps))
        time.sleep(pause)
    time.sleep(0.2)
    if release:
        xdotool("mouseup", 1)
        time.sleep(0.2)


def click(x, y):
    xdotool("mousemove", x, y)
    time.sleep(0.05)
    xdotool("click", 1)
    time.sleep(0.3)


def windows_path(path):
    """A Linux path as Wine's Z: drive shows it."""
    return "Z:" + path.replace("/", "\\")


def click_when_ready(x, y, title="Zelmora", timeout=60.0):
    """Clicks once the main window is itself again: while a picture is written it is disabled
    (its title says so), and a click then is lost, as on Windows."""
    wait_until(lambda: find_window(title, timeout=0.3), timeout)
    click(x, y)


def wait_until(condition, timeout=15.0, interval=0.1):
    """Polls condition() until it returns something true; returns that, or None at the limit."""
    end = time.time() + timeout
    while True:
        value = condition()
        if value or time.time() > end:
            return value or None
        time.sleep(interval)


def visible_windows():
    """The program's visible top-level windows (Wine gives each its own X window)."""
    out = xdotool("search", "--onlyvisible", "--class", "zelmora", check_rc=False)
    return out.split()


def windows_named(title):
    out = xdotool("search", "--onlyvisible", "--name", f"^{title}$", check_rc=False)
    return out.split()


def key(*keys):
    xdotool("key", *keys)
    time.sleep(0.15)


def run(test):
    try:
        test()
    except Failure as e:
        print("FAIL:", e, flush=True)
        sys.exit(1)
