"""Zelmora under a real window manager (openbox, started here on the test display) with the
prefix leaving its windows to it, as on a Linux desktop: the main window is framed and
listed by the manager, the About box and the colour palette open over it and take the
keys, the focus comes back to the main window after each dialog, and Alt+F4 closes it."""
import os
import subprocess
import sys
import time

from zelmora_e2e import (FRONT_COLOUR_BUTTON, SIDES_TAB, App, check, click, find_window, first_look, key, run,
                         screenshot, visible_windows, wait_until, xdotool)

EXE, OUT = sys.argv[1], sys.argv[2]
ABOUT_BUTTON = (33, 219)


def root_property(name):
    return subprocess.run(["xprop", "-root", name], capture_output=True, text=True).stdout


def window_property(win, name):
    return subprocess.run(["xprop", "-id", str(win), name], capture_output=True, text=True).stdout


def active_window():
    return xdotool("getactivewindow", check_rc=False)


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
        key("alt+F4")
        check(app.wait_exit(30) is not None, "Alt+F4 closes Zelmora")
    finally:
        if app:
            app.kill()
        wm.terminate()
        wm.wait()


run(main)
