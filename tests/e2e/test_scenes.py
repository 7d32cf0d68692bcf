"""Scene files through the real window: one given on the command line opens with its name in
the title, Ctrl+S keeps a change, Ctrl+O opens another through the open dialog, its export
settings reach the save dialog and the window's 2048 x 2048 transparent picture equals
zelmora-render's of the same scene; a view of one's own is saved in the scene and drawn by
zelmora-render --view as the window showed it; closing with unsaved changes asks first."""
import json
import os
import subprocess
import sys
import time

from zelmora_e2e import (KEEP_BOX_SIZE, ROTATION_TAB, TEMPLATE_ITEM_FIRST, TEMPLATE_ITEM_HEIGHT, TEMPLATES_TAB,
                         VIEW_ADD_BUTTON, App, check, click, find_window, first_look, key, screenshot, wait_until,
                         windows_path, xdotool)

EXE, OUT = sys.argv[1], sys.argv[2]
RENDER_EXE = os.path.join(os.path.dirname(os.path.dirname(EXE)), "cli", "zelmora-render.exe")
SAVE_BUTTON = (483, 219)


def write_scene(path, **values):
    scene = {"zelmora-scene": 1, "background": "#FFFFFF"}
    scene.update(values)
    with open(path, "w", encoding="utf-8") as f:
        json.dump(scene, f, ensure_ascii=False, indent=2)


def read_scene(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def main():
    art = os.path.join(OUT, "art")
    os.makedirs(art)
    subprocess.run(["convert", "-size", "128x128", "xc:#C03020", "-fill", "#2040E0", "-draw", "rectangle 0,0 63,127",
                    os.path.join(art, "front.png")], check=True)
    first = os.path.join(OUT, "box.zelmora")
    write_scene(first, rotation1=100, front="art/front.png")
    # Typed into the open dialog: xdotool types ASCII reliably (Unicode names are tested in-process).
    second = os.path.join(OUT, "second scene.zelmora")
    write_scene(second, width=200, depth=60, front="art/front.png", **{"left-colour": "#20A040"},
                size="2048x2048", transparent=True, dpi=300)

    app = App(EXE, OUT, args=[windows_path(first)], title="box - Zelmora")
    try:
        check(True, "a scene given on the command line opens: the title reads \"box - Zelmora\"")
        _, preview, layout = first_look(app, OUT)

        # A template changes the scene; Ctrl+S writes it into the same file.
        click(*layout.point(*TEMPLATES_TAB))
        click(*layout.point(*TEMPLATE_ITEM_FIRST))
        key("ctrl+s")
        check(wait_until(lambda: read_scene(first).get("rotation1") == 135),
              "Ctrl+S saves the change into box.zelmora")
        kept = read_scene(first)
        check(kept["front"] == "art/front.png", "the face picture is kept relative to the scene's folder")

        # Ctrl+O through the real open dialog.
        key("ctrl+o")
        check(find_window("Open", timeout=15) is not None, "Ctrl+O shows the open dialog")
        time.sleep(0.5)
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", "20", windows_path(second))
        xdotool("key", "Return")
        title = "second scene - Zelmora"
        check(wait_until(lambda: find_window(title, timeout=0.5)), f"Ctrl+O opened it: \"{title}\"")

        # Its export settings are the save dialog's: a name and Return write 2048 x 2048, transparent.
        click(*layout.point(*SAVE_BUTTON))
        check(find_window("Save As", timeout=15) is not None, "the save dialog opens")
        time.sleep(1.0)
        screenshot(os.path.join(OUT, "save-dialog-options.png"))
        xdotool("key", "ctrl+a")
        picture = os.path.join(OUT, "window-2048.png")
        xdotool("type", "--delay", "20", windows_path(picture))
        xdotool("key", "Return")
        check(wait_until(lambda: os.path.exists(picture) and find_window(title, timeout=0.5), 120),
              "the export is written and the window comes back")
        size = subprocess.run(["identify", "-format", "%w %h %[channels]", picture], capture_output=True,
                              text=True).stdout
        check(size.startswith("2048 2048") and "a" in size.split()[-1], f"2048 x 2048 with alpha ({size})")

        cli = os.path.join(OUT, "cli-2048.png")
        r = subprocess.run(["wine", RENDER_EXE, "--scene", windows_path(second), "--size", "2048x2048",
                            "--background", "transparent", "-o", windows_path(cli)], capture_output=True, timeout=300)
        check(r.returncode == 0, "zelmora-render draws the same scene")
        ae = subprocess.run(["compare", "-metric", "AE", picture, cli, "null:"], capture_output=True, text=True)
        check(ae.stderr.strip() == "0", f"the window's picture equals zelmora-render's pixel for pixel (AE {ae.stderr})")

        # The view the window shows kept as "Hero"; with "Keep box size" a template then moves only
        # the camera. zelmora-render's --view Hero draws the window's picture again.
        click(*layout.point(*TEMPLATES_TAB))
        click(*layout.point(*VIEW_ADD_BUTTON))
        time.sleep(0.5)
        xdotool("type", "--delay", "20", "Hero")
        key("Return")
        click(*layout.point(*KEEP_BOX_SIZE))
        click(*layout.point(TEMPLATE_ITEM_FIRST[0], TEMPLATE_ITEM_FIRST[1] + 5 * TEMPLATE_ITEM_HEIGHT))
        key("ctrl+s")
        check(wait_until(lambda: [v["name"] for v in read_scene(second).get("views", [])] == ["Hero"]),
              "Add names the view as typed and Ctrl+S keeps it in the scene")
        saved = read_scene(second)
        check(saved["rotation1"] == 45 and saved["width"] == 200, "the template moved only the camera")
        hero = os.path.join(OUT, "cli-hero.png")
        r = subprocess.run(["wine", RENDER_EXE, "--scene", windows_path(second), "--view", "Hero",
                            "--background", "transparent", "-o", windows_path(hero)], capture_output=True, timeout=300)
        check(r.returncode == 0, "zelmora-render --view Hero draws the scene's view")
        ae = subprocess.run(["compare", "-metric", "AE", picture, hero, "null:"], capture_output=True, text=True)
        check(ae.stderr.strip() == "0", f"and it is the window's picture of that view (AE {ae.stderr})")

        # A change, then Ctrl+O: the question; Escape keeps everything as it was, and the mouse
        # still reaches the tabs afterwards.
        before = read_scene(second)
        click(*layout.point(*TEMPLATES_TAB))
        click(*layout.point(*TEMPLATE_ITEM_FIRST))
        for _ in range(3):
            key("ctrl+o")
            check(find_window("Zelmora", timeout=15) is not None, "Ctrl+O with unsaved changes asks first")
            key("Escape")
            check(wait_until(lambda: not find_window("Zelmora", timeout=0.3)), "Escape closes the question")
        x0, y0 = layout.point(285, 30)
        x1, y1 = layout.point(515, 200)

        def page(tag):
            return screenshot(os.path.join(OUT, tag + ".png"), (x0, y0, x1 - x0, y1 - y0))
        templates_page = page("templates-page")
        click(*layout.point(*ROTATION_TAB))
        check(wait_until(lambda: page("rotation-page").data != templates_page.data),
              "after the question, a click on a tab still switches the page")

        # Alt+F4: the question; No closes without saving.
        xdotool("key", "alt+F4")
        check(find_window("Zelmora", timeout=15) is not None, "closing with unsaved changes asks")
        screenshot(os.path.join(OUT, "unsaved-question.png"))
        key("n")
        check(app.wait_exit(30) is not None, "No closes the window")
        check(read_scene(second) == before, "and leaves the scene file as it was")
    finally:
        app.kill()


run = __import__("zelmora_e2e").run
run(main)
