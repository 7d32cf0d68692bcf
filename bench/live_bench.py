"""The real zelmora.exe as a user runs it, measured from outside: frames presented per second
(Wine's own frame counter), CPU of all the program's threads plus wineserver, resident
memory. Idle on the start scene, then with six large faces loaded through the real dialogs.
Prints figures beside the goal; judges nothing. Usage: live_bench.py EXE OUT FACE [SECONDS]"""
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from zelmora_e2e import App, click, first_look, key, wait_until, windows_named, xdotool  # noqa: E402

EXE, OUT, FACE = sys.argv[1], sys.argv[2], sys.argv[3]
SECONDS = float(sys.argv[4]) if len(sys.argv) > 4 else 20.0
TICKS = sys.argv[5] if len(sys.argv) > 5 else "1"
HZ = os.sysconf("SC_CLK_TCK")


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime, all threads


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def pids_of(pattern):
    out = subprocess.run(["pgrep", "-f", pattern], capture_output=True, text=True).stdout.split()
    return [int(p) for p in out]


def count_fps_lines(log_path):
    """Wine's fps channel: one reading a second of the frames presented."""
    with open(log_path, errors="replace") as f:
        return [float(m.group(1)) for m in re.finditer(r"wined3d_cs_exec_present \S+ @ approx ([0-9.]+)fps", f.read())]


def drag_continuously(preview, seconds, stop):
    """A person dragging in the preview for the whole measurement: left and right, button held."""
    px, py, pw, ph = preview
    y = py + ph // 2
    xdotool("mousemove", px + 20, y)
    xdotool("mousedown", 1)
    x, step = px + 20, 3
    while not stop.is_set():
        x += step
        if x > px + pw - 20 or x < px + 20:
            step = -step
        subprocess.run(["xdotool", "mousemove", str(x), str(y)])
        time.sleep(0.012)
    xdotool("mouseup", 1)


def measure(label, app_pid, log_path):
    server = pids_of("wineserver")
    before_fps = len(count_fps_lines(log_path))
    t0 = time.time()
    c0 = cpu_ticks(app_pid) + sum(cpu_ticks(p) for p in server)
    time.sleep(SECONDS)
    c1 = cpu_ticks(app_pid) + sum(cpu_ticks(p) for p in server)
    elapsed = time.time() - t0
    rates = count_fps_lines(log_path)[before_fps:]
    fps = sorted(rates)[len(rates) // 2] if rates else float("nan")
    cpu = (c1 - c0) / HZ / elapsed * 100
    print(f"{label}: {fps:.1f} frames/s (median of {len(rates)} readings; goal >= 98), "
          f"CPU {cpu:.0f}% of one core (exe + wineserver; goal < 50%), "
          f"{cpu / 100 * 1000 / fps if fps == fps and fps > 0 else float('nan'):.1f} ms CPU per frame, "
          f"resident {rss_mb(app_pid):.0f} MB", flush=True)


def load_faces(layout):
    click(*layout.point(315, 12))  # Side images
    for row in range(6):
        y = 23 + 6 + 18 * row + 7
        click(*layout.point(241 + 183 + 12, y))
        if not wait_until(lambda: windows_named("Open"), 15):
            raise SystemExit("the open dialog did not appear")
        xdotool("type", "Z:" + FACE.replace("/", "\\"))
        key("Return")
        wait_until(lambda: not windows_named("Open"), 30)
        time.sleep(0.5)
    click(*layout.point(70, 12))  # back to Box Dimensions


def measure_dragging(label, pid, log_path, preview):
    import threading
    stop = threading.Event()
    t = threading.Thread(target=drag_continuously, args=(preview, SECONDS, stop))
    t.start()
    try:
        measure(label, pid, log_path)
    finally:
        stop.set()
        t.join()


def main():
    os.makedirs(OUT, exist_ok=True)
    log_path = os.path.join(OUT, "fps.log")
    env = dict(os.environ, WINEDEBUG="fps")
    log = open(log_path, "w")
    proc = subprocess.Popen(["wine", EXE], cwd=OUT, stdout=log, stderr=log, env=env)
    app = App.__new__(App)
    app.proc = proc
    from zelmora_e2e import find_window, window_geometry
    app.win = find_window("Zelmora", timeout=60)
    time.sleep(3)
    app.x, app.y, app.w, app.h = window_geometry(app.win)
    # Wine runs the program in a process of its own; the launcher and helpers are small.
    pid = max(pids_of("zelmora.exe"), key=rss_mb)
    _, preview, layout = first_look(app, OUT)
    xdotool("mousemove", app.x + app.w + 50, app.y + app.h + 50)
    measure("idle, start scene", pid, log_path)
    measure_dragging("dragging in the preview, start scene", pid, log_path, preview)
    load_faces(layout)
    xdotool("mousemove", app.x + app.w + 50, app.y + app.h + 50)
    measure("idle, six 2048 x 2048 faces", pid, log_path)
    measure_dragging("dragging in the preview, six 2048 x 2048 faces", pid, log_path, preview)
    xdotool("windowfocus", app.win)
    key("alt+F4")
    try:
        proc.wait(20)
    except subprocess.TimeoutExpired:
        proc.kill()


main()
