"""The main window as a person uses it: start-up, the Width thumb, dragging in the
preview, Enter and Escape, and the close box."""
import os
import sys
import time

from zelmora_e2e import (ROTATION_TAB, ROW_FIRST, ROW_SECOND, TRACK_LEFT, TRACK_RIGHT, App, check, click, drag, key,
                         first_look, run, screenshot, thumb_x, wait_until, xdotool)

EXE, OUT = sys.argv[1], sys.argv[2]


def box_columns(shot, preview):
    """How many columns of the preview's middle row show something other than white."""
    x, y, w, h = preview
    row = y + h // 2
    return sum(1 for i in range(x, x + w) if shot.at(i, row) != (255, 255, 255))


def row_thumb(shot, layout, row_dlu, background):
    x0, y = layout.point(TRACK_LEFT, row_dlu)
    x1, _ = layout.point(TRACK_RIGHT, row_dlu)
    return thumb_x(shot, y, x0, x1, background), x0, x1


def main():
    app = App(EXE, OUT)
    try:
        shot, preview, layout = first_look(app, OUT)
        px, py, pw, ph = preview
        check(200 < pw < 600 and 150 < ph < 500, f"preview found at {preview}")
        corners = [shot.at(px + 2, py + 2), shot.at(px + pw - 3, py + ph - 3)]
        check(all(c == (255, 255, 255) for c in corners), "the preview's background is white")
        centre = shot.at(px + pw // 2, py + ph // 2)
        check(centre != (255, 255, 255) and max(centre) - min(centre) < 20, f"a grey-lit box in the middle {centre}")

        # The Box Dimensions page: its Width thumb sits at 80 of 1..300.
        page_bg = shot.at(*layout.point(400, 150))
        width_thumb, x0, x1 = row_thumb(shot, layout, ROW_FIRST, page_bg)
        check(width_thumb is not None, "the Box Dimensions page shows its Width trackbar")
        fraction = (width_thumb - x0) / (x1 - x0)
        check(0.2 < fraction < 0.35, f"Width thumb at {fraction:.2f} of its track (80 of 1..300)")

        # Drag the Width thumb; look while the button is still down.
        before = box_columns(shot, preview)
        _, ty = layout.point(0, ROW_FIRST)
        drag(round(width_thumb), ty, round(width_thumb) + 60, ty, steps=12, release=False)
        during = screenshot(os.path.join(OUT, "width-drag.png"))
        after = box_columns(during, preview)
        moved_thumb, _, _ = row_thumb(during, layout, ROW_FIRST, page_bg)
        xdotool("mouseup", 1)
        check(moved_thumb is not None and moved_thumb > width_thumb + 40, "the Width thumb follows the mouse")
        check(after > before + 20, f"the box grew wider while dragging ({before} -> {after} columns)")

        # Rotation page, then drag right across the preview: far past 360.
        click(*layout.point(*ROTATION_TAB))
        shot = screenshot(os.path.join(OUT, "rotation.png"))
        r1, rx0, rx1 = row_thumb(shot, layout, ROW_FIRST, page_bg)
        check(r1 is not None and 0.3 < (r1 - rx0) / (rx1 - rx0) < 0.45, "Rotation #1 thumb at 135 of 0..360")

        # Ctrl+Tab and Ctrl+Shift+Tab go round the pages: on to Light (Ambient at 30 of
        # 0..200), and back to Rotation.
        def first_thumb_at(low, high, name):
            def look():
                found = row_thumb(screenshot(os.path.join(OUT, name)), layout, ROW_FIRST, page_bg)[0]
                return found if found is not None and low < (found - rx0) / (rx1 - rx0) < high else None
            return wait_until(look, 10, 0.2)
        key("ctrl+Tab")
        check(first_thumb_at(0.1, 0.2, "ctrl-tab.png"), "Ctrl+Tab shows the next page, Light")
        key("ctrl+shift+Tab")
        check(first_thumb_at(0.3, 0.45, "ctrl-shift-tab.png"), "Ctrl+Shift+Tab shows Rotation again")
        picture_before = screenshot(os.path.join(OUT, "at-135.png"), preview)
        drag(px + 10, py + ph // 2, px + pw - 10, py + ph // 2, steps=64)

        def thumb_when(condition, name, row=ROW_FIRST):
            """The thumb's place once it meets the condition and has stopped moving."""
            last = [None]

            def look():
                found = row_thumb(screenshot(os.path.join(OUT, name)), layout, row, page_bg)[0]
                settled = found is not None and found == last[0] and condition(found)
                last[0] = found
                return found if settled else None
            return wait_until(look, 15, 0.25)
        r1_after = thumb_when(lambda t: t > rx1 - 24, "rotated.png")
        check(r1_after is not None, f"Rotation #1 stopped at its right end ({r1_after})")
        # At 360 the box is turned 225 degrees from 135: its outline really differs (at 310 it
        # would look the same, the box being symmetric).
        at_end = screenshot(os.path.join(OUT, "at-360.png"), preview)
        differing = sum(1 for i in range(0, len(at_end.data), 3) if at_end.data[i:i + 3] != picture_before.data[i:i + 3])
        check(differing > len(at_end.data) // 3 // 20, f"the box turned ({differing} pixels changed)")
        drag(px + pw - 10, py + ph // 2, px + pw - 60, py + ph // 2, steps=10)
        r1_back = thumb_when(lambda t: t < r1_after - 10, "rotated-back.png")
        # 50 pixels are 50 degrees: about a seventh of the track, counted from the end.
        step = (r1_after - r1_back) / (rx1 - rx0) if r1_back is not None else 0
        check(0.04 < step < 0.2, f"dragging back turns from 360, not from a wrapped value ({step:.2f} of the track)")

        # Down past 179, then up past 1.
        _, r2x0, r2x1 = row_thumb(shot, layout, ROW_SECOND, page_bg)
        drag(px + pw // 2, py + 5, px + pw // 2, py + ph - 5, steps=60)
        r2 = thumb_when(lambda t: t > r2x1 - 24, "down.png", ROW_SECOND)
        check(r2 is not None, "Rotation #2 stops at 179")
        drag(px + pw // 2, py + ph - 5, px + pw // 2, py + 5, steps=60)
        r2 = thumb_when(lambda t: t < r2x0 + 24, "up.png", ROW_SECOND)
        check(r2 is not None, "Rotation #2 stops at 1")

        # Enter and Escape with a trackbar focused change nothing and close nothing.
        click(round(r2), layout.point(0, ROW_SECOND)[1])
        before = screenshot(os.path.join(OUT, "keys-before.png"), preview)
        xdotool("key", "Return")
        time.sleep(0.3)
        xdotool("key", "Escape")
        time.sleep(0.5)
        after = screenshot(os.path.join(OUT, "keys-after.png"), preview)
        check(app.running(), "Enter and Escape leave Zelmora running")
        check(before.data == after.data, "Enter and Escape change nothing in the picture")

        # The close box, drawn in the caption's top-right corner.
        click(app.x + app.w - 12, app.y + 11)
        rc = app.wait_exit(15)
        check(rc == 0, f"the close box ends Zelmora cleanly (exit code {rc})")
    finally:
        app.kill()


run(main)
