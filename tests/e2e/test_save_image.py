"""Saving the preview through the real save dialog: PNG by file type, the name offered
again, the question before an appended extension replaces a file, JPEG by file type, and a
360 spin by its type, the very pictures zelmora-render's --spin writes."""
import os
import subprocess
import sys
import time

from zelmora_e2e import (FLOOR_TAB, ROW_FIRST, TRACK_LEFT, App, Image, check, click, click_when_ready, find_window, first_look, key, run,
                         screenshot, wait_until, windows_path, xdotool)

EXE, OUT = sys.argv[1], sys.argv[2]
RENDER_EXE = os.path.join(os.path.dirname(os.path.dirname(EXE)), "cli", "zelmora-render.exe")
SAVE_BUTTON = (483, 219)


def open_save_dialog(layout):
    click_when_ready(*layout.point(*SAVE_BUTTON))
    dialog = find_window("Save As", timeout=15)
    check(dialog is not None, "the save dialog opens")
    time.sleep(0.5)
    return dialog


def type_name(name):
    # The name field has the focus; replace whatever it offers.
    xdotool("key", "ctrl+a")
    xdotool("type", "--delay", "20", name)
    time.sleep(0.2)


def check_written(path, magic, kind, preview):
    """The file appears, starts as its format says and has the preview's size."""
    name = os.path.basename(path)
    check(wait_until(lambda: os.path.exists(path)), f"{name} was written")
    time.sleep(0.5)
    with open(path, "rb") as f:
        check(f.read(len(magic)) == magic, f"{name} is a {kind} file")
    saved = Image(path)
    check((saved.width, saved.height) == (preview[2], preview[3]),
          f"{name} has the preview's size {saved.width}x{saved.height}")
    return saved


def main():
    app = App(EXE, OUT)
    try:
        _, preview, layout = first_look(app, OUT)
        shown = screenshot(os.path.join(OUT, "shown.png"), preview)

        # "box" with PNG files selected (the first file type) is written as box.png.
        open_save_dialog(layout)
        type_name(windows_path(os.path.join(OUT, "box")))
        xdotool("key", "Return")
        png = os.path.join(OUT, "box.png")
        saved = check_written(png, b"\x89PNG\r\n\x1a\n", "PNG", preview)
        check(saved.data == shown.data, "it holds exactly what the preview shows")

        # The command line draws the same picture: same renderer, same default size.
        render_exe = os.path.join(os.path.dirname(os.path.dirname(EXE)), "cli", "zelmora-render.exe")
        cli_png = os.path.join(OUT, "cli.png")
        subprocess.run(["wine", render_exe, "-o", windows_path(cli_png)], capture_output=True, timeout=120)
        cli = Image(cli_png) if os.path.exists(cli_png) else None
        check(cli is not None and cli.data == saved.data,
              "zelmora-render's default picture equals the window's saved file, pixel for pixel")

        # The second save offers "box" again; the appended extension would replace box.png,
        # so Zelmora asks first, and No writes nothing.
        stamp = os.stat(png).st_mtime_ns
        open_save_dialog(layout)
        xdotool("key", "Return")
        question = find_window("Confirm Save As", timeout=10)
        check(question is not None, "the name offered again is box, and replacing box.png is asked about")
        xdotool("key", "n")
        check(wait_until(lambda: not find_window("Confirm Save As", timeout=0.5)), "No closes the question")
        time.sleep(0.5)
        check(os.stat(png).st_mtime_ns == stamp, "declining leaves box.png untouched")
        check(app.running(), "Zelmora is still running")

        # JPEG by file type: name "shot", then the second file type.
        open_save_dialog(layout)
        type_name(windows_path(os.path.join(OUT, "shot")))
        xdotool("key", "Tab")          # to "Save as type"
        time.sleep(0.2)
        xdotool("key", "Down")         # JPG Files
        time.sleep(0.3)
        xdotool("key", "Return")
        check_written(os.path.join(OUT, "shot.jpg"), b"\xff\xd8", "JPEG", preview)
        check(not os.path.exists(os.path.join(OUT, "shot.png")), "nothing else was written")

        # The next save keeps the file type chosen last.
        open_save_dialog(layout)
        type_name(windows_path(os.path.join(OUT, "again")))
        xdotool("key", "Return")
        check(wait_until(lambda: os.path.exists(os.path.join(OUT, "again.jpg"))), "the JPEG file type is offered again")

        # A read-only file: the failure is reported and the file keeps its contents.
        locked = os.path.join(OUT, "locked.png")
        with open(locked, "wb") as f:
            f.write(b"precious")
        os.chmod(locked, 0o444)
        open_save_dialog(layout)
        type_name(windows_path(locked))
        xdotool("key", "Return")
        # The dialog's own question about the existing name (Wine titles it "Error").
        prompt = find_window("Error", timeout=10)
        check(prompt is not None, "the save dialog asks before replacing the file")
        xdotool("key", "y")
        check(wait_until(lambda: find_window("Error", timeout=0.5) not in (None, prompt)),
              "an unwritable target is reported")
        screenshot(os.path.join(OUT, "locked-answer.png"))
        xdotool("key", "Return")
        check(wait_until(lambda: not find_window("Error", timeout=0.5)), "the message closes with OK")
        with open(locked, "rb") as f:
            check(f.read() == b"precious", "the read-only file keeps its contents")
        check(not any(n.startswith("~zelmora") or n.endswith(".zelmora-saving") for n in os.listdir(OUT)),
              "no half-written file is left")
        check(app.running(), "Zelmora keeps running")

        # The floor: its trackbars change the preview, and the saved picture is what it shows.
        click(*layout.point(*FLOOR_TAB))
        for row in (ROW_FIRST, ROW_FIRST + 48):  # Reflection, Shadow
            click(*layout.point(TRACK_LEFT + 3, row))
            key("End")
        floor_shot = wait_until(lambda: (lambda s: s if s.data != shown.data else None)(
            screenshot(os.path.join(OUT, "floor-shown.png"), preview)))
        check(floor_shot is not None, "the Floor tab's Reflection and Shadow change the preview")
        time.sleep(0.5)
        floor_shot = screenshot(os.path.join(OUT, "floor-shown.png"), preview)
        open_save_dialog(layout)
        floor_png = os.path.join(OUT, "floor.png")
        type_name(windows_path(floor_png))
        xdotool("key", "Return")
        check(wait_until(lambda: os.path.exists(floor_png)), "floor.png was written")
        time.sleep(0.5)
        check(Image(floor_png).data == floor_shot.data, "the saved picture is what the preview shows, floor and all")

        # "360 spin": 24 pictures, turn-01.png .. turn-24.png, the files zelmora-render writes,
        # into a folder typed with the name and made for them.
        open_save_dialog(layout)
        type_name(windows_path(os.path.join(OUT, "spun", "turn")))
        xdotool("key", "Tab")          # to "Save as type"
        time.sleep(0.2)
        xdotool("key", "Home")
        xdotool("key", "Down")
        xdotool("key", "Down")         # 360 spin (PNG pictures)
        time.sleep(0.3)
        xdotool("key", "Return")
        spun = [os.path.join(OUT, "spun", f"turn-{i:02}.png") for i in range(1, 25)]
        check(wait_until(lambda: all(map(os.path.exists, spun)) and find_window("Zelmora", timeout=0.3), 120),
              "the 360 spin's 24 pictures are written and the title is back")
        cli = os.path.join(OUT, "cli")
        os.makedirs(cli)
        r = subprocess.run(["wine", RENDER_EXE, "--reflection", "100", "--shadow", "100", "--spin", "24", "--size",
                            f"{preview[2]}x{preview[3]}", "-o", windows_path(os.path.join(cli, "turn.png"))],
                           capture_output=True, timeout=300)
        differing = [os.path.basename(p) for p in spun
                     if subprocess.run(["compare", "-metric", "AE", p, os.path.join(cli, os.path.basename(p)), "null:"],
                                       capture_output=True, text=True).stderr.strip() != "0"]
        check(r.returncode == 0 and not differing, f"each is zelmora-render --spin 24's picture, pixel for pixel ({differing})")

        # A path longer than the system's dialog can hold, typed in full: the name field
        # takes what fits, and the program lives on.
        open_save_dialog(layout)
        long_path = windows_path(os.path.join(OUT, "f" * 200, "n" * 60 + ".png"))
        type_name(long_path)
        xdotool("key", "Return")
        time.sleep(1.5)
        screenshot(os.path.join(OUT, "long-path.png"))
        check(app.running(), "a 270-character typed path does not end the program")
        for _ in range(4):  # whatever was answered (the dialog, or "Unable to save image"), close it
            if not (find_window("Save As", timeout=0.5) or find_window("Error", timeout=0.5)):
                break
            xdotool("key", "Escape")
            time.sleep(0.5)
        check(wait_until(lambda: not find_window("Save As", timeout=0.5)) and app.running(),
              "the dialog closes and Zelmora keeps running")
        check(not find_window("Wine Debugger", timeout=0.5), "no crash report")
    finally:
        app.kill()


run(main)
