"""The face colours as a person sets them on the Side images page: the palette by mouse
and keys, its tooltip, "More Colors...", a broken picture, and the button and palette in
both looks (the Wine prefix's visual style on, then off)."""
import os
import subprocess
import sys
import time

from zelmora_e2e import (App, Failure, check, click, first_look, key, run, screenshot, visible_windows, wait_until,
                         window_geometry, windows_named, xdotool)

EXE, OUT = sys.argv[1], sys.argv[2]
SIDES_TAB = (315, 12)
PAGE = (241, 23)          # the page's origin in the main dialog's units (below the tab row)
FRONT_ROW_Y = 6
COLOUR_BUTTON = (226, 39)  # x and width in the page's units; rows are 14 units high
THEME_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager"


def button_rect(layout):
    x0, y0 = layout.point(PAGE[0] + COLOUR_BUTTON[0], PAGE[1] + FRONT_ROW_Y)
    x1, y1 = layout.point(PAGE[0] + COLOUR_BUTTON[0] + COLOUR_BUTTON[1], PAGE[1] + FRONT_ROW_Y + 14)
    return x0, y0, x1, y1


def mean(shot, x, y, r=3):
    pixels = [shot.at(i, j) for i in range(x - r, x + r + 1) for j in range(y - r, y + r + 1)]
    return tuple(sum(p[c] for p in pixels) // len(pixels) for c in range(3))


class Session:
    def __init__(self, name):
        self.app = App(EXE, OUT)
        self.name = name
        _, self.preview, self.layout = first_look(self.app, OUT)
        click(*self.layout.point(*SIDES_TAB))
        self.button = button_rect(self.layout)
        self.face = None

    def shot(self, tag):
        return screenshot(os.path.join(OUT, f"{self.name}-{tag}.png"))

    def open_palette(self):
        x0, y0, x1, y1 = self.button
        before = len(visible_windows())
        click((x0 + x1) // 2, (y0 + y1) // 2)
        if not wait_until(lambda: len(visible_windows()) > before, 10):
            raise Failure("the palette did not open")

    def palette_closed(self):
        return wait_until(lambda: len(visible_windows()) == 1, 10)

    def find_cell(self, shot, colour):
        """The screen position of the palette cell drawn in `colour` (its square's middle)."""
        x0, _, _, y1 = self.button
        for y in range(y1, y1 + 260):
            for x in range(x0 - 80, x0 + 240):
                if shot.at(x, y) == colour and shot.at(x + 4, y + 4) == colour:
                    return x + 4, y + 4
        raise Failure(f"no palette cell in {colour}")

    def front(self, tag, expect=None, timeout=10):
        """The front face's colour at its middle; waits until `expect` holds, if given."""
        def sample():
            c = mean(self.shot(tag), *self.face)
            return c if expect is None or expect(c) else None
        c = wait_until(sample, timeout, 0.3)
        return c if c else mean(self.shot(tag), *self.face)

    def locate_front(self, shot):
        """The middle of the face that turned red."""
        px, py, pw, ph = self.preview
        reds = [(x, y) for y in range(py, py + ph, 3) for x in range(px, px + pw, 3)
                if shot.at(x, y)[0] > 150 and shot.at(x, y)[1] < 60 and shot.at(x, y)[2] < 60]
        if len(reds) < 200:
            raise Failure(f"only {len(reds)} red samples in the preview")
        self.face = (sum(p[0] for p in reds) // len(reds), sum(p[1] for p in reds) // len(reds))

    def close(self):
        xdotool("windowfocus", self.app.win, check_rc=False)
        key("alt+F4")
        check(self.app.wait_exit(20) == 0, f"{self.name}: Zelmora closed cleanly")


def pick_red_by_mouse(s):
    s.open_palette()
    shot = s.shot("palette")
    x, y = s.find_cell(shot, (255, 0, 0))
    xdotool("mousemove", x, y)
    time.sleep(0.2)
    xdotool("click", 1)
    check(s.palette_closed(), "a click on a cell closes the palette")

    def red_preview():
        shot = s.shot("red")
        px, py, pw, ph = s.preview
        reds = sum(1 for y in range(py, py + ph, 6) for x in range(px, px + pw, 6)
                   if shot.at(x, y)[0] > 150 and shot.at(x, y)[1] < 60 and shot.at(x, y)[2] < 60)
        return shot if reds > 50 else None
    red = wait_until(red_preview, 10, 0.3)
    check(red is not None, "the front face turns red")
    s.locate_front(red)


def button_look(s, shot, swatch):
    """The swatch, the arrow and the frame of the Front colour button."""
    x0, y0, x1, y1 = s.button
    ym = (y0 + y1) // 2
    filled = sum(1 for x in range(x0, x1) for y in range(y0, y1) if shot.at(x, y) == swatch)
    # The swatch is about a quarter of the button (34 x 9 of 59 x 21 pixels here).
    check(filled > (x1 - x0) * (y1 - y0) // 5, f"{s.name}: the swatch shows {swatch} ({filled} pixels)")
    arrow = [shot.at(x, y) for x in range(x1 - 16, x1 - 2) for y in range(ym - 3, ym + 4)]
    check(any(max(p) < 60 for p in arrow), f"{s.name}: a dark drop-down arrow at the right")
    page = shot.at(x0 - 6, ym)
    edge = [shot.at(x, y0 + 1) for x in range(x0 + 4, x1 - 4)]
    check(sum(1 for p in edge if p != page) > len(edge) // 2, f"{s.name}: the button has a frame")


def hot_cell_look(s):
    """A cell under the pointer is drawn differently from the same cell without it."""
    s.open_palette()
    shot = s.shot("palette-cold")
    x, y = s.find_cell(shot, (255, 255, 0))  # "Yellow"
    ring_cold = [shot.at(x + dx, y - 8) for dx in range(-6, 7)]
    xdotool("mousemove", x, y)
    hot = wait_until(lambda: (lambda sh: sh if [sh.at(x + dx, y - 8) for dx in range(-6, 7)] != ring_cold else None)(
        s.shot("palette-hot")), 5, 0.2)
    check(hot is not None, f"{s.name}: the cell under the pointer is highlighted")
    key("Escape")
    check(s.palette_closed(), f"{s.name}: Escape closes the palette")


def themed_session():
    s = Session("themed")
    try:
        pick_red_by_mouse(s)
        red = s.front("red")
        button_look(s, s.shot("button-red"), (255, 0, 0))

        # Keys: from no cell Down goes to "Default", Enter takes it: white again.
        s.open_palette()
        key("Down", "Return")
        white = s.front("default", lambda c: min(c) > 150 and max(c) - min(c) < 12)
        check(white is not None and min(white) > 150 and max(white) - min(white) < 12, f"Default makes it white {white}")

        # Right, Right, Down, Enter: default box, "Black", then "Dark red" below it.
        s.open_palette()
        key("Right", "Right", "Down", "Return")
        dark = s.front("dark-red", lambda c: 40 < c[0] < red[0] - 20 and c[1] < 30 and c[2] < 30)
        check(40 < dark[0] < red[0] - 20 and dark[1] < 30 and dark[2] < 30, f"arrow keys pick Dark red {dark}")

        # Escape and a click outside change nothing.
        s.open_palette()
        key("Right", "Right", "Right")
        key("Escape")
        check(s.palette_closed(), "Escape closes the palette")
        s.open_palette()
        cell = s.find_cell(s.shot("outside"), (0, 255, 0))
        xdotool("mousemove", *cell)
        time.sleep(0.2)
        click(s.preview[0] + 10, s.preview[1] + 10)
        check(s.palette_closed(), "a click outside closes the palette")
        time.sleep(0.3)
        after = s.front("unchanged")
        check(all(abs(a - b) <= 3 for a, b in zip(after, dark)), f"the face keeps its colour {after}")

        # The tooltip names the colour: a longer name, a wider tip.
        s.open_palette()
        shot = s.shot("tips")
        widths = []
        for colour in ((255, 0, 0), (175, 238, 238)):  # "Red", "Pale turquoise"
            xdotool("mousemove", *s.find_cell(shot, colour))
            tip = wait_until(lambda: [w for w in visible_windows() if window_geometry(w)[3] < 40], 10)
            check(tip is not None, "a tooltip shows over the cell")
            widths.append(window_geometry(tip[0])[2])
            xdotool("mousemove", s.button[0] - 30, s.button[3] + 2)
            wait_until(lambda: len(visible_windows()) == 2, 5)
        check(widths[1] > widths[0] + 20, f"the tooltip is as wide as the name ({widths})")
        key("Escape")
        check(s.palette_closed(), "Escape closes the palette after the tooltips")

        # "More Colors...": the system's colour dialog, its colour on the face.
        s.open_palette()
        key("Up", "Return")  # from no cell Up goes to the custom box
        dlg = wait_until(lambda: windows_named("Color"), 10)
        check(dlg is not None, '"More Colors..." opens the colour dialog')
        # The dialog opens with its Red field selected; Tab selects the next field's text.
        for i, value in enumerate(("40", "200", "120")):
            if i:
                key("Tab")
            xdotool("type", value)
        key("Return")
        check(wait_until(lambda: not windows_named("Color"), 10) is not None, "the colour dialog closes")
        green = s.front("custom", lambda c: c[1] > c[0] + 60 and c[1] > c[2] + 30)
        check(green[1] > green[0] + 60 and green[1] > green[2] + 30, f"the dialog's colour reaches the face {green}")
        button_look(s, s.shot("button-custom"), (40, 200, 120))
        hot_cell_look(s)

        # A broken picture: the message names it, the face stays as it was.
        broken = os.path.join(OUT, "broken picture.png")
        with open(broken, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + b"\0" * 40)
        x0, y0, _, y1 = s.button
        bx, _ = s.layout.point(PAGE[0] + 183 + 12, 0)
        click(bx, (y0 + y1) // 2)
        check(wait_until(lambda: windows_named("Open"), 10) is not None, '"..." opens the file dialog')
        xdotool("type", "Z:" + broken.replace("/", "\\"))
        key("Return")
        box = wait_until(lambda: len(windows_named("Zelmora")) == 2, 15)
        check(box is not None, "a message box titled Zelmora reports the broken picture")
        s.shot("broken-message")
        key("Return")
        check(wait_until(lambda: len(windows_named("Zelmora")) == 1, 10) is not None, "the message box closes")
        same = s.front("after-broken")
        check(all(abs(a - b) <= 3 for a, b in zip(same, green)), f"the face is unchanged {same}")
    finally:
        s.close()


def classic_session():
    subprocess.run(["wine", "reg", "add", THEME_KEY, "/v", "ThemeActive", "/d", "0", "/f"], capture_output=True)
    try:
        s = Session("classic")
        try:
            pick_red_by_mouse(s)
            button_look(s, s.shot("button-red"), (255, 0, 0))
            hot_cell_look(s)
        finally:
            s.close()
    finally:
        subprocess.run(["wine", "reg", "add", THEME_KEY, "/v", "ThemeActive", "/d", "1", "/f"], capture_output=True)


def main():
    themed_session()
    classic_session()


run(main)
