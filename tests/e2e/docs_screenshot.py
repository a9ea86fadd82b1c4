"""The README's screenshot, taken from the real program after a real throw
of four dice from 0 to 10, framed by the window manager as a user sees it.

    python3 docs_screenshot.py PROGRAM OUT.png

It checks what it took as the tests read a screen: the faces, the values
under them and the total agree. read_screenshot() reads a saved one."""

import os
import sys
import tempfile

import numpy as np
from PIL import Image

import screen
from desktop import Desktop


def read_screenshot(image):
    """The dice, values and total in a picture of the main window (framed or
    not): ([faces], [labels], total). Raises AssertionError where they
    cannot be read."""
    found = screen.box(np.all(image == screen.GREEN, axis=2))
    if found is None or tuple(found[2:]) != (screen.WIDTH, screen.HEIGHT):
        raise AssertionError(f"no main window's client area in the picture: {found}")
    x, y = found[:2]
    client = image[y:y + screen.HEIGHT, x:x + screen.WIDTH]
    count = next((n for n in (4, 3, 2, 1)
                  if all(screen.read_die(client, n, i) is not None and
                         screen.label_shown(client, n, i) for i in range(n))), None)
    if count is None:
        raise AssertionError("no thrown dice in the picture")
    faces = [screen.read_die(client, count, i) for i in range(count)]
    labels = [screen.read_label(client, count, i) for i in range(count)]
    tens, units = screen.read_total(client, True)
    return faces, labels, (tens or 0) * 10 + units


def take(binary, out):
    with tempfile.TemporaryDirectory() as scratch, Desktop(scratch, "docs") as desktop:
        main = desktop.start_program(binary)

        def press(point):
            desktop.click(main, *point)

        press(screen.CONFIG_BUTTON)
        dialog = desktop.find_window("^ミルバネ設定$")
        desktop.wait_active(dialog)
        # From 0, up to 10, four dice; Enter on a box is OK.
        desktop.key("Tab", "Tab", "Up", "Tab", "End", "Tab", "End", "Return")
        desktop.wait_gone("^ミルバネ設定$")
        desktop.wait_screen(lambda c: screen.die_slots(c) == screen.DIE_LEFTS[4], "four dice")
        press(screen.ACTION_BUTTON)
        desktop.wait_screen(lambda c: all(screen.read_die(c, 4, i) for i in range(4)) or
                            any(screen.read_die(c, 4, i) is None for i in range(4)), "rolling")
        press(screen.ACTION_BUTTON)
        desktop.wait_screen(lambda c: all(screen.label_shown(c, 4, i) for i in range(4)),
                            "the values under the dice")
        # The pointer off the buttons, so that neither shows it hovering.
        desktop.run(["xdotool", "mousemove", "1200", "1000"])
        x, y, w, h = desktop.geometry(main)
        left, right, top, bottom = desktop.frame_extents(main)
        whole = desktop.shot()[y - top:y + h + bottom, x - left:x + w + right]
        faces, labels, total = read_screenshot(whole)
        if faces != labels or total != sum(labels):
            raise AssertionError(f"faces {faces}, values {labels}, total {total}")
        Image.fromarray(whole).save(out, optimize=True)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: docs_screenshot.py PROGRAM OUT.png")
    take(os.path.abspath(sys.argv[1]), sys.argv[2])
