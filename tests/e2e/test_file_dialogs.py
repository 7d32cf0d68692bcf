"""The save and open dialogs in folders as deep as Windows allows: a path that would not fit
is refused with a message while the dialog stays open (the system's dialog used to overrun
its buffer and end the program), and a path that fits is used exactly as typed."""
import os
import subprocess
import sys
import time

from zelmora_e2e import App, check, click, click_when_ready, find_window, first_look, run, screenshot, wait_until, windows_path, xdotool

EXE, OUT = sys.argv[1], sys.argv[2]
SAVE_BUTTON = (483, 219)
FRONT_BROWSE = (436, 36)
SIDES_TAB = (315, 12)


def folder_of_length(base, total, stem):
    """A folder under base whose Windows path has exactly `total` characters."""
    path = base
    while len(windows_path(path)) < total:
        room = total - len(windows_path(path)) - 1
        part = (stem * 200)[:min(room, 200)]
        if room - len(part) in (1,):  # never leave a gap of one: it cannot hold "\x"
            part = part[:-2]
        path = os.path.join(path, part)
    os.makedirs(path, exist_ok=True)
    assert len(windows_path(path)) == total, (len(windows_path(path)), total)
    return path


def type_and_confirm(text):
    xdotool("key", "ctrl+a")
    xdotool("type", "--delay", "10", text)
    time.sleep(0.2)
    xdotool("key", "Return")


def refused(app, dialog_title, what):
    check(wait_until(lambda: find_window("Path too long", timeout=0.5) is not None),
          f"{what}: the path is refused with a message")
    check(app.running(), f"{what}: Zelmora keeps running")
    xdotool("key", "Return")
    check(wait_until(lambda: find_window("Path too long", timeout=0.5) is None)
          and find_window(dialog_title, timeout=2) is not None, f"{what}: the {dialog_title} dialog stays open")
    # Typing goes on once the dialog has the keyboard again: on a busy machine the message's
    # window can be gone a moment before the focus is back.
    dialog = find_window(dialog_title, timeout=2)
    wait_until(lambda: xdotool("getwindowfocus", check_rc=False) == dialog, 10, 0.1)


def main():
    deep = folder_of_length(OUT, 250, "d")
    deeper = folder_of_length(deep, 283, "e")
    app = App(EXE, OUT)
    try:
        _, _, layout = first_look(app, OUT)

        # Save: into the 250-character folder, a 16-character name would make 267.
        click_when_ready(*layout.point(*SAVE_BUTTON))
        check(find_window("Save As", timeout=15) is not None, "the save dialog opens")
        time.sleep(0.5)
        type_and_confirm(windows_path(deep))
        time.sleep(1.0)
        type_and_confirm("box-in-deep-1234")
        refused(app, "Save As", "a 16-character name in a 250-character folder")
        type_and_confirm("box1.png")  # 259 characters in all: the longest legal path
        saved = os.path.join(deep, "box1.png")
        check(wait_until(lambda: os.path.exists(saved)), "a 259-character path is saved under exactly its name")

        # From the deep folder, a full path typed elsewhere is saved under exactly that name.
        click_when_ready(*layout.point(*SAVE_BUTTON))
        check(find_window("Save As", timeout=15) is not None, "the save dialog opens again")
        time.sleep(0.5)
        typed = os.path.join(OUT, "typed-from-deep.png")
        type_and_confirm(windows_path(typed))
        check(wait_until(lambda: os.path.exists(typed)), "a full path typed from a deep folder is saved as typed")

        # A Linux path, typed as a Linux user would, is the same file as its Wine path.
        click_when_ready(*layout.point(*SAVE_BUTTON))
        check(find_window("Save As", timeout=15) is not None, "the save dialog opens for a Linux path")
        time.sleep(0.5)
        linux = os.path.join(OUT, "typed linux path.png")
        type_and_confirm(linux)
        check(wait_until(lambda: os.path.exists(linux)), "a Linux path typed in the save dialog is saved there")

        # A folder past the limit cannot even be entered by typing it.
        click_when_ready(*layout.point(*SAVE_BUTTON))
        check(find_window("Save As", timeout=15) is not None, "the save dialog opens a third time")
        time.sleep(0.5)
        type_and_confirm(windows_path(os.path.join(deeper, "box.png")))
        refused(app, "Save As", "a picture in a 283-character folder")
        xdotool("key", "Escape")
        check(wait_until(lambda: find_window("Save As", timeout=0.5) is None), "the save dialog closes")

        # Open: the same check for a face picture.
        face = os.path.join(deep, "f123.png")  # 259 characters
        subprocess.run(["convert", "-size", "64x64", "xc:#E02020", face], check=True)
        click(*layout.point(*SIDES_TAB))
        time.sleep(0.5)
        click(*layout.point(*FRONT_BROWSE))
        check(find_window("Open", timeout=15) is not None, "the open dialog opens")
        time.sleep(0.5)
        type_and_confirm(windows_path(deep))
        time.sleep(1.0)
        type_and_confirm("face-in-deep-123")
        refused(app, "Open", "a 16-character name in a 250-character folder")
        type_and_confirm("f123.png")
        check(wait_until(lambda: find_window("Open", timeout=0.5) is None), "a 259-character picture path is taken")
        shot = screenshot(os.path.join(OUT, "deep-face.png"))
        px, py, pw, ph = layout.preview
        red = [shot.at(px + pw // 2 + dx, py + ph // 2) for dx in (-20, 0, 20)]
        check(any(r > 2 * max(g, b) for r, g, b in red), f"the picture from the deep folder is on the box ({red})")
        check(not find_window("Wine Debugger", timeout=0.5), "no crash report")
    finally:
        app.kill()


run(main)
