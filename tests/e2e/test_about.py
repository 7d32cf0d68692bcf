"""The About box as a person uses it: its links' colours at rest, under the pointer and
after a click, the clicks reaching the system's browser and mail program (the Wine
prefix's are pointed at a recording script), and the three ways to close it."""
import os
import stat
import subprocess
import sys
import time

from zelmora_e2e import (App, check, click, first_look, key, run, screenshot, wait_until, window_geometry,
                         windows_named, xdotool)

EXE, OUT = sys.argv[1], sys.argv[2]
BROWSER_KEY = r"HKCU\Software\Wine\WineBrowser"
BLUE, RED, VISITED = (0, 0, 255), (255, 0, 0), (5, 34, 143)
RECORD = os.path.join(OUT, "shell-opened.txt")


def recorder():
    script = os.path.join(OUT, "record-open.sh")
    with open(script, "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{RECORD}"\n')
    os.chmod(script, os.stat(script).st_mode | stat.S_IEXEC)
    return script


def reg(*args):
    subprocess.run(["wine", "reg", *args], capture_output=True)


def open_about(app, layout):
    click(*layout.point(7 + 26, 212 + 7))
    win = wait_until(lambda: windows_named("About Zelmora"), 10)
    check(win is not None, '"About..." opens "About Zelmora"')
    return win[0]


def link_rows(win):
    """The two link texts' pixel rows and columns, found by their blue."""
    x, y, w, h = window_geometry(win)
    shot = screenshot(os.path.join(OUT, "about.png"), (x, y, w, h))
    pixels = [(i, j) for j in range(h) for i in range(w) if shot.at(i, j) == BLUE]
    check(len(pixels) > 40, f"both links are drawn blue ({len(pixels)} pixels)")
    rows = sorted({j for _, j in pixels})
    split = next((b for a, b in zip(rows, rows[1:]) if b - a > 3), None)
    top = [(i, j) for i, j in pixels if j < split]
    bottom = [(i, j) for i, j in pixels if j >= split]

    def box(points):
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        return x + min(xs), y + min(ys), x + max(xs), y + max(ys)
    return box(top), box(bottom)


def colour_count(box, colour, tag):
    x0, y0, x1, y1 = box
    shot = screenshot(os.path.join(OUT, f"{tag}.png"), (x0, y0, x1 - x0 + 1, y1 - y0 + 1))
    return sum(1 for j in range(shot.height) for i in range(shot.width) if shot.at(i, j) == colour)


def wait_colour(box, colour, tag):
    return wait_until(lambda: colour_count(box, colour, tag) > 10, 10, 0.2)


def main():
    script = recorder()
    reg("add", BROWSER_KEY, "/v", "Browsers", "/d", script, "/f")
    reg("add", BROWSER_KEY, "/v", "Mailers", "/d", script, "/f")
    app = App(EXE, OUT)
    try:
        _, _, layout = first_look(app, OUT)
        win = open_about(app, layout)
        homepage, support = link_rows(win)
        check(homepage[1] < support[1], "the homepage link is above the support link")

        hx, hy = (homepage[0] + homepage[2]) // 2, (homepage[1] + homepage[3]) // 2
        xdotool("mousemove", hx, hy)
        check(wait_colour(homepage, RED, "homepage-hover") is not None, "under the pointer the link turns red")
        check(colour_count(support, BLUE, "support-rest") > 10, "the other link stays blue")
        xdotool("mousemove", hx, homepage[3] + 40)
        check(wait_colour(homepage, BLUE, "homepage-left") is not None, "leaving it makes it blue again")

        xdotool("mousemove", hx, hy)
        time.sleep(0.2)
        xdotool("click", 1)
        opened = wait_until(lambda: os.path.exists(RECORD) and "https://zelmora.example/" in open(RECORD).read(), 30)
        check(opened is not None, "the homepage click reached the system's browser with the address")
        check(wait_colour(homepage, VISITED, "homepage-visited") is not None, "a clicked link is dark blue")
        check(colour_count(homepage, RED, "homepage-visited-hover") == 0, "and stays so under the pointer")

        sx, sy = (support[0] + support[2]) // 2, (support[1] + support[3]) // 2
        click(sx, sy)
        mailed = wait_until(lambda: "mailto:support@zelmora.example" in open(RECORD).read(), 30)
        check(mailed is not None, 'the support click reached the mail program with the "mailto:" address')
        xdotool("mousemove", sx, support[3] + 40)

        # Escape, the close box and OK all end it; a new one is unvisited again.
        xdotool("windowfocus", win, check_rc=False)
        key("Escape")
        check(wait_until(lambda: not windows_named("About Zelmora"), 10) is not None, "Escape closes the About box")
        win = open_about(app, layout)
        homepage, _ = link_rows(win)
        check(colour_count(homepage, VISITED, "new-about") == 0, "a new About box starts unvisited")
        x, y, w, _ = window_geometry(win)
        click(x + w - 12, y + 11)
        check(wait_until(lambda: not windows_named("About Zelmora"), 10) is not None, "the close box closes it")
        win = open_about(app, layout)
        key("Return")  # OK is the default button
        check(wait_until(lambda: not windows_named("About Zelmora"), 10) is not None, "OK closes it")
        check(app.running(), "the main window is still there")
        xdotool("windowfocus", app.win, check_rc=False)
        key("alt+F4")
        check(app.wait_exit(20) == 0, "Zelmora closed cleanly")
    finally:
        app.kill()
        reg("delete", BROWSER_KEY, "/v", "Browsers", "/f")
        reg("delete", BROWSER_KEY, "/v", "Mailers", "/f")


run(main)
