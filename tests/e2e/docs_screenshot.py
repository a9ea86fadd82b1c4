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
from design import ACTION_BUTTON, GREEN, HEIGHT, WIDTH
from desktop import Desktop


def read_screenshot(image):
    """The values of the thrown dice in a picture of the main window (framed
    or not), once faces, values and total are seen to agree. Raises
    AssertionError where they cannot be read or do not agree."""
    found = screen.box(np.all(image == GREEN, axis=2))
    if found is None or tuple(found[2:]) != (WIDTH, HEIGHT):
        raise AssertionError(f"no main window's client area in the picture: {found}")
    x, y = found[:2]
    client = image[y:y + HEIGHT, x:x + WIDTH]
    count = next((n for n in (4, 3, 2, 1)
                  if all(screen.read_die(client, n, i) is not None and
                         screen.label_shown(client, n, i) for i in range(n))), None)
    if count is None:
        raise AssertionError("no thrown dice in the picture")
    return screen.agreeing_throw(client, count, True)


def take(binary, out):
    with tempfile.TemporaryDirectory() as scratch, Desktop(scratch, "docs") as desktop:
        main = desktop.start_program(binary)
        window = screen.Window(desktop, main)
        # From 0, up to 10, four dice; Enter on a box is OK.
        with window.settings():
            desktop.key("Tab", "Tab", "Up", "Tab", "End", "Tab", "End", "Return")
        window.ready(4)
        window.press(ACTION_BUTTON)
        window.rolling(4)
        window.press(ACTION_BUTTON)
        window.result(4)
        # The pointer off the buttons, so that neither shows it hovering.
        desktop.run(["xdotool", "mousemove", "1200", "1000"])
        x, y, w, h = desktop.geometry(main)
        left, right, top, bottom = desktop.frame_extents(main)
        whole = desktop.shot()[y - top:y + h + bottom, x - left:x + w + right]
        read_screenshot(whole)
        Image.fromarray(whole).save(out, optimize=True)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: docs_screenshot.py PROGRAM OUT.png")
    take(os.path.abspath(sys.argv[1]), sys.argv[2])
