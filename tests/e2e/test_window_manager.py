"""Zelmora under a real window manager (openbox, started here on the test display) with the
prefix leaving its windows to it, as on a Linux desktop: the main window is framed and
listed by the manager, the About box and the colour palette open over it and take the
keys, the focus comes back to the main window after each dialog, and Alt+F4 closes it."""
import os
import subprocess
import sys
import time

from zelmora_e2e import (FRONT_COLOUR_BUTTON, SIDES_TAB, App, check, click, find_window, first_look, key, run,
                         screenshot, visible_windows, wait_until, window_geometry, xdotool)

EXE, OUT = sys.argv[1], sys.argv[2]
ABOUT_BUTTON = (33, 219)


def root_property(name):
    return subprocess.run(["xprop", "-root", name], capture_output=True, text=True).stdout


def window_property(win, name):
    return subprocess.run(["xprop", "-id", str(win), name], capture_output=True, text=True).stdout


def active_window():
    return xdotool("getactivewindow", check_rc=False)


def preview_extent(shot, px, py, pw, ph):
    """The preview's size from its top-left corner (white runs along its top row and left
    column) and the box's bounding box inside it, once it is larger than it was."""
    def white(x, y):
        return shot.at(x, y) == (255, 255, 255)
    w = 0
    while white(px + w, py + 1):
        w += 1
    h = 0
    while white(px + 1, py + h):
        h += 1
    if w < pw + 200 or h < ph + 200:
        return None
    xs, ys = [], []
    for y in range(py, py + h, 4):
        for x in range(px, px + w, 4):
            if not white(x, y):
                xs.append(x)
                ys.append(y)
    return (w, h, (min(xs), min(ys), max(xs), max(ys))) if xs else None


def main():
    wm = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    app = None
    try:
        check(wait_until(lambda: "window id" in root_property("_NET_SUPPORTING_WM_CHECK"), 20),
              "openbox runs on the display")
        app = App(EXE, OUT)
        check(wait_until(lambda: "=" in window_property(app.win, "_NET_FRAME_EXTENTS"), 20),
              "the main window has openbox's frame")
        check(wait_until(lambda: hex(int(app.win))[2:] in root_property("_NET_CLIENT_LIST").lower(), 10),
              "openbox lists it among its windows (a task bar shows it)")
        _, preview, layout = first_look(app, OUT)
        check(wait_until(lambda: active_window() == app.win, 10), "it has the focus")

        click(*layout.point(*ABOUT_BUTTON))
        about = find_window("About Zelmora", timeout=15)
        check(about is not None, "the About box opens")
        check(wait_until(lambda: active_window() == about, 10), "the About box has the focus")
        screenshot(os.path.join(OUT, "about.png"))
        key("Escape")
        check(wait_until(lambda: not find_window("About Zelmora", timeout=0.3)), "Escape reaches it and closes it")
        check(wait_until(lambda: active_window() == app.win, 10), "the focus comes back to the main window")

        click(*layout.point(*SIDES_TAB))
        before = set(visible_windows())
        bx, by = layout.point(*FRONT_COLOUR_BUTTON)
        click(bx, by)
        palette = wait_until(lambda: set(visible_windows()) - before, 10)
        check(palette, "the colour palette opens")
        px, py, pw, ph = __import__("zelmora_e2e").window_geometry(next(iter(palette)))
        check(abs(py - by) < 60 and px - 10 <= bx <= px + pw + 10, f"below its button ({px},{py} for {bx},{by})")
        screenshot(os.path.join(OUT, "palette.png"))
        key("Escape")
        check(wait_until(lambda: not (set(visible_windows()) - before), 10), "Escape closes the palette")

        # Keys reach the main window after a file dialog too: Ctrl+S asks where to save the scene.
        key("ctrl+s")
        check(find_window("Save As", timeout=15) is not None, "Ctrl+S reaches the main window: Save Scene As")
        key("Escape")
        check(wait_until(lambda: not find_window("Save As", timeout=0.3)), "the dialog closes")
        check(wait_until(lambda: active_window() == app.win, 10), "the focus comes back to the main window")
        key("ctrl+o")
        check(find_window("Open", timeout=15) is not None, "and the next key reaches it: Ctrl+O")
        key("Escape")
        check(wait_until(lambda: not find_window("Open", timeout=0.3)), "the open dialog closes")

        check(wait_until(lambda: active_window() == app.win, 10), "the main window has the focus again")

        # Made larger as a user drags its frame: the preview takes the room, drawn at its size
        # with the box in its middle; the pages keep theirs.
        px, py, pw, ph = preview
        xdotool("windowsize", app.win, "1200", "850")
        grown = wait_until(lambda: preview_extent(screenshot(os.path.join(OUT, "resized.png")), px, py, pw, ph), 20)
        check(grown, f"the preview grows with the window (was {pw} x {ph}, now {grown and grown[:2]})")
        if grown:
            w, h, box = grown
            cx, cy = (box[0] + box[2]) / 2 - px, (box[1] + box[3]) / 2 - py
            check(abs(cx - w / 2) < w * 0.1 and abs(cy - h / 2) < h * 0.1,
                  f"the box is drawn in the middle of the larger preview ({cx:.0f},{cy:.0f} of {w} x {h})")

        key("alt+F4")
        check(app.wait_exit(30) is not None, "Alt+F4 closes Zelmora")
        app = App(EXE, OUT)
        check(wait_until(lambda: window_geometry(app.win)[2] >= 1150, 20),
              f"it opens again at the size it had ({window_geometry(app.win)})")
        focused = wait_until(lambda: active_window() == app.win, 10)

        def painted():
            # Its first frame on screen (the grey box in the preview's middle): a key sent
            # before the window is up can be lost on a busy machine.
            shot = screenshot(os.path.join(OUT, "reopened.png"))
            x, y, w, h = window_geometry(app.win)
            c = shot.at(x + int(w * 0.3), y + int(h * 0.5))
            return c not in ((0, 0, 0), (255, 255, 255)) and max(c) - min(c) < 20
        check(wait_until(painted, 60, 0.3), "its first frame is drawn")
        # On a busy machine Wine may take the window's focus from the X server a little after
        # the window manager gives it, and drops a key that comes between: pressed again, as a
        # person would, if the first did not close it.
        presses = 0
        for _ in range(3):
            key("alt+F4")
            presses += 1
            if app.wait_exit(15) is not None:
                break
        check(app.wait_exit(15) is not None,
              f"and closes (focused {focused}, {active_window()} vs {app.win}, Alt+F4 pressed {presses} times)")
    finally:
        if app:
            app.kill()
        wm.terminate()
        wm.wait()
        # The next tests start from the window's own size.
        subprocess.run(["wine", "reg", "delete", "HKCU\\Software\\Zelmora", "/f"], capture_output=True)


run(main)
